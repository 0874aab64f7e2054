// The emulator served on its socket and driven through the host's own link code.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>

#include "emulator/server.h"
#include "host_harness.h"
#include "link/device_enum.h"
#include "link/hid_device.h"
#include "link/packet.h"
#include "link/packet_parser.h"

namespace rq700::emu {
namespace {

using testing::Bytes;
using testing::Packet;
using testing::PacketCollector;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

class LinkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("rq700-emu-link-" + std::to_string(getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "announce");
    setenv("RQ700_EMU_DIR", (dir_ / "announce").c_str(), 1);
    options_.socket_path = (dir_ / "dev.sock").string();
    options_.log_file = (dir_ / "packets.log").string();
    options_.pacing = false;
  }
  void TearDown() override {
    host_.Close();
    if (server_) {
      server_->Stop();
      thread_.join();
    }
    fs::remove_all(dir_);
  }

  void StartServer() {
    server_ = std::make_unique<EmulatorServer>(options_);
    std::string error;
    ASSERT_TRUE(server_->Start(&error)) << error;
    thread_ = std::thread([this] { server_->Run(); });
  }

  void OpenHost() { ASSERT_TRUE(host_.Open("emu:" + options_.socket_path)); }

  void SendPacket(uint8_t command, const Bytes& payload = {}) {
    uint8_t tx[2048];
    const size_t size = BuildPacket(command, payload.data(), payload.size(), tx, sizeof(tx));
    ASSERT_TRUE(host_.Send(tx, static_cast<int32_t>(size)));
  }

  // Reads until `done` says so or `limit` passes; false on time-out or disconnection.
  template <typename Done>
  bool ReadUntil(Done done, std::chrono::milliseconds limit = std::chrono::milliseconds(5000)) {
    const auto end = Clock::now() + limit;
    uint8_t buffer[64];
    while (Clock::now() < end) {
      const int n = host_.Read(buffer, sizeof(buffer));
      if (n < 0) return false;
      if (n > 0) {
        ring_.Push(buffer, static_cast<size_t>(n));
        parser_.Run(ring_, collector_);
      }
      if (done(collector_.packets)) return true;
    }
    return false;
  }

  bool WaitFor(std::function<bool()> condition) {
    const auto end = Clock::now() + std::chrono::seconds(5);
    while (Clock::now() < end) {
      if (condition()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
  }

  std::string Log() {
    std::ifstream in(options_.log_file);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  fs::path dir_;
  Options options_;
  std::unique_ptr<EmulatorServer> server_;
  std::thread thread_;
  CHidDevice host_;
  RxRing ring_;
  PacketParser parser_;
  PacketCollector collector_;
};

TEST_F(LinkTest, DumpArrivesCompleteWithIndex199Last) {
  StartServer();
  OpenHost();
  uint8_t startup[65] = {0, 1, 2, 3, 4};
  ASSERT_TRUE(host_.Send(startup, sizeof(startup)));
  SendPacket(0xE0);
  ASSERT_TRUE(ReadUntil([](const std::vector<Packet>& packets) {
    return !packets.empty() && packets.back().command == 0xA5 && packets.back().payload[0] == 199;
  }));
  int records = 0;
  for (const Packet& p : collector_.packets) records += p.command == 0xA5;
  EXPECT_EQ(records, 200);

  const std::string log = Log();
  EXPECT_EQ(log.rfind("H>D RAW 00 01 02 03 04 00", 0), 0u) << log.substr(0, 80);
  EXPECT_NE(
      log.find("\nH>D RAW 00 00\nH>D AA 55 01 00 E0 35 E1\nD>H AA 55 06 00 81 32 2E 30 2E 30 "),
      std::string::npos);
}

TEST_F(LinkTest, EditsChangeTheWorkingPresetAndTheNextHostIsServed) {
  StartServer();
  OpenHost();
  SendPacket(0x93, {0, 1, 0, 5, 0, 10, 0, 20, 0, 30, 0, 40, 0, 50, 0, 60});
  SendPacket(0xA2, {33});
  const size_t amp = record::ModuleSlot(3);
  EXPECT_TRUE(WaitFor([&] {
    return server_->WithDevice([&](DeviceEmulator& d) {
      return d.state().working[amp] == 5 && d.state().working[amp + 7] == 60 &&
             d.state().working[record::kVolume] == 33;
    });
  }));
  host_.Close();

  // The launcher queries, leaves; then the editor connects.
  OpenHost();
  uint8_t report[65] = {0, 9, 0xAA, 0x55, 0x03, 0x00, 0x84, 0x00, 0x00, 0xF6, 0xB7};
  ASSERT_TRUE(host_.WriteReport(report));
  ASSERT_TRUE(host_.WriteReport(report));
  int count = 0;
  uint8_t reply[65] = {};
  const auto end = Clock::now() + std::chrono::seconds(5);
  while (count == 0 && Clock::now() < end)
    ASSERT_TRUE(host_.ReadReport(reply, &count) || count == 0);
  ASSERT_GT(count, 0);
  // ReadReport hands over the payload only: report byte 8 is payload byte 6.
  EXPECT_EQ(std::string(reinterpret_cast<char*>(reply + 6), 5), "2.0.0");
  EXPECT_EQ(std::string(reinterpret_cast<char*>(reply + 11), 11), "ZORVA_RQ700");
  EXPECT_TRUE(WaitFor([&] { return server_->connections() == 2; }));
}

TEST_F(LinkTest, AnnouncesItselfAndUnplugWithdrawsAndDisconnects) {
  options_.release = 0x00C9;
  StartServer();
  const std::string announce_dir = (dir_ / "announce").string();
  std::vector<DeviceEntry> devices = EnumerateVirtualDevices(announce_dir);
  ASSERT_EQ(devices.size(), 1u);
  EXPECT_EQ(devices[0].path, "emu:" + options_.socket_path);
  EXPECT_EQ(devices[0].vendor_id, 0x0483);
  EXPECT_EQ(devices[0].product_id, 0x5703);
  EXPECT_EQ(devices[0].release_number, 0x00C9);

  OpenHost();
  SendPacket(0xA2, {1});
  EXPECT_TRUE(WaitFor([&] { return server_->connections() == 1; }));
  server_->Post("unplug");
  uint8_t buffer[64];
  EXPECT_TRUE(WaitFor([&] { return host_.Read(buffer, sizeof(buffer)) < 0; }));
  EXPECT_TRUE(WaitFor([&] { return EnumerateVirtualDevices(announce_dir).empty(); }));
  EXPECT_FALSE(fs::exists(options_.socket_path));

  server_->Post("plug");
  EXPECT_TRUE(WaitFor([&] { return EnumerateVirtualDevices(announce_dir).size() == 1; }));
}

TEST_F(LinkTest, KnobTurnedOnTheDeviceReachesTheHost) {
  StartServer();
  OpenHost();
  EXPECT_TRUE(WaitFor([&] { return server_->connections() == 1; }));
  server_->Post("knob 9 2 64");
  ASSERT_TRUE(ReadUntil([](const std::vector<Packet>& packets) { return !packets.empty(); }));
  EXPECT_EQ(collector_.packets[0].command, 0x99);
  EXPECT_EQ(collector_.packets[0].payload[7], 64);
}

TEST_F(LinkTest, PacedDeviceStillAnswersAndKeepsOrder) {
  options_.pacing = true;
  StartServer();
  OpenHost();
  SendPacket(0xA6, {7});
  SendPacket(0xE1, [] {
    Bytes b = {2, 1};
    b.resize(514, 0x55);
    return b;
  }());
  ASSERT_TRUE(ReadUntil([](const std::vector<Packet>& packets) { return packets.size() == 2; }));
  EXPECT_EQ(collector_.packets[0].command, 0x86);
  EXPECT_EQ(collector_.packets[1].command, 0xE1);
  EXPECT_EQ(collector_.packets[1].payload, Bytes({1}));
}

TEST_F(LinkTest, DisconnectFaultPullsTheCableOnceAndTheDeviceComesBack) {
  options_.faults.disconnect_after = 2;
  StartServer();
  OpenHost();
  SendPacket(0xA6, {4});
  ASSERT_TRUE(ReadUntil([](const std::vector<Packet>& p) { return p.size() == 1; }));
  SendPacket(0xA6, {5});
  uint8_t buffer[64];
  EXPECT_TRUE(WaitFor([&] { return host_.Read(buffer, sizeof(buffer)) < 0; }));
  EXPECT_EQ(collector_.packets.size(), 1u) << "the second request was not answered";
  host_.Close();
  OpenHost();
  collector_.packets.clear();
  SendPacket(0xA6, {6});
  ASSERT_TRUE(ReadUntil([](const std::vector<Packet>& p) { return p.size() == 1; }));
  EXPECT_EQ(collector_.packets[0].command, 0x86);
}

TEST_F(LinkTest, UpdateModeRebootsIntoNormalModeWithTheNewVersion) {
  options_.mode = Mode::kUpdate;
  Bytes data(512, 0xEE);
  const std::string tag = "ZORVA_RQ700_V2.0.1";
  std::copy(tag.begin(), tag.end(), data.begin() + 98);
  const Bytes image = testing::OneSegmentImage(0x10, 0x5C, 0x20, 0x6E, 0x0100, data);
  options_.firmware_file = (dir_ / "image.zr").string();
  options_.received_dir = (dir_ / "received").string();
  std::ofstream(options_.firmware_file, std::ios::binary)
      .write(reinterpret_cast<const char*>(image.data()), static_cast<long>(image.size()));
  StartServer();
  const std::string announce_dir = (dir_ / "announce").string();
  ASSERT_EQ(EnumerateVirtualDevices(announce_dir).at(0).product_id, 0x5750);
  OpenHost();
  uint8_t wake[65] = {0, 8};
  ASSERT_TRUE(host_.WriteReport(wake));
  SendPacket(0xAA, {0});
  SendPacket(0x00, {0});
  ASSERT_TRUE(ReadUntil([](const std::vector<Packet>& p) { return p.size() == 1; }));
  EXPECT_EQ(collector_.packets[0].command, 0x01);
  SendPacket(0x10, {0, 0, 0, 0});
  ASSERT_TRUE(ReadUntil([](const std::vector<Packet>& p) { return p.size() == 2; }));
  EXPECT_EQ(collector_.packets[1].command, 0x5C);
  EXPECT_EQ(collector_.packets[1].payload.at(0), 1);
  Bytes block = {0x01, 0x00};
  block.insert(block.end(), data.begin(), data.end());
  SendPacket(0x20, block);
  ASSERT_TRUE(ReadUntil([](const std::vector<Packet>& p) { return p.size() == 3; }));
  EXPECT_EQ(collector_.packets[2].command, 0x6E);
  EXPECT_EQ(collector_.packets[2].payload, Bytes({0x01, 0x00}));
  SendPacket(0xFF, {0});

  // The device reboots: the host loses it, and it comes back as a normal-mode device.
  uint8_t buffer[64];
  EXPECT_TRUE(WaitFor([&] { return host_.Read(buffer, sizeof(buffer)) < 0; }));
  EXPECT_TRUE(WaitFor([&] {
    const auto devices = EnumerateVirtualDevices(announce_dir);
    return devices.size() == 1 && devices[0].product_id == 0x5703;
  }));
  host_.Close();
  OpenHost();
  collector_.packets.clear();
  SendPacket(0x84, {0, 0});
  ASSERT_TRUE(ReadUntil([](const std::vector<Packet>& p) { return p.size() == 1; }));
  EXPECT_EQ(std::string(collector_.packets[0].payload.begin() + 1,
                        collector_.packets[0].payload.begin() + 6),
            "2.0.1");
  const std::string log = Log();
  EXPECT_NE(log.find("H>D RAW 00 00 00 00 00 00 00 00\n"), std::string::npos);
  EXPECT_EQ(log.find("REFUSED"), std::string::npos) << log;
  std::ifstream received(dir_ / "received" / "segment-1.bin", std::ios::binary);
  EXPECT_EQ(Bytes(std::istreambuf_iterator<char>(received), std::istreambuf_iterator<char>()),
            data);
}

}  // namespace
}  // namespace rq700::emu
