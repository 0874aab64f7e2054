#include "files/job_context.h"

#include <thread>

namespace rq700::files {

JobWatch::JobWatch(DeviceJob& job, JobContext context, JobClock::time_point now)
    : job_(job), context_(std::move(context)), activity_(job.Activity()), last_move_(now) {}

std::optional<JobResult> JobWatch::Poll(JobClock::time_point now) {
  // The result first: once it is there the percentage is final, and is still handed on.
  const std::optional<JobResult> ended = job_.Result();
  const int percent = job_.Percent();
  if (percent != percent_) {
    percent_ = percent;
    if (context_.progress) context_.progress(percent);
  }
  if (ended) return ended;

  const uint64_t activity = job_.Activity();
  if (activity != activity_) {
    activity_ = activity;
    last_move_ = now;
  }
  if (context_.cancel != nullptr && context_.cancel->load()) {
    job_.Abandon(JobResult::kCancelled);
  } else if (context_.device_gone && context_.device_gone()) {
    job_.Abandon(JobResult::kDeviceGone);
  } else if (now - last_move_ >= context_.idle_limit) {
    job_.Abandon(JobResult::kTimedOut);
  }
  // An answer may have ended the job just before the abandon: its own result stands.
  return job_.Result();
}

JobResult RunJob(DeviceJob& job, const JobContext& context) {
  JobWatch watch(job, context);
  for (;;) {
    if (std::optional<JobResult> result = watch.Poll()) return *result;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

}  // namespace rq700::files
