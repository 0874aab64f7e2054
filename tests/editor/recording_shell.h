#ifndef RQ700_TESTS_EDITOR_RECORDING_SHELL_H_
#define RQ700_TESTS_EDITOR_RECORDING_SHELL_H_

#include <functional>
#include <string>
#include <vector>

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
  void HideValueEntry() override { ++value_entry_hidden; }
  void ShowValueEntry(int, int, int, int, std::string_view) override {}
  void SetValueEntryFont(int style) override { value_entry_styles.push_back(style); }
  std::vector<std::string> ChooseOpenFiles(std::string_view, std::string_view, bool) override {
    return {};
  }
  std::string ChooseSaveFile(std::string_view, std::string_view, std::string_view) override {
    return {};
  }
  std::string ChooseFolder(std::string_view) override { return {}; }
  void OpenUrl(std::string_view) override {}

  std::vector<Message> messages;
  std::function<void()> during_message;
  bool yes_answer = false;
  bool wait_cursor = false;
  int cursor_changes = 0;
  int value_entry_hidden = 0;
  std::vector<int> value_entry_styles;
};

}  // namespace rq700::testing

#endif  // RQ700_TESTS_EDITOR_RECORDING_SHELL_H_
