// The editor's window and start-up against the virtual device, in one process: the
// emulator serves on a socket, the editor opens it like any device path.
#include <gtest/gtest.h>

#include <QFile>
#include <QProgressBar>
#include <QTemporaryDir>
#include <atomic>
#include <memory>
#include <thread>

#include "editor/editor_program.h"
#include "editor/link_session.h"
#include "emulator/server.h"
#include "tests/editor/qt_app.h"
#include "tests/editor/recording_shell.h"

namespace rq700 {
namespace {

using testing::PumpUntil;
using testing::RecordingShell;

class EditorAgainstEmulatorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureApp();
    ASSERT_TRUE(dir_.isValid());
    qputenv("RQ700_EMU_DIR", dir_.filePath("announce").toUtf8());
  }

  void TearDown() override {
    program_.reset();
    session_.reset();
    if (server_ != nullptr) {
      server_->Stop();
      server_thread_.join();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  void StartEmulator(const emu::Faults& faults = {}) {
    emu::Options options;
    options.socket_path = dir_.filePath("rq700.sock").toStdString();
    options.pacing = false;
    options.log_file = log_path();
    options.faults = faults;
    server_ = std::make_unique<emu::EmulatorServer>(options);
    std::string error;
    ASSERT_TRUE(server_->Start(&error)) << error;
    server_thread_ = std::thread([this] { server_->Run(); });
  }

  std::string device_path() const { return "emu:" + dir_.filePath("rq700.sock").toStdString(); }
  std::string log_path() const { return dir_.filePath("packets.log").toStdString(); }

  // Host packets in the emulator's log that carry `command`.
  int HostPackets(const char* command_hex) {
    QFile log(QString::fromStdString(log_path()));
    if (!log.open(QIODevice::ReadOnly)) return 0;
    const QByteArray needle = QByteArray("H>D AA 55 ");
    int count = 0;
    for (const QByteArray& line : log.readAll().split('\n')) {
      // H>D AA 55 LL LL CC ...
      if (line.startsWith(needle) && line.mid(needle.size() + 6, 2) == command_hex) ++count;
    }
    return count;
  }

  void MakeProgram() {
    state_ = std::make_unique<DeviceState>();
    session_ = std::make_unique<LinkSession>(*state_);
    EditorProgram::Options options;
    options.window.run_timers = false;
    options.image_folder = dir_.filePath("img");
    program_ = std::make_unique<EditorProgram>(*state_, shell_, *session_, options);
  }

  // Starts the editor and waits for the whole dump; the window is then shown.
  MainWindow* StartAndLoad() {
    MakeProgram();
    EXPECT_TRUE(program_->Start(device_path()));
    EXPECT_TRUE(PumpUntil([&] { return state_->load_complete.load() != 0; }));
    MainWindow* window = program_->window();
    window->StartupTick();
    EXPECT_TRUE(PumpUntil([&] { return window->isVisible() && window->width() == 1232; }));
    return window;
  }

  QTemporaryDir dir_;
  RecordingShell shell_;
  std::unique_ptr<emu::EmulatorServer> server_;
  std::thread server_thread_;
  std::unique_ptr<DeviceState> state_;
  std::unique_ptr<LinkSession> session_;
  std::unique_ptr<EditorProgram> program_;
};

TEST_F(EditorAgainstEmulatorTest, EmptyPathCannotBeOpened) {
  MakeProgram();
  EXPECT_FALSE(program_->Start(""));
  ASSERT_EQ(shell_.messages.size(), 1u);
  EXPECT_EQ(shell_.messages[0].text, "Open Device fail");
  EXPECT_EQ(shell_.messages[0].caption, "Error");
  EXPECT_EQ(program_->window(), nullptr);
}

TEST_F(EditorAgainstEmulatorTest, DumpFillsTheBarThenTheWindowAppearsAtBaseSize) {
  StartEmulator();
  MakeProgram();
  ASSERT_TRUE(program_->Start(device_path()));
  WaitingDialog* waiting = program_->waiting_dialog();
  ASSERT_NE(waiting, nullptr);
  std::vector<int> positions;
  QObject::connect(waiting->progress_bar(), &QProgressBar::valueChanged,
                   [&](int value) { positions.push_back(value); });
  ASSERT_TRUE(PumpUntil([&] { return state_->load_complete.load() != 0; }));
  ASSERT_TRUE(PumpUntil([&] { return waiting->position() == 160; }));
  // One step per preset, in order, until the bar is full at preset 160.
  std::vector<int> expected;
  for (int i = 1; i <= 160; ++i) expected.push_back(i);
  EXPECT_EQ(positions, expected);
  MainWindow* window = program_->window();
  EXPECT_FALSE(window->isVisible());

  window->StartupTick();
  ASSERT_TRUE(PumpUntil([&] { return window->isVisible() && window->width() == 1232; }));
  EXPECT_EQ(window->size(), QSize(1232, 779));
  EXPECT_EQ(program_->waiting_dialog(), nullptr);
  EXPECT_EQ(HostPackets("E0"), 1) << "no re-request after a complete dump";
  EXPECT_FALSE(PresetName(*state_, 199).empty());
  EXPECT_TRUE(shell_.messages.empty());

  window->close();
  program_->Shutdown();
  EXPECT_FALSE(session_->session()->threads().running());
}

TEST_F(EditorAgainstEmulatorTest, KnobTurnedOnTheDeviceReachesTheEditModel) {
  StartEmulator();
  StartAndLoad();
  server_->Post("knob 3 1 77");
  ASSERT_TRUE(PumpUntil([&] { return state_->module[kAmp].param[0].Get() == 77; }));
  EXPECT_EQ(state_->module[kAmp].param[0].Sent(), 77) << "nothing is echoed back";
}

TEST_F(EditorAgainstEmulatorTest, UnpluggingWarnsAndEndsWithoutWaitingForTheReader) {
  StartEmulator();
  MainWindow* window = StartAndLoad();
  server_->Post("unplug");
  ASSERT_TRUE(PumpUntil([&] { return window->ended(); }));
  ASSERT_EQ(shell_.messages.size(), 1u);
  EXPECT_EQ(shell_.messages[0].text, "The device is disconnected");
  EXPECT_EQ(shell_.messages[0].caption, "Notice");
  EXPECT_TRUE(window->logic().disconnected());
  EXPECT_TRUE(session_->session()->threads().disconnected());
  program_->Shutdown();
  EXPECT_TRUE(PumpUntil([&] { return !session_->session()->threads().running(); }));
}

TEST_F(EditorAgainstEmulatorTest, DumpThatNeverCompletesIsAskedAgainThenGivenUp) {
  emu::Faults faults;
  faults.silent = {0xE0};
  StartEmulator(faults);
  MakeProgram();
  ASSERT_TRUE(program_->Start(device_path()));
  MainWindow* window = program_->window();
  ASSERT_TRUE(PumpUntil([&] { return HostPackets("E0") == 1; }));
  for (int i = 0; i < 79; ++i) window->StartupTick();
  QCoreApplication::processEvents();
  EXPECT_EQ(HostPackets("E0"), 1);
  window->StartupTick();  // tick 80
  ASSERT_TRUE(PumpUntil([&] { return HostPackets("E0") == 2; }));
  for (int i = 80; i < 199; ++i) window->StartupTick();
  EXPECT_FALSE(window->ended());
  EXPECT_TRUE(shell_.messages.empty());
  window->StartupTick();  // tick 200
  EXPECT_TRUE(window->ended());
  ASSERT_EQ(shell_.messages.size(), 1u);
  EXPECT_EQ(shell_.messages[0].text, "Updata preset fail");
  EXPECT_EQ(shell_.messages[0].caption, "ERROR");
  EXPECT_EQ(HostPackets("E0"), 2);
  program_->Shutdown();
  EXPECT_FALSE(session_->session()->threads().running());
}

TEST_F(EditorAgainstEmulatorTest, SystemByte7At2ClosesTheWindowAfter50Ticks) {
  StartEmulator();
  MainWindow* window = StartAndLoad();
  server_->Post("system 7 2");
  ASSERT_TRUE(PumpUntil([&] { return state_->system[7].Get() == 2; }));
  for (int i = 0; i < 49; ++i) window->RepaintTick();
  EXPECT_FALSE(window->ended());
  window->RepaintTick();
  EXPECT_TRUE(window->ended());
  program_->Shutdown();
  EXPECT_FALSE(session_->session()->threads().running());
}

}  // namespace
}  // namespace rq700
