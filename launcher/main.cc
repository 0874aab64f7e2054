// zorva-studio: finds the RQ700, then starts the editor, refuses old or newer firmware,
// or carries a firmware update for a device waiting in update mode. With --offline it
// runs the editor on a backup instead.
#include <QApplication>
#include <QIcon>
#include <QStandardPaths>
#include <chrono>
#include <thread>

#include "launcher/detect.h"
#include "launcher/launcher.h"
#include "launcher/offline_session.h"
#include "launcher/qt_launcher_shell.h"
#include "launcher/qt_offline.h"
#include "launcher/suite_folders.h"
#include "link/device_enum.h"
#include "link/launcher_device.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Zorva Studio"));
  // Lets the desktop match the window to the menu entry and its icon.
  QGuiApplication::setDesktopFileName(QStringLiteral(RQ700_APP_ID));
  // The executable's folder with links resolved, so a link in bin/ leads to the suite.
  const rq700::SuiteFolders folders = rq700::FindSuiteFolders(
      QCoreApplication::applicationDirPath().toStdString(),
      QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString());
  app.setWindowIcon(QIcon(QString::fromStdString(folders.IconFile("zorva-studio.png"))));

  // zorva-studio --offline [FILE]: the editor on a backup, with no device at all.
  const QStringList arguments = QCoreApplication::arguments();
  const qsizetype offline = arguments.indexOf(QStringLiteral("--offline"));
  if (offline > 0) {
    const std::string file =
        offline + 1 < arguments.size() ? arguments[offline + 1].toStdString() : std::string();
    // Dialogs come and go while the session waits for the editor; none of them ends it.
    QApplication::setQuitOnLastWindowClosed(false);
    rq700::QtOfflineDevice device(rq700::FindEmulatorProgram(folders));
    rq700::QtOfflineShell shell;
    return rq700::RunOfflineSession(file, device, shell, folders.suite);
  }

  std::this_thread::sleep_for(std::chrono::milliseconds(1));

  rq700::HidDeviceQueries queries;
  rq700::QtProcessStarter starter;
  rq700::QtLauncherShell shell(folders);
  rq700::LauncherDevice device;
  rq700::RunLauncher(rq700::EnumerateDevices(), queries, starter, shell, device, folders.suite);
  return 0;
}
