#ifndef RQ700_EMULATOR_SERVER_H_
#define RQ700_EMULATOR_SERVER_H_

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "emulator/emulator.h"
#include "emulator/options.h"
#include "link/socket_port.h"

namespace rq700::emu {

// Serves one DeviceEmulator on the virtual-device socket: announces it in the emulator
// directory, takes one host at a time (back to listening when it leaves), paces reports,
// and runs the control commands. Run() works on the calling thread; Post, Stop and
// WithDevice may be called from any thread.
class EmulatorServer {
 public:
  explicit EmulatorServer(const Options& options);
  ~EmulatorServer();
  EmulatorServer(const EmulatorServer&) = delete;
  EmulatorServer& operator=(const EmulatorServer&) = delete;

  // Loads the state file, opens the log, listens and announces. False with a message.
  bool Start(std::string* error);
  // Serves until Stop() or a "quit" command; withdraws the announcement at the end.
  void Run();
  void Stop() { stop_.store(true); }

  // Queues one control line; its outcome is reported through the message callback.
  void Post(const std::string& line);
  // Receives one line per control outcome ("error: ...") and notable event.
  void SetMessageSink(std::function<void(const std::string&)> sink) { sink_ = std::move(sink); }

  // Runs `visit` on the device while the server does not touch it.
  template <typename Visitor>
  auto WithDevice(Visitor&& visit) {
    std::lock_guard<std::mutex> lock(device_mutex_);
    return visit(device_);
  }

  const std::string& socket_path() const { return socket_path_; }
  const std::string& announcement_file() const { return announcement_file_; }
  // The number of hosts that connected so far.
  int connections() const { return connections_.load(); }

 private:
  bool Listen();
  void Unplug();
  void Announce();
  void Serve(SocketPort& port);
  // Runs queued control lines; true when the current host must be dropped. `host` is the
  // connected host, if any.
  bool RunControl(SocketPort* host = nullptr);
  // Takes every report the host has already sent, so that a command reading the state
  // sees all of it (the unit works through its input in order). True when the host left.
  bool DrainHost(SocketPort* host);
  void SaveStateIfChanged(bool force);
  // The save-backup control command.
  void SaveBackup(const std::string& path);
  void Message(const std::string& text);

  Options options_;
  std::mutex device_mutex_;
  DeviceEmulator device_;
  SocketListener listener_;
  std::string socket_path_;
  std::string announcement_file_;
  bool plugged_ = false;
  std::atomic<bool> stop_{false};
  std::atomic<int> connections_{0};

  std::mutex control_mutex_;
  std::deque<std::string> control_;
  std::function<void(const std::string&)> sink_;
  uint64_t state_saved_ms_ = 0;
  bool state_dirty_ = false;
};

// The default socket path: rq700-<pid>.sock in `directory`, the emulator directory.
std::string DefaultSocketPath(const std::string& directory);

}  // namespace rq700::emu

#endif  // RQ700_EMULATOR_SERVER_H_
