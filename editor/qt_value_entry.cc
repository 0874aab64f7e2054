#include "editor/qt_value_entry.h"

#include <QKeyEvent>

#include "editor/main_window.h"

namespace rq700 {

ValueEntryBox::ValueEntryBox(WindowLogic& logic, QWidget* parent)
    : QLineEdit(parent), logic_(logic) {}

bool ValueEntryBox::event(QEvent* event) {
  // Tab would move the keyboard elsewhere before the key reaches the box.
  if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
      event->accept();
      return true;
    }
  }
  return QLineEdit::event(event);
}

void ValueEntryBox::keyPressEvent(QKeyEvent* event) {
  event->accept();
  const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
  const int key = WindowKeyNumber(event->key());
  if (key != 0) logic_.OnValueEntryKeyDown(key, ctrl);
  // These make no character; with Ctrl held no key makes one the box would take.
  if (key == kKeyShift || key == kKeyCtrl || key == kKeyEscape || ctrl) return;
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    logic_.OnValueEntryEnter(text().toStdString());
    return;
  }
  const QString typed = event->text();
  if (typed.size() != 1) return;
  if (logic_.OnValueEntryChar(typed.at(0).unicode())) QLineEdit::keyPressEvent(event);
}

void ValueEntryBox::keyReleaseEvent(QKeyEvent* event) {
  event->accept();
  if (!event->isAutoRepeat()) logic_.OnKeyUp();
}

}  // namespace rq700
