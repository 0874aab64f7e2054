#ifndef RQ700_EDITOR_DEVICE_SESSION_H_
#define RQ700_EDITOR_DEVICE_SESSION_H_

#include <string>

namespace rq700 {

class PresetImportFeed;
class WindowLink;
class BackupRestoreJobs;

// The device side of the editor: the open device and its two worker threads.
class DeviceSession {
 public:
  virtual ~DeviceSession() = default;
  // Opens the device by `path`, waits 10 ms, sends the start-up report and starts the
  // sequencer thread, then the reader thread, which report to `link`. False when the
  // device cannot be opened; nothing is started then.
  virtual bool Start(const std::string& path, WindowLink& link) = 0;
  // Ends both threads: the run flag drops, then both are joined unless the device was lost
  // (the reader ended on its own then, and the lock stays as it is).
  virtual void Stop(bool disconnected) = 0;
  // The backup and restore dialogues the protocol threads run; given before Start.
  virtual void set_backup_restore_jobs(BackupRestoreJobs* /*jobs*/) {}
  // The multi-file preset import's list, read by the sequencer; set before Start.
  virtual void SetImportFeed(PresetImportFeed* feed) { (void)feed; }
};

}  // namespace rq700

#endif  // RQ700_EDITOR_DEVICE_SESSION_H_
