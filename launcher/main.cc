// zorva-studio: finds the RQ700, then starts the editor, refuses old or newer firmware,
// or carries a firmware update for a device waiting in update mode.
#include <QApplication>
#include <QIcon>
#include <chrono>
#include <thread>

#include "launcher/detect.h"
#include "launcher/launcher.h"
#include "launcher/qt_launcher_shell.h"
#include "link/device_enum.h"
#include "link/launcher_device.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Zorva Studio"));
  // Data lies relative to the current directory, as the launcher is run from dist/.
  app.setWindowIcon(QIcon(QStringLiteral("./icons/zorva-studio.png")));
  std::this_thread::sleep_for(std::chrono::milliseconds(1));

  rq700::HidDeviceQueries queries;
  rq700::QtProcessStarter starter;
  rq700::QtLauncherShell shell;
  rq700::LauncherDevice device;
  rq700::RunLauncher(rq700::EnumerateDevices(), queries, starter, shell, device);
  return 0;
}
