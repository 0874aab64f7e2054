#include "editor/qt_window_link.h"

#include <QMetaObject>
#include <QThread>

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
  queue_.clear();
  answered_.notify_all();
}

bool QtWindowLink::Post(News news) {
  {
    std::lock_guard lock(mutex_);
    if (detached_) return false;
    queue_.push_back(news);
  }
  QMetaObject::invokeMethod(this, "Deliver", Qt::QueuedConnection);
  return true;
}

void QtWindowLink::Deliver() {
  for (;;) {
    News news;
    MainWindow* window;
    {
      std::lock_guard lock(mutex_);
      if (queue_.empty()) return;
      news = queue_.front();
      queue_.pop_front();
      window = window_;
    }
    if (window != nullptr) {
      switch (news.kind) {
        case Kind::kImportResult:
          window->ImportResult(news.value);
          break;
        case Kind::kTransferResult:
          window->TransferResult(news.value);
          break;
        case Kind::kWaitingProgress:
          window->WaitingProgress(news.value);
          break;
        case Kind::kHideValueEntry:
          window->HideValueEntry();
          break;
        case Kind::kDeviceGone:
          window->DeviceGone();
          break;
      }
    }
    if (news.kind == Kind::kDeviceGone) {
      std::lock_guard lock(mutex_);
      ++losses_answered_;
      answered_.notify_all();
    }
  }
}

void QtWindowLink::ImportResult(int code) { Post({Kind::kImportResult, code}); }

void QtWindowLink::TransferResult(int code) { Post({Kind::kTransferResult, code}); }

void QtWindowLink::WaitingProgress(int preset_index) {
  Post({Kind::kWaitingProgress, preset_index});
}

void QtWindowLink::HideValueEntry() { Post({Kind::kHideValueEntry, 0}); }

void QtWindowLink::DeviceGone() {
  if (QThread::currentThread() == thread()) {
    MainWindow* window;
    {
      std::lock_guard lock(mutex_);
      window = window_;
    }
    if (window != nullptr) window->DeviceGone();
    return;
  }
  // The caller waits until the user has seen the box and the window has begun to close,
  // or until the link is detached (the loop is over and nobody would answer).
  std::unique_lock lock(mutex_);
  if (detached_) return;
  const uint64_t ticket = ++losses_reported_;
  queue_.push_back({Kind::kDeviceGone, 0});
  lock.unlock();
  QMetaObject::invokeMethod(this, "Deliver", Qt::QueuedConnection);
  lock.lock();
  answered_.wait(lock, [&] { return losses_answered_ >= ticket || detached_; });
}

}  // namespace rq700
