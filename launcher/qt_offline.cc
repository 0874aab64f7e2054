#include "launcher/qt_offline.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <cstdio>

namespace rq700 {
namespace {

constexpr char kBackupFilter[] = "Backup Flie (*.zbf)";
// Loading a backup takes a moment; writing one as long as the disk needs.
constexpr int kReadyWaitMs = 15000;
constexpr int kSaveWaitMs = 60000;
// The device's exit status for a backup of the wrong format.
constexpr int kWrongFormatStatus = 3;

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

std::string FindEmulatorProgram(const SuiteFolders& folders) {
  const QDir suite(Q(folders.suite));
  for (const QString& candidate :
       {suite.absoluteFilePath("rq700-emu"), suite.absoluteFilePath("../../bin/rq700-emu")}) {
    const QFileInfo info(candidate);
    if (info.isFile() && info.isExecutable()) return info.absoluteFilePath().toStdString();
  }
  return QStandardPaths::findExecutable("rq700-emu").toStdString();
}

std::string QtOfflineDevice::folder() const {
  return dir_ != nullptr ? dir_->path().toStdString() : std::string();
}

OfflineDevice::StartResult QtOfflineDevice::Start(const std::string& backup,
                                                  std::string* device_path, std::string* error) {
  Stop();
  if (program_.empty()) {
    *error = "rq700-emu is not installed";
    return StartResult::kFailed;
  }
  dir_ = std::make_unique<QTemporaryDir>(QDir::tempPath() + "/rq700-offline-XXXXXX");
  if (!dir_->isValid()) {
    *error = "no private folder: " + dir_->errorString().toStdString();
    dir_.reset();
    return StartResult::kFailed;
  }
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("RQ700_EMU_DIR", dir_->filePath("announce"));
  process_ = std::make_unique<QProcess>();
  process_->setProcessEnvironment(environment);
  // Should the launcher end unexpectedly, its end of the input closes and the device goes.
  process_->start(Q(program_),
                  {"--no-pacing", "--exit-with-input", "--socket", dir_->filePath("rq700.sock"),
                   "--backup", QFileInfo(Q(backup)).absoluteFilePath()});
  if (!process_->waitForStarted(kReadyWaitMs)) {
    *error = "cannot run " + program_ + ": " + process_->errorString().toStdString();
    Stop();
    return StartResult::kFailed;
  }
  QElapsedTimer waited;
  waited.start();
  while (waited.elapsed() < kReadyWaitMs) {
    while (process_->canReadLine()) {
      const QString line = QString::fromUtf8(process_->readLine()).trimmed();
      if (line.startsWith("ready ")) {
        *device_path = "emu:" + line.mid(6).toStdString();
        return StartResult::kReady;
      }
    }
    if (process_->state() == QProcess::NotRunning) break;
    process_->waitForReadyRead(100);
  }
  const bool ended = process_->state() == QProcess::NotRunning;
  const bool wrong_format = ended && process_->exitStatus() == QProcess::NormalExit &&
                            process_->exitCode() == kWrongFormatStatus;
  *error = ended ? QString::fromUtf8(process_->readAllStandardError()).trimmed().toStdString()
                 : "it did not get ready";
  Stop();
  return wrong_format ? StartResult::kWrongFormat : StartResult::kFailed;
}

bool QtOfflineDevice::Control(const std::string& line, const QString& answer, int wait_ms,
                              QString* reply, std::string* error) {
  if (process_ == nullptr || process_->state() != QProcess::Running) {
    *error = "the virtual RQ700 has ended";
    return false;
  }
  // Only what answers this line counts.
  process_->readAllStandardError();
  errors_.clear();
  process_->write(QString::fromStdString(line + "\n").toUtf8());
  const QString ok = "rq700-emu: " + answer;
  const QString failed = "rq700-emu: error: ";
  QElapsedTimer waited;
  waited.start();
  while (waited.elapsed() < wait_ms) {
    errors_ += process_->readAllStandardError();
    for (qsizetype end; (end = errors_.indexOf('\n')) >= 0;) {
      const QString text = QString::fromUtf8(errors_.left(end));
      errors_.remove(0, end + 1);
      if (text.startsWith(ok)) {
        *reply = text.mid(ok.size());
        return true;
      }
      if (text.startsWith(failed)) {
        *error = text.mid(failed.size()).toStdString();
        return false;
      }
    }
    if (process_->state() != QProcess::Running) break;
    process_->waitForReadyRead(100);
  }
  *error = process_->state() == QProcess::Running ? "the virtual RQ700 did not answer"
                                                  : "the virtual RQ700 has ended";
  return false;
}

bool QtOfflineDevice::SaveBackup(const std::string& path, std::string* error) {
  if (path.find_first_of("\r\n") != std::string::npos) {
    *error = "a file name with a line break";
    return false;
  }
  QString reply;
  return Control("save-backup " + QFileInfo(Q(path)).absoluteFilePath().toStdString(),
                 "backup saved ", kSaveWaitMs, &reply, error);
}

int QtOfflineDevice::UnsavedPreset() {
  QString reply;
  std::string error;
  if (!Control("unsaved", "unsaved ", kReadyWaitMs, &reply, &error)) return -1;
  bool number = false;
  const int preset = reply.toInt(&number);
  return number ? preset : -1;
}

bool QtOfflineDevice::StoreWorkingPreset(std::string* error) {
  QString reply;
  return Control("store", "stored ", kReadyWaitMs, &reply, error);
}

void QtOfflineDevice::Stop() {
  if (process_ != nullptr) {
    if (process_->state() != QProcess::NotRunning) {
      process_->write("quit\n");
      process_->closeWriteChannel();
      if (!process_->waitForFinished(5000)) {
        process_->kill();
        process_->waitForFinished(5000);
      }
    }
    process_.reset();
  }
  dir_.reset();
}

std::string QtOfflineShell::ChooseBackup() {
  return QFileDialog::getOpenFileName(nullptr, "Open a backup to edit offline", QString(),
                                      kBackupFilter)
      .toStdString();
}

std::string QtOfflineShell::ChooseEditedBackup(const std::string& proposed) {
  QFileDialog dialog(nullptr, "Save the edited backup", Q(proposed), kBackupFilter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setDefaultSuffix("zbf");
  dialog.selectFile(Q(proposed));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().first().toStdString();
}

void QtOfflineShell::ShowMessage(const std::string& caption, const std::string& text, Icon icon) {
  std::fprintf(stderr, "zorva-studio: %s\n", text.c_str());
  std::fflush(stderr);
  QMessageBox box(icon == Icon::kError         ? QMessageBox::Critical
                  : icon == Icon::kExclamation ? QMessageBox::Warning
                                               : QMessageBox::NoIcon,
                  Q(caption), Q(text), QMessageBox::Ok);
  box.exec();
}

bool QtOfflineShell::Ask(const std::string& caption, const std::string& text) {
  return QMessageBox::question(nullptr, Q(caption), Q(text)) == QMessageBox::Yes;
}

bool QtOfflineShell::RunEditor(const std::string& program, const std::vector<std::string>& args,
                               const std::string& working_folder) {
  const QDir here = QDir::current();
  QStringList arguments;
  for (const std::string& arg : args) arguments << Q(arg);
  QProcess editor;
  editor.setProcessChannelMode(QProcess::ForwardedChannels);
  editor.setWorkingDirectory(here.absoluteFilePath(Q(working_folder)));
  QEventLoop loop;
  QObject::connect(&editor, &QProcess::finished, &loop, &QEventLoop::quit);
  editor.start(here.absoluteFilePath(Q(program)), arguments);
  if (!editor.waitForStarted(10000)) return false;
  if (editor.state() != QProcess::NotRunning) loop.exec();
  return true;
}

}  // namespace rq700
