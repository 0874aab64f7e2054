#include "editor/window_jobs.h"

#include <utility>

namespace rq700 {

WindowJobs::WindowJobs(Shell& shell, ViewState& ui, std::chrono::milliseconds idle_limit)
    : shell_(shell), ui_(ui), idle_limit_(idle_limit) {}

bool WindowJobs::Watch(files::DeviceJob& job, std::function<void(files::JobResult)> on_end,
                       files::JobClock::time_point now) {
  if (busy()) return false;
  files::JobContext context;
  context.idle_limit = idle_limit_;
  context.progress = [this](int percent) { ui_.transfer_percent = percent; };
  job_ = &job;
  watch_ = std::make_unique<files::JobWatch>(job, std::move(context), now);
  on_end_ = std::move(on_end);
  shell_.SetWaitCursor(true);
  return true;
}

void WindowJobs::Tick(files::JobClock::time_point now) {
  if (!busy()) return;
  const std::optional<files::JobResult> result = watch_->Poll(now);
  if (!result) return;
  // Cleared before the report: its message box runs a loop in which this timer ticks on.
  watch_.reset();
  job_ = nullptr;
  auto on_end = std::move(on_end_);
  on_end_ = nullptr;
  ui_.transfer_percent = 0;
  shell_.SetWaitCursor(false);
  if (on_end) on_end(*result);
}

void WindowJobs::Abandon(files::JobResult result) {
  if (job_ != nullptr) job_->Abandon(result);
}

}  // namespace rq700
