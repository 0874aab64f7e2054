#include "link/hidapi_port.h"

#include <hidapi.h>

#include <cstring>

#include "link/device_enum.h"
#include "link/socket_port.h"
#ifdef __linux__
#include "link/hidraw_port.h"
#endif

namespace rq700 {

HidapiPort::~HidapiPort() { Close(); }

bool HidapiPort::Open(const std::string& path) {
  Close();
  if (path.empty() || hid_init() != 0) return false;
  device_ = hid_open_path(path.c_str());
  return device_ != nullptr;
}

void HidapiPort::Close() {
  if (device_ != nullptr) {
    hid_close(device_);
    device_ = nullptr;
  }
}

ReadResult HidapiPort::ReadReport(uint8_t* report, int timeout_ms) {
  if (device_ == nullptr) return ReadResult::kDisconnected;
  std::memset(report, 0, kReportSize);
  const int got = hid_read_timeout(device_, report + 1, kReportSize - 1, timeout_ms);
  if (got < 0) return ReadResult::kDisconnected;
  if (got == 0) return ReadResult::kNothing;
  return ReadResult::kData;
}

// hidapi gives no way to bound the write (Linux uses HidrawPort for that).
bool HidapiPort::WriteReport(const uint8_t* report, int /*timeout_ms*/) {
  if (device_ == nullptr) return false;
  return hid_write(device_, report, kReportSize) == kReportSize;
}

std::vector<DeviceEntry> EnumerateHidDevices() {
  std::vector<DeviceEntry> entries;
  if (hid_init() != 0) return entries;
  hid_device_info* list = hid_enumerate(0, 0);
  for (hid_device_info* info = list; info != nullptr; info = info->next) {
    DeviceEntry entry;
    entry.path = info->path != nullptr ? info->path : "";
    entry.vendor_id = info->vendor_id;
    entry.product_id = info->product_id;
    entry.release_number = info->release_number;
    entries.push_back(std::move(entry));
  }
  hid_free_enumeration(list);
  return entries;
}

std::unique_ptr<HidPort> MakeHidPort(const std::string& path) {
  if (path.rfind(kEmulatorPathPrefix, 0) == 0) return std::make_unique<SocketPort>();
#ifdef __linux__
  // hidapi cannot bound a write; the hidraw node itself can be.
  if (IsHidrawPath(path)) return std::make_unique<HidrawPort>();
#endif
  return std::make_unique<HidapiPort>();
}

}  // namespace rq700
