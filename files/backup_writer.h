#ifndef RQ700_FILES_BACKUP_WRITER_H_
#define RQ700_FILES_BACKUP_WRITER_H_

#include <cstdint>
#include <string>

#include "files/backup_format.h"
#include "files/file_io.h"

namespace rq700::files {

// Writes a backup container record by record, as the backup dialogue gathers them.
// Everything goes into a temporary file beside the target; the target is replaced only by
// Finish, so an abandoned or failed backup never destroys the previous one.
class BackupWriter {
 public:
  // Starts the container with a fresh header (zero records, zero checksum).
  bool Create(const std::string& path);
  // Appends a record. A record without items writes nothing and succeeds. Fails, and
  // abandons the container, when it would be record 118, when its items differ in length
  // (the format stores one length per record), when its name does not fit, or when writing
  // fails.
  bool WriteRecord(const BackupRecord& record);
  // Completes the header (count, table, checksum) and puts the file in place.
  bool Finish();
  // Drops the container; the target path keeps what it had.
  void Abandon();

  bool is_open() const { return file_.is_open(); }
  int record_count() const { return record_count_; }
  const std::string& error() const { return error_; }

 private:
  bool Fail(std::string why);
  void AddToSum(const uint8_t* data, size_t size);

  SafeFileWriter file_;
  uint8_t header_[kBackupHeaderSize] = {};
  int record_count_ = 0;
  uint64_t sum_ = 0;
  std::string error_;
};

// A fresh container header: magic, product, the three versions, "BUFF", no records.
void InitBackupHeader(uint8_t* header);

}  // namespace rq700::files

#endif  // RQ700_FILES_BACKUP_WRITER_H_
