#ifndef RQ700_UPDATER_QT_UPDATER_WINDOW_H_
#define RQ700_UPDATER_QT_UPDATER_WINDOW_H_

#include <QPoint>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <thread>

#include "skin/qt_image.h"
#include "updater/update_session.h"
#include "updater/updater_view.h"

class QProgressBar;

namespace rq700 {

// The small skinned window that carries a firmware update: "Ready To Update" until the
// update button is clicked, then progress, then the outcome. Frameless; it can be dragged
// from any point. It cannot be closed while the update runs.
class QtUpdaterWindow : public QWidget, public UpdateStatusSink {
  Q_OBJECT

 public:
  // `device` is open and link-active; `record` holds what detection learnt. Images come
  // from `image_folder` (0.jpg, 1.png, 2.png, 3.png).
  QtUpdaterWindow(LauncherDevice& device, DeviceRecord& record,
                  const QString& image_folder = QStringLiteral("./img/"));
  ~QtUpdaterWindow() override;

  // Called on the worker thread: queues the status for the window's thread.
  void PostStatus(int code, int value) override;

  const UpdaterView& view() const { return view_; }
  int progress_value() const;
  UpdateSession& session() { return session_; }
  // The frame as painted last (what the window shows), in device pixels: 401 x 201 times
  // the screen's device pixel ratio.
  QImage Frame();
  // Waits for the update threads to end; true when none runs any more.
  bool WaitForUpdate();

 signals:
  void StatusApplied(int code, int value);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void ApplyStatus(int code, int value);
  void StartUpdate();
  void Compose();

  UpdaterView view_;
  UpdateSession session_;
  QProgressBar* progress_ = nullptr;
  QTimer repaint_timer_;
  QtImageSet images_;
  QtBackBuffer back_buffer_;
  std::thread worker_;
  std::thread reader_;
  // Dragging by hand where the desktop does not move the window for us.
  bool dragging_ = false;
  QPoint drag_offset_;
};

}  // namespace rq700

#endif  // RQ700_UPDATER_QT_UPDATER_WINDOW_H_
