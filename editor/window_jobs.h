#ifndef RQ700_EDITOR_WINDOW_JOBS_H_
#define RQ700_EDITOR_WINDOW_JOBS_H_

#include <chrono>
#include <functional>
#include <memory>

#include "editor/shell.h"
#include "files/job_context.h"
#include "skin/view_state.h"

namespace rq700 {

// The window's one job with the device at a time, watched from the window's timer so the
// window never waits: while it runs the wait cursor is up and its percentage shows in the
// view; when it ends (or its device stays silent past the idle limit) the cursor goes back
// to the arrow, the percentage to 0, and `on_end` gets the result on the window thread.
class WindowJobs {
 public:
  WindowJobs(Shell& shell, ViewState& ui,
             std::chrono::milliseconds idle_limit = std::chrono::seconds(10));

  bool busy() const { return watch_ != nullptr; }

  // Watches a job that has just been started. False, and nothing changes, while another
  // job runs.
  bool Watch(files::DeviceJob& job, std::function<void(files::JobResult)> on_end,
             files::JobClock::time_point now = files::JobClock::now());
  // One look at the running job; from the window's timer.
  void Tick(files::JobClock::time_point now = files::JobClock::now());
  // Ends the running job with `result` now; its end is reported on the next tick.
  void Abandon(files::JobResult result);

 private:
  Shell& shell_;
  ViewState& ui_;
  std::chrono::milliseconds idle_limit_;
  files::DeviceJob* job_ = nullptr;
  std::unique_ptr<files::JobWatch> watch_;
  std::function<void(files::JobResult)> on_end_;
};

}  // namespace rq700

#endif  // RQ700_EDITOR_WINDOW_JOBS_H_
