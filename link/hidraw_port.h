#ifndef RQ700_LINK_HIDRAW_PORT_H_
#define RQ700_LINK_HIDRAW_PORT_H_

#include <memory>
#include <string>

#include "link/hid_port.h"

namespace rq700 {

// Real HID devices on Linux through their hidraw node (/dev/hidrawN, the paths hidapi's
// hidraw backend lists), so that a write keeps its time-out: hidapi's hid_write has none,
// and the kernel holds a write to a device that does not take it for its own USB time-out
// (seconds). Writes run on the port's writer thread; WriteReport waits for it at most the
// time-out it is given and then fails. A report that timed out is not withdrawn: the
// kernel still delivers or drops it, and the next write waits (within its own time-out)
// until it has. Reads poll the node; unnumbered reports, like hidapi's.
class HidrawPort : public HidPort {
 public:
  HidrawPort() = default;
  ~HidrawPort() override;
  HidrawPort(const HidrawPort&) = delete;
  HidrawPort& operator=(const HidrawPort&) = delete;

  bool Open(const std::string& path) override;
  // Never waits for a write the device has not taken: the writer thread then closes the
  // node itself once the kernel gives the write back.
  void Close() override;
  bool IsOpen() const override { return fd_ >= 0; }
  ReadResult ReadReport(uint8_t* report, int timeout_ms) override;
  bool WriteReport(const uint8_t* report, int timeout_ms) override;

 private:
  struct Writer;
  int fd_ = -1;
  std::shared_ptr<Writer> writer_;
};

// Whether `path` names a hidraw node, which HidrawPort opens.
bool IsHidrawPath(const std::string& path);

}  // namespace rq700

#endif  // RQ700_LINK_HIDRAW_PORT_H_
