// The editor's and the updater's windows on a screen of two device pixels per pixel: each
// draws at that resolution and is shown pixel for pixel, while the pointer, the hit tests
// and the value entry box keep to the window's own pixels.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <memory>

#include "editor/editor_program.h"
#include "editor/qt_shell.h"
#include "skin/view_layout.h"
#include "tests/editor/qt_app.h"
#include "updater/qt_updater_window.h"

namespace rq700 {
namespace {

namespace L = layout;

class DenseScreen : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    qputenv("QT_SCALE_FACTOR", "2");
    testing::EnsureApp();
  }

  static void Mouse(QWidget& window, QEvent::Type type, QPointF at) {
    const bool press = type == QEvent::MouseButtonPress;
    QMouseEvent event(type, at, window.mapToGlobal(at), Qt::LeftButton,
                      press ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&window, &event);
  }
  static void Click(QWidget& window, QPointF at) {
    for (auto type : {QEvent::MouseMove, QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
      Mouse(window, type, at);
  }
  // Sampled pixels where the window shows something else than `frame`.
  static int DiffersFromShown(QWidget& window, const QImage& frame, QRect except = {}) {
    const QImage shown = window.grab().toImage().convertToFormat(frame.format());
    if (shown.size() != frame.size()) return -1;
    int differing = 0;
    for (int y = 0; y < frame.height(); y += 3) {
      for (int x = 0; x < frame.width(); x += 3) {
        differing += !except.contains(x, y) && shown.pixel(x, y) != frame.pixel(x, y);
      }
    }
    return differing;
  }
};

class IdleSession : public DeviceSession {
 public:
  bool Start(const std::string&, WindowLink&) override { return true; }
  void Stop(bool) override {}
};

TEST_F(DenseScreen, TheEditorDrawsAtTheScreensPixelsAndTakesInputInItsOwn) {
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

  // The third chain slot (AMP), then its first value box, in window pixels.
  Click(window, QPointF(L::kHitRects[13].left + 20, L::kHitRects[13].top + 20));
  ASSERT_EQ(state->selected_module.Get(), 3);
  const L::Rect box = L::ValueBox(L::kSliderBars[8]);
  Click(window, QPointF(box.left + 10, box.top + 10));
  ASSERT_TRUE(window.value_entry()->isVisible());
  EXPECT_EQ(window.value_entry()->geometry(),
            QRect(box.left, box.top, box.right - box.left, box.bottom - box.top));
  window.value_entry()->hide();

  // Under it the painted value box, its one-pixel frame two device pixels wide.
  window.PaintBackBuffer();
  const QImage& frame = window.back_buffer();
  ASSERT_EQ(frame.size(), QSize(2464, 1558));
  const int y = 2 * (box.top + 10);
  EXPECT_EQ(frame.pixel(2 * box.left + 1, y), qRgb(0, 0, 0));
  EXPECT_EQ(frame.pixel(2 * box.left + 2, y), qRgb(255, 255, 255));
  EXPECT_EQ(DiffersFromShown(window, frame), 0);
  program.Shutdown();
}

TEST_F(DenseScreen, TheUpdaterDrawsAtTheScreensPixelsAndTakesInputInItsOwn) {
  LauncherDevice device;
  DeviceRecord record;
  QtUpdaterWindow window(device, record, RQ700_DIST_DIR "/img/");
  window.show();
  ASSERT_EQ(window.devicePixelRatioF(), 2.0);
  const QImage frame = window.Frame();
  ASSERT_EQ(frame.size(), QSize(802, 402));
  // The progress bar, a widget of its own, lies over the frame.
  EXPECT_EQ(DiffersFromShown(window, frame, QRect(64, 128, 674, 80)), 0);

  // The close highlight shows while the pointer is over 385..396 x 2..15.
  Mouse(window, QEvent::MouseMove, QPointF(390, 8));
  EXPECT_NE(window.Frame().pixel(780, 16), frame.pixel(780, 16));
  Mouse(window, QEvent::MouseMove, QPointF(370, 8));
  EXPECT_EQ(window.Frame().pixel(780, 16), frame.pixel(780, 16));
}

}  // namespace
}  // namespace rq700
