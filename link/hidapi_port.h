#ifndef RQ700_LINK_HIDAPI_PORT_H_
#define RQ700_LINK_HIDAPI_PORT_H_

#include <string>

#include "link/hid_port.h"

struct hid_device_;

namespace rq700 {

// Real HID devices through hidapi (hidraw on Linux). The device's reports carry no report
// ID of their own: ID 0 is stripped on reads and put back in front, and passed to
// hid_write on writes as hidapi expects for unnumbered reports.
class HidapiPort : public HidPort {
 public:
  HidapiPort() = default;
  ~HidapiPort() override;
  HidapiPort(const HidapiPort&) = delete;
  HidapiPort& operator=(const HidapiPort&) = delete;

  bool Open(const std::string& path) override;
  void Close() override;
  bool IsOpen() const override { return device_ != nullptr; }
  ReadResult ReadReport(uint8_t* report, int timeout_ms) override;
  // hidapi offers no write time-out: the write waits as long as the system lets it. On
  // Linux, MakeHidPort opens hidraw nodes with HidrawPort, which keeps the time-out.
  bool WriteReport(const uint8_t* report, int timeout_ms) override;

 private:
  hid_device_* device_ = nullptr;
};

}  // namespace rq700

#endif  // RQ700_LINK_HIDAPI_PORT_H_
