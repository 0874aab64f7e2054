#ifndef RQ700_LINK_HID_DEVICE_H_
#define RQ700_LINK_HID_DEVICE_H_

#include <cstdint>
#include <memory>
#include <string>

#include "link/hid_port.h"

namespace rq700 {

// The editor's device: reads one input report at a time (50 ms wait) and sends byte
// buffers cut into 63-byte reports (100 ms wait each). Read runs on the reader thread and
// Send on one other thread at a time, so neither takes a lock.
class CHidDevice {
 public:
  static constexpr int kReadTimeoutMs = 50;
  static constexpr int kWriteTimeoutMs = 100;

  // Opens paths with the transport MakeHidPort picks.
  CHidDevice() = default;
  // Uses `port` for every Open (tests, pre-made transports).
  explicit CHidDevice(std::unique_ptr<HidPort> port);
  ~CHidDevice();
  CHidDevice(const CHidDevice&) = delete;
  CHidDevice& operator=(const CHidDevice&) = delete;

  bool Open(const std::string& path);
  bool Close();

  // Reads one report. True when a report was read (count = its payload bytes, 0 when it
  // carried none); false on time-out or error, with count = -1 when the device is gone.
  bool ReadReport(uint8_t* out, int* count);
  // Payload bytes delivered (up to `capacity`), 0 when nothing arrived, -1 when the
  // device is not connected.
  int Read(uint8_t* buffer, int capacity);
  bool WriteReport(const uint8_t* report);
  // Sends `length` bytes as reports of 63 and a last shorter one; stops at the first
  // report that fails. Length 0 sends nothing and succeeds.
  bool Send(const uint8_t* data, int32_t length);

  bool connected() const { return connected_; }
  bool opened() const { return port_ != nullptr && port_->IsOpen(); }

 private:
  std::unique_ptr<HidPort> port_;
  bool fixed_port_ = false;
  bool connected_ = false;
  uint8_t read_report_[kReportSize] = {};
  uint8_t send_report_[kReportSize] = {};
};

}  // namespace rq700

#endif  // RQ700_LINK_HID_DEVICE_H_
