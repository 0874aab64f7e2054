// The waiting rules every job with the device shares: progress, cancel, a gone device and
// the idle limit, for the command line's watch and the window's.
#include "files/job_context.h"

#include <gtest/gtest.h>

#include <thread>

namespace rq700::files {
namespace {

using std::chrono::milliseconds;

class FakeJob : public DeviceJob {
 public:
  std::optional<JobResult> Result() const override {
    const int r = result.load();
    if (r < 0) return std::nullopt;
    return static_cast<JobResult>(r);
  }
  int Percent() const override { return percent.load(); }
  uint64_t Activity() const override { return activity.load(); }
  void Abandon(JobResult why) override {
    ++abandons;
    int running = -1;
    result.compare_exchange_strong(running, static_cast<int>(why));
  }

  std::atomic<int> result{-1};
  std::atomic<int> percent{0};
  std::atomic<uint64_t> activity{0};
  int abandons = 0;
};

TEST(JobWatchTest, EndsEachWayWithItsResult) {
  struct Case {
    const char* what;
    bool cancel;
    bool gone;
    bool answers;         // the device answers every 100 ms
    int finish_after_ms;  // the job ends by itself then (-1: never)
    JobResult expected;
    int ends_at_ms;
  };
  const Case cases[] = {
      {"finishes", false, false, true, 700, JobResult::kDone, 700},
      {"silent device", false, false, false, -1, JobResult::kTimedOut, 500},
      {"answers keep it alive past the limit", false, false, true, -1, JobResult::kTimedOut, 1400},
      {"cancelled", true, false, true, 700, JobResult::kCancelled, 0},
      {"device gone", false, true, true, 700, JobResult::kDeviceGone, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeJob job;
    std::atomic<bool> cancel{c.cancel};
    std::vector<int> shown;
    JobContext context;
    context.progress = [&](int p) { shown.push_back(p); };
    context.cancel = &cancel;
    context.device_gone = [&] { return c.gone; };
    context.idle_limit = milliseconds(500);
    const auto t0 = JobClock::now();
    JobWatch watch(job, context, t0);
    std::optional<JobResult> result;
    int t = 0;
    for (; t <= 3000 && !result; t += 50) {
      // The device answers up to 900 ms, then falls silent.
      if (c.answers && t % 100 == 0 && t <= 900) ++job.activity, job.percent = t / 10;
      if (t == c.finish_after_ms) job.result = static_cast<int>(JobResult::kDone);
      result = watch.Poll(t0 + milliseconds(t));
    }
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(*result, c.expected);
    EXPECT_EQ(t - 50, c.ends_at_ms);
    EXPECT_LE(job.abandons, 1);
    // Each percentage is handed on once, in order.
    for (size_t i = 1; i < shown.size(); ++i) EXPECT_LT(shown[i - 1], shown[i]);
  }
}

TEST(JobWatchTest, RunJobWaitsForAnEndFromAnotherThread) {
  FakeJob job;
  JobContext context;
  context.idle_limit = milliseconds(5000);
  std::thread device([&] {
    for (int i = 1; i <= 5; ++i) {
      std::this_thread::sleep_for(milliseconds(5));
      job.percent = i * 20;
      ++job.activity;
    }
    job.result = static_cast<int>(JobResult::kRefused);
  });
  EXPECT_EQ(RunJob(job, context), JobResult::kRefused);
  device.join();
  EXPECT_EQ(job.abandons, 0);
}

}  // namespace
}  // namespace rq700::files
