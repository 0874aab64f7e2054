// The editor's window and start-up against the virtual device, in one process: the
// emulator serves on a socket, the editor opens it like any device path.
#include <gtest/gtest.h>

#include <QFile>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include "editor/editor_program.h"
#include "editor/link_session.h"
#include "editor/qt_shell.h"
#include "emulator/server.h"
#include "files/backup_reader.h"
#include "files/file_io.h"
#include "skin/view_layout.h"
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

  void StartEmulator(const emu::Faults& faults = {}, bool paced = false) {
    emu::Options options;
    options.socket_path = dir_.filePath("rq700.sock").toStdString();
    options.pacing = paced;
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

  // Payloads of the host packets with `command`, in the order the device got them, each
  // with its line number in the log.
  struct Sent {
    int line;
    std::vector<uint8_t> payload;
  };
  std::vector<Sent> HostPayloads(uint8_t command) {
    std::vector<Sent> sent;
    QFile log(QString::fromStdString(log_path()));
    if (!log.open(QIODevice::ReadOnly)) return sent;
    int line_number = 0;
    for (const QByteArray& line : log.readAll().split('\n')) {
      ++line_number;
      if (!line.startsWith("H>D AA 55 ")) continue;
      std::vector<uint8_t> bytes;
      for (const QByteArray& hex : line.mid(4).split(' ')) bytes.push_back(hex.toUInt(nullptr, 16));
      // AA 55, length (2), command, payload, CRC (2)
      if (bytes.size() < 7 || bytes[4] != command) continue;
      sent.push_back({line_number, std::vector<uint8_t>(bytes.begin() + 5, bytes.end() - 2)});
    }
    return sent;
  }
  // Waits until the device got a `command` packet whose payload starts with `prefix`,
  // logged after line `after`; the line of the last such packet, or 0.
  int WaitForPacket(uint8_t command, const std::vector<uint8_t>& prefix, int after = 0) {
    int found = 0;
    PumpUntil(
        [&] {
          for (const Sent& s : HostPayloads(command)) {
            if (s.line > after && s.payload.size() >= prefix.size() &&
                std::equal(prefix.begin(), prefix.end(), s.payload.begin()))
              found = s.line;
          }
          return found != 0;
        },
        kDeviceWaitMs);
    return found;
  }

  // The mouse on the real window (at base size, client pixels are base-canvas pixels).
  void Mouse(QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
    MainWindow* window = program_->window();
    const QPointF local(at);
    QMouseEvent event(type, local, window->mapToGlobal(local),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(window, &event);
  }
  void Drag(QPoint from, QPoint to) {
    Mouse(QEvent::MouseMove, from, Qt::NoButton);
    Mouse(QEvent::MouseButtonPress, from, Qt::LeftButton);
    Mouse(QEvent::MouseMove, (from + to) / 2, Qt::LeftButton);
    Mouse(QEvent::MouseMove, to, Qt::LeftButton);
    Mouse(QEvent::MouseButtonRelease, to, Qt::NoButton);
  }
  void Click(QPoint at) { Drag(at, at); }

  // Generous: other builds share the machine.
  static constexpr int kDeviceWaitMs = 20000;

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

// A point inside preset-list row `row`.
QPoint PresetRow(int row) { return QPoint(1100, 169 + 23 * row + 10); }

// The module command that carries module type `type`.
uint8_t ModuleCommand(int type) {
  return static_cast<uint8_t>(type <= 2 ? 0x8F + type : 0x90 + type);
}

TEST_F(EditorAgainstEmulatorTest, ClickedPresetRowIsSelectedOnTheDevice) {
  StartEmulator();
  StartAndLoad();
  // Nothing is sent after the dump that the device did not ask for: a few idle turns of
  // the sequencer bring no page report (the list row starts where its last-sent copy is).
  QElapsedTimer idle;
  idle.start();
  PumpUntil([&] { return idle.elapsed() > 300; });
  EXPECT_TRUE(HostPayloads(0x82).empty());
  EXPECT_TRUE(HostPayloads(0xA6).empty());

  Click(PresetRow(4));
  EXPECT_NE(WaitForPacket(0xA6, {4}), 0);
  EXPECT_EQ(state_->current_preset.load(), 4);
  EXPECT_TRUE(shell_.messages.empty());
}

TEST_F(EditorAgainstEmulatorTest, UnsavedEditAsksFirstAndNoStillSwitches) {
  StartEmulator();
  StartAndLoad();
  const int current = state_->current_preset.load();
  const int target = current == 7 ? 8 : 7;
  // An edit through the volume popup; the device hears it and the preset is dirty.
  Click(QPoint(950, 140));
  Click(QPoint(910, 100));
  ASSERT_NE(WaitForPacket(0xA2, {50}), 0);
  ASSERT_TRUE(PumpUntil([&] { return state_->dirty.load() == 1; }, kDeviceWaitMs));

  shell_.yes_answer = false;
  Click(PresetRow(target));
  ASSERT_EQ(shell_.messages.size(), 1u);
  char question[64];
  std::snprintf(question, sizeof(question), "Do you want to save changes to P%03d ?", current + 1);
  EXPECT_EQ(shell_.messages[0].text, question);
  EXPECT_NE(WaitForPacket(0xA6, {static_cast<uint8_t>(target)}), 0);
  EXPECT_EQ(state_->current_preset.load(), target);
  EXPECT_EQ(state_->dirty.load(), 0);
}

TEST_F(EditorAgainstEmulatorTest, ChainSlotClickSelectsAndSwitchesAndADragReorders) {
  StartEmulator();
  StartAndLoad();
  // A slot of the upper row whose module's panel is not the one shown.
  const int slot = state_->chain_order[2].Get() != state_->selected_module.Get() ? 2 : 3;
  const int type = state_->chain_order[slot].Get();
  const bool was_on = state_->chain_off[slot].Get() == 0;
  const QPoint centre(layout::kHitRects[11 + slot].left + 40, 500);

  // Its module's panel comes up and the device is told. A first click switches an on
  // module off (an off one stays off); the click after it on the same slot switches it on,
  // the next off again.
  Click(centre);
  EXPECT_EQ(state_->selected_module.Get(), type);
  EXPECT_NE(WaitForPacket(0x82, {static_cast<uint8_t>(type)}), 0);
  if (was_on) {
    EXPECT_NE(WaitForPacket(ModuleCommand(type), {0, 0}), 0) << "switched off";
  }
  Click(centre);
  const int on_line = WaitForPacket(ModuleCommand(type), {0, 1});
  EXPECT_NE(on_line, 0) << "switched on";
  Click(centre);
  EXPECT_NE(WaitForPacket(ModuleCommand(type), {0, 0}, on_line), 0) << "switched off again";

  // The module of slot 2 dropped on slot 6: slots 3..6 move one toward slot 2.
  std::vector<uint8_t> order;
  for (int slot = 0; slot < 9; ++slot) order.push_back(state_->chain_order[slot].Get());
  const uint8_t moved = order[1];
  order.erase(order.begin() + 1);
  order.insert(order.begin() + 5, moved);
  Drag(QPoint(520, 500), QPoint(700, 650));
  EXPECT_NE(WaitForPacket(0xA0, order), 0);
}

TEST_F(EditorAgainstEmulatorTest, VolumeSliderSendsTheVolumeUnderTheMouse) {
  StartEmulator();
  StartAndLoad();
  Click(QPoint(950, 140));
  Mouse(QEvent::MouseMove, QPoint(910, 100), Qt::NoButton);
  Mouse(QEvent::MouseButtonPress, QPoint(910, 100), Qt::LeftButton);
  EXPECT_NE(WaitForPacket(0xA2, {50}), 0);  // (910 - 855) x 100 / 110
  Mouse(QEvent::MouseMove, QPoint(943, 300), Qt::LeftButton);
  EXPECT_NE(WaitForPacket(0xA2, {80}), 0);
  Mouse(QEvent::MouseMove, QPoint(1100, 300), Qt::LeftButton);
  Mouse(QEvent::MouseButtonRelease, QPoint(1100, 300), Qt::NoButton);
  EXPECT_NE(WaitForPacket(0xA2, {100}), 0);
}

TEST_F(EditorAgainstEmulatorTest, SaveSendsTheUpperCasedNameToTheChosenSlotThenSelectsIt) {
  StartEmulator();
  StartAndLoad();
  const int slot = state_->current_preset.load() == 9 ? 10 : 9;
  shell_.save_answer = SaveDialogChoice{slot, u"my lead"};
  Click(QPoint(450, 55));
  ASSERT_EQ(shell_.save_dialogs.size(), 1u);
  const std::vector<uint8_t> save = {
      static_cast<uint8_t>(slot), 'M', 'Y', ' ', 'L', 'E', 'A', 'D', 0, 0, 0, 0, 0, 0, 0, 0};
  const int save_line = WaitForPacket(0xA8, save);
  ASSERT_NE(save_line, 0);
  const int select_line = WaitForPacket(0xA6, {static_cast<uint8_t>(slot)});
  EXPECT_GT(select_line, save_line) << "the device switches after it stored the preset";
  EXPECT_EQ(PresetName(*state_, slot), "P0" + std::to_string(slot + 1) + ": MY LEAD");
  EXPECT_EQ(HostPayloads(0xA8).size(), 1u);
}

// The panels, the pages and a typed value, one after the other on one window.
TEST_F(EditorAgainstEmulatorTest, PanelsPagesAndTypedValuesReachTheDevice) {
  StartEmulator();
  MainWindow* window = StartAndLoad();
  QtShell window_shell;  // the value entry box is the window's own
  window_shell.set_main_window(window);
  shell_.value_entry_to = &window_shell;
  struct Detach {
    RecordingShell& shell;
    ~Detach() { shell.value_entry_to = nullptr; }
  } detach{shell_};
  // The sequencer has taken the value: a later change is sent even back to an earlier value.
  auto taken = [](const auto& field, int value) {
    return PumpUntil([&] { return field.Sent() == value; }, kDeviceWaitMs);
  };
  auto centre = [](int rect) {
    const layout::Rect& r = layout::kHitRects[rect];
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  };
  auto key = [](QWidget* to, int qt_key, const QString& text, Qt::KeyboardModifiers mods = {}) {
    QKeyEvent down(QEvent::KeyPress, qt_key, mods, text);
    QCoreApplication::sendEvent(to, &down);
  };
  auto show = [&](int type) {  // by a click on its chain slot
    for (int slot = 0; slot < 9; ++slot)
      if (state_->chain_order[slot].Get() == type) Click(centre(11 + slot));
  };
  auto head = [&](int type) {  // a module packet's enable and model
    return std::vector<uint8_t>{0, state_->module[type].enable.Get(), 0,
                                state_->module[type].model.Get()};
  };
  auto last = [&](uint8_t command) {  // packets logged later have higher line numbers
    const auto sent = HostPayloads(command);
    return sent.empty() ? 0 : sent.back().line;
  };
  auto with = [](std::vector<uint8_t> v, std::initializer_list<int> more) {
    for (int b : more) v.push_back(static_cast<uint8_t>(b));
    return v;
  };

  // The middle of the AMP gain bar is 50.
  show(3);
  Click(QPoint(184, 267));
  ASSERT_TRUE(taken(state_->module[3].param[0], 0));
  int after = last(0x93);
  Click(QPoint(184 + 95, 267));
  EXPECT_NE(WaitForPacket(0x93, with(head(3), {0, 50}), after), 0);

  // A delay TIME bar dragged past its right end is 2500 ms.
  show(8);
  Click(centre(76));
  Click(QPoint(500, 116));  // DIGITAL: TIME on the middle column's third bar
  Mouse(QEvent::MouseButtonPress, QPoint(440 + 95, 357), Qt::LeftButton);
  ASSERT_TRUE(taken(state_->delay_word[3], 1270));
  after = last(0x98);
  Mouse(QEvent::MouseMove, QPoint(900, 100), Qt::LeftButton);
  Mouse(QEvent::MouseButtonRelease, QPoint(900, 100), Qt::NoButton);
  const int level = state_->delay_word[1].Get(), feedback = state_->delay_word[2].Get();
  EXPECT_NE(WaitForPacket(0x98,
                          with(head(8), {level >> 8, level & 255, feedback >> 8, feedback & 255,
                                         2500 >> 8, 2500 & 255}),
                          after),
            0);

  // 77 typed into the box over AMP P2's value box, then Enter.
  show(3);
  QLineEdit* box = window->value_entry();
  for (const char* digits : {"76", "77"}) {
    ASSERT_TRUE(taken(state_->module[3].param[1], state_->module[3].param[1].Get()));
    after = last(0x93);
    Click(QPoint(415, 312));
    ASSERT_TRUE(box->isVisible());
    key(box, Qt::Key_X, "x");  // only a number's keys reach the box
    key(box, Qt::Key_1, "1", Qt::ControlModifier);
    key(box, Qt::Key_Tab, "\t");
    for (const char* d = digits; *d; ++d) key(box, Qt::Key_0 + (*d - '0'), QString(*d));
    EXPECT_EQ(box->text(), digits);
    key(box, Qt::Key_Return, "\r");
    EXPECT_FALSE(box->isVisible());
    EXPECT_EQ(window->focusWidget(), window) << "the keyboard goes back to the window";
  }
  EXPECT_NE(WaitForPacket(0x93, with(head(3), {0, state_->module[3].param[0].Get(), 0, 77}), after),
            0);

  // The system page, its second confirmation and the page sent again after its OK.
  Click(centre(6));
  const int opened = WaitForPacket(0x82, {11, 0});
  EXPECT_NE(opened, 0);
  Click(centre(20));
  EXPECT_NE(WaitForPacket(0x82, {11, 5}), 0);
  const uint8_t value = state_->second_confirmation.Get() == 1 ? 0 : 1;
  Click(centre(85 + value));
  Click(centre(87));
  EXPECT_NE(WaitForPacket(0x89, {value}), 0);
  EXPECT_NE(WaitForPacket(0x82, {11, 0}, opened), 0);
  key(window, Qt::Key_Escape, "\x1b");

  // A switch-grid toggle: the flag and tab marker 2.
  Click(centre(7));
  Click(centre(42));
  if (state_->module_switch[5].Get() != 0) {
    Click(centre(26));  // off first, so that on is a change
    ASSERT_TRUE(taken(state_->module_switch[5], 0));
  }
  Click(centre(26));
  std::vector<uint8_t> tempo{0, static_cast<uint8_t>(state_->tempo.Get() / 2)};
  for (int type = 1; type <= 9; ++type) tempo.push_back(state_->module_switch[type].Get());
  EXPECT_EQ(tempo[6], 1);
  EXPECT_NE(WaitForPacket(0xA4, with(tempo, {2})), 0);
  key(window, Qt::Key_Escape, "\x1b");

  // An EXP module: the change and the settings.
  Click(centre(8));
  Click(centre(34));
  const uint8_t m = state_->exp1_module.Get() == 2 ? 3 : 2;
  Click(centre(47 + m - 1));
  EXPECT_NE(WaitForPacket(0x87, {1}), 0);
  EXPECT_NE(WaitForPacket(0xA3, {state_->exp_switch.Get(), static_cast<uint8_t>(m - 1)}), 0);
  key(window, Qt::Key_Escape, "\x1b");

  // At 150 % the box over DS/OD P3's value box (642, 346, 58 x 23) is scaled and cut.
  show(2);
  window->resize(1848, 1169);
  ASSERT_TRUE(PumpUntil([&] { return window->logic().horizontal_scale() == 1.5f; }));
  Click(QPoint(672 * 3 / 2, 356 * 3 / 2));
  EXPECT_EQ(box->geometry(), QRect(963, 519, 87, 34));
}

TEST_F(EditorAgainstEmulatorTest, PopupBacksUpAndRestoresTheDeviceWithItsMessages) {
  StartEmulator({}, /*paced=*/true);
  MainWindow* window = StartAndLoad();
  const QPoint popup_button(960, 55), restore_button(430, 250), backup_button(600, 250);
  const std::string file = dir_.filePath("device.zbf").toStdString();
  auto message_came = [&](std::string_view text) {
    const size_t before = shell_.messages.size();
    return PumpUntil(
        [&] { return shell_.messages.size() > before && shell_.messages.back().text == text; },
        kDeviceWaitMs);
  };

  // Backup into a name typed without ".zbf", which is added; then to the same name again:
  // the file it names exists, so the player is asked first, and No leaves the file and the
  // device alone. The popup stays open meanwhile.
  Click(popup_button);
  shell_.save_file_answer = dir_.filePath("device").toStdString();
  auto backed_up = [&] {
    EXPECT_TRUE(shell_.wait_cursor);
    ASSERT_TRUE(message_came("Backup successful!"));
    EXPECT_EQ(shell_.messages.back().caption, "Notice");
    EXPECT_FALSE(shell_.wait_cursor);
    files::BackupReader reader;
    EXPECT_TRUE(reader.Open(file)) << reader.error();
  };
  Click(backup_button);
  backed_up();
  const size_t requests = HostPayloads(0xAA).size();
  Click(backup_button);
  EXPECT_EQ(shell_.messages.back().text, "device.zbf already exists.\nDo you want to replace it?");
  EXPECT_FALSE(shell_.wait_cursor);
  EXPECT_EQ(HostPayloads(0xAA).size(), requests);
  shell_.yes_answer = true;
  Click(backup_button);
  backed_up();
  shell_.yes_answer = false;
  EXPECT_EQ(shell_.file_dialogs,
            (std::vector<std::string>{"Save As|Backup Flie (*.zbf)|RQ700_BACKUP.zbf",
                                      "Save As|Backup Flie (*.zbf)|" + file,
                                      "Save As|Backup Flie (*.zbf)|" + file}));
  // A folder that is not there: told at once, and the device is not asked.
  shell_.save_file_answer = dir_.filePath("gone/device.zbf").toStdString();
  const size_t asked = HostPayloads(0xAA).size();
  Click(backup_button);
  EXPECT_EQ(shell_.messages.back().text, "Backup fail! the file cannot be written");
  EXPECT_FALSE(shell_.wait_cursor);
  EXPECT_EQ(HostPayloads(0xAA).size(), asked);

  // A broken file is refused before anything is sent.
  std::vector<uint8_t> broken;
  ASSERT_TRUE(files::ReadWholeFile(file, 1 << 20, &broken));
  broken[3000] ^= 0x40;
  const std::string broken_path = dir_.filePath("broken.zbf").toStdString();
  ASSERT_TRUE(files::WriteFileSafely(broken_path, broken));
  shell_.open_files_answer = {broken_path};
  Click(restore_button);
  EXPECT_EQ(shell_.messages.back().text,
            "Wrong file format!\r\nPlease check compatibility of file type");
  EXPECT_EQ(shell_.messages.back().caption, "Error");
  EXPECT_FALSE(shell_.wait_cursor);
  EXPECT_TRUE(HostPayloads(0xAB).empty());

  // The good file: the percentage shows while it goes, then the program ends.
  shell_.open_files_answer = {file};
  Click(restore_button);
  std::vector<int> shown;
  ASSERT_TRUE(PumpUntil(
      [&] {
        const int percent = program_->view_state().transfer_percent;
        if (percent > 0 && (shown.empty() || shown.back() != percent)) shown.push_back(percent);
        return window->ended();
      },
      kDeviceWaitMs));
  EXPECT_EQ(shell_.messages.back().text, "Restore successful, please restart the software");
  EXPECT_GE(shown.size(), 3u);
  EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end()));
  EXPECT_EQ(HostPayloads(0xAB).size(), 200u + 1u + 4u * 2u + 5u);  // presets, system, slots
  EXPECT_EQ(HostPayloads(0xAB).front().payload[0], 1) << "the amplifier slots first";
}

// Ctrl+Z and Ctrl+Y after a drag of the AMP gain, then the DELAY of the first preset
// copied and pasted into the second: the device hears each as an edit.
TEST_F(EditorAgainstEmulatorTest, UndoRedoAndPasteReachTheDevice) {
  StartEmulator();
  MainWindow* window = StartAndLoad();
  ASSERT_EQ(state_->current_preset.load(), 0);
  auto key = [&](int qt_key, Qt::KeyboardModifiers mods = Qt::ControlModifier) {
    QKeyEvent down(QEvent::KeyPress, qt_key, mods);
    QCoreApplication::sendEvent(window, &down);
    QKeyEvent up(QEvent::KeyRelease, qt_key, mods);
    QCoreApplication::sendEvent(window, &up);
  };
  auto show = [&](int type) {  // by a click on its chain slot
    for (int slot = 0; slot < 9; ++slot) {
      if (state_->chain_order[slot].Get() == type)
        Click(
            QPoint(layout::kHitRects[11 + slot].left + 40, layout::kHitRects[11 + slot].top + 40));
    }
  };
  auto head = [&](int type) {
    return std::vector<uint8_t>{0, state_->module[type].enable.Get(), 0,
                                state_->module[type].model.Get()};
  };
  auto last = [&](uint8_t command) {
    const auto sent = HostPayloads(command);
    return sent.empty() ? 0 : sent.back().line;
  };

  show(kAmp);
  Click(QPoint(184, 267));  // GAIN 0
  ASSERT_TRUE(PumpUntil([&] { return state_->module[kAmp].param[0].Sent() == 0; }, kDeviceWaitMs));
  std::vector<uint8_t> old_gain = head(kAmp), new_gain = head(kAmp);
  old_gain.insert(old_gain.end(), {0, 0});
  new_gain.insert(new_gain.end(), {0, 70});
  const int before_drag = last(0x93);  // the drag's packets may be out before it returns
  Drag(QPoint(184 + 95, 267), QPoint(184 + 133, 267));  // 50, then 70
  int line = WaitForPacket(0x93, new_gain, before_drag);
  ASSERT_NE(line, 0);
  key(Qt::Key_Z);
  line = WaitForPacket(0x93, old_gain, line);
  EXPECT_NE(line, 0) << "undone: the old gain";
  key(Qt::Key_Y);
  EXPECT_NE(WaitForPacket(0x93, new_gain, line), 0) << "done again: the new gain";

  show(kDelay);
  key(Qt::Key_C);
  std::vector<uint8_t> delay = head(kDelay);
  const bool two_head = state_->module[kDelay].model.Get() == 9;
  for (int w : {1, 2, 3, 4})
    delay.insert(delay.end(),
                 {uint8_t(state_->delay_word[w].Get() >> 8), uint8_t(state_->delay_word[w].Get())});
  const int fifth = two_head ? state_->delay_time_b.Get() : state_->delay_word[5].Get();
  const int sixth = two_head ? state_->delay_word[6].Get() : 2;
  delay.insert(delay.end(),
               {uint8_t(fifth >> 8), uint8_t(fifth), uint8_t(sixth >> 8), uint8_t(sixth)});

  shell_.yes_answer = false;  // the gain and the click on DELAY's slot are not saved
  Click(PresetRow(1));
  ASSERT_NE(WaitForPacket(0xA6, {1}), 0);
  ASSERT_EQ(state_->current_preset.load(), 1);
  ASSERT_NE(head(kDelay), std::vector<uint8_t>(delay.begin(), delay.begin() + 4))
      << "the second preset's delay is another";
  const int before_paste = last(0x98);
  key(Qt::Key_V);
  EXPECT_NE(WaitForPacket(0x98, delay, before_paste), 0);
  EXPECT_EQ(shell_.statuses.back(), "DELAY settings pasted");
}

}  // namespace
}  // namespace rq700
