#ifndef RQ700_TESTS_SKIN_QT_TEST_APP_H_
#define RQ700_TESTS_SKIN_QT_TEST_APP_H_

#include <QGuiApplication>

namespace rq700::testing {

// Fonts and image plug-ins need an application object; one per test program.
inline void EnsureGuiApp() {
  if (QCoreApplication::instance() != nullptr) return;
  static int argc = 1;
  static char name[] = "skin_test";
  static char* argv[] = {name, nullptr};
  new QGuiApplication(argc, argv);
}

}  // namespace rq700::testing

#endif  // RQ700_TESTS_SKIN_QT_TEST_APP_H_
