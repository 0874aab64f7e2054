#ifndef RQ700_EDITOR_QT_WINDOW_LINK_H_
#define RQ700_EDITOR_QT_WINDOW_LINK_H_

#include <QObject>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>

#include "protocol/window_link.h"

namespace rq700 {

class MainWindow;

// Carries the worker threads' news to the main window on the UI thread: posted calls,
// and a blocking call for the device loss. Made on the UI thread before the threads
// start; news reaches the window attached when it is delivered. Detach when the message
// loop has ended, before the threads are joined: it releases a caller still waiting for
// the window, and later news is dropped.
//
// The news itself travels in a queue of our own under our own lock; the Qt event only
// says "deliver", so every hand-over between threads is visible to the race checker.
class QtWindowLink final : public QObject, public WindowLink {
  Q_OBJECT

 public:
  QtWindowLink() = default;

  void Attach(MainWindow* window);
  void Detach();

  void ImportResult(int code) override;
  void TransferResult(int code) override;
  void DeviceGone() override;
  void WaitingProgress(int preset_index) override;
  void HideValueEntry() override;

 private:
  enum class Kind {
    kImportResult,
    kTransferResult,
    kDeviceGone,
    kWaitingProgress,
    kHideValueEntry
  };
  struct News {
    Kind kind;
    int value;
  };

  // Queues `news` and asks the UI thread to deliver it; false once detached.
  bool Post(News news);
  Q_INVOKABLE void Deliver();

  std::mutex mutex_;
  std::condition_variable answered_;
  std::deque<News> queue_;
  MainWindow* window_ = nullptr;
  bool detached_ = false;
  uint64_t losses_reported_ = 0;
  uint64_t losses_answered_ = 0;
};

}  // namespace rq700

#endif  // RQ700_EDITOR_QT_WINDOW_LINK_H_
