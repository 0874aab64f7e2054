#ifndef RQ700_EDITOR_QT_WINDOW_LINK_H_
#define RQ700_EDITOR_QT_WINDOW_LINK_H_

#include <QObject>
#include <condition_variable>
#include <mutex>

#include "protocol/window_link.h"

namespace rq700 {

class MainWindow;

// Carries the worker threads' news to the main window on the UI thread: posted (queued)
// calls, and a blocking call for the device loss. Made on the UI thread before the
// threads start; calls reach the window attached when they are delivered. Detach when the
// message loop has ended, before the threads are joined: it releases a caller still
// waiting for the window, and later calls are dropped.
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

 private:
  template <typename Call>
  void Post(Call call);
  // The attached window, or nullptr.
  MainWindow* Window();

  std::mutex mutex_;
  std::condition_variable handled_;
  MainWindow* window_ = nullptr;
  bool detached_ = false;
};

}  // namespace rq700

#endif  // RQ700_EDITOR_QT_WINDOW_LINK_H_
