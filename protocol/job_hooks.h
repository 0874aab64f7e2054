#ifndef RQ700_PROTOCOL_JOB_HOOKS_H_
#define RQ700_PROTOCOL_JOB_HOOKS_H_

#include <cstddef>
#include <cstdint>

namespace rq700 {

// Work of the staged jobs that lives above the protocol (files, the backup container).
// The sequencer and the dispatcher call these on their own threads; implementations hand
// data over through the job fields of DeviceState.

// The multi-file preset import: one entry per chosen file, read when the import channel
// sends it.
class PresetImportFeed {
 public:
  virtual ~PresetImportFeed() = default;
  // Loads entry `entry` (0-based, in the order chosen): the file's 512-byte record into
  // `record` with the name taken from the file name in its name field (bytes 12-27,
  // NUL-padded), and the target preset index (0..199) into `target_index`. Returns 0, or
  // the import result code that ends the import (6 file error, 8 name error).
  virtual int LoadEntry(int entry, uint8_t* record, int* target_index) = 0;
};

// Backup (0xAA) and restore (0xAB) dialogues with the device.
class BackupRestoreJobs {
 public:
  virtual ~BackupRestoreJobs() = default;
  // Sequencer, 0xAA state: writes the next backup request payload into `payload` and
  // returns its size, or 0 for nothing to send.
  virtual size_t EncodeBackupRequest(uint8_t* payload, size_t capacity) = 0;
  // Sequencer, 0xAB state: writes the next restore chunk payload, or returns 0.
  virtual size_t EncodeRestoreChunk(uint8_t* payload, size_t capacity) = 0;
  // Reader: a 0xAA packet from the device, whole (marks to CRC).
  virtual void OnBackupData(const uint8_t* packet, size_t size) = 0;
  // Reader: the payload of a 0xAB packet from the device.
  virtual void OnRestoreAck(const uint8_t* payload, size_t size) = 0;
};

}  // namespace rq700

#endif  // RQ700_PROTOCOL_JOB_HOOKS_H_
