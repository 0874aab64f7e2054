#include "launcher/launcher.h"

namespace rq700 {

std::string NoDeviceMessage(const std::string& denied_path) {
  std::string text = kNoDeviceText;
  if (denied_path.empty()) return text;
  text += "\n\nAn RQ700 is connected at " + denied_path +
          ", but this user is not allowed to open it. Install the udev rule "
          "70-rq700.rules (sudo cmake --build build --target install-udev-rule, or copy "
          "resources/70-rq700.rules to /etc/udev/rules.d/), then unplug the device and plug "
          "it in again.";
  return text;
}

LauncherOutcome RunLauncher(const std::vector<DeviceEntry>& entries, DeviceQueries& queries,
                            ProcessStarter& starter, LauncherShell& shell, LauncherDevice& device,
                            const std::string& suite_folder) {
  DeviceRecord record;
  const DetectOutcome detected = Detect(entries, queries, &record);
  switch (detected.result) {
    case Detection::kNone:
      shell.ShowNotice(NoDeviceMessage(detected.denied_path));
      return LauncherOutcome::kNoDevice;
    case Detection::kNormalMode:
      if (!VersionAccepted(record)) {
        shell.ShowNotice(kVersionTooLowText);
        return LauncherOutcome::kVersionRefused;
      }
      LaunchEditor(record.device_path, starter, suite_folder);
      return LauncherOutcome::kEditorStarted;
    case Detection::kUpdateMode:
      break;
  }
  if (!device.Open(record.device_path)) {
    device.set_link_active(0);
    // It answered a moment ago; ending without a word would leave the user guessing.
    shell.ShowNotice(kOpenDeviceFailText);
    return LauncherOutcome::kUpdateDeviceUnavailable;
  }
  device.set_link_active(1);
  shell.RunUpdater(device, record);
  return LauncherOutcome::kUpdaterShown;
}

}  // namespace rq700
