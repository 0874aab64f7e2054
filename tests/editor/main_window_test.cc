#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <memory>
#include <thread>

#include "editor/editor_program.h"
#include "editor/frame_presenter.h"
#include "editor/qt_save_dialog.h"
#include "editor/qt_shell.h"
#include "editor/waiting_dialog.h"
#include "files/backup_writer.h"
#include "tests/editor/qt_app.h"
#include "tests/editor/recording_shell.h"

namespace rq700 {
namespace {

using testing::PumpUntil;
using testing::RecordingShell;

// Stands in for the device and its threads: the test plays the threads' part through
// the link it was given.
class FakeSession : public DeviceSession {
 public:
  bool Start(const std::string& path, WindowLink& link) override {
    path_ = path;
    link_ = &link;
    return open_ok;
  }
  void Stop(bool disconnected) override {
    ++stops;
    stopped_disconnected = disconnected;
  }
  void set_backup_restore_jobs(BackupRestoreJobs* given) override { jobs = given; }

  bool open_ok = true;
  std::string path_;
  WindowLink* link_ = nullptr;
  int stops = 0;
  bool stopped_disconnected = false;
  BackupRestoreJobs* jobs = nullptr;
};

class RecordingPointer : public PointerInput {
 public:
  void Press(int x, int y, Modifier) override { presses.push_back({x, y}); }
  void Move(int, int) override {}
  void Release(int, int) override { ++releases; }
  void Wheel(int delta) override { wheels.push_back(delta); }
  void PlaceValueEntry() override {}
  void EnterValue(std::string_view) override {}
  std::vector<BasePoint> presses;
  std::vector<int> wheels;
  int releases = 0;
};

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureApp();
    ASSERT_TRUE(dir_.isValid());
    QImage base(kBaseCanvasWidth, kBaseCanvasHeight, QImage::Format_RGB32);
    base.fill(qRgb(40, 90, 160));
    ASSERT_TRUE(base.save(dir_.filePath("0.jpg"), "JPEG", 100));
    state_ = std::make_unique<DeviceState>();
    EditorProgram::Options options;
    options.window.run_timers = false;
    options.window.clock = [this] { return now_.load(); };
    options.image_folder = dir_.path();
    program_ = std::make_unique<EditorProgram>(*state_, shell_, session_, options);
  }

  void TearDown() override {
    program_.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  MainWindow* StartAndShow() {
    EXPECT_TRUE(program_->Start("emu:/tmp/x"));
    MainWindow* window = program_->window();
    state_->load_complete = 1;
    window->StartupTick();
    EXPECT_TRUE(PumpUntil([&] { return window->isVisible() && window->width() == 1232; }));
    return window;
  }

  void Key(MainWindow* window, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QCoreApplication::sendEvent(window, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QCoreApplication::sendEvent(window, &release);
  }

  QTemporaryDir dir_;
  std::unique_ptr<DeviceState> state_;
  RecordingShell shell_;
  FakeSession session_;
  std::atomic<uint32_t> now_{5'000'000};
  std::unique_ptr<EditorProgram> program_;
};

TEST_F(MainWindowTest, UnopenableDeviceTellsTheUserAndStartsNothing) {
  session_.open_ok = false;
  EXPECT_FALSE(program_->Start(""));
  EXPECT_EQ(session_.path_, "");
  ASSERT_EQ(shell_.messages.size(), 1u);
  EXPECT_EQ(shell_.messages[0].text, "Open Device fail");
  EXPECT_EQ(shell_.messages[0].caption, "Error");
  EXPECT_EQ(shell_.messages[0].icon, MessageIcon::kError);
  EXPECT_EQ(shell_.messages[0].owner, MessageOwner::kNone);
  EXPECT_EQ(program_->window(), nullptr);
  program_->Shutdown();
  EXPECT_EQ(session_.stops, 0);
}

TEST_F(MainWindowTest, CommandLinePathIsTakenAsItStands) {
  char prog[] = "ZORVA_RQ700";
  char path[] = " emu:/tmp/a b \"c\" ";
  char* argv[] = {prog, path, nullptr};
  EXPECT_EQ(DevicePathFromArguments(2, argv), " emu:/tmp/a b \"c\" ");
  EXPECT_EQ(DevicePathFromArguments(1, argv), "");
  EXPECT_EQ(OfflineFileFromArguments(2, argv), "");
  EXPECT_EQ(MainWindowTitle(""), "RQ700 Studio");

  char flag[] = "--offline";
  char file[] = "/home/p/gig set.zbf";
  char* offline[] = {prog, path, flag, file, nullptr};
  EXPECT_EQ(DevicePathFromArguments(4, offline), " emu:/tmp/a b \"c\" ");
  EXPECT_EQ(OfflineFileFromArguments(4, offline), "/home/p/gig set.zbf");
  EXPECT_EQ(MainWindowTitle(file), "RQ700 Studio (offline: gig set.zbf)");
}

TEST_F(MainWindowTest, WaitingBarFollowsThePresetsFromTheReaderThread) {
  ASSERT_TRUE(program_->Start("emu:/tmp/x"));
  WaitingDialog* waiting = program_->waiting_dialog();
  ASSERT_NE(waiting, nullptr);
  EXPECT_TRUE(waiting->isVisible());
  EXPECT_EQ(waiting->windowTitle(), "Waiting");
  EXPECT_EQ(waiting->progress_bar()->minimum(), 0);
  EXPECT_EQ(waiting->progress_bar()->maximum(), 160);
  EXPECT_FALSE(program_->window()->isVisible());
  EXPECT_EQ(program_->window()->windowTitle(), "RQ700 Studio");

  std::thread reader([&] {
    for (int i = 0; i <= 99; ++i) session_.link_->WaitingProgress(i);
  });
  reader.join();
  ASSERT_TRUE(PumpUntil([&] { return waiting->position() == 99; }));
  std::thread rest([&] {
    for (int i = 100; i < 200; ++i) session_.link_->WaitingProgress(i);
  });
  rest.join();
  ASSERT_TRUE(PumpUntil([&] { return waiting->position() == 160; }));
  QCoreApplication::processEvents();
  EXPECT_EQ(waiting->position(), 160) << "full from preset 160 on";
}

TEST_F(MainWindowTest, WindowAppearsAfterTheDumpWithTheBaseCanvasAsClientArea) {
  ASSERT_TRUE(program_->Start("emu:/tmp/x"));
  MainWindow* window = program_->window();
  for (int i = 0; i < 5; ++i) window->StartupTick();
  EXPECT_FALSE(window->isVisible());
  EXPECT_NE(program_->waiting_dialog(), nullptr);

  state_->load_complete = 1;
  window->StartupTick();
  ASSERT_TRUE(PumpUntil([&] { return window->isVisible() && window->width() == 1232; }));
  EXPECT_EQ(window->size(), QSize(1232, 779));
  EXPECT_EQ(program_->waiting_dialog(), nullptr);
  EXPECT_TRUE(window->repainting());
  EXPECT_EQ(state_->re_request.load(), 0);

  // The value entry box exists, hidden.
  ASSERT_NE(window->value_entry(), nullptr);
  EXPECT_FALSE(window->value_entry()->isVisible());

  // Later sizes stretch the view.
  window->resize(1848, 1168);
  ASSERT_TRUE(PumpUntil([&] { return window->width() == 1848; }));
  EXPECT_FLOAT_EQ(window->logic().horizontal_scale(), 1.5f);
  EXPECT_EQ(window->size(), QSize(1848, 1168));
}

TEST_F(MainWindowTest, BackBufferIsStretchedOntoTheWindow) {
  MainWindow* window = StartAndShow();
  window->set_painter([](Canvas& canvas) {
    canvas.DrawImage(0, 0, 0);
    canvas.FillRect(616, 0, 1232, 779, {250, 250, 250});
  });
  QImage shot = window->grab().toImage();
  EXPECT_EQ(shot.size(), QSize(1232, 779));
  EXPECT_EQ(shot.pixelColor(10, 10).blue(), window->back_buffer().pixelColor(10, 10).blue());
  EXPECT_NEAR(shot.pixelColor(10, 10).blue(), 160, 3);
  EXPECT_EQ(shot.pixelColor(1000, 700), QColor(250, 250, 250));

  window->resize(1848, 1168);
  ASSERT_TRUE(PumpUntil([&] { return window->width() == 1848; }));
  shot = window->grab().toImage();
  EXPECT_NEAR(shot.pixelColor(15, 15).blue(), 160, 3);
  EXPECT_EQ(shot.pixelColor(1800, 1100), QColor(250, 250, 250));
  // The split at base x 616 lands at window x 924, drawn there rather than stretched.
  EXPECT_NEAR(shot.pixelColor(923, 500).blue(), 160, 3);
  EXPECT_EQ(shot.pixelColor(924, 500), QColor(250, 250, 250));
}

TEST_F(MainWindowTest, DeviceLossFromTheReaderWarnsEndsAndSkipsTheJoin) {
  MainWindow* window = StartAndShow();
  std::atomic<bool> returned{false};
  std::thread reader([&] {
    session_.link_->DeviceGone();
    returned = true;
  });
  ASSERT_TRUE(PumpUntil([&] { return window->ended(); }));
  ASSERT_TRUE(PumpUntil([&] { return returned.load(); }));
  reader.join();
  ASSERT_EQ(shell_.messages.size(), 1u);
  EXPECT_EQ(shell_.messages[0].text, "The device is disconnected");
  EXPECT_FALSE(window->isVisible());
  program_->Shutdown();
  EXPECT_EQ(session_.stops, 1);
  EXPECT_TRUE(session_.stopped_disconnected);
}

TEST_F(MainWindowTest, DeviceLossWhileWaitingEndsTheProgramToo) {
  ASSERT_TRUE(program_->Start("emu:/tmp/x"));
  // The dump completes while the box is up: the window must stay hidden.
  MainWindow* window = program_->window();
  int ended_signals = 0;
  QObject::connect(window, &MainWindow::Ended, [&] { ++ended_signals; });
  shell_.during_message = [&] {
    state_->load_complete = 1;
    window->StartupTick();
    state_->system[7].SetBoth(2);
    for (int i = 0; i < 60; ++i) window->RepaintTick();
  };
  std::thread reader([&] { session_.link_->DeviceGone(); });
  ASSERT_TRUE(PumpUntil([&] { return program_->window()->ended(); }));
  reader.join();
  EXPECT_EQ(shell_.messages.at(0).text, "The device is disconnected");
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(ended_signals, 1);
  shell_.during_message = nullptr;
  program_->Shutdown();
  EXPECT_TRUE(session_.stopped_disconnected);
}

TEST_F(MainWindowTest, AReaderStillWaitingWhenTheLoopEndsIsReleased) {
  ASSERT_TRUE(program_->Start("emu:/tmp/x"));
  std::atomic<bool> returned{false};
  std::thread reader([&] {
    session_.link_->DeviceGone();
    returned = true;
  });
  // The loop ends (the user closed the window) before the reader's call is delivered.
  program_->window()->close();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  program_->Shutdown();
  reader.join();
  EXPECT_TRUE(returned.load());
  EXPECT_FALSE(session_.stopped_disconnected);
}

TEST_F(MainWindowTest, NormalCloseEndsWithAJoin) {
  MainWindow* window = StartAndShow();
  bool ended_signal = false;
  QObject::connect(window, &MainWindow::Ended, [&] { ended_signal = true; });
  window->close();
  EXPECT_TRUE(ended_signal);
  program_->Shutdown();
  EXPECT_EQ(session_.stops, 1);
  EXPECT_FALSE(session_.stopped_disconnected);
  EXPECT_TRUE(shell_.messages.empty());
}

TEST_F(MainWindowTest, DumpThatNeverCompletesFailsAtTick200) {
  ASSERT_TRUE(program_->Start("emu:/tmp/x"));
  MainWindow* window = program_->window();
  for (int i = 0; i < 80; ++i) window->StartupTick();
  EXPECT_EQ(state_->re_request.load(), 1);
  for (int i = 80; i < 199; ++i) window->StartupTick();
  EXPECT_FALSE(window->ended());
  // Ticks that arrive while the box is up must not show the window behind it.
  int ticks_during_box = 0;
  shell_.during_message = [&] {
    for (; ticks_during_box < 3; ++ticks_during_box) window->StartupTick();
  };
  window->StartupTick();
  EXPECT_EQ(ticks_during_box, 3);
  EXPECT_TRUE(window->ended());
  ASSERT_EQ(shell_.messages.size(), 1u);
  EXPECT_EQ(shell_.messages[0].text, "Updata preset fail");
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(window->logic().startup_ticks(), 200u);
  shell_.during_message = nullptr;
}

TEST_F(MainWindowTest, SystemByte7At2ClosesAfter50Ticks) {
  MainWindow* window = StartAndShow();
  state_->system[7].SetBoth(2);
  for (int i = 0; i < 49; ++i) window->RepaintTick();
  EXPECT_FALSE(window->ended());
  window->RepaintTick();
  EXPECT_TRUE(window->ended());
  EXPECT_FALSE(window->isVisible());
}

TEST_F(MainWindowTest, ImportWatchdogReportsAFailedImportThroughTheWindow) {
  MainWindow* window = StartAndShow();
  shell_.wait_cursor = true;
  state_->in_flight = 1;
  for (int i = 0; i < 300; ++i) window->RepaintTick();
  ASSERT_TRUE(PumpUntil([&] { return !shell_.messages.empty(); }));
  EXPECT_EQ(shell_.messages[0].text, "Import Fail!!");
  EXPECT_FALSE(shell_.wait_cursor);
}

TEST_F(MainWindowTest, ResultMessagesFromWorkersReachTheUser) {
  MainWindow* window = StartAndShow();
  std::thread worker([&] {
    session_.link_->ImportResult(7);
    session_.link_->TransferResult(1);
    session_.link_->TransferResult(0);
  });
  worker.join();
  ASSERT_TRUE(PumpUntil([&] { return shell_.messages.size() == 3; }));
  EXPECT_EQ(shell_.messages[0].text, "Select a maximum of 200 files!!");
  EXPECT_EQ(shell_.messages[1].text, "Backup successful!");
  EXPECT_EQ(shell_.messages[2].text, "Restore successful, please restart the software");
  EXPECT_TRUE(window->ended()) << "a finished restore ends the program";
}

TEST_F(MainWindowTest, DevicePageChangeFromTheReaderHidesTheValueEntryBox) {
  StartAndShow();
  ASSERT_EQ(shell_.value_entry_hidden, 0);
  std::thread reader([&] { session_.link_->HideValueEntry(); });
  reader.join();
  EXPECT_TRUE(PumpUntil([&] { return shell_.value_entry_hidden == 1; }));
}

// The 50 ms tick repaints only when something shown changed: an edit, a device value or
// name, the mouse over the view; while a transfer runs its stall watch gets every frame.
TEST_F(MainWindowTest, TicksRepaintOnlyWhenTheViewChanged) {
  MainWindow* window = StartAndShow();
  int frames = 0;
  window->set_painter([&frames, this](Canvas& canvas) {
    ++frames;
    canvas.DrawImage(0, 0, 0);
    canvas.FillRect(600, 300, 640, 320, {state_->volume.Get(), 0, 0});
  });
  const auto frames_after_ticks = [&](int ticks) {
    const int before = frames;
    for (int i = 0; i < ticks; ++i) {
      window->RepaintTick();
      for (int pass = 0; pass < 3; ++pass) QCoreApplication::processEvents();
    }
    return frames - before;
  };
  EXPECT_EQ(frames_after_ticks(1), 1) << "a new painter's first frame";
  EXPECT_EQ(frames_after_ticks(5), 0);
  state_->module[kAmp].param[1].Set(9);
  EXPECT_EQ(frames_after_ticks(3), 1);
  SetPresetListText(*state_, 4, "P005: REC");
  EXPECT_EQ(frames_after_ticks(3), 1);
  program_->view_state().hover_item = 3;
  EXPECT_EQ(frames_after_ticks(3), 1);
  program_->view_state().transfer_percent = 37;
  EXPECT_EQ(frames_after_ticks(4), 4);
  program_->view_state().transfer_percent = 0;
  EXPECT_EQ(frames_after_ticks(4), 1);
  EXPECT_EQ(shell_.messages.size(), 0u);

  window->resize(1848, 1168);
  ASSERT_TRUE(PumpUntil([&] { return window->width() == 1848; }));
  state_->volume.Set(250);
  EXPECT_EQ(frames_after_ticks(2), 1);
  EXPECT_EQ(window->grab().toImage().pixelColor(930, 465), QColor(250, 0, 0));
}

// Away from the base size the window keeps a scaled frame and rescales only what changed:
// the same picture as a whole rescale, and only the changed part of the window is named.
TEST(FramePresenterTest, RescalesOnlyWhatChangedToTheSamePicture) {
  testing::EnsureApp();
  QImage buffer(kBaseCanvasWidth, kBaseCanvasHeight, QImage::Format_RGB32);
  for (int y = 0; y < buffer.height(); ++y) {
    for (int x = 0; x < buffer.width(); ++x) buffer.setPixel(x, y, qRgb(x & 255, y & 255, x ^ y));
  }
  const QSize size(1848, 1168);
  FramePresenter presenter;
  EXPECT_EQ(presenter.Take(buffer, size), QRegion(0, 0, 1848, 1168));
  buffer.setPixel(0, 778, qRgb(1, 2, 3));
  QPainter(&buffer).fillRect(600, 300, 40, 20, QColor(250, 20, 20));
  const QRegion changed = presenter.Take(buffer, size);
  EXPECT_TRUE(changed.contains(QRect(900, 450, 60, 30)));
  EXPECT_TRUE(changed.contains(QPoint(0, 1167)));
  int area = 0;
  for (const QRect& r : changed) area += r.width() * r.height();
  EXPECT_LT(area, 4000);
  QImage whole(size, QImage::Format_ARGB32_Premultiplied);
  QPainter painter(&whole);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.drawImage(QRect(QPoint(0, 0), size), buffer);
  painter.end();
  // Smooth scaling under a clip may round a channel differently, by a level or two.
  int worst = 0;
  const QImage& frame = presenter.Frame(buffer);
  for (int y = 0; y < size.height(); ++y) {
    for (int x = 0; x < size.width(); ++x) {
      const QRgb a = frame.pixel(x, y);
      const QRgb b = whole.pixel(x, y);
      worst = std::max({worst, std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                        std::abs(qBlue(a) - qBlue(b))});
    }
  }
  EXPECT_LE(worst, 2);
  EXPECT_TRUE(presenter.Take(buffer, size).isEmpty()) << "nothing changed";
  EXPECT_EQ(presenter.Take(buffer, buffer.size()), QRegion(buffer.rect()));
  EXPECT_EQ(&presenter.Frame(buffer), &buffer) << "the base size shows the back buffer itself";
}

TEST_F(MainWindowTest, StalledRestoreIsReportedAfterTheFrame) {
  MainWindow* window = StartAndShow();
  ASSERT_NE(program_->painter(), nullptr);
  ASSERT_NE(session_.jobs, nullptr);
  // A restore of two presets whose first chunk went out and was never acknowledged.
  const std::string file = dir_.filePath("two.zbf").toStdString();
  files::BackupWriter writer;
  ASSERT_TRUE(writer.Create(file));
  ASSERT_TRUE(writer.WriteRecord(
      {"RQ700_PRESET", 4, {{1, std::vector<uint8_t>(512, 1)}, {2, std::vector<uint8_t>(512, 2)}}}));
  ASSERT_TRUE(writer.Finish());
  program_->view_state().wide_active_item = 500;
  ASSERT_EQ(program_->backup_restore()->StartRestore(file), FileChoice::kReady);
  uint8_t chunk[600];
  ASSERT_EQ(session_.jobs->EncodeRestoreChunk(chunk, sizeof(chunk)), 3u + 512u);
  ASSERT_TRUE(PumpUntil([&] { return program_->view_state().transfer_percent == 50; }));
  for (int i = 0; i < 152 && shell_.messages.empty(); ++i) {
    window->PaintBackBuffer();
    EXPECT_TRUE(shell_.messages.empty()) << "no box from inside a paint";
  }
  ASSERT_TRUE(PumpUntil([&] { return !shell_.messages.empty(); }));
  ASSERT_EQ(shell_.messages.size(), 1u);
  EXPECT_EQ(shell_.messages[0].text, "Restore fail! please try again");
  EXPECT_FALSE(shell_.wait_cursor);
  EXPECT_FALSE(window->ended());
  // The job is over: a late acknowledgement moves nothing and asks for nothing more.
  const uint8_t ack[3] = {4, 1, 1};
  session_.jobs->OnRestoreAck(ack, 3);
  EXPECT_EQ(state_->restore_request.load(), 0);
}

TEST_F(MainWindowTest, KeysReachTheWindow) {
  MainWindow* window = StartAndShow();
  state_->tempo.SetBoth(120);
  Key(window, Qt::Key_Space);
  now_ += 300;
  Key(window, Qt::Key_Space);
  EXPECT_EQ(state_->tempo.Get(), 200);

  program_->view_state().hover_item = kItemPresetList;
  Key(window, Qt::Key_A);
  EXPECT_EQ(program_->view_state().list_selected[0], 0);
  Key(window, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(program_->view_state().list_selected[199], 1);
  Key(window, Qt::Key_Escape);
  EXPECT_EQ(program_->view_state().list_selected[199], 0);
  EXPECT_EQ(state_->active_item.Get(), 254);

  state_->active_item.Set(kItemPresetList);
  Key(window, Qt::Key_Up);
  EXPECT_EQ(state_->list_cursor.Get(), 0);
  Key(window, Qt::Key_Down);
  Key(window, Qt::Key_Down);
  EXPECT_EQ(state_->list_cursor.Get(), 2);
  EXPECT_EQ(state_->current_preset.load(), 2);
}

TEST_F(MainWindowTest, ClickUnderTheWaitCursorIsIgnored) {
  MainWindow* window = StartAndShow();
  RecordingPointer pointer;
  window->set_pointer_input(&pointer);
  auto click = [&](QPointF at) {
    QMouseEvent press(QEvent::MouseButtonPress, at, window->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, window->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &release);
  };
  shell_.wait_cursor = true;
  click(QPointF(100, 200));
  EXPECT_TRUE(pointer.presses.empty());
  shell_.wait_cursor = false;
  click(QPointF(100, 200));
  ASSERT_EQ(pointer.presses.size(), 1u);
  EXPECT_EQ(pointer.presses[0], (BasePoint{100, 200}));
  // A fractional position (a scaled desktop) is cut off, not rounded.
  click(QPointF(100.7, 200.9));
  ASSERT_EQ(pointer.presses.size(), 2u);
  EXPECT_EQ(pointer.presses[1], (BasePoint{100, 200}));
  window->set_pointer_input(nullptr);
}

TEST_F(MainWindowTest, OnlyTheVerticalWheelTurnsReachTheView) {
  MainWindow* window = StartAndShow();
  RecordingPointer pointer;
  window->set_pointer_input(&pointer);
  auto turn = [&](QPoint delta) {
    const QPointF at(300, 300);
    QWheelEvent wheel(at, window->mapToGlobal(at), QPoint(), delta, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(window, &wheel);
  };
  turn(QPoint(0, -120));
  turn(QPoint(120, 0));  // a sideways swipe is no turn of the wheel
  turn(QPoint(0, 120));
  EXPECT_EQ(pointer.wheels, (std::vector<int>{-120, 120}));
  window->set_pointer_input(nullptr);
}

// The Qt shell over a main window of its own.
class QtShellTest : public ::testing::Test {
 protected:
  QtShellTest() {
    testing::EnsureApp();
    state_ = std::make_unique<DeviceState>();
    MainWindow::Options options;
    options.run_timers = false;
    window_ = std::make_unique<MainWindow>(*state_, ui_, shell_, QtImageSet{}, options);
    shell_.set_main_window(window_.get());
  }

  std::unique_ptr<DeviceState> state_;
  ViewState ui_;
  QtShell shell_;
  std::unique_ptr<MainWindow> window_;
};

TEST_F(QtShellTest, WaitCursorAndValueEntryFontAreTheWindows) {
  QtShell& shell = shell_;
  MainWindow& window = *window_;
  EXPECT_FALSE(shell.IsWaitCursor());
  shell.SetWaitCursor(true);
  EXPECT_TRUE(shell.IsWaitCursor());
  EXPECT_EQ(window.cursor().shape(), Qt::WaitCursor);
  shell.SetWaitCursor(false);
  EXPECT_EQ(window.cursor().shape(), Qt::ArrowCursor);

  const int normal = window.value_entry()->font().pixelSize();
  shell.SetValueEntryFont(8);
  const int small = window.value_entry()->font().pixelSize();
  shell.SetValueEntryFont(9);
  const int large = window.value_entry()->font().pixelSize();
  EXPECT_LT(small, normal);
  EXPECT_GT(large, normal);
  EXPECT_GE(window.value_entry()->font().weight(), QFont::Bold);
}

TEST(SaveDialogTest, HasTheNumberBoxNameEditAndButtonsInsideItsGroup) {
  testing::EnsureApp();
  SaveDialog dialog({u"TONE 41", 41}, nullptr);
  EXPECT_EQ(dialog.windowTitle(), "SAVE");
  ASSERT_EQ(dialog.number_box()->count(), 200);
  EXPECT_EQ(dialog.number_box()->itemText(0), "P-001");
  EXPECT_EQ(dialog.number_box()->itemText(199), "P-200");
  EXPECT_EQ(dialog.number_box()->currentText(), "P-042");
  EXPECT_EQ(dialog.name_edit()->text(), "TONE 41");
  EXPECT_EQ(dialog.save_button()->text(), "SAVE");
  EXPECT_TRUE(dialog.save_button()->isDefault());
  EXPECT_EQ(dialog.cancel_button()->text(), "CANCEL");
  const auto* group = dialog.findChild<QGroupBox*>();
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->title(), "Preset");
  QStringList labels;
  for (const QLabel* label : dialog.findChildren<QLabel*>()) labels << label->text();
  EXPECT_TRUE(labels.contains("Number:"));
  EXPECT_TRUE(labels.contains("Name:"));
  // Number and name sit in the group's band, the buttons below it, SAVE left of CANCEL.
  for (QWidget* w :
       {static_cast<QWidget*>(dialog.number_box()), static_cast<QWidget*>(dialog.name_edit())}) {
    EXPECT_TRUE(group->geometry().contains(w->geometry().center()));
  }
  EXPECT_GT(dialog.save_button()->y(), group->geometry().center().y());
  EXPECT_LT(dialog.save_button()->x(), dialog.cancel_button()->x());
  EXPECT_TRUE(dialog.rect().contains(dialog.cancel_button()->geometry()));
  dialog.name_edit()->setText("lead");
  dialog.number_box()->setCurrentIndex(6);
  EXPECT_EQ(dialog.choice().selection, 6);
  EXPECT_EQ(dialog.choice().name, u"lead");
}

TEST_F(QtShellTest, SaveDialogRunsModallyAndCancelOrCloseGiveNothing) {
  QtShell& shell = shell_;
  MainWindow& window = *window_;
  // Acts on the dialog once it is up.
  auto when_up = [](std::function<void(SaveDialog*)> act) {
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
      if (auto* dialog = qobject_cast<SaveDialog*>(QApplication::activeModalWidget())) {
        timer->stop();
        timer->deleteLater();
        act(dialog);
      }
    });
    timer->start(5);
  };

  when_up([&window](SaveDialog* dialog) {
    EXPECT_EQ(dialog->parentWidget(), &window) << "owned by the main window";
    dialog->number_box()->setCurrentIndex(6);
    dialog->name_edit()->setText("lead");
    dialog->save_button()->click();
  });
  const auto saved = shell.RunSaveDialog({u"OLD", 3});
  ASSERT_TRUE(saved.has_value());
  EXPECT_EQ(saved->selection, 6);
  EXPECT_EQ(saved->name, u"lead");

  when_up([](SaveDialog* dialog) { dialog->cancel_button()->click(); });
  EXPECT_FALSE(shell.RunSaveDialog({u"OLD", 3}).has_value());
  when_up([](SaveDialog* dialog) { dialog->close(); });
  EXPECT_FALSE(shell.RunSaveDialog({u"OLD", 3}).has_value());
}

}  // namespace
}  // namespace rq700
