#ifndef RQ700_LAUNCHER_LAUNCHER_H_
#define RQ700_LAUNCHER_LAUNCHER_H_

#include <string>
#include <vector>

#include "launcher/detect.h"
#include "launcher/launch.h"
#include "link/device_enum.h"
#include "link/launcher_device.h"

namespace rq700 {

inline constexpr char kNoticeCaption[] = "Notice";
inline constexpr char kNoDeviceText[] = "No device detected!!!";
inline constexpr char kVersionTooLowText[] =
    "Equipment version is too low, Please update the firmware!";
inline constexpr char kOpenDeviceFailText[] = "Open device fail";

// What the launcher asks of the desktop.
class LauncherShell {
 public:
  virtual ~LauncherShell() = default;
  // A message box without owner, caption "Notice", one OK button.
  virtual void ShowNotice(const std::string& text) = 0;
  // Shows the updater window for the opened device and returns when it is closed.
  virtual void RunUpdater(LauncherDevice& device, DeviceRecord& record) = 0;
};

enum class LauncherOutcome {
  kNoDevice,
  kVersionRefused,
  kEditorStarted,
  kUpdaterShown,
  kUpdateDeviceUnavailable,
};

// The launcher's one run: detect among `entries`, then report that nothing was found,
// refuse the firmware, start the editor found in `suite_folder`, or run the updater.
LauncherOutcome RunLauncher(const std::vector<DeviceEntry>& entries, DeviceQueries& queries,
                            ProcessStarter& starter, LauncherShell& shell, LauncherDevice& device,
                            const std::string& suite_folder = ".");

// The no-device text, followed by what to do when a device was seen that this user may
// not open.
std::string NoDeviceMessage(const std::string& denied_path);

}  // namespace rq700

#endif  // RQ700_LAUNCHER_LAUNCHER_H_
