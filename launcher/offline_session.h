#ifndef RQ700_LAUNCHER_OFFLINE_SESSION_H_
#define RQ700_LAUNCHER_OFFLINE_SESSION_H_

#include <string>
#include <vector>

namespace rq700 {

// An offline session: the editor works on a player's backup instead of the device. A
// private virtual device is started from the backup, the editor is run against it, and
// when the editor ends the device's state is written as a new backup beside the original,
// which is never written to. Restoring that backup takes the edits to the device.

// The virtual device of one offline session, announced where no other launcher looks.
class OfflineDevice {
 public:
  enum class StartResult { kReady, kWrongFormat, kFailed };
  virtual ~OfflineDevice() = default;
  // Starts the device from `backup`; on kReady `device_path` is the path to open it by.
  // On kFailed `error` says why.
  virtual StartResult Start(const std::string& backup, std::string* device_path,
                            std::string* error) = 0;
  // Writes the device's state as a backup to `path` (beside it first, renamed when
  // complete). False with the reason.
  virtual bool SaveBackup(const std::string& path, std::string* error) = 0;
  // The preset (0-199) whose working copy holds edits that were never saved, or -1. A
  // backup holds the saved presets only.
  virtual int UnsavedPreset() = 0;
  // Saves the working copy into that preset, as the unit's own store button.
  virtual bool StoreWorkingPreset(std::string* error) = 0;
  virtual void Stop() = 0;
};

// What an offline session asks of the desktop.
class OfflineShell {
 public:
  virtual ~OfflineShell() = default;
  // The open dialog for the backup to edit; empty when cancelled.
  virtual std::string ChooseBackup() = 0;
  // A save dialog proposing `proposed`, when the edited backup could not be written
  // there; empty when cancelled.
  virtual std::string ChooseEditedBackup(const std::string& proposed) = 0;
  enum class Icon { kNone, kExclamation, kError };
  // A message box without owner with one OK button.
  virtual void ShowMessage(const std::string& caption, const std::string& text, Icon icon) = 0;
  // A question with Yes and No; true for Yes.
  virtual bool Ask(const std::string& caption, const std::string& text) = 0;
  // Runs the editor and returns when it has ended; false when it could not be started.
  virtual bool RunEditor(const std::string& program, const std::vector<std::string>& args,
                         const std::string& working_folder) = 0;
};

// Where the edited copy of `original` goes: NAME-edited.zbf beside it, or
// NAME-edited-2.zbf, -3 ... when that exists already (an earlier session's edits are not
// overwritten either).
std::string EditedBackupPath(const std::string& original);

// The whole session; `backup` empty asks for the file first. Edits the editor left
// unsaved are offered for saving before the backup is written. Returns the exit status:
// 0 when the edited backup was written (or the choice of file cancelled), 1 otherwise.
int RunOfflineSession(std::string backup, OfflineDevice& device, OfflineShell& shell,
                      const std::string& suite_folder = ".");

}  // namespace rq700

#endif  // RQ700_LAUNCHER_OFFLINE_SESSION_H_
