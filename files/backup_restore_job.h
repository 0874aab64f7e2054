#ifndef RQ700_FILES_BACKUP_RESTORE_JOB_H_
#define RQ700_FILES_BACKUP_RESTORE_JOB_H_

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "files/backup_reader.h"
#include "files/backup_writer.h"
#include "files/job_context.h"
#include "protocol/device_state.h"
#include "protocol/job_hooks.h"

namespace rq700::files {

// The whole-device backup (0xAA) and restore (0xAB) dialogues, for the window and the
// command line alike. A start prepares the job; the caller then raises the request flag
// in DeviceState (`backup_request` or `restore_request`), on which the sequencer sends the
// first packet, and every fitting answer from the device raises it again for the next one.
//
// A backup asks for the user amplifier slots (section 1, five chunks each), the user
// impulse-response slots (section 2, four chunks each) and the system chunk (section 3),
// then adds the 200 presets the editor holds. The file is written beside its path and put
// in place only when the backup is complete, so a backup that ends early leaves an earlier
// file at that path as it was. A restore sends every item of a checked file back in chunks
// of at most 512 bytes, each chunk acknowledged by the device.
//
// Either ends with a result, never silently: an answer that does not fit the dialogue
// (another section or slot, another chunk, items of one record of different lengths,
// a restore acknowledgement of another record type or chunk) ends it with kRefused; a
// file that cannot be written with kIoError; a restore file that cannot be read with
// kBadFile. The waiter (JobWatch) adds the idle limit, the cancel token and the gone device
// through Abandon.
class BackupRestoreJob final : public BackupRestoreJobs, public DeviceJob {
 public:
  explicit BackupRestoreJob(DeviceState& state);
  ~BackupRestoreJob() override;

  // kDone when the backup is ready to go; kIoError when the file cannot be created beside
  // `path`; kRefused while a backup or restore runs.
  JobResult StartBackup(const std::string& path);
  // kDone when the restore is ready to go; kBadFile when the file fails the container's
  // checks or holds nothing to send; kRefused while a backup or restore runs.
  JobResult StartRestore(const std::string& path);

  bool running() const;
  // Which dialogue ran last.
  bool is_restore() const { return restore_.load(); }

  // DeviceJob.
  std::optional<JobResult> Result() const override;
  int Percent() const override { return percent_.load(); }
  uint64_t Activity() const override { return activity_.load(); }
  void Abandon(JobResult result) override;

  // BackupRestoreJobs: the sequencer's and the reader's side.
  size_t EncodeBackupRequest(uint8_t* payload, size_t capacity) override;
  size_t EncodeRestoreChunk(uint8_t* payload, size_t capacity) override;
  void OnBackupData(const uint8_t* packet, size_t size) override;
  void OnRestoreAck(const uint8_t* payload, size_t size) override;

 private:
  enum class Mode { kIdle, kBackup, kRestore };

  // Under the lock.
  void Begin(Mode mode);
  void End(JobResult result);
  void NextBackupSlot();
  bool WriteSectionRecord(int section);
  void FinishBackup();
  bool LoadRestoreItem();
  void SetBackupPercent();

  DeviceState& state_;
  // Taken by the start, the encoders, the handlers and an abandon. The waiter's looks
  // (Result, running, Percent, Activity) do without it, so that a window never waits for
  // the file being written.
  std::mutex lock_;
  std::atomic<Mode> mode_{Mode::kIdle};
  static constexpr int kNoResult = -1;
  std::atomic<int> result_{kNoResult};  // a JobResult once ended, set last
  std::atomic<int> percent_{0};
  std::atomic<uint64_t> activity_{0};
  std::atomic<bool> restore_{false};

  // Backup: the container, the record of the running section and the item being gathered.
  BackupWriter writer_;
  BackupRecord record_;
  std::vector<uint8_t> item_;

  // Restore: the file, the record and item being sent, the bytes sent so far.
  BackupReader reader_;
  BackupRecordHeader restore_record_;
  BackupItem restore_item_;
  bool item_loaded_ = false;
  uint64_t bytes_sent_ = 0;
};

}  // namespace rq700::files

#endif  // RQ700_FILES_BACKUP_RESTORE_JOB_H_
