// The updater window on a screen of two device pixels per pixel: drawn from the 2x skin at
// that resolution and shown pixel for pixel, while the pointer still works in the window's
// own 401 x 201 pixels.

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>

#include "updater/qt_updater_window.h"

namespace rq700 {
namespace {

QApplication& DenseApp() {
  static int argc = 1;
  static char name[] = "updater_window_dense_test";
  static char* argv[] = {name, nullptr};
  qputenv("QT_SCALE_FACTOR", "2");
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

void Send(QWidget& widget, QEvent::Type type, QPointF at, Qt::MouseButtons buttons) {
  QMouseEvent event(type, at, widget.mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
  QApplication::sendEvent(&widget, &event);
}

TEST(QtUpdaterWindowDense, DrawsAtTheScreensResolutionAndKeepsItsPixelsForThePointer) {
  DenseApp();
  LauncherDevice device;
  DeviceRecord record;
  QtUpdaterWindow window(device, record, RQ700_DIST_DIR "/img/");
  window.show();
  ASSERT_EQ(window.devicePixelRatioF(), 2.0);
  EXPECT_EQ(window.size(), QSize(401, 201));

  const QImage frame = window.Frame();
  ASSERT_EQ(frame.size(), QSize(802, 402));
  // The window shows the frame as it is, not stretched.
  const QImage shown = window.grab().toImage().convertToFormat(frame.format());
  ASSERT_EQ(shown.size(), frame.size());
  int differing = 0;
  for (int y = 0; y < frame.height(); y += 3) {
    for (int x = 0; x < frame.width(); x += 3) {
      // The progress bar is a child widget over the frame.
      if (QRect(64, 128, 674, 80).contains(x, y)) continue;
      differing += shown.pixel(x, y) != frame.pixel(x, y);
    }
  }
  EXPECT_EQ(differing, 0);

  // "Ready To Update" hangs from (200, 115): its letters on the display, at 2x.
  int dark_rows = 0;
  for (int y = 230; y < 300; ++y) {
    bool dark = false;
    for (int x = 240; x < 560 && !dark; ++x) dark = qGray(frame.pixel(x, y)) < 60;
    dark_rows += dark;
  }
  EXPECT_GT(dark_rows, 24) << "letters about twice as tall as at 1x";

  // The pointer in window pixels: the close highlight over 385..396 x 2..15.
  const QRgb before = frame.pixel(2 * 390, 2 * 8);
  Send(window, QEvent::MouseMove, QPointF(390, 8), Qt::NoButton);
  EXPECT_NE(window.Frame().pixel(2 * 390, 2 * 8), before);
  // A click on the update button at 160..241 x 153..179 starts the update, which finds no
  // firmware here.
  window.session().firmware_folder = "/nonexistent-rq700-firmware/";
  Send(window, QEvent::MouseButtonPress, QPointF(200, 166), Qt::LeftButton);
  Send(window, QEvent::MouseButtonRelease, QPointF(200, 166), Qt::NoButton);
  QElapsedTimer timer;
  timer.start();
  while (window.view().result() == UpdaterView::Result::kRunning && timer.elapsed() < 5000) {
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  EXPECT_EQ(window.view().status_text(), "Open Firware fail!");
  EXPECT_TRUE(window.WaitForUpdate());
}

}  // namespace
}  // namespace rq700
