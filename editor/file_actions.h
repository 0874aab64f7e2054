#ifndef RQ700_EDITOR_FILE_ACTIONS_H_
#define RQ700_EDITOR_FILE_ACTIONS_H_

// The file work that the view's buttons and list keys start: backup and restore, the
// preset library's import and export, and loading or clearing the user slots. Each runs on
// the window thread with its own dialogs; the input handlers only start it and do the
// little around it that belongs to the view (the wrong-format box of a restore file, the
// wait cursor and the transfer request once a backup or restore file is ready).

namespace rq700 {

// What a backup or restore chooser ended with.
enum class FileChoice {
  kWrongFile,  // a restore file that failed its checks
  kCancelled,
  kReady,  // the file is chosen (and, for a restore, opened and checked): the transfer may go
};

class FileActions {
 public:
  virtual ~FileActions() = default;

  // Backup and restore: the file choosers. On kReady the caller sets the wait cursor and
  // raises the transfer's request flag, which starts it.
  virtual FileChoice ChooseBackupFile() = 0;
  virtual FileChoice ChooseRestoreFile() = 0;

  // Preset library: one file into the edited preset or many into their slots, and the
  // edited or the selected presets out to files.
  virtual void ImportPresets() = 0;
  virtual void ExportPresets() = 0;

  // User slots 0..9: an impulse response into a cabinet slot or out of it, an amplifier
  // file into an amplifier slot.
  virtual void ImportImpulseResponse(int slot) = 0;
  virtual void DeleteImpulseResponse(int slot) = 0;
  virtual void ImportAmplifier(int slot) = 0;
};

// Until the file work is built the buttons start nothing: every chooser is cancelled.
class NoFileActions final : public FileActions {
 public:
  FileChoice ChooseBackupFile() override { return FileChoice::kCancelled; }
  FileChoice ChooseRestoreFile() override { return FileChoice::kCancelled; }
  void ImportPresets() override {}
  void ExportPresets() override {}
  void ImportImpulseResponse(int) override {}
  void DeleteImpulseResponse(int) override {}
  void ImportAmplifier(int) override {}
};

}  // namespace rq700

#endif  // RQ700_EDITOR_FILE_ACTIONS_H_
