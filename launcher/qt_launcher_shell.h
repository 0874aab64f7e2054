#ifndef RQ700_LAUNCHER_QT_LAUNCHER_SHELL_H_
#define RQ700_LAUNCHER_QT_LAUNCHER_SHELL_H_

#include <utility>

#include "launcher/launch.h"
#include "launcher/launcher.h"
#include "launcher/suite_folders.h"

namespace rq700 {

// Starts programs with QProcess. Relative paths are taken against the launcher's current
// directory, as the desktop would, before the program's own working folder applies.
class QtProcessStarter : public ProcessStarter {
 public:
  bool StartDetached(const std::string& program, const std::vector<std::string>& args,
                     const std::string& working_folder) override;
};

// Message boxes and the updater window, which takes its images and the firmware images
// from `folders`. Needs a QApplication.
class QtLauncherShell : public LauncherShell {
 public:
  explicit QtLauncherShell(SuiteFolders folders = {}) : folders_(std::move(folders)) {}
  void ShowNotice(const std::string& text) override;
  void RunUpdater(LauncherDevice& device, DeviceRecord& record) override;

 private:
  SuiteFolders folders_;
};

}  // namespace rq700

#endif  // RQ700_LAUNCHER_QT_LAUNCHER_SHELL_H_
