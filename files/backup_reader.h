#ifndef RQ700_FILES_BACKUP_READER_H_
#define RQ700_FILES_BACKUP_READER_H_

#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>

#include "files/backup_format.h"

namespace rq700::files {

inline constexpr std::string_view kWrongBackupFormat =
    "Wrong file format!\r\nPlease check compatibility of file type";

// Reads a backup container for a restore, record header by record header and item by
// item, as the restore dialogue sends them.
class BackupReader {
 public:
  // Opens and checks the file, in this order: the text at 0 is a prefix of "ZORVA", the
  // text at 8 a prefix of "ZORVA_RQ700", "BUFF" at 72, the checksum; then that the record
  // table and every record's items lie inside the file. On failure the file is closed.
  bool Open(const std::string& path);
  void Close();
  bool is_open() const { return file_.is_open(); }
  // Which check failed (for tools; the user sees kWrongBackupFormat).
  const std::string& error() const { return error_; }

  int record_count() const { return record_count_; }
  uint64_t file_length() const { return file_length_; }
  // file length - 1024 - 256 x record count: the item headers and data a restore sends.
  uint64_t total_item_bytes() const { return total_item_bytes_; }
  // Restore progress for the bytes sent so far: bytes x 100 / total item bytes.
  int ProgressPercent(uint64_t bytes_sent) const;

  // Record at table index 0..count-1.
  bool ReadRecordHeader(int index, BackupRecordHeader* out);
  // Item k (from 0) of a record read by ReadRecordHeader.
  bool ReadItem(const BackupRecordHeader& record, uint32_t k, BackupItem* out);

 private:
  bool Fail(std::string why);
  bool ReadAt(uint64_t offset, uint8_t* out, size_t size);
  bool CheckRecords();

  std::ifstream file_;
  uint8_t header_[kBackupHeaderSize] = {};
  int record_count_ = 0;
  uint64_t file_length_ = 0;
  uint64_t total_item_bytes_ = 0;
  std::string error_;
};

}  // namespace rq700::files

#endif  // RQ700_FILES_BACKUP_READER_H_
