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
#include <optional>
#include <string>
#include <thread>
#include <vector>

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

namespace rq700::emu {
namespace {

// What the editor holds once the dump is over, to compare between start-ups.
struct StartupPicture {
  PresetRecord edit_model{};  // the device's working record, overwritten by the edit model
  std::vector<std::string> names;
  int cursor = -1;
  int tempo = 0;
  std::array<uint8_t, 10> system{};
  int exp_low = -1, exp_high = -1;
  std::string version;
  bool operator==(const StartupPicture&) const = default;
};

// The editor's start-up against every combination of dump order, packing and record echo
// ends with the device's current preset in the edit model, every name in the list and the
// preset clean; afterwards a knob turned on the device marks it unsaved again.
TEST(StartupMatrix, AnyDumpOrderPackingAndEchoGiveTheSameEditorState) {
  const fs::path dir = fs::temp_directory_path() / ("rq700-emu-matrix-" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  setenv("RQ700_EMU_DIR", (dir / "announce").c_str(), 1);
  std::optional<StartupPicture> first;
  int cell = 0;
  for (const bool shuffled : {false, true}) {
    for (const bool pack : {false, true}) {
      for (const bool echo : {true, false}) {
        SCOPED_TRACE(::testing::Message()
                     << "shuffled " << shuffled << " pack " << pack << " echo " << echo);
        Options options;
        options.socket_path = (dir / ("cell" + std::to_string(cell) + ".sock")).string();
        options.log_file = (dir / "packets.log").string();
        options.pacing = false;
        options.dump_order = shuffled ? DumpOrder::kShuffled : DumpOrder::kFixed;
        options.has_seed = true;
        options.seed = static_cast<uint64_t>(100 + cell++);
        options.pack = pack;
        options.record_echo = echo;
        EmulatorServer server(options);
        std::string error;
        ASSERT_TRUE(server.Start(&error)) << error;
        // A current preset other than the first, so a wrong or empty record shows.
        const PresetRecord expected = server.WithDevice([](DeviceEmulator& d) {
          d.state().current = 137;
          d.state().working = d.state().presets[137];
          return d.state().working;
        });
        std::thread serving([&] { server.Run(); });
        rq700::DeviceState state;
        CHidDevice device;
        QuietWindow window;
        EditorSession session(state, device, window);
        ASSERT_TRUE(session.Start("emu:" + options.socket_path));
        EXPECT_TRUE(WaitFor(
            [&] { return state.load_complete.load() == 1 && state.dump_running.load() == 0; }));

        StartupPicture picture;
        picture.edit_model = expected;
        WriteEditModel(state, picture.edit_model.data());
        for (int i = 0; i < record::kPresetCount; ++i)
          picture.names.push_back(PresetName(state, i));
        picture.cursor = state.list_cursor.Get();
        picture.tempo = state.tempo.Get();
        for (int b = 0; b < 10; ++b) picture.system[b] = state.system[b].Get();
        picture.exp_low = state.exp_low.Get();
        picture.exp_high = state.exp_high.Get();
        picture.version = VersionText(state);
        EXPECT_EQ(state.dirty.load(), 0) << "the dump left the preset marked unsaved";
        // The edit model keeps only one of THRE and TIME B, by the DELAY model.
        PresetRecord wanted = expected;
        if (expected[record::ModuleSlot(8)] == 9) {
          wanted[record::kDelayWord5] = picture.edit_model[record::kDelayWord5];
        } else {
          wanted[record::kDelayTimeBWord] = picture.edit_model[record::kDelayTimeBWord];
          wanted[record::kDelayTimeBWord + 1] = picture.edit_model[record::kDelayTimeBWord + 1];
        }
        EXPECT_TRUE(picture.edit_model == wanted) << "the edit model is not preset 137";
        EXPECT_EQ(picture.cursor, 137);
        EXPECT_EQ(picture.names[137].substr(0, 6), "P138: ");
        if (!first) {
          first = picture;
        } else {
          EXPECT_TRUE(picture == *first);
        }

        // After the dump the ordinary rules hold: a knob on the device makes it unsaved.
        server.Post("knob 3 1 77");
        EXPECT_TRUE(WaitFor([&] { return state.module[3].param[0].Get() == 77; }));
        EXPECT_EQ(state.dirty.load(), 1);

        session.Shutdown();
        device.Close();
        server.Stop();
        serving.join();
        std::ifstream in(options.log_file);
        const std::string log{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
        EXPECT_EQ(log.find("REFUSED"), std::string::npos) << log.substr(log.find("REFUSED"), 200);
      }
    }
  }
  fs::remove_all(dir);
}

}  // namespace
}  // namespace rq700::emu
