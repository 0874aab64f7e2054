#include "editor/qt_value_entry.h"

#include <QKeyEvent>

namespace rq700 {
namespace {

// The keys the box acts on before any character, as the window logic numbers them.
int KeyDownNumber(int qt_key) {
  switch (qt_key) {
    case Qt::Key_A:
      return kKeyA;
    case Qt::Key_Shift:
      return kKeyShift;
    case Qt::Key_Control:
      return kKeyCtrl;
    case Qt::Key_Escape:
      return kKeyEscape;
    default:
      return 0;
  }
}

}  // namespace

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
  if (const int key = KeyDownNumber(event->key())) {
    logic_.OnValueEntryKeyDown(key, ctrl);
    if (key != kKeyA) return;
  }
  // With Ctrl held a key makes no character the box would take.
  if (ctrl) return;
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
