#include "editor/waiting_dialog.h"

#include <QCloseEvent>
#include <QProgressBar>
#include <algorithm>

#include "editor/messages.h"

namespace rq700 {
namespace {

// The dialog's layout in dialog units (4 per average character width, 8 per character
// height of the 8 pt dialog font) and that font's units in pixels.
constexpr int kDialogWidthDu = 309;
constexpr int kDialogHeightDu = 65;
constexpr int kBarLeftDu = 20, kBarTopDu = 26, kBarWidthDu = 272, kBarHeightDu = 14;
constexpr int kCharWidthPx = 6;
constexpr int kCharHeightPx = 13;

int DuX(int du) { return du * kCharWidthPx / 4; }
int DuY(int du) { return du * kCharHeightPx / 8; }

}  // namespace

WaitingDialog::WaitingDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::CustomizeWindowHint),
      bar_(new QProgressBar(this)) {
  setWindowTitle(QString::fromUtf8(text::kWaitingTitle.data(),
                                   static_cast<qsizetype>(text::kWaitingTitle.size())));
  setModal(false);
  setFixedSize(DuX(kDialogWidthDu), DuY(kDialogHeightDu));
  bar_->setObjectName("progress");
  bar_->setGeometry(DuX(kBarLeftDu), DuY(kBarTopDu), DuX(kBarWidthDu), DuY(kBarHeightDu));
  bar_->setRange(0, kProgressMaximum);
  bar_->setValue(0);
  bar_->setTextVisible(false);
}

void WaitingDialog::SetPosition(int preset_index) {
  bar_->setValue(std::clamp(preset_index, 0, kProgressMaximum));
}

void WaitingDialog::closeEvent(QCloseEvent* event) { event->ignore(); }

int WaitingDialog::position() const { return bar_->value(); }

}  // namespace rq700
