#ifndef RQ700_TOOLS_RQ700_DEVICE_SESSION_H_
#define RQ700_TOOLS_RQ700_DEVICE_SESSION_H_

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "files/job_result.h"
#include "link/hid_device.h"
#include "protocol/device_state.h"
#include "protocol/editor_session.h"
#include "protocol/window_link.h"
#include "tools/rq700/commands.h"

namespace rq700::tool {

// The options every device command takes: --device PATH (else the first RQ700 in normal
// mode that answers) and --wait SECONDS, how long the device may stay silent.
struct DeviceOptions {
  std::string path;
  std::chrono::milliseconds idle_limit{10000};
};

// Takes the device options out of `args`, leaving the other arguments in order. False,
// with `error` set, on a malformed option.
bool TakeDeviceOptions(Args* args, DeviceOptions* options, std::string* error);

// Fills `options->path` when no --device was given: the first RQ700 in normal mode that
// answers. False when there is none.
bool FindDevice(DeviceOptions* options);

// Set by an interrupt or a termination signal once InstallCancelHandlers has run; the
// waits of a command-line job end with kCancelled when it is set.
std::atomic<bool>& CancelToken();
void InstallCancelHandlers();

// A job's percentage on stderr: "NN %" rewritten in place on a terminal; elsewhere one
// line per tenth, so a log stays short.
class TerminalProgress {
 public:
  explicit TerminalProgress(std::string label);
  void Percent(int percent);
  // Ends the line on a terminal.
  void Finish();

 private:
  std::string label_;
  bool terminal_;
  int last_ = -1;
};

// A command-line job's link to the device: the device opened by its path, the editor's
// sequencer and reader threads (so a job runs exactly the code the window runs), the
// start-up dump, and what the threads report in place of a window.
class CliDeviceSession final : public WindowLink {
 public:
  explicit CliDeviceSession(DeviceState& state);
  ~CliDeviceSession() override;
  CliDeviceSession(const CliDeviceSession&) = delete;
  CliDeviceSession& operator=(const CliDeviceSession&) = delete;

  // The protocol threads, for hooking jobs in before Open.
  EditorSession& session() { return session_; }

  // Opens the device, starts the threads and waits until each of the 200 presets has come
  // in the start-up dump. The dump is asked for once more when half the idle limit passes
  // without a preset, or at once when it ended with records lost on the way (a damaged
  // packet): a backup or export holds the presets as read here. kTimedOut when the whole
  // limit passes without a preset.
  files::JobResult Open(const std::string& path, std::chrono::milliseconds idle_limit);

  // Waits, checking every 10 ms, until `done` holds: kDone. kDeviceGone when the device
  // goes, kCancelled on the cancel token, kTimedOut when `progress` (a count that moves
  // while the device answers) has not moved for `idle_limit`.
  files::JobResult WaitFor(const std::function<bool()>& done,
                           const std::function<uint64_t()>& progress,
                           std::chrono::milliseconds idle_limit);

  // Ends the threads (also on destruction).
  void Close();

  // What the threads reported: the last import and transfer result codes (-1 while none),
  // and whether the device went away.
  int import_result() const { return import_result_.load(); }
  int transfer_result() const { return transfer_result_.load(); }
  bool gone() const { return gone_.load(); }
  uint64_t presets_received() const { return presets_received_.load(); }
  // How many of the 200 presets have come at least once.
  int distinct_presets() const { return distinct_presets_.load(); }

  // WindowLink, on the worker threads.
  void ImportResult(int code) override;
  void TransferResult(int code) override;
  void DeviceGone() override;
  void WaitingProgress(int preset_index) override;

 private:
  DeviceState& state_;
  CHidDevice device_;
  EditorSession session_;
  bool started_ = false;
  std::atomic<int> import_result_{-1};
  std::atomic<int> transfer_result_{-1};
  std::atomic<bool> gone_{false};
  std::atomic<uint64_t> presets_received_{0};
  std::array<std::atomic<bool>, kPresetCount> preset_seen_{};
  std::atomic<int> distinct_presets_{0};
};

// Prints "rq700: <what>: <result text>" on stderr and returns the result's exit status.
int JobFailed(const std::string& what, files::JobResult result);

}  // namespace rq700::tool

#endif  // RQ700_TOOLS_RQ700_DEVICE_SESSION_H_
