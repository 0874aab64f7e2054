// The editor's own link (sequencer, dispatcher, worker threads) against the emulator.
#include "protocol/editor_session.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "emulator/server.h"
#include "link/hid_device.h"
#include "protocol/device_state.h"
#include "protocol/window_link.h"

namespace rq700::emu {
namespace {

namespace fs = std::filesystem;

class QuietWindow : public WindowLink {
 public:
  void ImportResult(int) override {}
  void TransferResult(int) override {}
  void DeviceGone() override { gone.store(true); }
  void WaitingProgress(int) override {}
  std::atomic<bool> gone{false};
};

bool WaitFor(const std::function<bool()>& condition) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < end) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  return false;
}

class EditorSessionTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("rq700-emu-editor-" + std::to_string(getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    setenv("RQ700_EMU_DIR", (dir_ / "announce").c_str(), 1);
    options_.socket_path = (dir_ / "dev.sock").string();
    options_.log_file = (dir_ / "packets.log").string();
    options_.pacing = false;
    server_ = std::make_unique<EmulatorServer>(options_);
    std::string error;
    ASSERT_TRUE(server_->Start(&error)) << error;
    server_thread_ = std::thread([this] { server_->Run(); });
    session_ = std::make_unique<EditorSession>(state_, device_, window_);
    ASSERT_TRUE(session_->Start("emu:" + options_.socket_path));
    ASSERT_TRUE(WaitFor([&] { return state_.load_complete.load() == 1; }));
  }
  void TearDown() override {
    if (session_) session_->Shutdown();
    device_.Close();
    server_->Stop();
    server_thread_.join();
    fs::remove_all(dir_);
  }

  template <typename Visitor>
  auto Device(Visitor&& visit) {
    return server_->WithDevice(std::forward<Visitor>(visit));
  }

  std::string Log() {
    std::ifstream in(options_.log_file);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  fs::path dir_;
  Options options_;
  std::unique_ptr<EmulatorServer> server_;
  std::thread server_thread_;
  rq700::DeviceState state_;
  CHidDevice device_;
  QuietWindow window_;
  std::unique_ptr<EditorSession> session_;
};

TEST_F(EditorSessionTest, DumpFillsTheEditorWithTheDevicesPreset) {
  const PresetRecord working = Device([](DeviceEmulator& d) { return d.state().working; });
  EXPECT_EQ(state_.volume.cur.load(), working[record::kVolume]);
  EXPECT_EQ(state_.module[3].model.cur.load(), working[record::ModuleSlot(3)]);
  EXPECT_EQ(state_.module[3].param[0].cur.load(), working[record::ModuleSlot(3) + 2]);
  EXPECT_EQ(state_.chain_order[1].cur.load(), working[1]);
  EXPECT_EQ(state_.tempo.cur.load(), 120);
  EXPECT_FALSE(window_.gone.load());
}

TEST_F(EditorSessionTest, EditorEditsReachTheDeviceAndDeviceKnobsAreNotEchoed) {
  const size_t amp = record::ModuleSlot(3);
  state_.module[3].param[1].cur.store(77);
  state_.volume.cur.store(21);
  EXPECT_TRUE(WaitFor([&] {
    return Device([&](DeviceEmulator& d) {
      return d.state().working[amp + 3] == 77 && d.state().working[record::kVolume] == 21;
    });
  }));

  server_->Post("knob 3 1 93");
  EXPECT_TRUE(WaitFor([&] { return state_.module[3].param[0].cur.load() == 93; }));
  EXPECT_EQ(state_.module[3].param[0].sent.load(), 93);
  server_->Post("preset 42");
  EXPECT_TRUE(WaitFor([&] { return state_.list_cursor.cur.load() == 42; }));
  const PresetRecord preset42 = Device([](DeviceEmulator& d) { return d.state().presets[42]; });
  EXPECT_TRUE(WaitFor([&] { return state_.volume.cur.load() == preset42[record::kVolume]; }));

  // Give the sequencer a few turns: nothing goes back for what came from the device.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  const std::string log = Log();
  const size_t knob = log.find("D>H AA 55 11 00 93");
  ASSERT_NE(knob, std::string::npos);
  EXPECT_EQ(log.find("H>D AA 55 11 00 93", knob), std::string::npos) << "knob echoed back";
  EXPECT_EQ(log.find("H>D AA 55 02 00 A6", knob), std::string::npos) << "preset echoed back";
}

}  // namespace
}  // namespace rq700::emu
