#ifndef RQ700_EDITOR_SHELL_H_
#define RQ700_EDITOR_SHELL_H_

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rq700 {

enum class MessageIcon { kNone, kError, kWarning };
// The window a message box belongs to (and blocks while it is up).
enum class MessageOwner { kNone, kMainWindow, kWaitingDialog };

// What the save dialog shows when it opens: the name in its edit (one character per name
// byte) and the preset slot (0..199) selected in its number box.
struct SaveDialogSetup {
  std::u16string name;
  int selection = 0;
};
// What the user left in it when SAVE was pressed.
struct SaveDialogChoice {
  int selection = 0;
  std::u16string name;
};

// What the editor's platform-free logic asks of the desktop. The Qt implementation shows
// real dialogs; tests record the calls and script the answers.
class Shell {
 public:
  virtual ~Shell() = default;

  // A modal message box with an OK button; returns when the user has closed it.
  virtual void ShowMessage(MessageOwner owner, std::string_view text, std::string_view caption,
                           MessageIcon icon) = 0;
  // A modal Yes/No question; true for Yes.
  virtual bool AskYesNo(MessageOwner owner, std::string_view text, std::string_view caption,
                        MessageIcon icon) = 0;

  // The main window's cursor: the wait cursor while a file transfer runs.
  virtual void SetWaitCursor(bool wait) = 0;
  virtual bool IsWaitCursor() const = 0;

  // The value entry box: hidden (the keyboard goes back to the main window), emptied, or
  // shown with the text it holds over a base-canvas rectangle, taking the keyboard.
  virtual void HideValueEntry() = 0;
  virtual void ClearValueEntry() = 0;
  virtual void ShowValueEntry(int left, int top, int right, int bottom) = 0;
  // Its font: text style `style`, bold.
  virtual void SetValueEntryFont(int style) = 0;

  // File choosers; an empty answer (or list) means cancelled. `filter` is a list of
  // "Description (*.ext)" entries separated by ";;".
  virtual std::vector<std::string> ChooseOpenFiles(std::string_view title, std::string_view filter,
                                                   bool multiple) = 0;
  virtual std::string ChooseSaveFile(std::string_view title, std::string_view filter,
                                     std::string_view suggested_name) = 0;
  virtual std::string ChooseFolder(std::string_view title) = 0;
  // A modal choice of one entry of `items`; its index, or nothing when cancelled.
  virtual std::optional<int> ChooseFromList(std::string_view title, std::string_view label,
                                            const std::vector<std::string>& items) {
    (void)title, (void)label, (void)items;
    return std::nullopt;
  }
  // Opens a web page in the desktop's browser.
  virtual void OpenUrl(std::string_view url) = 0;
  // A short note over the main window that goes away by itself.
  virtual void ShowStatus(std::string_view text) { (void)text; }

  // The modal save dialog over the main window ("SAVE": the preset number box P-001 ..
  // P-200, the name edit, SAVE and CANCEL). Nothing when it was cancelled or closed.
  virtual std::optional<SaveDialogChoice> RunSaveDialog(const SaveDialogSetup& setup) = 0;
};

}  // namespace rq700

#endif  // RQ700_EDITOR_SHELL_H_
