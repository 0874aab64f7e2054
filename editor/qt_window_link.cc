#include "editor/qt_window_link.h"

#include <QMetaObject>
#include <QThread>
#include <memory>

#include "editor/main_window.h"

namespace rq700 {

void QtWindowLink::Attach(MainWindow* window) {
  std::lock_guard lock(mutex_);
  window_ = window;
}

void QtWindowLink::Detach() {
  std::lock_guard lock(mutex_);
  window_ = nullptr;
  detached_ = true;
  handled_.notify_all();
}

MainWindow* QtWindowLink::Window() {
  std::lock_guard lock(mutex_);
  return window_;
}

template <typename Call>
void QtWindowLink::Post(Call call) {
  {
    std::lock_guard lock(mutex_);
    if (detached_) return;
  }
  QMetaObject::invokeMethod(
      this,
      [this, call] {
        if (MainWindow* window = Window()) call(window);
      },
      Qt::QueuedConnection);
}

void QtWindowLink::ImportResult(int code) {
  Post([code](MainWindow* w) { w->ImportResult(code); });
}

void QtWindowLink::TransferResult(int code) {
  Post([code](MainWindow* w) { w->TransferResult(code); });
}

void QtWindowLink::WaitingProgress(int preset_index) {
  Post([preset_index](MainWindow* w) { w->WaitingProgress(preset_index); });
}

void QtWindowLink::DeviceGone() {
  if (QThread::currentThread() == thread()) {
    if (MainWindow* window = Window()) window->DeviceGone();
    return;
  }
  std::unique_lock lock(mutex_);
  if (detached_) return;
  // The caller waits until the user has seen the box and the window has begun to close,
  // or until the link is detached (the loop is over and nobody would answer).
  auto done = std::make_shared<bool>(false);
  QMetaObject::invokeMethod(
      this,
      [this, done] {
        if (MainWindow* window = Window()) window->DeviceGone();
        std::lock_guard handled_lock(mutex_);
        *done = true;
        handled_.notify_all();
      },
      Qt::QueuedConnection);
  handled_.wait(lock, [&] { return *done || detached_; });
}

}  // namespace rq700
