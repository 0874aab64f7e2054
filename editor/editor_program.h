#ifndef RQ700_EDITOR_EDITOR_PROGRAM_H_
#define RQ700_EDITOR_EDITOR_PROGRAM_H_

#include <QString>
#include <QTimer>
#include <chrono>
#include <memory>
#include <string>

#include "editor/backup_restore_actions.h"
#include "editor/device_session.h"
#include "editor/edit_commands.h"
#include "editor/edit_history.h"
#include "editor/file_actions.h"
#include "editor/history_input.h"
#include "editor/main_window.h"
#include "editor/qt_window_link.h"
#include "editor/shell.h"
#include "editor/transfer_actions.h"
#include "editor/view_input.h"
#include "editor/window_jobs.h"
#include "files/backup_restore_job.h"
#include "files/preset_import.h"
#include "protocol/device_state.h"
#include "skin/view_painter.h"
#include "skin/view_state.h"

namespace rq700 {

class WaitingDialog;

// The editor from start to end, around a running Qt application: open the device, start
// the threads, the waiting dialog, the hidden main window; after the message loop, the
// shutdown.
class EditorProgram {
 public:
  struct Options {
    MainWindow::Options window;
    // Where the skin images are ("img" below the working folder).
    QString image_folder = "img";
    // The file work the buttons start besides backup and restore; none given: those
    // buttons start nothing.
    FileActions* file_actions = nullptr;
    // How long a job may wait for the device's next answer.
    std::chrono::milliseconds job_idle_limit{10000};
  };

  EditorProgram(DeviceState& state, Shell& shell, DeviceSession& session, Options options);
  ~EditorProgram();

  // The start-up up to the message loop. False when the device could not be opened (the
  // user has been told; the program ends with code 0).
  bool Start(const std::string& device_path);
  // After the message loop: stops the threads (joined unless the device was lost) and
  // releases the windows.
  void Shutdown();

  MainWindow* window() const { return window_.get(); }
  WaitingDialog* waiting_dialog() const;
  ViewState& view_state() { return ui_; }
  EditorViewPainter* painter() const { return painter_.get(); }
  DeviceState& state() { return state_; }
  // The window's one job with the device at a time, and the popup's backup and restore.
  WindowJobs* window_jobs() const { return window_jobs_.get(); }
  BackupRestoreActions* backup_restore() const { return backup_restore_.get(); }
  // The transfers between files and the device (slots, preset files, dropped files).
  TransferActions* transfers() const { return transfers_.get(); }

 private:
  DeviceState& state_;
  Shell& shell_;
  DeviceSession& session_;
  Options options_;
  ViewState ui_;
  NoFileActions no_file_actions_;
  // Read by the sequencer until the threads have ended.
  files::PresetImportList import_list_;
  // Outlives the protocol threads, which call it until Shutdown.
  std::unique_ptr<files::BackupRestoreJob> backup_job_;
  std::unique_ptr<WindowJobs> window_jobs_;
  std::unique_ptr<BackupRestoreActions> backup_restore_;
  std::unique_ptr<TransferActions> transfers_;
  QTimer job_timer_;
  // Both outlive the window, whose paint and mouse call them.
  std::unique_ptr<EditorViewPainter> painter_;
  std::unique_ptr<ViewInput> input_;
  std::unique_ptr<EditHistory> history_;
  std::unique_ptr<HistoryInput> history_input_;
  std::unique_ptr<EditCommands> edit_commands_;
  std::unique_ptr<MainWindow> window_;
  std::unique_ptr<QtWindowLink> link_;
  bool started_ = false;
  bool stopped_ = false;
};

// The device path from the command line: the first argument as it stands, or empty.
std::string DevicePathFromArguments(int argc, char** argv);

// The backup an offline session edits: the argument after "--offline" behind the device
// path, or empty for a session with the device itself.
std::string OfflineFileFromArguments(int argc, char** argv);
// The main window's title: "RQ700 Studio", or for an offline session
// "RQ700 Studio (offline: NAME.zbf)" with the backup's file name.
std::string MainWindowTitle(const std::string& offline_file);

// The whole program over the real desktop and device; returns the exit code.
int RunEditor(int argc, char** argv);

}  // namespace rq700

#endif  // RQ700_EDITOR_EDITOR_PROGRAM_H_
