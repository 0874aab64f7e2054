#include "updater/qt_updater_window.h"

#include <QCloseEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QWindow>
#include <array>

#include "catalog/text_styles.h"
#include "skin/qt_canvas.h"
#include "updater/update_worker.h"

namespace rq700 {
namespace {

constexpr int kRepaintPeriodMs = 20;

// Arial, 24 high, 12 wide, weight 800, black, centred with the anchor at the top.
constexpr std::array<catalog::TextStyle, 1> kUpdaterStyles = {
    catalog::TextStyle{24, 12, "Arial", {0, 0, 0}, catalog::kAlignCenterTop, 800}};

}  // namespace

QtUpdaterWindow::QtUpdaterWindow(LauncherDevice& device, DeviceRecord& record,
                                 const QString& image_folder)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), session_(device, record, *this) {
  setWindowTitle(QString::fromLatin1(kUpdaterTitle));
  setFixedSize(kUpdaterWidth, kUpdaterHeight);
  move(kUpdaterLeft, kUpdaterTop);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);

  progress_ = new QProgressBar(this);
  progress_->setGeometry(kProgressLeft, kProgressTop, kProgressWidth, kProgressHeight);
  progress_->setRange(0, 100);
  progress_->setValue(0);
  progress_->setTextVisible(false);

  static const char* const kFiles[kUpdaterImageCount] = {"0.jpg", "1.png", "2.png", "3.png"};
  images_.resize(kUpdaterImageCount);
  for (int i = 0; i < kUpdaterImageCount; ++i) {
    images_[i].Load(image_folder + QString::fromLatin1(kFiles[i]));
    images_[i].Premultiply();
  }
  back_buffer_ = QtBackBuffer::Create(kUpdaterWidth, kUpdaterHeight);

  connect(&repaint_timer_, &QTimer::timeout, this, [this] { update(); });
  repaint_timer_.start(kRepaintPeriodMs);
}

QtUpdaterWindow::~QtUpdaterWindow() {
  repaint_timer_.stop();
  // The worker ends by itself (every wait is bounded) and closes the device, which
  // releases the reader; nothing may outlive the session they share.
  WaitForUpdate();
}

bool QtUpdaterWindow::WaitForUpdate() {
  if (worker_.joinable()) worker_.join();
  if (reader_.joinable()) reader_.join();
  return true;
}

void QtUpdaterWindow::PostStatus(int code, int value) {
  QMetaObject::invokeMethod(
      this, [this, code, value] { ApplyStatus(code, value); }, Qt::QueuedConnection);
}

void QtUpdaterWindow::ApplyStatus(int code, int value) {
  const int position = view_.ApplyStatus(code, value);
  if (position >= 0) progress_->setValue(position);
  emit StatusApplied(code, value);
}

int QtUpdaterWindow::progress_value() const { return progress_->value(); }

void QtUpdaterWindow::StartUpdate() {
  worker_ = std::thread([this] { UpdateWorker(session_); });
  reader_ = std::thread([this] { UpdateReader(session_); });
}

void QtUpdaterWindow::Compose() {
  // Drawn at the screen's own resolution: on a dense screen the 2x skin, sharp text.
  const double scale = devicePixelRatioF();
  if (back_buffer_.scale_x != scale || back_buffer_.scale_y != scale) {
    back_buffer_ = QtBackBuffer::CreateScaled(kUpdaterWidth, kUpdaterHeight, scale, scale);
  }
  QtCanvas canvas(back_buffer_, images_, kUpdaterStyles);
  view_.Paint(canvas);
}

QImage QtUpdaterWindow::Frame() {
  Compose();
  return back_buffer_.pixels;
}

void QtUpdaterWindow::paintEvent(QPaintEvent*) {
  Compose();
  QPainter painter(this);
  PresentBackBuffer(painter, back_buffer_, size(), devicePixelRatioF());
}

void QtUpdaterWindow::mouseMoveEvent(QMouseEvent* event) {
  if (dragging_ && (event->buttons() & Qt::LeftButton)) {
    move(event->globalPosition().toPoint() - drag_offset_);
    return;
  }
  const QPoint at = event->position().toPoint();
  view_.MouseMove(at.x(), at.y());
}

void QtUpdaterWindow::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPoint at = event->position().toPoint();
  // The whole window is a handle to move it by; the desktop does it where it can.
  QWindow* handle = windowHandle();
  if (handle == nullptr || !handle->startSystemMove()) {
    dragging_ = true;
    drag_offset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
  }
  switch (view_.Press(at.x(), at.y())) {
    case UpdaterView::Action::kStartUpdate:
      StartUpdate();
      break;
    case UpdaterView::Action::kClose:
      close();
      break;
    case UpdaterView::Action::kNone:
      break;
  }
}

void QtUpdaterWindow::mouseReleaseEvent(QMouseEvent*) { dragging_ = false; }

void QtUpdaterWindow::closeEvent(QCloseEvent* event) {
  // Ending the program in the middle of an update would leave the device half written.
  if (!view_.close_allowed()) {
    event->ignore();
    return;
  }
  event->accept();
}

}  // namespace rq700
