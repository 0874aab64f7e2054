#include "editor/qt_shell.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QToolTip>
#include <QUrl>

#include "editor/main_window.h"
#include "editor/qt_save_dialog.h"

namespace rq700 {
namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QMessageBox::Icon BoxIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kError:
      return QMessageBox::Critical;
    case MessageIcon::kWarning:
      return QMessageBox::Warning;
    default:
      return QMessageBox::NoIcon;
  }
}

// The texts break their lines the Windows way; Qt wants a bare line feed.
QString BoxText(std::string_view text) { return Q(text).replace("\r\n", "\n"); }

}  // namespace

QWidget* QtShell::Owner(MessageOwner owner) const {
  switch (owner) {
    case MessageOwner::kMainWindow:
      return main_window_.data();
    case MessageOwner::kWaitingDialog:
      return waiting_dialog_.data();
    default:
      return nullptr;
  }
}

void QtShell::ShowMessage(MessageOwner owner, std::string_view text, std::string_view caption,
                          MessageIcon icon) {
  QMessageBox box(BoxIcon(icon), Q(caption), BoxText(text), QMessageBox::Ok, Owner(owner));
  box.exec();
}

bool QtShell::AskYesNo(MessageOwner owner, std::string_view text, std::string_view caption,
                       MessageIcon icon) {
  QMessageBox box(BoxIcon(icon), Q(caption), BoxText(text), QMessageBox::Yes | QMessageBox::No,
                  Owner(owner));
  return box.exec() == QMessageBox::Yes;
}

void QtShell::SetWaitCursor(bool wait) {
  if (main_window_ == nullptr) return;
  main_window_->setCursor(wait ? Qt::WaitCursor : Qt::ArrowCursor);
}

bool QtShell::IsWaitCursor() const {
  return main_window_ != nullptr && main_window_->cursor().shape() == Qt::WaitCursor;
}

void QtShell::HideValueEntry() {
  if (main_window_ == nullptr) return;
  QLineEdit* box = main_window_->value_entry();
  const bool had_keyboard = main_window_->focusWidget() == box;
  box->hide();
  if (had_keyboard) main_window_->setFocus();
}

void QtShell::ClearValueEntry() {
  if (main_window_ != nullptr) main_window_->value_entry()->clear();
}

// Each number is scaled on its own axis and cut to whole pixels, like the view under it.
void QtShell::ShowValueEntry(int left, int top, int right, int bottom) {
  if (main_window_ == nullptr) return;
  WindowLogic& logic = main_window_->logic();
  const int x = static_cast<int>(left * logic.horizontal_scale());
  const int y = static_cast<int>(top * logic.vertical_scale());
  const int w = static_cast<int>((right - left) * logic.horizontal_scale());
  const int h = static_cast<int>((bottom - top) * logic.vertical_scale());
  QLineEdit* box = main_window_->value_entry();
  box->setGeometry(x, y, w, h);
  box->show();
  box->raise();
  box->setFocus();
}

void QtShell::SetValueEntryFont(int style) {
  if (main_window_ != nullptr) ApplyValueEntryFont(main_window_->value_entry(), style);
}

std::vector<std::string> QtShell::ChooseOpenFiles(std::string_view title, std::string_view filter,
                                                  bool multiple) {
  QStringList names;
  if (multiple) {
    names = QFileDialog::getOpenFileNames(main_window_, Q(title), QString(), Q(filter));
  } else {
    const QString name = QFileDialog::getOpenFileName(main_window_, Q(title), QString(), Q(filter));
    if (!name.isEmpty()) names << name;
  }
  std::vector<std::string> result;
  for (const QString& name : names) result.push_back(name.toStdString());
  return result;
}

std::string QtShell::ChooseSaveFile(std::string_view title, std::string_view filter,
                                    std::string_view suggested_name) {
  return QFileDialog::getSaveFileName(main_window_, Q(title), Q(suggested_name), Q(filter))
      .toStdString();
}

std::string QtShell::ChooseFolder(std::string_view title) {
  return QFileDialog::getExistingDirectory(main_window_, Q(title)).toStdString();
}

std::optional<int> QtShell::ChooseFromList(std::string_view title, std::string_view label,
                                           const std::vector<std::string>& items) {
  QStringList entries;
  for (const std::string& item : items) entries << QString::fromStdString(item);
  bool ok = false;
  const QString chosen =
      QInputDialog::getItem(main_window_, Q(title), Q(label), entries, 0, false, &ok);
  if (!ok) return std::nullopt;
  const qsizetype index = entries.indexOf(chosen);
  if (index < 0) return std::nullopt;
  return static_cast<int>(index);
}

void QtShell::OpenUrl(std::string_view url) { QDesktopServices::openUrl(QUrl(Q(url))); }

void QtShell::ShowStatus(std::string_view text) {
  constexpr int kShownMs = 2500;
  if (main_window_ == nullptr || !main_window_->isVisible()) return;
  const QPoint at(main_window_->width() / 3, main_window_->height() * 3 / 4);
  QToolTip::showText(main_window_->mapToGlobal(at), Q(text), main_window_, {}, kShownMs);
}

std::optional<SaveDialogChoice> QtShell::RunSaveDialog(const SaveDialogSetup& setup) {
  SaveDialog dialog(setup, main_window_);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.choice();
}

}  // namespace rq700
