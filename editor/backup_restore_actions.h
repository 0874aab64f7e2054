#ifndef RQ700_EDITOR_BACKUP_RESTORE_ACTIONS_H_
#define RQ700_EDITOR_BACKUP_RESTORE_ACTIONS_H_

#include <functional>
#include <string>

#include "editor/file_actions.h"
#include "editor/shell.h"
#include "editor/window_jobs.h"
#include "files/backup_restore_job.h"

namespace rq700 {

// The backup/restore popup's two buttons: the file dialogs, the check of a restore file,
// and the start of the job, which the window then watches. The other file actions go to
// `others`. When the job ends, `report` gets the window's transfer result code: 0 restored,
// 1 backed up, 2 restore failed, 3 backup failed, 4 backup file not written.
class BackupRestoreActions final : public FileActions {
 public:
  BackupRestoreActions(Shell& shell, WindowJobs& jobs, files::BackupRestoreJob& job,
                       DeviceState& state, FileActions& others, std::function<void(int)> report);

  // The save dialog (the last path chosen is proposed again), then the job is ready: on
  // kReady the caller raises the backup request. A file that cannot be created is told
  // here, and counts as cancelled.
  FileChoice ChooseBackupFile() override;
  // The open dialog and the container's checks; on kReady the caller raises the restore
  // request, on kWrongFile it shows the wrong-format message.
  FileChoice ChooseRestoreFile() override;
  // A restore of a file chosen elsewhere (a file dropped on the window): on kReady it has
  // started, wait cursor and request included; on kWrongFile the caller shows the
  // wrong-format message; kCancelled while another job runs.
  FileChoice StartRestore(const std::string& path);

  const std::string& last_backup_path() const { return last_backup_path_; }

  void ImportPresets() override { others_.ImportPresets(); }
  void ExportPresets() override { others_.ExportPresets(); }
  void ImportImpulseResponse(int slot) override { others_.ImportImpulseResponse(slot); }
  void DeleteImpulseResponse(int slot) override { others_.DeleteImpulseResponse(slot); }
  void ImportAmplifier(int slot) override { others_.ImportAmplifier(slot); }

 private:
  FileChoice PrepareRestore(const std::string& path);
  void Watch(bool restore);

  Shell& shell_;
  WindowJobs& jobs_;
  files::BackupRestoreJob& job_;
  DeviceState& state_;
  FileActions& others_;
  std::function<void(int)> report_;
  std::string last_backup_path_;
};

}  // namespace rq700

#endif  // RQ700_EDITOR_BACKUP_RESTORE_ACTIONS_H_
