// The window's job watch: wait cursor, percentage in the view, one report at the end, one
// job at a time, the idle limit and an abandon from the window.
#include "editor/window_jobs.h"

#include <gtest/gtest.h>

#include "tests/editor/recording_shell.h"

namespace rq700 {
namespace {

using files::JobResult;
using std::chrono::milliseconds;
using testing::RecordingShell;

class StubJob : public files::DeviceJob {
 public:
  std::optional<JobResult> Result() const override { return result; }
  int Percent() const override { return percent; }
  uint64_t Activity() const override { return activity; }
  void Abandon(JobResult why) override {
    if (!result) result = why;
  }
  std::optional<JobResult> result;
  int percent = 0;
  uint64_t activity = 0;
};

TEST(WindowJobsTest, ShowsAJobUntilItEndsAndReportsItOnce) {
  RecordingShell shell;
  ViewState ui;
  WindowJobs jobs(shell, ui, milliseconds(1000));
  StubJob first, second;
  std::vector<JobResult> ended;
  const auto t0 = files::JobClock::now();

  ASSERT_TRUE(jobs.Watch(
      first, [&](JobResult r) { ended.push_back(r); }, t0));
  EXPECT_TRUE(shell.wait_cursor);
  EXPECT_FALSE(jobs.Watch(
      second, [&](JobResult r) { ended.push_back(r); }, t0));
  first.percent = 37;
  ++first.activity;
  jobs.Tick(t0 + milliseconds(50));
  EXPECT_EQ(ui.transfer_percent, 37);
  first.result = JobResult::kDone;
  jobs.Tick(t0 + milliseconds(100));
  jobs.Tick(t0 + milliseconds(150));
  EXPECT_EQ(ended, std::vector<JobResult>{JobResult::kDone});
  EXPECT_FALSE(shell.wait_cursor);
  EXPECT_EQ(ui.transfer_percent, 0);
  EXPECT_FALSE(jobs.busy());

  // A silent device ends the next job at the limit; an abandon ends it at the next tick.
  ASSERT_TRUE(jobs.Watch(
      second, [&](JobResult r) { ended.push_back(r); }, t0));
  jobs.Tick(t0 + milliseconds(999));
  EXPECT_TRUE(jobs.busy());
  jobs.Tick(t0 + milliseconds(1000));
  StubJob third;
  ASSERT_TRUE(jobs.Watch(
      third, [&](JobResult r) { ended.push_back(r); }, t0));
  jobs.Abandon(JobResult::kTimedOut);
  jobs.Tick(t0);
  EXPECT_EQ(ended,
            (std::vector<JobResult>{JobResult::kDone, JobResult::kTimedOut, JobResult::kTimedOut}));
}

}  // namespace
}  // namespace rq700
