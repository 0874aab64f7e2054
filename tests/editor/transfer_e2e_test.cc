// The editor's transfers against the virtual device, in one process: user slots loaded and
// cleared, preset files in and out, files dropped on the window.
#include <gtest/gtest.h>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QUrl>
#include <array>
#include <filesystem>
#include <memory>
#include <thread>

#include "editor/editor_program.h"
#include "editor/link_session.h"
#include "emulator/server.h"
#include "files/ir_converter.h"
#include "files/preset_export.h"
#include "files/preset_file.h"
#include "tests/editor/qt_app.h"
#include "tests/editor/recording_shell.h"
#include "tests/support/transfer_files.h"

namespace rq700 {
namespace {

using testing::PumpUntil;
using testing::RecordingShell;

constexpr int kDeviceWaitMs = 20000;

class TransferAgainstEmulatorTest : public ::testing::Test {
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

  // Starts the device and the editor, and waits for the window.
  MainWindow* Start(const emu::Faults& faults = {}) {
    emu::Options options;
    options.socket_path = Path("rq700.sock");
    options.pacing = false;
    options.log_file = Path("packets.log");
    options.faults = faults;
    server_ = std::make_unique<emu::EmulatorServer>(options);
    std::string error;
    EXPECT_TRUE(server_->Start(&error)) << error;
    server_thread_ = std::thread([this] { server_->Run(); });

    state_ = std::make_unique<DeviceState>();
    session_ = std::make_unique<LinkSession>(*state_);
    EditorProgram::Options program_options;
    program_options.window.run_timers = false;
    program_options.image_folder = dir_.filePath("img");
    program_options.job_idle_limit = std::chrono::milliseconds(700);
    program_ = std::make_unique<EditorProgram>(*state_, shell_, *session_, program_options);
    EXPECT_TRUE(program_->Start("emu:" + options.socket_path));
    EXPECT_TRUE(PumpUntil([&] { return state_->load_complete.load() != 0; }, kDeviceWaitMs));
    MainWindow* window = program_->window();
    window->StartupTick();
    EXPECT_TRUE(PumpUntil([&] { return window->isVisible(); }));
    return window;
  }

  std::string Path(const std::string& name) {
    return dir_.filePath(QString::fromStdString(name)).toStdString();
  }
  TransferActions& transfers() { return *program_->transfers(); }

  // "H" or "D" and the first payload byte of every logged packet of `command`.
  std::vector<std::string> Exchange(const char* command) {
    QFile log(QString::fromStdString(Path("packets.log")));
    std::vector<std::string> seen;
    if (!log.open(QIODevice::ReadOnly)) return seen;
    for (const QByteArray& line : log.readAll().split('\n')) {
      const QList<QByteArray> hex = line.mid(4).split(' ');
      if (hex.size() < 7 || hex[0] != "AA" || hex[4] != command) continue;
      // Host packets carry slot then stage, the device's answers the stage alone.
      const bool host = line.startsWith("H>D");
      seen.push_back((host ? "H" : "D") + std::to_string(hex[host ? 6 : 5].toInt(nullptr, 16)));
    }
    return seen;
  }
  int HostPackets(const char* command) {
    int n = 0;
    for (const std::string& s : Exchange(command)) n += s[0] == 'H';
    return n;
  }

  emu::DeviceState DeviceHolds() {
    emu::DeviceState copy;
    server_->WithDevice([&](emu::DeviceEmulator& device) { copy = device.state(); });
    return copy;
  }

  bool WaitForMessage(const std::string& text) {
    return PumpUntil(
        [&] { return !shell_.messages.empty() && shell_.messages.back().text == text; },
        kDeviceWaitMs);
  }

  void Drop(MainWindow* window, const std::vector<std::string>& paths, bool* accepted) {
    QMimeData data;
    QList<QUrl> urls;
    for (const std::string& p : paths) urls << QUrl::fromLocalFile(QString::fromStdString(p));
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(600, 400), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &enter);
    *accepted = enter.isAccepted();
    QDropEvent drop(QPointF(600, 400), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &drop);
    QCoreApplication::processEvents();
  }

  // A preset file holding stored preset `from` of the device, under `name`.
  std::string PresetFile(int from, const std::string& name) {
    uint8_t rec[record::kSize];
    ReadRecord(*state_, from, rec);
    EXPECT_TRUE(files::WritePresetFile(Path(name), rec));
    return Path(name);
  }

  QTemporaryDir dir_;
  RecordingShell shell_;
  std::unique_ptr<emu::EmulatorServer> server_;
  std::thread server_thread_;
  std::unique_ptr<DeviceState> state_;
  std::unique_ptr<LinkSession> session_;
  std::unique_ptr<EditorProgram> program_;
};

TEST_F(TransferAgainstEmulatorTest, SlotsAreLoadedStageByStageClearedAndFilledByADrop) {
  MainWindow* window = Start();
  const std::string wav = Path("my cab.wav"), amp = Path("Plexi 2.amp");
  testing::WriteBytes(wav, testing::StereoWav(700));
  testing::WriteBytes(amp, testing::AmpBytes(3));
  testing::WriteBytes(Path("broken.wav"), std::vector<uint8_t>(30, 'R'));
  files::WavReader reader;
  std::array<uint32_t, files::kIrWordCount> expected{};
  ASSERT_TRUE(reader.Read(wav) && files::ConvertImpulseResponse(reader, &expected));

  shell_.open_files_answer = {wav};
  transfers().ImportImpulseResponse(2);
  // The window does not wait: it keeps painting while the device takes the stages.
  EXPECT_TRUE(shell_.IsWaitCursor());
  ASSERT_TRUE(WaitForMessage("Import IR success!!"));
  EXPECT_EQ(shell_.messages.back().caption, "Notice");
  EXPECT_FALSE(shell_.IsWaitCursor());
  EXPECT_EQ(shell_.file_dialogs.back(), "Open|IR Flie (*.wav)");
  // Each stage goes out once, after the device took the one before.
  EXPECT_EQ(Exchange("E1"),
            (std::vector<std::string>{"H1", "D1", "H2", "D2", "H3", "D3", "H4", "D4"}));
  EXPECT_EQ(UserIrName(*state_, 2), "MY CAB");
  emu::DeviceState device = DeviceHolds();
  for (int i = 0; i < files::kIrWordCount; ++i)
    ASSERT_EQ(testing::PlaneWord(device.ir[2], 3, i), expected[i]) << "sample " << i;

  shell_.yes_answer = true;
  const size_t messages = shell_.messages.size();
  transfers().DeleteImpulseResponse(2);
  EXPECT_EQ(shell_.messages.back().text, "Do you want to delete IR Data?");
  EXPECT_EQ(shell_.messages.back().caption, "Warning");
  EXPECT_EQ(UserIrName(*state_, 2), "EMPTY");
  ASSERT_TRUE(PumpUntil([&] { return !DeviceHolds().ir[2].present; }, kDeviceWaitMs));
  ASSERT_TRUE(PumpUntil([&] { return !program_->window_jobs()->busy(); }));
  EXPECT_EQ(shell_.messages.size(), messages + 1) << "no message after a deletion";

  shell_.open_files_answer = {amp};
  transfers().ImportAmplifier(4);
  ASSERT_TRUE(WaitForMessage("Import AMP success!!"));
  EXPECT_EQ(UserAmpName(*state_, 4), "PLEXI 2");
  device = DeviceHolds();
  const std::vector<uint8_t> amp_bytes = testing::AmpBytes(3);
  for (int i = 0; i < 512; ++i)
    ASSERT_EQ(testing::PlaneWord(device.amp[4], 4, i), files::GetLe32(amp_bytes.data() + 4 * i));

  // A broken file is told and never sent.
  const int sent = HostPackets("E1");
  shell_.open_files_answer = {Path("broken.wav")};
  transfers().ImportImpulseResponse(5);
  EXPECT_EQ(shell_.messages.back().text, "File Error!!");
  EXPECT_EQ(shell_.messages.back().caption, "Warning");

  // A dropped WAV file asks for the slot, offering the ten with their names.
  bool accepted = false;
  shell_.list_answer = 6;
  Drop(window, {wav}, &accepted);
  EXPECT_TRUE(accepted);
  ASSERT_TRUE(WaitForMessage("Import IR success!!"));
  ASSERT_EQ(shell_.list_items.size(), 10u);
  EXPECT_EQ(shell_.list_items[2], "USER 3: EMPTY");
  EXPECT_EQ(UserIrName(*state_, 6), "MY CAB");
  EXPECT_TRUE(DeviceHolds().ir[6].present);
  EXPECT_EQ(HostPackets("E1"), sent + 4);

  // Anything else is refused with a message and nothing goes out.
  testing::WriteBytes(Path("notes.txt"), {'x'});
  Drop(window, {Path("notes.txt")}, &accepted);
  ASSERT_TRUE(PumpUntil(
      [&] { return shell_.messages.back().text.find("can be dropped") != std::string::npos; }));
  Drop(window, {wav, amp}, &accepted);
  EXPECT_EQ(HostPackets("E1"), sent + 4);
  EXPECT_EQ(HostPackets("E2"), 5);

  // A backup asks first, then goes to the restore, which checks it.
  testing::WriteBytes(Path("old.zbf"), {'x'});
  shell_.yes_answer = true;
  Drop(window, {Path("old.zbf")}, &accepted);
  ASSERT_TRUE(PumpUntil([&] { return shell_.messages.back().caption == "Error"; }));
  EXPECT_EQ(shell_.messages.back().text.rfind("Wrong file format!", 0), 0u);
  EXPECT_EQ(shell_.messages[shell_.messages.size() - 2].text,
            "Do you want to restore this backup file?");
  EXPECT_EQ(HostPackets("AB"), 0);
}

TEST_F(TransferAgainstEmulatorTest, AnUnansweredStageEndsWithAMessageAndTheNextLoadStartsAfresh) {
  emu::Faults faults;
  faults.drops = {{0xE1, 1}};  // the device takes stage 1 but its answer is lost
  MainWindow* window = Start(faults);
  testing::WriteBytes(Path("a.wav"), testing::StereoWav(300));
  shell_.open_files_answer = {Path("a.wav")};
  transfers().ImportImpulseResponse(1);
  ASSERT_TRUE(PumpUntil([&] { return HostPackets("E1") == 1; }, kDeviceWaitMs));
  for (int i = 0; i < 5; ++i) window->RepaintTick();  // the window goes on meanwhile
  ASSERT_TRUE(WaitForMessage("Import fail!! The device did not answer, please try again."));
  EXPECT_FALSE(shell_.IsWaitCursor());
  EXPECT_NE(UserIrName(*state_, 1), "A");

  transfers().ImportImpulseResponse(1);
  ASSERT_TRUE(WaitForMessage("Import IR success!!"));
  EXPECT_EQ(Exchange("E1"),
            (std::vector<std::string>{"H1", "H1", "D1", "H2", "D2", "H3", "D3", "H4", "D4"}));
  EXPECT_EQ(UserIrName(*state_, 1), "A");
}

TEST_F(TransferAgainstEmulatorTest, PresetFilesGoInByTheirNamesAndComeOutEqual) {
  MainWindow* window = Start();
  const int cursor = state_->list_cursor.Get();

  // The selected presets out into a folder, as the device holds them.
  std::filesystem::create_directories(Path("out"));
  program_->view_state().list_selected[0] = 1;
  program_->view_state().list_selected[199] = 1;
  shell_.folder_answer = Path("out");
  transfers().ExportPresets();
  EXPECT_EQ(program_->view_state().list_selected[0], 0);
  const emu::DeviceState stored = DeviceHolds();
  for (int index : {0, 199}) {
    uint8_t rec[record::kSize];
    ReadRecord(*state_, index, rec);
    files::CPresetFileRq700 file;
    int error = 0;
    ASSERT_TRUE(file.Load(Path("out/" + files::ExportFileName(index, rec)), &error)) << error;
    uint8_t loaded[record::kSize];
    ASSERT_TRUE(file.ReadBody(loaded, record::kSize));
    EXPECT_EQ(0, std::memcmp(loaded, stored.presets[index].data(), record::kSize)) << index;
  }

  // One file: into the edited preset, under the name after its "-".
  shell_.open_files_answer = {PresetFile(5, "XY-MY TONE.zv")};
  transfers().ImportPresets();
  EXPECT_EQ(PresetName(*state_, cursor).substr(6), "MY TONE");
  EXPECT_EQ(state_->dirty.load(), 1);
  EXPECT_EQ(program_->view_state().imported_name_pending, 1);
  ASSERT_TRUE(PumpUntil([&] { return HostPackets("83") == 1; }, kDeviceWaitMs));
  EXPECT_EQ(shell_.file_dialogs.back(), "Open|PresetFile Flie (*.zv)");

  // Many: each into the preset its number gives, in the order chosen.
  shell_.open_files_answer = {PresetFile(199, "P12-A.zv"), PresetFile(0, "P3-B.zv")};
  transfers().ImportPresets();
  EXPECT_TRUE(shell_.IsWaitCursor());
  ASSERT_TRUE(WaitForMessage("Import Success!!"));
  EXPECT_FALSE(shell_.IsWaitCursor());
  emu::DeviceState device = DeviceHolds();
  EXPECT_EQ(emu::PresetName(device.presets[11]), "A");
  EXPECT_EQ(emu::PresetName(device.presets[2]), "B");
  EXPECT_EQ(PresetName(*state_, 11), "P012: A");
  // Numbered files dropped on the window go the same way.
  bool accepted = false;
  const size_t told = shell_.messages.size();
  Drop(window, {PresetFile(7, "P20-D.zv"), PresetFile(8, "P21-E.zv")}, &accepted);
  EXPECT_TRUE(accepted);
  ASSERT_TRUE(PumpUntil([&] { return shell_.messages.size() > told; }, kDeviceWaitMs));
  EXPECT_EQ(shell_.messages.back().text, "Import Success!!");
  device = DeviceHolds();
  EXPECT_EQ(emu::PresetName(device.presets[19]), "D");
  EXPECT_EQ(emu::PresetName(device.presets[20]), "E");

  // Refused before anything is sent: a name that is not numbered, a number outside
  // 1..200 or of more than three digits, too many files, too long a selection.
  const int sent = HostPackets("E5");
  const std::string ok = PresetFile(1, "P4-C.zv");
  std::vector<std::string> many;
  for (int i = 0; i < 201; ++i) many.push_back(ok);
  std::vector<std::string> long_names;
  for (int i = 0; i < 60; ++i) long_names.push_back(Path("P4-" + std::string(140, 'C') + ".zv"));
  for (const auto& [paths, text] : std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{ok, PresetFile(1, "Q1-A.zv")}, "File error!!"},
           {{ok, PresetFile(1, "P201-A.zv")}, "File error!!"},
           {{ok, PresetFile(1, "P0012-A.zv")}, "File error!!"},
           {many, "Select a maximum of 200 files!!"},
           {long_names, "Too many file names selected, please select fewer files!!"},
       }) {
    shell_.open_files_answer = paths;
    transfers().ImportPresets();
    ASSERT_TRUE(WaitForMessage(text)) << paths.back();
    EXPECT_FALSE(shell_.IsWaitCursor());
  }
  EXPECT_EQ(HostPackets("E5"), sent);

  shell_.save_file_answer = Path("mine");
  transfers().ExportPresets();
  EXPECT_EQ(shell_.file_dialogs.back(),
            "Save as|PresetFile Flie (*.zv)|P" + std::to_string(cursor + 1) + "-MY TONE.zv");
  EXPECT_TRUE(std::filesystem::exists(Path("mine.zv")));
  // The same typed name again names a file that exists now: asked first, kept on No.
  std::filesystem::resize_file(Path("mine.zv"), 100);
  shell_.yes_answer = false;
  transfers().ExportPresets();
  EXPECT_EQ(shell_.messages.back().text, "mine.zv already exists.\nDo you want to replace it?");
  EXPECT_EQ(std::filesystem::file_size(Path("mine.zv")), 100u);
  shell_.save_file_answer = Path("gone/mine.zv");
  transfers().ExportPresets();
  EXPECT_EQ(shell_.messages.back().text, "Export fail!! The file cannot be written.");
  (void)window;
}

TEST_F(TransferAgainstEmulatorTest, ASilentDeviceFailsTheImportAfterFifteenSeconds) {
  emu::Faults faults;
  faults.silent = {0xE5};
  MainWindow* window = Start(faults);
  shell_.open_files_answer = {PresetFile(1, "P2-A.zv"), PresetFile(2, "P3-B.zv")};
  transfers().ImportPresets();
  ASSERT_TRUE(PumpUntil([&] { return state_->in_flight.load() != 0; }, kDeviceWaitMs));
  // The window's 50 ms ticks: 299 pass quietly, the 300th gives up.
  for (int i = 0; i < 299; ++i) window->RepaintTick();
  QCoreApplication::processEvents();
  EXPECT_TRUE(shell_.messages.empty());
  window->RepaintTick();
  ASSERT_TRUE(WaitForMessage("Import Fail!!"));
  EXPECT_FALSE(shell_.IsWaitCursor());
  EXPECT_EQ(HostPackets("E5"), 1) << "the rest are not sent";
}

}  // namespace
}  // namespace rq700
