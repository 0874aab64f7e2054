#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "link/hid_device.h"
#include "link/socket_port.h"
#ifdef __linux__
#include <fcntl.h>
#include <sys/stat.h>

#include "link/hidraw_port.h"
#endif

namespace rq700 {
namespace {

using Bytes = std::vector<uint8_t>;

// A host CHidDevice connected to a scripted device end over the virtual-device socket.
class SocketTransportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("rq700-link-test-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir_);
    path_ = (dir_ / "dev.sock").string();
    ASSERT_TRUE(listener_.Listen(path_));
    ASSERT_TRUE(host_.Open("emu:" + path_));
    peer_ = listener_.Accept(1000);
    ASSERT_NE(peer_, nullptr);
  }
  void TearDown() override {
    host_.Close();
    peer_.reset();
    listener_.Close();
    std::filesystem::remove_all(dir_);
  }

  // Reports the peer received, as (count, payload) pairs; stops at the first 50 ms gap.
  std::vector<Bytes> PeerReports() {
    std::vector<Bytes> reports;
    uint8_t report[kReportSize];
    while (peer_->ReadReport(report, 50) == ReadResult::kData) {
      EXPECT_EQ(report[0], 0) << "report ID";
      reports.emplace_back(report + 2, report + 2 + report[1]);
    }
    return reports;
  }

  void PeerSends(uint8_t count, const Bytes& payload) {
    uint8_t report[kReportSize] = {};
    report[1] = count;
    std::memcpy(report + 2, payload.data(), std::min<size_t>(payload.size(), 63));
    ASSERT_TRUE(peer_->WriteReport(report, 100));
  }

  std::filesystem::path dir_;
  std::string path_;
  SocketListener listener_;
  CHidDevice host_;
  std::unique_ptr<SocketPort> peer_;
};

Bytes Counting(size_t n) {
  Bytes data(n);
  for (size_t i = 0; i < n; ++i) data[i] = static_cast<uint8_t>(i + 1);
  return data;
}

TEST_F(SocketTransportTest, SendCutsBuffersIntoReportsOf63) {
  Bytes data = Counting(65);
  ASSERT_TRUE(host_.Send(data.data(), 65));
  auto reports = PeerReports();
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[0], Bytes(data.begin(), data.begin() + 63));
  EXPECT_EQ(reports[1], Bytes(data.begin() + 63, data.end()));

  data = Counting(126);
  ASSERT_TRUE(host_.Send(data.data(), 126));
  reports = PeerReports();
  ASSERT_EQ(reports.size(), 2u);
  EXPECT_EQ(reports[0].size(), 63u);
  EXPECT_EQ(reports[1], Bytes(data.begin() + 63, data.end()));

  EXPECT_TRUE(host_.Send(data.data(), 0));
  EXPECT_TRUE(PeerReports().empty());
}

TEST_F(SocketTransportTest, ReadDeliversOneReportPayload) {
  PeerSends(5, {0xAA, 0x55, 0x01, 0x00, 0xE0});
  uint8_t buffer[10240];
  ASSERT_EQ(host_.Read(buffer, sizeof(buffer)), 5);
  EXPECT_EQ(Bytes(buffer, buffer + 5), (Bytes{0xAA, 0x55, 0x01, 0x00, 0xE0}));

  // A report with no payload and one whose count is beyond the report deliver nothing.
  PeerSends(0, {});
  EXPECT_EQ(host_.Read(buffer, sizeof(buffer)), 0);
  PeerSends(64, Counting(63));
  EXPECT_EQ(host_.Read(buffer, sizeof(buffer)), 0);
  PeerSends(0xFF, Counting(63));
  EXPECT_EQ(host_.Read(buffer, sizeof(buffer)), 0);
  // A small buffer is never written past.
  PeerSends(63, Counting(63));
  uint8_t small[8] = {};
  EXPECT_EQ(host_.Read(small, 4), 4);
  EXPECT_EQ(small[4], 0);
}

TEST_F(SocketTransportTest, SilentPeerTimesOutAndClosedPeerIsDisconnected) {
  uint8_t buffer[64];
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(host_.Read(buffer, sizeof(buffer)), 0);
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, std::chrono::milliseconds(45));
  EXPECT_LT(waited, std::chrono::milliseconds(2000));

  peer_.reset();
  EXPECT_EQ(host_.Read(buffer, sizeof(buffer)), -1);
  // A write never reports the disconnection; it simply fails.
  Bytes data = Counting(10);
  EXPECT_FALSE(host_.Send(data.data(), 10));
}

TEST(SocketPortTest, OpenFailsForMissingSocketAndBadPath) {
  CHidDevice device;
  EXPECT_FALSE(device.Open("emu:/nonexistent/rq700.sock"));
  EXPECT_FALSE(device.connected());
  EXPECT_FALSE(device.Open(""));
  uint8_t buffer[64];
  EXPECT_EQ(device.Read(buffer, sizeof(buffer)), 0);
  EXPECT_FALSE(device.Send(buffer, 10));
}

// A port whose writes start failing after a given number of reports.
class FailingPort : public HidPort {
 public:
  explicit FailingPort(int good_writes) : good_writes_(good_writes) {}
  bool Open(const std::string&) override { return open_ = true; }
  void Close() override { open_ = false; }
  bool IsOpen() const override { return open_; }
  ReadResult ReadReport(uint8_t*, int) override { return ReadResult::kNothing; }
  bool WriteReport(const uint8_t* report, int timeout_ms) override {
    EXPECT_EQ(timeout_ms, 100);
    ++attempts;
    counts.push_back(report[1]);
    return attempts <= good_writes_;
  }
  int attempts = 0;
  std::vector<int> counts;

 private:
  int good_writes_;
  bool open_ = false;
};

TEST(CHidDeviceTest, SendStopsAtTheFirstFailedReport) {
  auto port = std::make_unique<FailingPort>(1);
  FailingPort* raw = port.get();
  CHidDevice device(std::move(port));
  ASSERT_TRUE(device.Open("anything"));
  Bytes data = Counting(63 * 4 + 5);
  EXPECT_FALSE(device.Send(data.data(), static_cast<int32_t>(data.size())));
  EXPECT_EQ(raw->attempts, 2);
  EXPECT_EQ(raw->counts, (std::vector<int>{63, 63}));
}

#ifdef __linux__
// A device that stops taking reports, played by a pipe nobody empties (a write to it
// blocks in the kernel as one to a wedged device does): every write gives up after its
// time-out, and so does Close; once the device takes reports again, writes go through.
TEST(HidrawPortTest, WedgedDeviceCannotHoldWritesOrClose) {
  const std::string fifo =
      std::filesystem::temp_directory_path() / ("rq700-hidraw-test-" + std::to_string(getpid()));
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  HidrawPort port;
  ASSERT_TRUE(port.Open(fifo));
  const int device = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(device, 0);
  auto take_all = [device] {
    char sink[4096];
    while (read(device, sink, sizeof(sink)) > 0) {
    }
  };
  uint8_t report[kReportSize] = {0, 2, 0xAA, 0x55};
  int taken = 0;
  while (port.WriteReport(report, 100)) ++taken;
  EXPECT_GT(taken, 100) << "the pipe holds many reports before it wedges";
  EXPECT_FALSE(port.WriteReport(report, 50)) << "still wedged";

  take_all();
  ASSERT_TRUE(port.WriteReport(report, 2000));
  uint8_t in[kReportSize];
  ASSERT_EQ(port.ReadReport(in, 1000), ReadResult::kData);
  EXPECT_EQ(in[3], 0xAA) << "the node's bytes follow the report ID";
  take_all();
  EXPECT_EQ(port.ReadReport(in, 20), ReadResult::kNothing);

  while (port.WriteReport(report, 50)) {
  }
  port.Close();
  EXPECT_FALSE(port.IsOpen());
  EXPECT_FALSE(port.WriteReport(report, 50));
  take_all();  // lets the writer thread finish and close its end
  close(device);
  unlink(fifo.c_str());
}
#endif

}  // namespace
}  // namespace rq700
