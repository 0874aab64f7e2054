#include "launcher/offline_session.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "files/backup_reader.h"
#include "files/file_io.h"
#include "launcher/launch.h"

namespace rq700 {
namespace {

namespace fs = std::filesystem;

bool IsSameFile(const std::string& a, const std::string& b) {
  std::error_code code;
  return fs::equivalent(files::NativePath(a), files::NativePath(b), code) && !code;
}

std::string FileName(const std::string& path) {
  return files::Utf8Path(files::NativePath(path).filename());
}

}  // namespace

std::string EditedBackupPath(const std::string& original) {
  const fs::path path = files::NativePath(original);
  const fs::path extension = path.has_extension() ? path.extension() : fs::path(".zbf");
  const fs::path stem = path.parent_path() / path.stem();
  std::error_code code;
  for (int n = 1;; ++n) {
    fs::path candidate = stem;
    candidate += n == 1 ? "-edited" : "-edited-" + std::to_string(n);
    candidate += extension;
    if (!fs::exists(fs::symlink_status(candidate, code))) return files::Utf8Path(candidate);
  }
}

int RunOfflineSession(std::string backup, OfflineDevice& device, OfflineShell& shell,
                      const std::string& suite_folder) {
  if (backup.empty()) backup = shell.ChooseBackup();
  if (backup.empty()) return 0;
  // The player is told where the edits went: a full path, wherever the session started.
  std::error_code code;
  const fs::path absolute = fs::absolute(files::NativePath(backup), code);
  if (!code) backup = files::Utf8Path(absolute.lexically_normal());

  std::string device_path, error;
  switch (device.Start(backup, &device_path, &error)) {
    case OfflineDevice::StartResult::kWrongFormat:
      // As a restore refuses such a file.
      shell.ShowMessage("Error", std::string(files::kWrongBackupFormat),
                        OfflineShell::Icon::kExclamation);
      return 1;
    case OfflineDevice::StartResult::kFailed:
      shell.ShowMessage("Error",
                        "The virtual RQ700 for " + backup + " could not be started:\n" + error,
                        OfflineShell::Icon::kError);
      return 1;
    case OfflineDevice::StartResult::kReady:
      break;
  }
  if (!shell.RunEditor(EditorProgram(suite_folder), {device_path, "--offline", backup},
                       EditorFolder(suite_folder))) {
    device.Stop();
    shell.ShowMessage("Error", "The editor could not be started. " + backup + " is unchanged.",
                      OfflineShell::Icon::kError);
    return 1;
  }

  // The editor closes without asking about an unsaved preset; the unit would keep it
  // until the next preset change, but this device ends with the session.
  if (const int unsaved = device.UnsavedPreset(); unsaved >= 0) {
    char number[16];
    std::snprintf(number, sizeof(number), "P%03d", unsaved + 1);
    if (shell.Ask("Notice", std::string("Preset ") + number +
                                " has edits that were not saved. Save them into " + number +
                                " before the edited backup is written?\n\nNo leaves them out.") &&
        !device.StoreWorkingPreset(&error)) {
      shell.ShowMessage(
          "Error", std::string("The edits of ") + number + " could not be saved (" + error + ").",
          OfflineShell::Icon::kError);
    }
  }

  // The device keeps running until its state is safe somewhere: a place that cannot be
  // written loses nothing, the player picks another.
  std::string target = EditedBackupPath(backup);
  for (;;) {
    if (device.SaveBackup(target, &error)) {
      device.Stop();
      shell.ShowMessage("Notice",
                        "The edited backup is saved as\n" + target +
                            "\n\nRestore it into the RQ700 to take the edits to the device. " +
                            FileName(backup) + " is unchanged.",
                        OfflineShell::Icon::kNone);
      return 0;
    }
    shell.ShowMessage("Error",
                      "The edited backup could not be written to\n" + target + "\n(" + error +
                          ").\n\n" + backup +
                          " is unchanged. Choose another place for the edited backup.",
                      OfflineShell::Icon::kError);
    for (;;) {
      const std::string chosen = shell.ChooseEditedBackup(target);
      if (chosen.empty()) {
        if (shell.Ask("Warning", "Leave without keeping the edits of this offline session?")) {
          device.Stop();
          return 1;
        }
      } else if (IsSameFile(chosen, backup)) {
        shell.ShowMessage("Error", "The original backup stays as it was: choose another name.",
                          OfflineShell::Icon::kError);
      } else {
        target = chosen;
        break;
      }
    }
  }
}

}  // namespace rq700
