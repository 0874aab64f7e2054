#ifndef RQ700_LINK_HID_PORT_H_
#define RQ700_LINK_HID_PORT_H_

#include <cstdint>
#include <memory>
#include <string>

namespace rq700 {

// One HID report as it travels in either direction: report ID (always 0), count of valid
// payload bytes, 63 payload bytes.
inline constexpr int kReportSize = 65;
inline constexpr int kReportPayload = 63;

// How a report read ended.
enum class ReadResult { kData, kNothing, kDisconnected };

// The transport under CHidDevice and LauncherDevice: one open device that reads and
// writes whole 65-byte reports with time-outs. Reads and writes may run at the same time
// on two threads; Close is called when neither runs.
class HidPort {
 public:
  virtual ~HidPort() = default;

  virtual bool Open(const std::string& path) = 0;
  virtual void Close() = 0;
  virtual bool IsOpen() const = 0;

  // Reads one input report into `report` (65 bytes, report ID at 0) within `timeout_ms`.
  virtual ReadResult ReadReport(uint8_t* report, int timeout_ms) = 0;
  // Writes one output report (65 bytes, report ID at 0) within `timeout_ms`.
  virtual bool WriteReport(const uint8_t* report, int timeout_ms) = 0;
};

// Path prefix of the virtual devices that rq700-emu serves over a local socket.
inline constexpr char kEmulatorPathPrefix[] = "emu:";

// The transport for `path`: the virtual-device socket for "emu:<socket path>", hidapi
// for everything else; on Windows always the HID class driver's own port.
std::unique_ptr<HidPort> MakeHidPort(const std::string& path);

}  // namespace rq700

#endif  // RQ700_LINK_HID_PORT_H_
