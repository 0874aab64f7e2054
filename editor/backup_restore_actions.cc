#include "editor/backup_restore_actions.h"

#include "editor/messages.h"
#include "editor/save_path.h"
#include "editor/window_logic.h"

namespace rq700 {
namespace {

using files::JobResult;

constexpr std::string_view kBackupFilter = "Backup Flie (*.zbf)";
constexpr std::string_view kBackupDefaultName = "RQ700_BACKUP.zbf";
constexpr std::string_view kSaveTitle = "Save As";
constexpr std::string_view kOpenTitle = "Open";

int TransferCode(bool restore, JobResult result) {
  if (restore) return result == JobResult::kDone ? kTransferRestored : kTransferFailed;
  if (result == JobResult::kDone) return kTransferBackedUp;
  return result == JobResult::kIoError ? kTransferBackupNotWritten : kTransferBackupFailed;
}

}  // namespace

BackupRestoreActions::BackupRestoreActions(Shell& shell, WindowJobs& jobs,
                                           files::BackupRestoreJob& job, DeviceState& state,
                                           FileActions& others, std::function<void(int)> report)
    : shell_(shell),
      jobs_(jobs),
      job_(job),
      state_(state),
      others_(others),
      report_(std::move(report)),
      last_backup_path_(kBackupDefaultName) {}

void BackupRestoreActions::Watch(bool restore) {
  jobs_.Watch(job_, [this, restore](JobResult result) {
    if (report_) report_(TransferCode(restore, result));
  });
}

FileChoice BackupRestoreActions::ChooseBackupFile() {
  if (jobs_.busy()) return FileChoice::kCancelled;
  const std::string path = SavePathWithExtension(
      shell_, shell_.ChooseSaveFile(kSaveTitle, kBackupFilter, last_backup_path_), "zbf");
  if (path.empty()) return FileChoice::kCancelled;
  last_backup_path_ = path;
  if (job_.StartBackup(path) != JobResult::kDone) {
    shell_.ShowMessage(MessageOwner::kMainWindow, text::kBackupNotWritten, text::kNotice,
                       MessageIcon::kWarning);
    return FileChoice::kCancelled;
  }
  Watch(false);
  return FileChoice::kReady;
}

FileChoice BackupRestoreActions::PrepareRestore(const std::string& path) {
  if (jobs_.busy()) return FileChoice::kCancelled;
  if (job_.StartRestore(path) != JobResult::kDone) return FileChoice::kWrongFile;
  Watch(true);
  return FileChoice::kReady;
}

FileChoice BackupRestoreActions::ChooseRestoreFile() {
  if (jobs_.busy()) return FileChoice::kCancelled;
  const std::vector<std::string> chosen = shell_.ChooseOpenFiles(kOpenTitle, kBackupFilter, false);
  if (chosen.empty()) return FileChoice::kCancelled;
  return PrepareRestore(chosen.front());
}

FileChoice BackupRestoreActions::StartRestore(const std::string& path) {
  const FileChoice choice = PrepareRestore(path);
  if (choice == FileChoice::kReady) {
    shell_.SetWaitCursor(true);
    state_.restore_request.store(1, std::memory_order_release);
  }
  return choice;
}

}  // namespace rq700
