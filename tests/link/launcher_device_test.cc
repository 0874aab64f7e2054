#include "link/launcher_device.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <future>
#include <thread>
#include <vector>

#include "link/socket_port.h"

namespace rq700 {
namespace {

using namespace std::chrono_literals;

class LauncherDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("rq700-launcher-device-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir_);
    path_ = "emu:" + (dir_ / "dev.sock").string();
    ASSERT_TRUE(listener_.Listen(path_));
    ASSERT_TRUE(device_.Open(path_));
    peer_ = listener_.Accept(1000);
    ASSERT_NE(peer_, nullptr);
  }
  void TearDown() override {
    device_.Close();
    peer_.reset();
    listener_.Close();
    std::filesystem::remove_all(dir_);
  }

  std::filesystem::path dir_;
  std::string path_;
  SocketListener listener_;
  LauncherDevice device_;
  std::unique_ptr<SocketPort> peer_;
};

TEST_F(LauncherDeviceTest, CloseReleasesAReadWaitingOnAnotherThread) {
  auto read = std::async(std::launch::async, [this] {
    uint8_t payload[63];
    int count = -1;
    return device_.ReadReport(payload, &count);
  });
  // The read has nothing to return and no time-out of its own.
  EXPECT_EQ(read.wait_for(150ms), std::future_status::timeout);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(device_.Close());
  ASSERT_EQ(read.wait_for(1s), std::future_status::ready);
  EXPECT_FALSE(read.get());
  EXPECT_LT(std::chrono::steady_clock::now() - start, 500ms);
  EXPECT_FALSE(device_.is_open());

  // Closed, it neither reads nor sends; opened again, it reads once more.
  uint8_t payload[63];
  int count = 0;
  EXPECT_FALSE(device_.ReadReport(payload, &count));
  EXPECT_FALSE(device_.Send(payload, 1));
  ASSERT_TRUE(device_.Open(path_));
  auto peer = listener_.Accept(1000);
  ASSERT_NE(peer, nullptr);
  uint8_t report[kReportSize] = {0, 3, 7, 8, 9};
  ASSERT_TRUE(peer->WriteReport(report, 100));
  ASSERT_TRUE(device_.ReadReport(payload, &count));
  EXPECT_EQ(count, 3);
  EXPECT_EQ(payload[2], 9);
}

TEST_F(LauncherDeviceTest, ReadEndsWhenTheDeviceGoes) {
  auto read = std::async(std::launch::async, [this] {
    uint8_t payload[63];
    int count = 0;
    return device_.ReadReport(payload, &count);
  });
  peer_.reset();
  ASSERT_EQ(read.wait_for(1s), std::future_status::ready);
  EXPECT_FALSE(read.get());
}

TEST_F(LauncherDeviceTest, SendCutsAFramedBlockIntoNineReports) {
  std::vector<uint8_t> block(521);
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i * 7);
  ASSERT_TRUE(device_.Send(block.data(), static_cast<int32_t>(block.size())));
  std::vector<uint8_t> joined;
  std::vector<int> counts;
  uint8_t report[kReportSize];
  while (peer_->ReadReport(report, 50) == ReadResult::kData) {
    EXPECT_EQ(report[0], 0);
    counts.push_back(report[1]);
    joined.insert(joined.end(), report + 2, report + 2 + report[1]);
  }
  EXPECT_EQ(counts, (std::vector<int>{63, 63, 63, 63, 63, 63, 63, 63, 17}));
  EXPECT_EQ(joined, block);
}

TEST_F(LauncherDeviceTest, BrokenReportCountDeliversNothing) {
  uint8_t report[kReportSize] = {0, 200, 1, 2, 3};
  ASSERT_TRUE(peer_->WriteReport(report, 100));
  uint8_t payload[63] = {};
  int count = -1;
  EXPECT_TRUE(device_.ReadReport(payload, &count));
  EXPECT_EQ(count, 0);
}

}  // namespace
}  // namespace rq700
