// The editor's window on a screen of two device pixels per pixel: the view is drawn at that
// resolution and shown pixel for pixel, while the pointer, the hit tests and the value entry
// box keep working in the window's own pixels.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <memory>

#include "editor/editor_program.h"
#include "editor/qt_shell.h"
#include "skin/view_layout.h"
#include "tests/editor/qt_app.h"

namespace rq700 {
namespace {

namespace L = layout;

class IdleSession : public DeviceSession {
 public:
  bool Start(const std::string&, WindowLink&) override { return true; }
  void Stop(bool) override {}
};

void DenseApp() {
  static int argc = 1;
  static char name[] = "editor_window_dense_test";
  static char* argv[] = {name, nullptr};
  qputenv("QT_SCALE_FACTOR", "2");
  static QApplication* app = new QApplication(argc, argv);
  (void)app;
}

void Click(QWidget& widget, QPointF at) {
  QMouseEvent move(QEvent::MouseMove, at, widget.mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QApplication::sendEvent(&widget, &move);
  QMouseEvent press(QEvent::MouseButtonPress, at, widget.mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&widget, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, at, widget.mapToGlobal(at), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(&widget, &release);
}

TEST(EditorWindowDense, DrawsAtTheScreensResolutionWhileInputStaysInWindowPixels) {
  DenseApp();
  auto state = std::make_unique<DeviceState>();
  QtShell shell;
  IdleSession session;
  EditorProgram::Options options;
  options.window.run_timers = false;
  options.image_folder = RQ700_DIST_DIR "/ZORVA_RQ700/img";
  EditorProgram program(*state, shell, session, options);
  ASSERT_TRUE(program.Start("emu:/tmp/x"));
  MainWindow& window = *program.window();
  shell.set_main_window(&window);
  for (int i = 0; i < kChainLength; ++i) state->chain_order[i].SetBoth(i + 1);
  state->load_complete = 1;
  window.StartupTick();
  ASSERT_TRUE(testing::PumpUntil([&] { return window.isVisible() && window.width() == 1232; }));
  ASSERT_EQ(window.devicePixelRatioF(), 2.0);

  // The AMP panel, then a click on its first value box in window pixels.
  Click(window, QPointF(L::kHitRects[13].left + 20, L::kHitRects[13].top + 20));
  ASSERT_EQ(state->selected_module.Get(), 3) << "the third chain slot holds AMP";
  const L::Rect box = L::ValueBox(L::kSliderBars[8]);
  Click(window, QPointF(box.left + 10, box.top + 10));
  QLineEdit* entry = window.value_entry();
  ASSERT_TRUE(entry->isVisible());
  EXPECT_EQ(entry->geometry(),
            QRect(box.left, box.top, box.right - box.left, box.bottom - box.top));

  // The frame fills the screen's pixels and the window shows it unchanged: the value box's
  // frame where the entry box sits, one base pixel wide, is two device pixels wide.
  window.PaintBackBuffer();
  const QImage& frame = window.back_buffer();
  ASSERT_EQ(frame.size(), QSize(2464, 1558));
  const int y = 2 * (box.top + 10);
  EXPECT_EQ(frame.pixel(2 * box.left, y), qRgb(0, 0, 0));
  EXPECT_EQ(frame.pixel(2 * box.left + 1, y), qRgb(0, 0, 0));
  EXPECT_EQ(frame.pixel(2 * box.left + 2, y), qRgb(255, 255, 255));
  entry->hide();
  const QImage shown = window.grab().toImage().convertToFormat(frame.format());
  ASSERT_EQ(shown.size(), frame.size());
  int differing = 0;
  for (int sy = 0; sy < frame.height(); sy += 3) {
    for (int sx = 0; sx < frame.width(); sx += 3)
      differing += shown.pixel(sx, sy) != frame.pixel(sx, sy);
  }
  EXPECT_EQ(differing, 0);
  program.Shutdown();
}

}  // namespace
}  // namespace rq700
