#ifndef RQ700_EDITOR_QT_VALUE_ENTRY_H_
#define RQ700_EDITOR_QT_VALUE_ENTRY_H_

#include <QLineEdit>

#include "editor/window_logic.h"

namespace rq700 {

// The value entry box of the main window: a line edit that takes only what a value needs
// (digits, "+", "-", "." and Backspace) and hands Enter, Escape, the modifier keys and the
// space bar's tap to the window's logic. Cursor keys, Delete, Home, End and Tab do nothing.
class ValueEntryBox : public QLineEdit {
  Q_OBJECT

 public:
  ValueEntryBox(WindowLogic& logic, QWidget* parent);

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  WindowLogic& logic_;
};

}  // namespace rq700

#endif  // RQ700_EDITOR_QT_VALUE_ENTRY_H_
