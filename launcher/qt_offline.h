#ifndef RQ700_LAUNCHER_QT_OFFLINE_H_
#define RQ700_LAUNCHER_QT_OFFLINE_H_

#include <QByteArray>
#include <QProcess>
#include <QTemporaryDir>
#include <memory>
#include <string>
#include <vector>

#include "launcher/offline_session.h"
#include "launcher/suite_folders.h"

namespace rq700 {

// The offline session's device: rq700-emu as a child process, started from the backup,
// with its socket and announcement in a private temporary folder (RQ700_EMU_DIR points
// there), so that no other session's launcher or tool ever finds it. It is talked to by
// its control input: save-backup, then quit.
class QtOfflineDevice : public OfflineDevice {
 public:
  explicit QtOfflineDevice(std::string emulator_program) : program_(std::move(emulator_program)) {}
  ~QtOfflineDevice() override { Stop(); }

  StartResult Start(const std::string& backup, std::string* device_path,
                    std::string* error) override;
  bool SaveBackup(const std::string& path, std::string* error) override;
  int UnsavedPreset() override;
  bool StoreWorkingPreset(std::string* error) override;
  void Stop() override;

  // The private folder of the running device (empty when none).
  std::string folder() const;

 private:
  // Sends a control line and waits for the device's answer starting with `answer`;
  // false with the reason on an error answer, an end or silence.
  bool Control(const std::string& line, const QString& answer, int wait_ms, QString* reply,
               std::string* error);

  std::string program_;
  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<QProcess> process_;
  QByteArray errors_;  // the device's messages not yet looked at
};

// Dialogs and message boxes of an offline session, and the editor as a child process
// that is waited for. Messages are also printed on stderr for a terminal's user.
class QtOfflineShell : public OfflineShell {
 public:
  std::string ChooseBackup() override;
  std::string ChooseEditedBackup(const std::string& proposed) override;
  void ShowMessage(const std::string& caption, const std::string& text, Icon icon) override;
  bool Ask(const std::string& caption, const std::string& text) override;
  bool RunEditor(const std::string& program, const std::vector<std::string>& args,
                 const std::string& working_folder) override;
};

// rq700-emu for the suite in `folders`: beside the launcher (a build's dist/), in the
// bin/ folder of an installed suite, else on the PATH. Empty when there is none.
std::string FindEmulatorProgram(const SuiteFolders& folders);

}  // namespace rq700

#endif  // RQ700_LAUNCHER_QT_OFFLINE_H_
