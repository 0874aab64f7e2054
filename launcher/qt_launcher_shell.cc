#include "launcher/qt_launcher_shell.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QProcess>

#include "updater/qt_updater_window.h"

namespace rq700 {

bool QtProcessStarter::StartDetached(const std::string& program,
                                     const std::vector<std::string>& args,
                                     const std::string& working_folder) {
  const QDir here = QDir::current();
  const QString absolute_program = here.absoluteFilePath(QString::fromStdString(program));
  const QString absolute_folder = here.absoluteFilePath(QString::fromStdString(working_folder));
  QStringList arguments;
  for (const std::string& arg : args) arguments << QString::fromStdString(arg);
  return QProcess::startDetached(absolute_program, arguments, absolute_folder);
}

void QtLauncherShell::ShowNotice(const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, QString::fromLatin1(kNoticeCaption),
                  QString::fromStdString(text), QMessageBox::Ok);
  box.exec();
}

void QtLauncherShell::RunUpdater(LauncherDevice& device, DeviceRecord& record) {
  QtUpdaterWindow window(device, record, QString::fromStdString(folders_.ImageFolder()));
  window.session().firmware_folder = folders_.FirmwareFolder();
  window.session().user_firmware_folder = folders_.user_firmware;
  window.show();
  QApplication::exec();
}

}  // namespace rq700
