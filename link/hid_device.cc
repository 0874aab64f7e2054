#include "link/hid_device.h"

#include <algorithm>
#include <cstring>

namespace rq700 {

CHidDevice::CHidDevice(std::unique_ptr<HidPort> port) : port_(std::move(port)), fixed_port_(true) {}

CHidDevice::~CHidDevice() { Close(); }

bool CHidDevice::Open(const std::string& path) {
  Close();
  if (!fixed_port_) port_ = MakeHidPort(path);
  connected_ = port_ != nullptr && port_->Open(path);
  return connected_;
}

bool CHidDevice::Close() {
  if (port_ != nullptr) port_->Close();
  return true;
}

bool CHidDevice::ReadReport(uint8_t* out, int* count) {
  *count = 0;
  if (!opened()) return false;
  switch (port_->ReadReport(read_report_, kReadTimeoutMs)) {
    case ReadResult::kNothing:
      return false;
    case ReadResult::kDisconnected:
      *count = -1;
      return false;
    case ReadResult::kData:
      break;
  }
  // A count above what a report can carry is a broken report: deliver nothing rather
  // than read past it.
  const int valid = read_report_[1];
  if (valid > kReportPayload) return true;
  std::memcpy(out, read_report_ + 2, static_cast<size_t>(valid));
  *count = valid;
  return true;
}

int CHidDevice::Read(uint8_t* buffer, int capacity) {
  uint8_t payload[kReportPayload];
  int count = 0;
  if (!ReadReport(payload, &count)) return count == -1 ? -1 : 0;
  const int delivered = std::min(count, std::max(capacity, 0));
  std::memcpy(buffer, payload, static_cast<size_t>(delivered));
  return delivered;
}

bool CHidDevice::WriteReport(const uint8_t* report) {
  if (!opened()) return false;
  return port_->WriteReport(report, kWriteTimeoutMs);
}

bool CHidDevice::Send(const uint8_t* data, int32_t length) {
  const int32_t full = length / kReportPayload;
  const int32_t rest = length % kReportPayload;
  send_report_[0] = 0;
  for (int32_t i = 0; i < full; ++i) {
    send_report_[1] = kReportPayload;
    std::memcpy(send_report_ + 2, data + i * kReportPayload, kReportPayload);
    if (!WriteReport(send_report_)) return false;
  }
  if (rest > 0) {
    send_report_[1] = static_cast<uint8_t>(rest);
    std::memcpy(send_report_ + 2, data + full * kReportPayload, static_cast<size_t>(rest));
    return WriteReport(send_report_);
  }
  return true;
}

}  // namespace rq700
