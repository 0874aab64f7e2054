#ifndef RQ700_TESTS_EDITOR_RECORDING_SHELL_H_
#define RQ700_TESTS_EDITOR_RECORDING_SHELL_H_

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "editor/file_actions.h"
#include "editor/shell.h"

namespace rq700::testing {

// A shell that remembers what was asked of it and answers from a script.
class RecordingShell : public Shell {
 public:
  struct Message {
    MessageOwner owner;
    std::string text;
    std::string caption;
    MessageIcon icon;
  };

  void ShowMessage(MessageOwner owner, std::string_view text, std::string_view caption,
                   MessageIcon icon) override {
    messages.push_back({owner, std::string(text), std::string(caption), icon});
    // What happens while a real box would be up (its modal loop runs timers).
    if (during_message) during_message();
  }
  bool AskYesNo(MessageOwner owner, std::string_view text, std::string_view caption,
                MessageIcon icon) override {
    messages.push_back({owner, std::string(text), std::string(caption), icon});
    return yes_answer;
  }
  void SetWaitCursor(bool wait) override {
    wait_cursor = wait;
    ++cursor_changes;
  }
  bool IsWaitCursor() const override { return wait_cursor; }
  void HideValueEntry() override {
    ++value_entry_hidden;
    value_entry_shown = false;
    if (value_entry_to) value_entry_to->HideValueEntry();
  }
  void ClearValueEntry() override {
    ++value_entry_cleared;
    if (value_entry_to) value_entry_to->ClearValueEntry();
  }
  void ShowValueEntry(int left, int top, int right, int bottom) override {
    value_entry_shown = true;
    value_entry_at = {left, top, right, bottom};
    if (value_entry_to) value_entry_to->ShowValueEntry(left, top, right, bottom);
  }
  void SetValueEntryFont(int style) override { value_entry_styles.push_back(style); }
  std::vector<std::string> ChooseOpenFiles(std::string_view title, std::string_view filter,
                                           bool) override {
    file_dialogs.push_back(std::string(title) + "|" + std::string(filter));
    return open_files_answer;
  }
  std::string ChooseSaveFile(std::string_view title, std::string_view filter,
                             std::string_view suggested) override {
    file_dialogs.push_back(std::string(title) + "|" + std::string(filter) + "|" +
                           std::string(suggested));
    return save_file_answer;
  }
  std::string ChooseFolder(std::string_view title) override {
    file_dialogs.push_back(std::string(title));
    return folder_answer;
  }
  std::optional<int> ChooseFromList(std::string_view title, std::string_view,
                                    const std::vector<std::string>& items) override {
    file_dialogs.push_back(std::string(title));
    list_items = items;
    return list_answer;
  }
  void OpenUrl(std::string_view url) override { opened_urls.emplace_back(url); }
  void ShowStatus(std::string_view text) override { statuses.emplace_back(text); }
  std::optional<SaveDialogChoice> RunSaveDialog(const SaveDialogSetup& setup) override {
    save_dialogs.push_back(setup);
    return save_answer;
  }

  std::vector<Message> messages;
  std::function<void()> during_message;
  bool yes_answer = false;
  bool wait_cursor = false;
  int cursor_changes = 0;
  int value_entry_hidden = 0;
  int value_entry_cleared = 0;
  bool value_entry_shown = false;
  std::array<int, 4> value_entry_at{};  // left, top, right, bottom where it was last shown
  Shell* value_entry_to = nullptr;      // a real window's box to move as well
  std::vector<int> value_entry_styles;
  std::vector<std::string> opened_urls;
  std::vector<std::string> statuses;
  std::vector<SaveDialogSetup> save_dialogs;
  std::optional<SaveDialogChoice> save_answer;  // nothing: CANCEL
  // The file choosers: "title|filter" (and "|suggested name" for a save) per dialog, and
  // their answers (empty: cancelled).
  std::vector<std::string> file_dialogs;
  std::vector<std::string> open_files_answer;
  std::string save_file_answer;
  // The folder chooser's and the list choice's answers, and the entries last offered.
  std::string folder_answer;
  std::optional<int> list_answer;
  std::vector<std::string> list_items;
};

// File actions that remember what the view started and answer the choosers from a script.
class RecordingFileActions : public FileActions {
 public:
  FileChoice ChooseBackupFile() override {
    calls.push_back("backup");
    return backup_choice;
  }
  FileChoice ChooseRestoreFile() override {
    calls.push_back("restore");
    return restore_choice;
  }
  void ImportPresets() override { calls.push_back("import presets"); }
  void ExportPresets() override { calls.push_back("export presets"); }
  void ImportImpulseResponse(int slot) override {
    calls.push_back("import ir " + std::to_string(slot));
  }
  void DeleteImpulseResponse(int slot) override {
    calls.push_back("delete ir " + std::to_string(slot));
  }
  void ImportAmplifier(int slot) override { calls.push_back("import amp " + std::to_string(slot)); }

  std::vector<std::string> calls;
  FileChoice backup_choice = FileChoice::kCancelled;
  FileChoice restore_choice = FileChoice::kCancelled;
};

}  // namespace rq700::testing

#endif  // RQ700_TESTS_EDITOR_RECORDING_SHELL_H_
