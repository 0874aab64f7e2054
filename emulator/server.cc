#include "emulator/server.h"

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <system_error>
#include <thread>

#include "emulator/backup_image.h"
#include "link/device_enum.h"

namespace rq700::emu {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr auto kReportInterval = std::chrono::microseconds(1000);
constexpr int kIdleWaitMs = 5;
constexpr auto kStateSaveDelay = milliseconds(1000);

std::string Trim(const std::string& text) {
  const size_t begin = text.find_first_not_of(" \t\r\n");
  if (begin == std::string::npos) return "";
  const size_t end = text.find_last_not_of(" \t\r\n");
  return text.substr(begin, end - begin + 1);
}

}  // namespace

std::string DefaultSocketPath(const std::string& directory) {
  return directory + "/rq700-" + std::to_string(::getpid()) + ".sock";
}

EmulatorServer::EmulatorServer(const Options& options) : options_(options), device_(options) {}

EmulatorServer::~EmulatorServer() { Unplug(); }

bool EmulatorServer::Start(std::string* error) {
  // Hosts trust what they find announced in this folder, so it must be the user's own.
  const std::string directory = TrustedEmulatorDirectory(true);
  if (directory.empty()) {
    *error = "no virtual-device folder of your own to announce in: set RQ700_EMU_DIR";
    return false;
  }
  socket_path_ = options_.socket_path.empty() ? DefaultSocketPath(directory) : options_.socket_path;
  if (socket_path_.rfind(kEmulatorPathPrefix, 0) == 0) {
    socket_path_ = socket_path_.substr(sizeof(kEmulatorPathPrefix) - 1);
  }
  // Hosts run in other folders: announce the socket by its absolute path.
  std::error_code absolute_error;
  const std::filesystem::path absolute = std::filesystem::absolute(socket_path_, absolute_error);
  if (!absolute_error) socket_path_ = absolute.lexically_normal().string();
  announcement_file_ =
      directory + "/" + std::filesystem::path(socket_path_).stem().string() + ".device";

  if (!options_.state_file.empty()) {
    std::error_code code;
    if (std::filesystem::exists(options_.state_file, code)) {
      std::string message;
      std::lock_guard<std::mutex> lock(device_mutex_);
      // A file we cannot read is left alone rather than overwritten with factory data.
      if (!LoadStateFile(options_.state_file, device_.state(), &message)) {
        *error = message;
        return false;
      }
    }
  }
  if (!options_.firmware_file.empty()) {
    LoaderImage image;
    if (!image.Load(options_.firmware_file, error)) return false;
    std::lock_guard<std::mutex> lock(device_mutex_);
    device_.SetLoaderImage(std::move(image));
  }
  const bool random =
      options_.dump_order == DumpOrder::kShuffled || options_.pack || options_.chatter_ms > 0;
  if (random && !options_.has_seed) Message("seed " + std::to_string(device_.seed()));
  if (!options_.log_file.empty() && !device_.log().Open(options_.log_file)) {
    *error = "cannot write the packet log " + options_.log_file;
    return false;
  }
  if (!Listen()) {
    *error = "cannot listen at " + socket_path_;
    return false;
  }
  return true;
}

bool EmulatorServer::Listen() {
  std::error_code code;
  const std::filesystem::path parent = std::filesystem::path(socket_path_).parent_path();
  if (!parent.empty()) std::filesystem::create_directories(parent, code);
  if (!listener_.Listen(socket_path_)) return false;
  plugged_ = true;
  Announce();
  return true;
}

void EmulatorServer::Announce() {
  DeviceEntry entry;
  entry.path = std::string(kEmulatorPathPrefix) + socket_path_;
  entry.vendor_id = kVendorId;
  entry.product_id = device_.product_id();
  entry.release_number = options_.release;
  if (!AnnounceVirtualDevice(announcement_file_, entry)) {
    Message("warning: cannot write the announcement " + announcement_file_);
  }
}

void EmulatorServer::Unplug() {
  if (!plugged_) return;
  listener_.Close();
  WithdrawVirtualDevice(announcement_file_);
  plugged_ = false;
}

void EmulatorServer::Post(const std::string& line) {
  std::lock_guard<std::mutex> lock(control_mutex_);
  control_.push_back(line);
}

void EmulatorServer::Message(const std::string& text) {
  if (sink_) sink_(text);
}

bool EmulatorServer::DrainHost(SocketPort* host) {
  if (host == nullptr) return false;
  uint8_t in[kReportSize];
  for (;;) {
    const ReadResult result = host->ReadReport(in, 0);
    if (result == ReadResult::kDisconnected) return true;
    if (result != ReadResult::kData) return false;
    std::lock_guard<std::mutex> lock(device_mutex_);
    device_.OnHostReport(in);
    if (device_.TakeStateChange()) state_dirty_ = true;
    if (device_.TakeDisconnect()) return true;
  }
}

bool EmulatorServer::RunControl(SocketPort* host) {
  std::deque<std::string> lines;
  {
    std::lock_guard<std::mutex> lock(control_mutex_);
    lines.swap(control_);
  }
  bool drop_host = false;
  for (const std::string& raw : lines) {
    const std::string line = Trim(raw);
    if (line.empty()) continue;
    if (line == "quit") {
      stop_.store(true);
      return true;
    }
    if (line == "unplug") {
      Unplug();
      drop_host = true;
      continue;
    }
    if (line == "plug") {
      if (!plugged_ && !Listen()) Message("error: cannot listen at " + socket_path_);
      continue;
    }
    if (line.rfind("reboot", 0) == 0) {
      const std::string mode = Trim(line.substr(6));
      if (mode != "normal" && mode != "update") {
        Message("error: usage: reboot normal|update");
        continue;
      }
      std::lock_guard<std::mutex> lock(device_mutex_);
      device_.Reboot(mode == "normal" ? Mode::kNormal : Mode::kUpdate);
      if (device_.TakeModeChange() && plugged_) Announce();
      drop_host = true;
      continue;
    }
    const bool backup = line == "save-backup" || line.rfind("save-backup ", 0) == 0;
    if ((backup || line == "unsaved" || line == "store") && DrainHost(host)) {
      drop_host = true;
      host = nullptr;
    }
    if (backup) {
      SaveBackup(Trim(line.substr(11)));
      continue;
    }
    if (line == "unsaved" || line == "store") {
      std::lock_guard<std::mutex> lock(device_mutex_);
      DeviceState& state = device_.state();
      if (line == "store") {
        // The unit's own store: the working preset into its slot, as it stands.
        state.presets[state.current] = state.working;
        state_dirty_ = true;
        Message("stored " + std::to_string(state.current));
      } else {
        const bool edited = state.working != state.presets[state.current];
        Message("unsaved " + (edited ? std::to_string(state.current) : std::string("none")));
      }
      continue;
    }
    std::string error;
    bool ok;
    {
      std::lock_guard<std::mutex> lock(device_mutex_);
      ok = ApplyDeviceControl(device_, line, &error);
      if (device_.TakeStateChange()) state_dirty_ = true;
    }
    if (!ok) Message("error: " + error);
  }
  return drop_host;
}

void EmulatorServer::SaveBackup(const std::string& path) {
  if (path.empty()) {
    Message("error: usage: save-backup FILE");
    return;
  }
  DeviceState copy;
  {
    std::lock_guard<std::mutex> lock(device_mutex_);
    copy = device_.state();
  }
  std::string error;
  if (SaveBackupFile(path, copy, &error)) {
    Message("backup saved " + path);
  } else {
    Message("error: " + error);
  }
}

void EmulatorServer::SaveStateIfChanged(bool force) {
  if (options_.state_file.empty()) return;
  {
    std::lock_guard<std::mutex> lock(device_mutex_);
    if (device_.TakeStateChange()) state_dirty_ = true;
  }
  if (!state_dirty_) return;
  const uint64_t now = static_cast<uint64_t>(
      std::chrono::duration_cast<milliseconds>(Clock::now().time_since_epoch()).count());
  if (!force && now - state_saved_ms_ < static_cast<uint64_t>(kStateSaveDelay.count())) return;
  std::string error;
  DeviceState copy;
  {
    std::lock_guard<std::mutex> lock(device_mutex_);
    copy = device_.state();
  }
  if (!SaveStateFile(options_.state_file, copy, &error)) Message("error: " + error);
  state_saved_ms_ = now;
  state_dirty_ = false;
}

void EmulatorServer::Run() {
  while (!stop_.load()) {
    RunControl();
    if (stop_.load()) break;
    SaveStateIfChanged(false);
    if (!plugged_) {
      std::this_thread::sleep_for(milliseconds(10));
      continue;
    }
    std::unique_ptr<SocketPort> port = listener_.Accept(20);
    if (!port) continue;
    connections_.fetch_add(1);
    {
      std::lock_guard<std::mutex> lock(device_mutex_);
      device_.Connect();
    }
    Serve(*port);
    port->Close();
    std::lock_guard<std::mutex> lock(device_mutex_);
    if (device_.TakeModeChange() && plugged_) Announce();
  }
  SaveStateIfChanged(true);
  Unplug();
}

void EmulatorServer::Serve(SocketPort& port) {
  const bool pacing = options_.pacing;
  Report out{};
  bool have_out = false;
  Clock::time_point next_write = Clock::now();
  Clock::time_point next_read = Clock::now();
  uint8_t in[kReportSize];

  while (!stop_.load()) {
    if (RunControl(&port)) return;
    SaveStateIfChanged(false);
    {
      std::lock_guard<std::mutex> lock(device_mutex_);
      device_.Tick(static_cast<uint64_t>(
          std::chrono::duration_cast<milliseconds>(Clock::now().time_since_epoch()).count()));
      if (device_.TakeStateChange()) state_dirty_ = true;
    }

    // Device to host: one report per interval when paced, else as fast as the host takes.
    bool write_blocked = false;
    for (;;) {
      if (!have_out) {
        std::lock_guard<std::mutex> lock(device_mutex_);
        have_out = device_.PopReport(out.data());
      }
      if (!have_out) break;
      const Clock::time_point now = Clock::now();
      if (pacing && now < next_write) break;
      if (!port.WriteReport(out.data(), 0)) {
        write_blocked = true;
        break;
      }
      have_out = false;
      if (pacing) {
        next_write += kReportInterval;
        if (next_write < now - milliseconds(5)) next_write = now + kReportInterval;
        break;
      }
    }

    // Host to device: wait no longer than until the next report is due out.
    if (!have_out) {
      std::lock_guard<std::mutex> lock(device_mutex_);
      have_out = device_.PopReport(out.data());
    }
    int timeout = kIdleWaitMs;
    const Clock::time_point now = Clock::now();
    if (pacing && now < next_read) {
      std::this_thread::sleep_until(have_out ? std::min(next_read, next_write) : next_read);
      continue;
    }
    if (have_out) {
      if (write_blocked) {
        timeout = 1;
      } else if (pacing && now < next_write) {
        // Less than a millisecond to go: sleep rather than spin in zero-time polls.
        const auto wait = std::chrono::duration_cast<milliseconds>(next_write - now);
        if (wait.count() == 0) {
          std::this_thread::sleep_until(next_write);
          continue;
        }
        timeout = static_cast<int>(wait.count());
      } else {
        timeout = 0;
      }
    }
    const ReadResult result = port.ReadReport(in, timeout);
    if (result == ReadResult::kDisconnected) return;
    if (result == ReadResult::kData) {
      if (pacing) next_read = Clock::now() + kReportInterval;
      std::lock_guard<std::mutex> lock(device_mutex_);
      device_.OnHostReport(in);
      if (device_.TakeStateChange()) state_dirty_ = true;
      if (device_.TakeDisconnect()) return;  // cable pulled, or the device rebooted
    }
  }
}

}  // namespace rq700::emu
