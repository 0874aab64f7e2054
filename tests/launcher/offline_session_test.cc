// The offline session's course: device, editor, and where the edits go.
#include "launcher/offline_session.h"

#include <gtest/gtest.h>

#include <deque>

#include "files/backup_reader.h"
#include "launcher/launch.h"
#include "tests/files/temp_dir.h"

namespace rq700 {
namespace {

struct FakeDevice : OfflineDevice {
  StartResult start_result = StartResult::kReady;
  std::deque<bool> save_results;
  std::vector<std::string> saved_to;  // and "store" when the working preset was stored
  int unsaved = -1;
  std::string started_with;
  bool running = false;

  StartResult Start(const std::string& backup, std::string* path, std::string* error) override {
    started_with = backup;
    *path = "emu:/private/rq700.sock";
    *error = "no socket";
    running = start_result == StartResult::kReady;
    return start_result;
  }
  bool SaveBackup(const std::string& path, std::string* error) override {
    EXPECT_TRUE(running);
    saved_to.push_back(path);
    const bool ok = save_results.empty() || save_results.front();
    if (!save_results.empty()) save_results.pop_front();
    if (!ok) *error = "disk full";
    return ok;
  }
  int UnsavedPreset() override { return unsaved; }
  bool StoreWorkingPreset(std::string*) override {
    saved_to.push_back("store");
    return true;
  }
  void Stop() override { running = false; }
};

struct FakeShell : OfflineShell {
  std::string chosen_backup;
  std::deque<std::string> chosen_targets;
  bool leave = true;
  std::string last_question;
  bool editor_starts = true;
  std::vector<std::string> editor_args;
  std::vector<std::pair<std::string, std::string>> messages;  // caption, text
  int questions = 0;

  std::string ChooseBackup() override { return chosen_backup; }
  std::string ChooseEditedBackup(const std::string&) override {
    if (chosen_targets.empty()) return {};
    std::string next = chosen_targets.front();
    chosen_targets.pop_front();
    return next;
  }
  void ShowMessage(const std::string& caption, const std::string& text, Icon) override {
    messages.emplace_back(caption, text);
  }
  bool Ask(const std::string&, const std::string& text) override {
    ++questions;
    last_question = text;
    return leave;
  }
  bool RunEditor(const std::string& program, const std::vector<std::string>& args,
                 const std::string& folder) override {
    editor_args = args;
    editor_args.insert(editor_args.begin(), {program, folder});
    return editor_starts;
  }
};

TEST(OfflineSession, EditedBackupGoesBesideTheOriginalUnderAFreeName) {
  files::TempDir dir;
  EXPECT_EQ(EditedBackupPath(dir.Path("gig.zbf")), dir.Path("gig-edited.zbf"));
  files::WriteBytes(dir.Path("gig-edited.zbf"), {1});
  files::WriteBytes(dir.Path("gig-edited-2.zbf"), {1});
  EXPECT_EQ(EditedBackupPath(dir.Path("gig.zbf")), dir.Path("gig-edited-3.zbf"));
  EXPECT_EQ(EditedBackupPath(dir.Path("plain")), dir.Path("plain-edited.zbf"));
}

TEST(OfflineSession, EditorRunsOnThePrivateDeviceAndAFailedWriteLosesNothing) {
  files::TempDir dir;
  files::WriteBytes(dir.Path("gig.zbf"), {7});
  FakeDevice device;
  device.save_results = {false, true};
  device.unsaved = 11;  // stored before the backup is written
  FakeShell shell;
  shell.chosen_backup = dir.Path("gig.zbf");
  // First the original itself, which is refused, then another name.
  shell.chosen_targets = {dir.Path("gig.zbf"), dir.Path("elsewhere.zbf")};
  EXPECT_EQ(RunOfflineSession("", device, shell, "/suite"), 0);

  EXPECT_EQ(device.started_with, dir.Path("gig.zbf"));
  EXPECT_EQ(shell.editor_args, (std::vector<std::string>{
                                   "/suite/ZORVA_RQ700/ZORVA_RQ700", "/suite/ZORVA_RQ700",
                                   "emu:/private/rq700.sock", "--offline", dir.Path("gig.zbf")}));
  EXPECT_NE(shell.last_question.find("P012 has edits that were not saved"), std::string::npos);
  EXPECT_EQ(device.saved_to, (std::vector<std::string>{"store", dir.Path("gig-edited.zbf"),
                                                       dir.Path("elsewhere.zbf")}));
  EXPECT_FALSE(device.running);
  ASSERT_EQ(shell.messages.size(), 3u);
  EXPECT_EQ(shell.messages[0].first, "Error");
  EXPECT_NE(shell.messages[0].second.find("disk full"), std::string::npos);
  EXPECT_NE(shell.messages[1].second.find("original"), std::string::npos);
  EXPECT_EQ(shell.messages[2].first, "Notice");
  EXPECT_NE(shell.messages[2].second.find(dir.Path("elsewhere.zbf")), std::string::npos);
  EXPECT_EQ(files::ReadBytes(dir.Path("gig.zbf")), std::vector<uint8_t>{7});
}

TEST(OfflineSession, EndsWithoutTheEditorOrWithTheEditsGivenUp) {
  FakeDevice device;
  FakeShell shell;
  EXPECT_EQ(RunOfflineSession("", device, shell), 0) << "no file chosen";
  EXPECT_EQ(device.started_with, "");

  device.start_result = OfflineDevice::StartResult::kWrongFormat;
  EXPECT_EQ(RunOfflineSession("/x/broken.zbf", device, shell), 1);
  ASSERT_EQ(shell.messages.size(), 1u);
  EXPECT_EQ(shell.messages[0],
            std::make_pair(std::string("Error"), std::string(files::kWrongBackupFormat)));
  EXPECT_TRUE(shell.editor_args.empty());

  device.start_result = OfflineDevice::StartResult::kFailed;
  EXPECT_EQ(RunOfflineSession("/x/gig.zbf", device, shell), 1);
  EXPECT_NE(shell.messages.back().second.find("no socket"), std::string::npos);

  // The write fails, the player cancels the other place: asked first, then given up.
  device.start_result = OfflineDevice::StartResult::kReady;
  device.save_results = {false};
  shell.messages.clear();
  EXPECT_EQ(RunOfflineSession("/x/gig.zbf", device, shell), 1);
  EXPECT_EQ(shell.questions, 1);
  EXPECT_FALSE(device.running);
  ASSERT_EQ(shell.messages.size(), 1u);
  EXPECT_EQ(shell.messages[0].first, "Error");
}

}  // namespace
}  // namespace rq700
