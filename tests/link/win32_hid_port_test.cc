// The Windows HID port, driven through the editor's and the launcher's device objects. The
// device is the server end of a message-mode named pipe: the port opens it by path and
// reads and writes it with overlapped I/O, one 65-byte message per report, as it does a
// HID device.
#include "link/win32_hid_port.h"

#include <gtest/gtest.h>
#include <process.h>

#include <atomic>
#include <chrono>
#include <future>
#include <string>
#include <vector>

#include "link/device_enum.h"
#include "link/hid_device.h"
#include "link/launcher_device.h"
#include "link/platform.h"

namespace rq700 {
namespace {

using Bytes = std::vector<uint8_t>;

class PipeDevice {
 public:
  PipeDevice() {
    static std::atomic<int> counter{0};
    // Not ASCII, so that opening it proves the path reaches Windows as UTF-16.
    path_ = "\\\\.\\pipe\\rq700-Ger\xC3\xA4t-" + std::to_string(_getpid()) + "-" +
            std::to_string(counter++);
    // Room for two reports from the host: a third write waits until one is read.
    server_ = CreateNamedPipeW(WideFromUtf8(path_).c_str(), PIPE_ACCESS_DUPLEX,
                               PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE | PIPE_WAIT, 1,
                               kReportSize, 2 * kReportSize, 0, nullptr);
  }
  ~PipeDevice() { Unplug(); }

  bool ok() const { return server_ != INVALID_HANDLE_VALUE; }
  const std::string& path() const { return path_; }

  // Sends one input report of `count` with `payload`; `size` bytes in all (0: an empty
  // message).
  void Send(uint8_t count, const Bytes& payload, DWORD size = kReportSize) {
    uint8_t report[kReportSize] = {};
    report[1] = count;
    std::copy(payload.begin(), payload.end(), report + 2);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(server_, report, size, &written, nullptr));
  }
  // The next output report the host wrote, whole.
  Bytes Receive() {
    uint8_t report[kReportSize + 1];
    DWORD got = 0;
    if (!ReadFile(server_, report, sizeof(report), &got, nullptr)) return {};
    return Bytes(report, report + got);
  }
  void Unplug() {
    if (server_ != INVALID_HANDLE_VALUE) CloseHandle(server_);
    server_ = INVALID_HANDLE_VALUE;
  }

 private:
  std::string path_;
  HANDLE server_ = INVALID_HANDLE_VALUE;
};

TEST(Win32HidPort, CarriesReportsBothWaysOutlastsTimeOutsAndSeesTheDeviceGo) {
  PipeDevice device;
  ASSERT_TRUE(device.ok());
  CHidDevice host;  // picks the Windows port itself
  ASSERT_TRUE(host.Open(device.path()));

  uint8_t buffer[kReportPayload];
  // Nothing comes: the read times out, is cancelled, and the port reads on as before.
  EXPECT_EQ(host.Read(buffer, sizeof(buffer)), 0);
  EXPECT_EQ(host.Read(buffer, sizeof(buffer)), 0);
  device.Send(3, {7, 8, 9});
  ASSERT_EQ(host.Read(buffer, sizeof(buffer)), 3);
  EXPECT_EQ(Bytes(buffer, buffer + 3), (Bytes{7, 8, 9}));

  // A report that brings no bytes is read and delivers nothing.
  device.Send(0, {}, 0);
  int count = -2;
  EXPECT_TRUE(host.ReadReport(buffer, &count));
  EXPECT_EQ(count, 0);

  // 65 bytes go out as a report of 63 and one of 2, each with report ID 0.
  Bytes data(65);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i + 1);
  ASSERT_TRUE(host.Send(data.data(), static_cast<int32_t>(data.size())));
  const Bytes first = device.Receive();
  ASSERT_EQ(first.size(), size_t{kReportSize});
  EXPECT_EQ(first[0], 0);
  EXPECT_EQ(first[1], 63);
  EXPECT_EQ(Bytes(first.begin() + 2, first.end()), Bytes(data.begin(), data.begin() + 63));
  const Bytes second = device.Receive();
  ASSERT_EQ(second.size(), size_t{kReportSize});
  EXPECT_EQ(second[1], 2);
  EXPECT_EQ(second[2], 64);
  EXPECT_EQ(second[3], 65);

  device.Unplug();
  EXPECT_EQ(host.Read(buffer, sizeof(buffer)), -1);
}

TEST(Win32HidPort, AWriteTheDeviceDoesNotTakeTimesOutAndLeavesThePortUsable) {
  PipeDevice device;
  ASSERT_TRUE(device.ok());
  Win32HidPort port;
  ASSERT_TRUE(port.Open(device.path()));
  uint8_t report[kReportSize] = {0, 1, 42};
  // The device reads nothing: its buffer fills and a write soon waits in vain.
  int taken = 0;
  while (taken < 4 && port.WriteReport(report, CHidDevice::kWriteTimeoutMs)) ++taken;
  ASSERT_LT(taken, 4) << "no write ever timed out";
  // The cancelled report never arrives; the ones taken before it do, and writing goes on.
  for (int i = 0; i < taken; ++i) EXPECT_EQ(device.Receive().at(2), 42);
  report[2] = 43;
  EXPECT_TRUE(port.WriteReport(report, CHidDevice::kWriteTimeoutMs));
  EXPECT_EQ(device.Receive().at(2), 43);
}

TEST(Win32HidPort, CloseReleasesALauncherReadWaitingOnAnotherThread) {
  PipeDevice device;
  ASSERT_TRUE(device.ok());
  LauncherDevice launcher;
  ASSERT_TRUE(launcher.Open(device.path()));
  auto read = std::async(std::launch::async, [&] {
    uint8_t buffer[kReportPayload];
    int count = 0;
    return launcher.ReadReport(buffer, &count);
  });
  // Let the read go through a few time-out slices before Close.
  EXPECT_EQ(read.wait_for(std::chrono::milliseconds(200)), std::future_status::timeout);
  launcher.Close();
  ASSERT_EQ(read.wait_for(std::chrono::seconds(10)), std::future_status::ready);
  EXPECT_FALSE(read.get());
}

TEST(Win32HidPort, MissingDevicesAndClosedPortsFailCleanly) {
  Win32HidPort port;
  EXPECT_FALSE(port.Open("\\\\.\\pipe\\rq700-no-such-device"));
  EXPECT_FALSE(port.Open(""));
  EXPECT_FALSE(port.IsOpen());
  uint8_t report[kReportSize] = {};
  EXPECT_EQ(port.ReadReport(report, 10), ReadResult::kDisconnected);
  EXPECT_FALSE(port.WriteReport(report, 10));
  // Whatever HID devices this machine has, each comes with a path to open it by.
  for (const DeviceEntry& entry : EnumerateHidDevices()) EXPECT_FALSE(entry.path.empty());
}

}  // namespace
}  // namespace rq700
