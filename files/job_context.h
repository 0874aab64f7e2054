#ifndef RQ700_FILES_JOB_CONTEXT_H_
#define RQ700_FILES_JOB_CONTEXT_H_

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>

#include "files/job_result.h"

// What the window and the command line share to run a job with the device (backup,
// restore, a transfer into a user slot, a preset import): the job reports how far it got
// and how it ended, a context says where the percentage goes, how the job is cancelled and
// how long the device may stay silent, and one watch applies those rules for either front
// end.
namespace rq700::files {

using JobClock = std::chrono::steady_clock;

// A running job as its waiter sees it. The protocol threads move the job on; the waiter
// polls it from its own thread, so every member is safe to call from any thread.
class DeviceJob {
 public:
  virtual ~DeviceJob() = default;
  // Nothing while the job runs; how it ended once it has.
  virtual std::optional<JobResult> Result() const = 0;
  // How far it got, 0..100.
  virtual int Percent() const = 0;
  // A count that moves each time the device answers; the idle limit runs from its last move.
  virtual uint64_t Activity() const = 0;
  // Ends a running job at once with `result`: nothing more goes to the device, late
  // answers are ignored, a file being written is dropped. Nothing once it has ended.
  virtual void Abandon(JobResult result) = 0;
};

// How a job is driven.
struct JobContext {
  // The percentage, on the waiting thread, each time it changes.
  std::function<void(int percent)> progress;
  // Set (from any thread, or a signal handler) to stop the job: kCancelled.
  const std::atomic<bool>* cancel = nullptr;
  // True once the device went away: kDeviceGone.
  std::function<bool()> device_gone;
  // How long the device may stay silent while the job waits for it: kTimedOut.
  std::chrono::milliseconds idle_limit{10000};
};

// One waiter's rules over a running job. The window polls it from a timer; RunJob polls
// it every 10 ms.
class JobWatch {
 public:
  JobWatch(DeviceJob& job, JobContext context, JobClock::time_point now = JobClock::now());

  // Hands on a changed percentage; abandons the job on the cancel token, a gone device or
  // the idle limit; returns the result once the job has ended, nothing while it runs.
  std::optional<JobResult> Poll(JobClock::time_point now = JobClock::now());

 private:
  DeviceJob& job_;
  JobContext context_;
  uint64_t activity_;
  JobClock::time_point last_move_;
  int percent_ = -1;
};

// The command line's wait: polls the job every 10 ms until it ends, and returns how.
JobResult RunJob(DeviceJob& job, const JobContext& context);

}  // namespace rq700::files

#endif  // RQ700_FILES_JOB_CONTEXT_H_
