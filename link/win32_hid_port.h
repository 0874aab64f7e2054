#ifndef RQ700_LINK_WIN32_HID_PORT_H_
#define RQ700_LINK_WIN32_HID_PORT_H_

#include <windows.h>

#include <string>

#include "link/hid_port.h"

namespace rq700 {

// Real HID devices on Windows, through the HID class driver: one handle opened for
// overlapped I/O, with its own OVERLAPPED record and manual-reset event for reads and for
// writes, so a read on one thread and a write on another never meet. A transfer that
// outlives its time-out is cancelled, and the cancel is awaited before the call returns:
// the report buffer and the OVERLAPPED record are free again for the next call. Windows
// puts the report ID in byte 0 of every report, as the link's report layout expects.
class Win32HidPort : public HidPort {
 public:
  Win32HidPort();
  ~Win32HidPort() override;
  Win32HidPort(const Win32HidPort&) = delete;
  Win32HidPort& operator=(const Win32HidPort&) = delete;

  // `path` is UTF-8: a device interface path from EnumerateHidDevices.
  bool Open(const std::string& path) override;
  void Close() override;
  bool IsOpen() const override { return handle_ != INVALID_HANDLE_VALUE; }
  // kNothing on time-out or a failed read; kDisconnected once the device is gone. A report
  // that arrives with no bytes comes back as data with a count of 0.
  ReadResult ReadReport(uint8_t* report, int timeout_ms) override;
  bool WriteReport(const uint8_t* report, int timeout_ms) override;

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
  OVERLAPPED read_overlapped_ = {};
  OVERLAPPED write_overlapped_ = {};
};

}  // namespace rq700

#endif  // RQ700_LINK_WIN32_HID_PORT_H_
