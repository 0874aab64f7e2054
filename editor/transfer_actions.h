#ifndef RQ700_EDITOR_TRANSFER_ACTIONS_H_
#define RQ700_EDITOR_TRANSFER_ACTIONS_H_

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editor/file_actions.h"
#include "editor/shell.h"
#include "editor/window_jobs.h"
#include "files/amp_job.h"
#include "files/ir_job.h"
#include "files/preset_import.h"
#include "protocol/device_state.h"
#include "skin/view_state.h"

namespace rq700 {

// The view's transfers between files and the device: an impulse response into a user
// cabinet slot or out of it, an amplifier into a user amplifier slot, preset files in and
// presets out, and files dropped on the window. The slot transfers run as window jobs, so
// the window keeps painting while the device takes them and a silent device ends them with
// a message; a multi-file preset import reports through the window's import result.
class TransferActions final : public FileActions {
 public:
  struct Hooks {
    // Shows an import result code (0, 5..8) as the window does, arrow cursor included.
    std::function<void(int code)> import_result;
    // Starts the restore of a dropped backup file (the backup/restore actions' entry).
    std::function<FileChoice(const std::string& path)> start_restore;
  };

  TransferActions(DeviceState& state, ViewState& view, Shell& shell, WindowJobs& jobs,
                  files::PresetImportList& import_list, Hooks hooks);
  ~TransferActions() override;

  // Backup and restore are not this class's: their choosers start nothing here.
  FileChoice ChooseBackupFile() override { return FileChoice::kCancelled; }
  FileChoice ChooseRestoreFile() override { return FileChoice::kCancelled; }

  void ImportPresets() override;
  void ExportPresets() override;
  void ImportImpulseResponse(int slot) override;
  void DeleteImpulseResponse(int slot) override;
  void ImportAmplifier(int slot) override;

  // Preset files chosen in the import dialog or dropped on the window: one into the
  // edited preset, 2..200 into the presets their names give.
  void ImportPresetFiles(const std::vector<std::string>& paths);
  // Files dropped on the window (UTF-8 paths).
  void DropFiles(const std::vector<std::string>& paths);

 private:
  bool Busy() const;
  void LoadIr(int slot, const std::string& path);
  void LoadAmp(int slot, const std::string& path);
  template <typename Job>
  void LoadSlot(int slot, const std::string& path, std::string_view done_text);
  // A slot given from a list of the ten user slots with their names; -1 when cancelled.
  int AskSlot(bool amplifier);
  void WatchSlotJob(files::DeviceJob& job, std::string_view done_text);
  void ShowFailure(files::JobResult result);

  DeviceState& state_;
  ViewState& view_;
  Shell& shell_;
  WindowJobs& jobs_;
  files::PresetImportList& import_list_;
  Hooks hooks_;
  // The running (or last) job of each kind; the window watches it while it runs.
  std::unique_ptr<files::DeviceJob> slot_job_;
  std::unique_ptr<files::PresetImportJob> import_job_;
};

}  // namespace rq700

#endif  // RQ700_EDITOR_TRANSFER_ACTIONS_H_
