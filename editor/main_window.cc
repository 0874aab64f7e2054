#include "editor/main_window.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "editor/edit_commands.h"
#include "editor/messages.h"
#include "editor/qt_value_entry.h"
#include "editor/waiting_dialog.h"
#include "skin/qt_canvas.h"
#include "skin/qt_text.h"

namespace rq700 {
namespace {

constexpr int kStartupPeriodMs = 300;
constexpr int kRepaintPeriodMs = 50;
constexpr int kNormalValueEntryStyle = 1;

}  // namespace

std::vector<std::string> DroppedFiles(const QMimeData* data) {
  std::vector<std::string> paths;
  if (data == nullptr || !data->hasUrls()) return paths;
  for (const QUrl& url : data->urls()) {
    if (!url.isLocalFile()) return {};
    paths.push_back(url.toLocalFile().toStdString());
  }
  return paths;
}

int WindowKeyNumber(int qt_key) {
  switch (qt_key) {
    case Qt::Key_A:
      return kKeyA;
    case Qt::Key_Shift:
      return kKeyShift;
    case Qt::Key_Control:
      return kKeyCtrl;
    case Qt::Key_Escape:
      return kKeyEscape;
    case Qt::Key_Space:
      return kKeySpace;
    case Qt::Key_Up:
      return kKeyUp;
    case Qt::Key_Down:
      return kKeyDown;
    default:
      return 0;
  }
}

int EditKeyNumber(int qt_key) {
  switch (qt_key) {
    case Qt::Key_Z:
      return kKeyZ;
    case Qt::Key_Y:
      return kKeyY;
    case Qt::Key_C:
      return kKeyC;
    case Qt::Key_V:
      return kKeyV;
    case Qt::Key_F1:
      return kKeyF1;
    default:
      return 0;
  }
}

void ApplyValueEntryFont(QLineEdit* box, int style) {
  box->setFont(MakeQFont(catalog::GetTextStyle(style), catalog::kValueNumberWeight));
}

MainWindow::MainWindow(DeviceState& state, ViewState& ui, Shell& shell, QtImageSet images,
                       Options options)
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint),
      state_(state),
      view_(ui),
      shell_(shell),
      logic_(state, ui, shell, options.clock),
      options_(std::move(options)),
      images_(std::move(images)),
      back_buffer_(QtBackBuffer::Create(kBaseCanvasWidth, kBaseCanvasHeight)),
      value_entry_(new ValueEntryBox(logic_, this)) {
  setWindowTitle(QString::fromUtf8(text::kMainWindowTitle.data(),
                                   static_cast<qsizetype>(text::kMainWindowTitle.size())));
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_NoSystemBackground);
  setMouseTracking(true);
  setFocusPolicy(Qt::StrongFocus);
  for (int i = 0; i < catalog::kTextStyleCount; ++i) styles_[i] = catalog::GetTextStyle(i);

  value_entry_->setObjectName("value_entry");
  value_entry_->setAlignment(Qt::AlignCenter);
  value_entry_->setGeometry(0, 0, 0, 0);
  value_entry_->hide();
  ApplyValueEntryFont(value_entry_, kNormalValueEntryStyle);

  startup_timer_.setInterval(kStartupPeriodMs);
  repaint_timer_.setInterval(kRepaintPeriodMs);
  connect(&startup_timer_, &QTimer::timeout, this, &MainWindow::StartupTick);
  connect(&repaint_timer_, &QTimer::timeout, this, &MainWindow::RepaintTick);
  if (options_.run_timers) startup_timer_.start();
}

MainWindow::~MainWindow() = default;

void MainWindow::StartupTick() {
  if (ended_ || startup_over_) return;
  switch (logic_.OnStartupTick()) {
    case WindowLogic::StartupStep::kWaiting:
      return;
    case WindowLogic::StartupStep::kFailed:
      // Stopped before the box: its modal loop keeps delivering timer ticks.
      startup_timer_.stop();
      startup_over_ = true;
      logic_.ReportStartupFailure();
      End(false);
      return;
    case WindowLogic::StartupStep::kShowWindow:
      startup_timer_.stop();
      startup_over_ = true;
      repainting_ = true;
      if (options_.run_timers) repaint_timer_.start();
      if (waiting_ != nullptr) {
        waiting_->hide();
        waiting_->deleteLater();
        waiting_ = nullptr;
      }
      show();
      activateWindow();
      setFocus();
      return;
  }
}

void MainWindow::RepaintTick() {
  if (ended_) return;
  // Painted here rather than in the paint event, so that only the part of the window that
  // changed is presented. While a transfer runs every tick paints a frame: the restore
  // stall watch counts frames with an unchanged percentage.
  const bool stall_watch = view_.transfer_percent > 0;
  if ((FrameOutdated() || stall_watch) && isVisible() && !isMinimized()) update(RenderFrame());
  const WindowLogic::RepaintTick tick = logic_.OnRepaintTick();
  if (edit_commands_ != nullptr) edit_commands_->Tick();
  if (tick.import_timed_out) {
    QMetaObject::invokeMethod(
        this, [this] { ImportResult(kImportFailCode); }, Qt::QueuedConnection);
  }
  if (tick.close) End(false);
}

void MainWindow::ImportResult(int code) { logic_.OnImportResult(code); }

void MainWindow::TransferResult(int code) {
  if (logic_.OnTransferResult(code)) End(false);
}

void MainWindow::DeviceGone() { End(true); }

void MainWindow::WaitingProgress(int preset_index) {
  if (waiting_ != nullptr) waiting_->SetPosition(preset_index);
}

void MainWindow::HideValueEntry() { logic_.OnDevicePageChange(); }

void MainWindow::End(bool device_gone) {
  if (ended_) return;
  // Everything stops before the box: its modal loop would deliver timer ticks.
  ended_ = true;
  startup_timer_.stop();
  repaint_timer_.stop();
  if (device_gone) logic_.OnDeviceGone();
  hide();
  emit Ended();
}

QSizeF MainWindow::DeviceScale() const {
  // The base canvas is drawn at the size it takes on the screen, in the screen's own
  // pixels: a dense screen or a larger window gets sharp text and the 2x skin, and the
  // picture reaches the screen unstretched. Input stays in base-canvas pixels.
  const double ratio = devicePixelRatioF();
  return QSizeF(ratio * std::max(1, logic_.PresentWidth()) / kBaseCanvasWidth,
                ratio * std::max(1, logic_.PresentHeight()) / kBaseCanvasHeight);
}

QSize MainWindow::PresentDeviceSize() const {
  const double ratio = devicePixelRatioF();
  return QSize(static_cast<int>(std::lround(logic_.PresentWidth() * ratio)),
               static_cast<int>(std::lround(logic_.PresentHeight() * ratio)));
}

bool MainWindow::FrameOutdated() const {
  const QSizeF scale = DeviceScale();
  return !painted_ || state_.changes.Count() != painted_changes_ || !(view_ == painted_view_) ||
         back_buffer_.scale_x != scale.width() || back_buffer_.scale_y != scale.height();
}

void MainWindow::PaintBackBuffer() {
  // Taken before painting: a change made meanwhile is painted by the next frame.
  painted_ = true;
  painted_changes_ = state_.changes.Count();
  painted_view_ = view_;
  const QSizeF scale = DeviceScale();
  if (back_buffer_.scale_x != scale.width() || back_buffer_.scale_y != scale.height()) {
    QtBackBuffer buffer = QtBackBuffer::CreateScaled(kBaseCanvasWidth, kBaseCanvasHeight,
                                                     scale.width(), scale.height());
    buffer.pen = back_buffer_.pen;
    buffer.brush = back_buffer_.brush;
    back_buffer_ = std::move(buffer);
  }
  QtCanvas canvas(back_buffer_, images_, styles_);
  if (painter_) {
    painter_(canvas);
  } else {
    canvas.DrawImage(0, 0, 0);
  }
}

QRegion MainWindow::RenderFrame() {
  PaintBackBuffer();
  const QRegion changed = presenter_.Take(back_buffer_.pixels, PresentDeviceSize());
  const double ratio = devicePixelRatioF();
  if (ratio == 1.0) return changed;
  // The presenter counts the screen's pixels, the window its own.
  QRegion area;
  for (const QRect& r : changed) {
    area +=
        QRectF(r.x() / ratio, r.y() / ratio, r.width() / ratio, r.height() / ratio).toAlignedRect();
  }
  return area;
}

void MainWindow::paintEvent(QPaintEvent* event) {
  const QSize size = PresentDeviceSize();
  if (FrameOutdated()) {
    RenderFrame();
  } else if (size != presenter_.Frame(back_buffer_.pixels).size()) {
    presenter_.Take(back_buffer_.pixels, size);  // a new window size: scaled anew
  }
  QPainter painter(this);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  const QImage& frame = presenter_.Frame(back_buffer_.pixels);
  const double ratio = devicePixelRatioF();
  if (ratio == 1.0) {
    for (const QRect& part : event->region()) painter.drawImage(part.topLeft(), frame, part);
    return;
  }
  // The frame holds the screen's pixels: shown whole under the screen's ratio (the same
  // pixels, not copied), pixel for pixel; the painter keeps to the region.
  QImage shown(const_cast<uchar*>(frame.constBits()), frame.width(), frame.height(),
               frame.bytesPerLine(), frame.format());
  shown.setDevicePixelRatio(ratio);
  painter.drawImage(QPointF(0, 0), shown);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const WindowLogic::ResizeResult result = logic_.OnResize(width(), height());
  if (result.make_base_size) {
    resize(kBaseCanvasWidth, kBaseCanvasHeight);
    // A resize made while Qt is delivering one may never come back as an event.
    if (size() == QSize(kBaseCanvasWidth, kBaseCanvasHeight)) logic_.OnResize(width(), height());
  }
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  const Qt::KeyboardModifiers mods = event->modifiers();
  if (edit_commands_ != nullptr &&
      edit_commands_->OnKey(EditKeyNumber(event->key()), mods.testFlag(Qt::ControlModifier),
                            mods.testFlag(Qt::ShiftModifier))) {
    event->accept();
    return;
  }
  const int key = WindowKeyNumber(event->key());
  if (key != 0) logic_.OnKeyDown(key, event->modifiers().testFlag(Qt::ControlModifier));
  event->accept();
}

void MainWindow::keyReleaseEvent(QKeyEvent* event) {
  // A held key repeats presses only.
  if (!event->isAutoRepeat()) logic_.OnKeyUp();
  event->accept();
}

void MainWindow::focusOutEvent(QFocusEvent* event) {
  QWidget::focusOutEvent(event);
  logic_.OnKeyUp();
}

// Positions go to the logic with their fractions; it truncates them, as the base-canvas
// mapping does.
void MainWindow::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  logic_.OnLeftButtonDown(event->position().x(), event->position().y());
}

void MainWindow::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  logic_.OnLeftButtonUp(event->position().x(), event->position().y());
}

void MainWindow::mouseMoveEvent(QMouseEvent* event) {
  logic_.OnMouseMove(event->position().x(), event->position().y());
}

void MainWindow::wheelEvent(QWheelEvent* event) {
  // Only the vertical wheel scrolls; a sideways swipe would read as a turn of 0.
  const int delta = event->angleDelta().y();
  if (delta != 0) logic_.OnWheel(delta);
  event->accept();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  End(false);
  event->accept();
}

// Files are taken only while the window takes clicks: not during a transfer.
void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (drop_handler_ && !shell_.IsWaitCursor() && !DroppedFiles(event->mimeData()).empty()) {
    event->acceptProposedAction();
  }
}

void MainWindow::dropEvent(QDropEvent* event) {
  const std::vector<std::string> paths = DroppedFiles(event->mimeData());
  if (!drop_handler_ || paths.empty()) return;
  event->acceptProposedAction();
  // After the drop has returned to the desktop: the import may open dialogs.
  QMetaObject::invokeMethod(
      this, [this, paths] { drop_handler_(paths); }, Qt::QueuedConnection);
}

}  // namespace rq700
