#include "editor/editor_program.h"

#include <QApplication>
#include <QFileInfo>
#include <QIcon>
#include <chrono>
#include <thread>

#include "editor/link_session.h"
#include "editor/messages.h"
#include "editor/qt_shell.h"
#include "editor/skin_loader.h"
#include "editor/waiting_dialog.h"

namespace rq700 {
namespace {

// How often the window looks at a running job.
constexpr int kJobLookMs = 50;

}  // namespace

EditorProgram::EditorProgram(DeviceState& state, Shell& shell, DeviceSession& session,
                             Options options)
    : state_(state), shell_(shell), session_(session), options_(std::move(options)) {}

EditorProgram::~EditorProgram() { Shutdown(); }

WaitingDialog* EditorProgram::waiting_dialog() const {
  return window_ != nullptr ? window_->waiting_dialog() : nullptr;
}

bool EditorProgram::Start(const std::string& device_path) {
  ResetToDefaults(state_);
  link_ = std::make_unique<QtWindowLink>();
  if (backup_job_ == nullptr) backup_job_ = std::make_unique<files::BackupRestoreJob>(state_);
  session_.set_backup_restore_jobs(backup_job_.get());
  session_.SetImportFeed(&import_list_);
  if (!session_.Start(device_path, *link_)) {
    shell_.ShowMessage(MessageOwner::kNone, text::kOpenDeviceFail, text::kError,
                       MessageIcon::kError);
    return false;
  }
  started_ = true;

  auto* waiting = new WaitingDialog();
  waiting->show();

  window_ = std::make_unique<MainWindow>(state_, ui_, shell_, LoadEditorSkin(options_.image_folder),
                                         options_.window);
  window_->set_waiting_dialog(waiting);
  painter_ = std::make_unique<EditorViewPainter>(state_, ui_);
  window_jobs_ = std::make_unique<WindowJobs>(shell_, ui_, options_.job_idle_limit);
  // A backup or restore whose percentage stopped moving is ended by the job itself; the
  // window reports it at its next look, so no message box opens inside a paint.
  painter_->on_transfer_stalled = [this] { window_jobs_->Abandon(files::JobResult::kTimedOut); };
  window_->set_painter([painter = painter_.get()](Canvas& canvas) { painter->Paint(canvas); });
  TransferActions::Hooks hooks;
  hooks.import_result = [window = window_.get()](int code) { window->ImportResult(code); };
  hooks.start_restore = [this](const std::string& path) {
    return backup_restore_->StartRestore(path);
  };
  transfers_ = std::make_unique<TransferActions>(state_, ui_, shell_, *window_jobs_, import_list_,
                                                 std::move(hooks));
  window_->set_drop_handler([transfers = transfers_.get()](const std::vector<std::string>& paths) {
    transfers->DropFiles(paths);
  });
  FileActions& others = options_.file_actions ? *options_.file_actions : *transfers_;
  MainWindow* window = window_.get();
  backup_restore_ =
      std::make_unique<BackupRestoreActions>(shell_, *window_jobs_, *backup_job_, state_, others,
                                             [window](int code) { window->TransferResult(code); });
  job_timer_.setInterval(kJobLookMs);
  QObject::connect(&job_timer_, &QTimer::timeout, [jobs = window_jobs_.get()] { jobs->Tick(); });
  job_timer_.start();
  input_ = std::make_unique<ViewInput>(state_, ui_, shell_, *backup_restore_);
  history_ = std::make_unique<EditHistory>(state_);
  history_input_ = std::make_unique<HistoryInput>(*input_, *history_);
  edit_commands_ = std::make_unique<EditCommands>(state_, ui_, shell_, *history_);
  window_->set_pointer_input(history_input_.get());
  window_->set_edit_commands(edit_commands_.get());
  link_->Attach(window_.get());
  return true;
}

void EditorProgram::Shutdown() {
  if (!started_ || stopped_) return;
  stopped_ = true;
  link_->Detach();
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
  const bool disconnected = window_->logic().disconnected();
  job_timer_.stop();
  session_.Stop(disconnected);
  if (WaitingDialog* waiting = window_->waiting_dialog()) delete waiting;
  window_.reset();
  painter_.reset();
  edit_commands_.reset();
  history_input_.reset();
  history_.reset();
  input_.reset();
  transfers_.reset();
  window_jobs_.reset();
  // After a disconnection the reader may still be returning through the link.
  if (disconnected) (void)link_.release();
}

std::string DevicePathFromArguments(int argc, char** argv) {
  if (argc < 2 || argv[1] == nullptr) return {};
  return argv[1];
}

std::string OfflineFileFromArguments(int argc, char** argv) {
  if (argc < 4 || argv[2] == nullptr || argv[3] == nullptr) return {};
  return std::string(argv[2]) == "--offline" ? argv[3] : std::string();
}

std::string MainWindowTitle(const std::string& offline_file) {
  std::string title(text::kMainWindowTitle);
  if (offline_file.empty()) return title;
  const QString name = QFileInfo(QString::fromStdString(offline_file)).fileName();
  return title + " (offline: " + name.toStdString() + ")";
}

int RunEditor(int argc, char** argv) {
  // Taken before Qt removes the arguments it knows.
  const std::string path = DevicePathFromArguments(argc, argv);
  const std::string offline_file = OfflineFileFromArguments(argc, argv);
  QApplication app(argc, argv);
  app.setQuitOnLastWindowClosed(false);
  app.setWindowIcon(QIcon("../icons/zorva-rq700.png"));

  // The state and the window link live as long as the process: after a disconnection
  // the reader thread may still be on its way out of its report.
  auto* state = new DeviceState;
  QtShell shell;
  LinkSession session(*state);
  EditorProgram program(*state, shell, session, EditorProgram::Options{});
  if (!program.Start(path)) return 0;
  if (!offline_file.empty()) {
    // The player must see at a glance that no device hears the edits, and which backup
    // they go into.
    program.window()->setWindowTitle(QString::fromStdString(MainWindowTitle(offline_file)));
  }
  shell.set_main_window(program.window());
  shell.set_waiting_dialog(program.waiting_dialog());
  QObject::connect(program.window(), &MainWindow::Ended, &app, &QCoreApplication::quit,
                   Qt::QueuedConnection);
  app.exec();
  program.Shutdown();
  return 0;
}

}  // namespace rq700
