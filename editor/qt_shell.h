#ifndef RQ700_EDITOR_QT_SHELL_H_
#define RQ700_EDITOR_QT_SHELL_H_

#include <QPointer>
#include <QWidget>

#include "editor/shell.h"

namespace rq700 {

class MainWindow;

// The desktop as Qt offers it: QMessageBox, QFileDialog, the main window's cursor and its
// value entry box.
class QtShell final : public Shell {
 public:
  void set_main_window(MainWindow* window) { main_window_ = window; }
  void set_waiting_dialog(QWidget* dialog) { waiting_dialog_ = dialog; }

  void ShowMessage(MessageOwner owner, std::string_view text, std::string_view caption,
                   MessageIcon icon) override;
  bool AskYesNo(MessageOwner owner, std::string_view text, std::string_view caption,
                MessageIcon icon) override;
  void SetWaitCursor(bool wait) override;
  bool IsWaitCursor() const override;
  void HideValueEntry() override;
  void ClearValueEntry() override;
  void ShowValueEntry(int left, int top, int right, int bottom) override;
  void SetValueEntryFont(int style) override;
  std::vector<std::string> ChooseOpenFiles(std::string_view title, std::string_view filter,
                                           bool multiple) override;
  std::string ChooseSaveFile(std::string_view title, std::string_view filter,
                             std::string_view suggested_name) override;
  std::string ChooseFolder(std::string_view title) override;
  std::optional<int> ChooseFromList(std::string_view title, std::string_view label,
                                    const std::vector<std::string>& items) override;
  void OpenUrl(std::string_view url) override;
  // A tool tip over the lower part of the main window.
  void ShowStatus(std::string_view text) override;
  std::optional<SaveDialogChoice> RunSaveDialog(const SaveDialogSetup& setup) override;

 private:
  QWidget* Owner(MessageOwner owner) const;

  QPointer<MainWindow> main_window_;
  QPointer<QWidget> waiting_dialog_;
};

}  // namespace rq700

#endif  // RQ700_EDITOR_QT_SHELL_H_
