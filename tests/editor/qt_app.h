#ifndef RQ700_TESTS_EDITOR_QT_APP_H_
#define RQ700_TESTS_EDITOR_QT_APP_H_

#include <QApplication>
#include <QElapsedTimer>
#include <functional>

namespace rq700::testing {

// Widgets need an application object; one per test program.
inline void EnsureApp() {
  if (QCoreApplication::instance() != nullptr) return;
  static int argc = 1;
  static char name[] = "editor_test";
  static char* argv[] = {name, nullptr};
  new QApplication(argc, argv);
}

// Delivers posted events until `done` holds or `timeout_ms` passes; true when it held.
inline bool PumpUntil(const std::function<bool()>& done, int timeout_ms = 5000) {
  QElapsedTimer timer;
  timer.start();
  while (!done()) {
    if (timer.elapsed() > timeout_ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  return true;
}

}  // namespace rq700::testing

#endif  // RQ700_TESTS_EDITOR_QT_APP_H_
