#ifndef RQ700_EDITOR_QT_SAVE_DIALOG_H_
#define RQ700_EDITOR_QT_SAVE_DIALOG_H_

#include <QDialog>

#include "editor/shell.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace rq700 {

// "SAVE": a "Preset" group with the number box (P-001 .. P-200) and the name edit, and the
// SAVE (default) and CANCEL buttons, laid out in dialog units of the dialog's font.
class SaveDialog : public QDialog {
  Q_OBJECT

 public:
  SaveDialog(const SaveDialogSetup& setup, QWidget* owner);

  // What the user left in it (meaningful after SAVE).
  SaveDialogChoice choice() const;

  QComboBox* number_box() const { return number_; }
  QLineEdit* name_edit() const { return name_; }
  QPushButton* save_button() const { return save_; }
  QPushButton* cancel_button() const { return cancel_; }

 private:
  QComboBox* number_;
  QLineEdit* name_;
  QPushButton* save_;
  QPushButton* cancel_;
};

}  // namespace rq700

#endif  // RQ700_EDITOR_QT_SAVE_DIALOG_H_
