#include "editor/qt_save_dialog.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

#include "editor/messages.h"
#include "editor/save_dialog.h"

namespace rq700 {
namespace {

QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Dialog units: a quarter of the font's average letter width across, an eighth of its
// height down.
class Units {
 public:
  explicit Units(const QFont& font) {
    const QFontMetricsF metrics(font);
    x_ = metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") / 52.0 /
         4.0;
    y_ = metrics.height() / 8.0;
  }
  QRect Rect(int x, int y, int w, int h) const {
    return QRect(X(x), Y(y), X(x + w) - X(x), Y(y + h) - Y(y));
  }
  int X(int units) const { return static_cast<int>(units * x_ + 0.5); }
  int Y(int units) const { return static_cast<int>(units * y_ + 0.5); }

 private:
  double x_ = 1.5;
  double y_ = 1.6;
};

// A label sized to its text at least.
QLabel* Label(std::string_view text, const QRect& place, QWidget* parent) {
  auto* label = new QLabel(Q(text), parent);
  QRect r = place;
  r.setWidth(std::max(r.width(), label->sizeHint().width()));
  r.setHeight(std::max(r.height(), label->sizeHint().height()));
  label->setGeometry(r);
  return label;
}

}  // namespace

SaveDialog::SaveDialog(const SaveDialogSetup& setup, QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint) {
  setWindowTitle(Q(text::kSaveDialogTitle));
  setModal(true);
  const Units u(font());

  auto* group = new QGroupBox(Q(text::kPresetGroup), this);
  group->setGeometry(u.Rect(7, 14, 305, 35));

  Label(text::kNumberLabel, u.Rect(11, 30, 28, 8), this);
  number_ = new QComboBox(this);
  for (int i = 0; i < kPresetCount; ++i) number_->addItem(Q(SaveSlotLabel(i)));
  number_->setCurrentIndex(std::clamp(setup.selection, 0, kPresetCount - 1));
  number_->setMaxVisibleItems(12);
  const QRect number_place = u.Rect(44, 29, 85, 12);
  number_->setGeometry(number_place.x(), number_place.y() - 2, number_place.width(),
                       std::max(number_place.height(), number_->sizeHint().height()));

  Label(text::kNameLabel, u.Rect(149, 30, 22, 8), this);
  name_ = new QLineEdit(QString::fromStdU16String(setup.name), this);
  const QRect name_place = u.Rect(184, 28, 111, 14);
  name_->setGeometry(name_place.x(), name_place.y(), name_place.width(),
                     std::max(name_place.height(), name_->sizeHint().height()));

  save_ = new QPushButton(Q(text::kSaveButton), this);
  save_->setGeometry(u.Rect(76, 49, 50, 14));
  save_->setDefault(true);
  cancel_ = new QPushButton(Q(text::kCancelButton), this);
  cancel_->setGeometry(u.Rect(185, 49, 50, 14));
  connect(save_, &QPushButton::clicked, this, &QDialog::accept);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

  setFixedSize(u.X(319), u.Y(74));
  number_->setFocus();
}

SaveDialogChoice SaveDialog::choice() const {
  return {number_->currentIndex(), name_->text().toStdU16String()};
}

}  // namespace rq700
