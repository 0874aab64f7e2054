#include "updater/qt_updater_window.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <filesystem>
#include <fstream>
#include <thread>

#include "files/firmware_builder.h"
#include "tests/updater/fake_loader.h"

namespace rq700 {
namespace {

namespace fs = std::filesystem;

QApplication& App() {
  static int argc = 1;
  static char name[] = "updater_window_test";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

void Click(QWidget& widget, int x, int y) {
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(x, y), widget.mapToGlobal(QPointF(x, y)),
                    Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&widget, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(x, y), widget.mapToGlobal(QPointF(x, y)),
                      Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(&widget, &release);
}

void Hover(QWidget& widget, int x, int y) {
  QMouseEvent move(QEvent::MouseMove, QPointF(x, y), widget.mapToGlobal(QPointF(x, y)),
                   Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(&widget, &move);
}

// Runs the event loop until `done` or a few seconds passed.
template <typename Done>
bool ProcessUntil(Done done) {
  QElapsedTimer timer;
  timer.start();
  while (!done() && timer.elapsed() < 5000) {
    QApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  return done();
}

class QtUpdaterWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    App();
    dir_ = fs::temp_directory_path() / ("rq700-updater-window-" + std::to_string(getpid()));
    fs::create_directories(dir_ / "Firmware");
    fs::create_directories(dir_ / "img");
    // A plain skin: white background, a red button, a blue done button, a green highlight.
    QImage background(401, 201, QImage::Format_RGB32);
    background.fill(Qt::white);
    background.save(QString::fromStdString((dir_ / "img" / "0.jpg").string()));
    const std::pair<const char*, QColor> pngs[] = {
        {"1.png", Qt::red}, {"2.png", Qt::blue}, {"3.png", Qt::green}};
    for (const auto& [file, colour] : pngs) {
      QImage image(std::string(file) == "3.png" ? 12 : 81, std::string(file) == "3.png" ? 14 : 26,
                   QImage::Format_ARGB32);
      image.fill(colour);
      image.save(QString::fromStdString((dir_ / "img" / file).string()));
    }
    const std::string model = "ZORVA_RQ700_V1.9.9";
    std::copy(model.begin(), model.end(), record_.model_text.begin());
    socket_ = (dir_ / "loader.sock").string();
  }
  void TearDown() override { fs::remove_all(dir_); }

  QString ImageFolder() const { return QString::fromStdString((dir_ / "img").string() + "/"); }

  fs::path dir_;
  std::string socket_;
  DeviceRecord record_;
  LauncherDevice device_;
};

TEST_F(QtUpdaterWindowTest, FramelessSkinnedWindowWithItsProgressBar) {
  QtUpdaterWindow window(device_, record_, ImageFolder());
  EXPECT_EQ(window.size(), QSize(401, 201));
  EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(window.windowTitle(), "Zorva Studio For RQ700");
  auto* bar = window.findChild<QProgressBar*>();
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->geometry(), QRect(32, 64, 337, 40));
  EXPECT_EQ(bar->minimum(), 0);
  EXPECT_EQ(bar->maximum(), 100);

  QImage frame = window.Frame();
  EXPECT_EQ(frame.size(), QSize(401, 201));
  EXPECT_EQ(QColor(frame.pixel(390, 8)), QColor(Qt::white));
  // The close highlight while the pointer is over the close button.
  Hover(window, 390, 8);
  frame = window.Frame();
  EXPECT_EQ(QColor(frame.pixel(390, 8)), QColor(Qt::green));
  // Some of the text "Ready To Update" is drawn in black below the anchor.
  bool dark = false;
  for (int x = 120; x < 280 && !dark; ++x) {
    for (int y = 115; y < 140 && !dark; ++y) dark = qGray(frame.pixel(x, y)) < 64;
  }
  EXPECT_TRUE(dark);
}

TEST_F(QtUpdaterWindowTest, StatusPostsFromAnotherThreadApplyInOrder) {
  QtUpdaterWindow window(device_, record_, ImageFolder());
  window.session().firmware_folder = (dir_ / "Firmware").string() + "/";
  Click(window, 200, 160);  // no image: the update ends at once with status 6
  ASSERT_TRUE(
      ProcessUntil([&] { return window.view().result() != UpdaterView::Result::kRunning; }));
  EXPECT_EQ(window.view().status_text(), "Open Firware fail!");
  EXPECT_EQ(window.progress_value(), 0);

  std::thread poster([&] {
    window.PostStatus(kStatusProgress, 42);
    window.PostStatus(kStatusProgress, 101);
    window.PostStatus(kStatusProgress, 64);
  });
  poster.join();
  ASSERT_TRUE(ProcessUntil([&] { return window.view().percent() == 64; }));
  EXPECT_EQ(window.progress_value(), 64);
}

TEST_F(QtUpdaterWindowTest, ClickRunsTheUpdateAndClosingWaitsForItsEnd) {
  files::FirmwareImagePlan plan;
  plan.apply_command = 0x20;
  plan.apply_reply = 0x6A;
  plan.apply_timeout = 300;
  plan.segments.push_back({0x30, 0x47, 300, 0, std::vector<uint8_t>(1024, 0x5A)});
  const std::vector<uint8_t> bytes = files::BuildFirmwareImage(plan);
  {
    std::ofstream out(dir_ / "Firmware" / "ZORVA_RQ700_V2.0.0.zr", std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
  }
  testing::EventLog log;
  testing::FakeLoader loader(socket_, {}, log);
  ASSERT_TRUE(device_.Open("emu:" + socket_));
  device_.set_link_active(1);

  QtUpdaterWindow window(device_, record_, ImageFolder());
  window.session().firmware_folder = (dir_ / "Firmware").string() + "/";
  window.show();
  Click(window, 200, 160);
  // While it runs, neither the close button nor the desktop closes the window.
  Click(window, 390, 8);
  EXPECT_FALSE(window.close());
  EXPECT_TRUE(window.isVisible());
  ASSERT_TRUE(
      ProcessUntil([&] { return window.view().result() != UpdaterView::Result::kRunning; }));
  EXPECT_EQ(window.view().status_text(), "Update Successful");
  EXPECT_EQ(window.progress_value(), 100);
  EXPECT_EQ(loader.blocks(), 2);
  // Blue: the done button replaced the update button.
  EXPECT_EQ(QColor(window.Frame().pixel(200, 170)), QColor(Qt::blue));
  Click(window, 200, 160);
  EXPECT_FALSE(window.isVisible());
  EXPECT_TRUE(window.WaitForUpdate());
  EXPECT_FALSE(device_.is_open());
}

}  // namespace
}  // namespace rq700
