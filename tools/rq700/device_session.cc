#include "tools/rq700/device_session.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "launcher/detect.h"
#include "link/device_enum.h"

namespace rq700::tool {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kPollStep = std::chrono::milliseconds(10);

std::atomic<bool> cancel_token{false};

extern "C" void OnCancelSignal(int) { cancel_token.store(true); }

}  // namespace

bool TakeDeviceOptions(Args* args, DeviceOptions* options, std::string* error) {
  Args rest;
  for (size_t i = 0; i < args->size(); ++i) {
    const std::string& a = (*args)[i];
    if (a != "--device" && a != "--wait") {
      rest.push_back(a);
      continue;
    }
    if (i + 1 >= args->size()) {
      *error = a + " needs a value";
      return false;
    }
    const std::string& value = (*args)[++i];
    if (a == "--device") {
      options->path = value;
      continue;
    }
    char* end = nullptr;
    const double seconds = std::strtod(value.c_str(), &end);
    if (end == value.c_str() || *end != '\0' || !(seconds > 0) || seconds > 3600) {
      *error = "--wait takes a number of seconds (0 < S <= 3600)";
      return false;
    }
    options->idle_limit = std::chrono::milliseconds(static_cast<int64_t>(seconds * 1000));
  }
  *args = std::move(rest);
  return true;
}

bool FindDevice(DeviceOptions* options) {
  if (!options->path.empty()) return true;
  HidDeviceQueries queries;
  DeviceRecord record;
  const DetectOutcome outcome = Detect(EnumerateDevices(), queries, &record);
  if (outcome.result != Detection::kNormalMode) return false;
  options->path = record.device_path;
  return true;
}

std::atomic<bool>& CancelToken() { return cancel_token; }

void InstallCancelHandlers() {
  std::signal(SIGINT, OnCancelSignal);
  std::signal(SIGTERM, OnCancelSignal);
}

TerminalProgress::TerminalProgress(std::string label)
    : label_(std::move(label)), terminal_(isatty(STDERR_FILENO) != 0) {}

void TerminalProgress::Percent(int percent) {
  if (percent == last_) return;
  if (terminal_) {
    std::fprintf(stderr, "\r%s %3d %%", label_.c_str(), percent);
  } else if (last_ < 0 || percent / 10 != last_ / 10 || percent == 100) {
    std::fprintf(stderr, "%s %d %%\n", label_.c_str(), percent);
  }
  std::fflush(stderr);
  last_ = percent;
}

void TerminalProgress::Finish() {
  if (terminal_ && last_ >= 0) std::fprintf(stderr, "\n");
  last_ = -1;
}

CliDeviceSession::CliDeviceSession(DeviceState& state)
    : state_(state), session_(state, device_, *this) {}

CliDeviceSession::~CliDeviceSession() { Close(); }

files::JobResult CliDeviceSession::Open(const std::string& path,
                                        std::chrono::milliseconds idle_limit) {
  if (started_ || !session_.Start(path)) return files::JobResult::kDeviceGone;
  started_ = true;
  bool asked_again = false;
  uint64_t seen = presets_received();
  auto last_move = Clock::now();
  while (distinct_presets() < kPresetCount) {
    if (gone()) return files::JobResult::kDeviceGone;
    if (CancelToken().load()) return files::JobResult::kCancelled;
    if (presets_received() != seen) {
      seen = presets_received();
      last_move = Clock::now();
    }
    const auto quiet = Clock::now() - last_move;
    if (quiet >= idle_limit) return files::JobResult::kTimedOut;
    // The last record has come, so the dump is over, yet some never came.
    const bool ended_short = preset_seen_[kPresetCount - 1].load();
    if (!asked_again && (quiet >= idle_limit / 2 || ended_short)) {
      state_.re_request.store(1, std::memory_order_relaxed);
      asked_again = true;
    }
    std::this_thread::sleep_for(kPollStep);
  }
  return files::JobResult::kDone;
}

files::JobResult CliDeviceSession::WaitFor(const std::function<bool()>& done,
                                           const std::function<uint64_t()>& progress,
                                           std::chrono::milliseconds idle_limit) {
  uint64_t seen = progress ? progress() : 0;
  auto last_move = Clock::now();
  while (!done()) {
    if (gone()) return files::JobResult::kDeviceGone;
    if (CancelToken().load()) return files::JobResult::kCancelled;
    const uint64_t now_seen = progress ? progress() : 0;
    if (now_seen != seen) {
      seen = now_seen;
      last_move = Clock::now();
    } else if (Clock::now() - last_move >= idle_limit) {
      return files::JobResult::kTimedOut;
    }
    std::this_thread::sleep_for(kPollStep);
  }
  return files::JobResult::kDone;
}

void CliDeviceSession::Close() {
  if (!started_) return;
  started_ = false;
  session_.Shutdown();
}

void CliDeviceSession::ImportResult(int code) { import_result_.store(code); }

void CliDeviceSession::TransferResult(int code) { transfer_result_.store(code); }

void CliDeviceSession::DeviceGone() { gone_.store(true); }

void CliDeviceSession::WaitingProgress(int preset_index) {
  if (preset_index >= 0 && preset_index < kPresetCount &&
      !preset_seen_[preset_index].exchange(true))
    distinct_presets_.fetch_add(1);
  presets_received_.fetch_add(1);
}

int JobFailed(const std::string& what, files::JobResult result) {
  std::fprintf(stderr, "rq700: %s: %s\n", what.c_str(),
               std::string(files::JobResultText(result)).c_str());
  return files::JobExitStatus(result);
}

}  // namespace rq700::tool
