// An offline session from end to end: the real virtual device process started from a
// backup in its private folder, the editor (in this process) against it, a preset saved,
// the window closed, the edited backup beside the original, and restored into a device.
#include <gtest/gtest.h>

#include <QMouseEvent>
#include <cstring>
#include <memory>

#include "editor/editor_program.h"
#include "editor/link_session.h"
#include "emulator/backup_image.h"
#include "files/backup_reader.h"
#include "launcher/offline_session.h"
#include "launcher/qt_offline.h"
#include "link/device_enum.h"
#include "tests/editor/qt_app.h"
#include "tests/editor/recording_shell.h"
#include "tests/files/temp_dir.h"
#include "tests/support/emulator_process.h"
#include "tests/tools/tool_runner.h"

namespace rq700 {
namespace {

using testing::PumpUntil;

// Runs the editor in this process instead of starting its program, and plays the
// player: looks at the presets, saves one under a new name, closes the window.
class PlayingShell : public QtOfflineShell {
 public:
  bool RunEditor(const std::string&, const std::vector<std::string>& args,
                 const std::string&) override {
    args_ = args;
    // While it runs, the device is announced nowhere another launcher looks.
    announced_elsewhere_ = EnumerateVirtualDevices(EmulatorDirectory()).size();
    DeviceState state;
    LinkSession session(state);
    EditorProgram::Options options;
    options.window.run_timers = false;
    EditorProgram program(state, editor_shell_, session, options);
    if (!program.Start(args.at(0))) return false;
    EXPECT_TRUE(PumpUntil([&] { return state.load_complete.load() != 0; }, 20000));
    MainWindow* window = program.window();
    window->StartupTick();
    EXPECT_TRUE(PumpUntil([&] { return window->isVisible(); }));
    shown_name_ = PresetName(state, 6);

    editor_shell_.save_answer = SaveDialogChoice{150, u"edited away"};
    // The SAVE button, at base size.
    const QPointF at(450, 55);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      QMouseEvent event(type, at, window->mapToGlobal(at), Qt::LeftButton,
                        type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                        Qt::NoModifier);
      QCoreApplication::sendEvent(window, &event);
    }
    EXPECT_EQ(editor_shell_.save_dialogs.size(), 1u);
    // Sent once the request is withdrawn and the device told to switch to the slot.
    EXPECT_TRUE(PumpUntil(
        [&] {
          return state.save_request.load() == kSaveWithdrawn &&
                 state.preset_change_request.load() == 0 && state.current_preset.load() == 150;
        },
        20000));
    // Then an edit left unsaved: the volume, sent to the device as the slider sends it.
    // The device's answer to the selection may still load the record over it: set again
    // until it went out, as a player would drag again.
    EXPECT_TRUE(PumpUntil(
        [&] {
          if (state.volume.Get() != 33) state.volume.Set(33);
          return state.volume.Sent() == 33;
        },
        20000));
    window->close();
    EXPECT_TRUE(PumpUntil([&] { return window->ended(); }));
    program.Shutdown();
    return true;
  }
  void ShowMessage(const std::string& caption, const std::string& text, Icon) override {
    messages_.push_back(caption + ": " + text);
  }
  bool Ask(const std::string& caption, const std::string& text) override {
    messages_.push_back(caption + "? " + text);
    return true;
  }

  testing::RecordingShell editor_shell_;
  std::vector<std::string> args_;
  std::vector<std::string> messages_;
  size_t announced_elsewhere_ = 99;
  std::string shown_name_;
};

TEST(OfflineEndToEnd, EditsOfAPresetLandInTheEditedBackupOnly) {
  testing::EnsureApp();
  files::TempDir dir, announce;
  setenv("RQ700_EMU_DIR", announce.path().c_str(), 1);
  emu::DeviceState mine;
  emu::FactoryReset(mine);
  std::memcpy(mine.presets[6].data() + record::kName, "GIG OPENER\0", 11);
  std::string error;
  ASSERT_TRUE(emu::SaveBackupFile(dir.Path("gig.zbf"), mine, &error)) << error;
  const std::vector<uint8_t> original = files::ReadBytes(dir.Path("gig.zbf"));

  QtOfflineDevice device(RQ700_EMU_BINARY);
  PlayingShell shell;
  EXPECT_EQ(RunOfflineSession(dir.Path("gig.zbf"), device, shell), 0);
  ASSERT_EQ(shell.args_.size(), 3u);
  EXPECT_EQ(shell.args_[1], "--offline");
  EXPECT_EQ(shell.announced_elsewhere_, 0u);
  EXPECT_EQ(shell.shown_name_, "P007: GIG OPENER");
  ASSERT_EQ(shell.messages_.size(), 2u);
  EXPECT_EQ(shell.messages_[0].rfind("Notice? Preset P151 has edits that were not saved.", 0), 0u)
      << shell.messages_[0];
  EXPECT_NE(shell.messages_[1].find("Notice: The edited backup is saved as\n" +
                                    dir.Path("gig-edited.zbf")),
            std::string::npos)
      << shell.messages_[1];
  EXPECT_TRUE(device.folder().empty()) << "the private folder goes with the device";

  EXPECT_EQ(files::ReadBytes(dir.Path("gig.zbf")), original);
  const testing::ToolRun check =
      testing::RunTool(RQ700_TOOL, {"backup", "check", dir.Path("gig-edited.zbf")}, dir);
  EXPECT_EQ(check.status, 0) << check.err;
  emu::DeviceState edited;
  emu::FactoryReset(edited);
  ASSERT_TRUE(emu::LoadBackupFile(dir.Path("gig-edited.zbf"), edited, &error)) << error;
  EXPECT_EQ(emu::PresetName(edited.presets[150]), "EDITED AWAY");
  EXPECT_EQ(edited.presets[150][record::kVolume], 33);
  EXPECT_EQ(emu::PresetName(edited.presets[6]), "GIG OPENER");
  edited.presets[150] = mine.presets[150];
  EXPECT_EQ(edited.presets, mine.presets) << "nothing else changed";

  // Restored into a device, the edit is there.
  testing::EmulatorProcess unit(RQ700_EMU_BINARY, announce.path(), {});
  ASSERT_TRUE(unit.ready());
  const std::string path = "emu:" + unit.socket_path();
  const std::vector<std::string> env = {"RQ700_EMU_DIR=" + announce.path()};
  const testing::ToolRun restore = testing::RunTool(
      RQ700_TOOL, {"restore", "--device", path, dir.Path("gig-edited.zbf")}, dir, env);
  ASSERT_EQ(restore.status, 0) << restore.err;
  const testing::ToolRun list =
      testing::RunTool(RQ700_TOOL, {"preset", "list", "--device", path}, dir, env);
  EXPECT_NE(list.out.find("\nP151: EDITED AWAY\n"), std::string::npos) << list.out << list.err;
}

}  // namespace
}  // namespace rq700
