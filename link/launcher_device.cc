#include "link/launcher_device.h"

#include <algorithm>
#include <cstring>

namespace rq700 {
namespace {

template <size_t N>
std::string ZeroTerminated(const std::array<uint8_t, N>& bytes) {
  const auto end = std::find(bytes.begin(), bytes.end(), uint8_t{0});
  return std::string(bytes.begin(), end);
}

}  // namespace

std::string DeviceRecord::Version() const { return ZeroTerminated(version_text); }
std::string DeviceRecord::Model() const { return ZeroTerminated(model_text); }

LauncherDevice::LauncherDevice(std::unique_ptr<HidPort> port)
    : port_(std::move(port)), fixed_port_(true) {}

LauncherDevice::~LauncherDevice() { Close(); }

bool LauncherDevice::Open(const std::string& path) {
  Close();
  std::scoped_lock lock(read_mutex_, write_mutex_);
  if (!fixed_port_) port_ = MakeHidPort(path);
  const bool opened = port_ != nullptr && port_->Open(path);
  open_.store(opened);
  stop_.store(false);
  return opened;
}

bool LauncherDevice::Close() {
  stop_.store(true);
  std::scoped_lock lock(read_mutex_, write_mutex_);
  if (port_ != nullptr) port_->Close();
  open_.store(false);
  return true;
}

bool LauncherDevice::is_open() const { return open_.load(); }

bool LauncherDevice::ReadReport(uint8_t* out, int* count) {
  *count = 0;
  std::lock_guard lock(read_mutex_);
  if (port_ == nullptr || !open_.load()) return false;
  for (;;) {
    if (stop_.load()) return false;
    switch (port_->ReadReport(read_report_, kReadSliceMs)) {
      case ReadResult::kNothing:
        continue;
      case ReadResult::kDisconnected:
        return false;
      case ReadResult::kData:
        break;
    }
    // A count beyond what a report carries marks a broken report: deliver nothing from it.
    const int valid = std::min<int>(read_report_[1], kReportPayload);
    if (read_report_[1] > kReportPayload) return true;
    std::memcpy(out, read_report_ + 2, static_cast<size_t>(valid));
    *count = valid;
    return true;
  }
}

bool LauncherDevice::Send(const uint8_t* data, int32_t length) {
  if (length < 0) return false;
  std::lock_guard lock(write_mutex_);
  if (port_ == nullptr || !open_.load()) return false;
  int32_t offset = 0;
  while (offset < length) {
    const int32_t chunk = std::min<int32_t>(kReportPayload, length - offset);
    std::memset(send_report_, 0, sizeof(send_report_));
    send_report_[1] = static_cast<uint8_t>(chunk);
    std::memcpy(send_report_ + 2, data + offset, static_cast<size_t>(chunk));
    if (stop_.load() || !port_->WriteReport(send_report_, kWriteTimeoutMs)) return false;
    offset += chunk;
  }
  return true;
}

}  // namespace rq700
