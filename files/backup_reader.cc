#include "files/backup_reader.h"

#include <algorithm>
#include <cstring>

#include "files/byte_order.h"
#include "files/file_io.h"

namespace rq700::files {

namespace {

// The NUL-terminated text of a fixed field (the whole field when it has no NUL).
std::string_view FieldText(const uint8_t* field, size_t size) {
  const uint8_t* end = std::find(field, field + size, 0);
  return {reinterpret_cast<const char*>(field), static_cast<size_t>(end - field)};
}

bool IsPrefixOf(std::string_view text, std::string_view whole) {
  return text.size() <= whole.size() && whole.substr(0, text.size()) == text;
}

}  // namespace

bool BackupReader::Fail(std::string why) {
  Close();
  error_ = std::move(why);
  return false;
}

void BackupReader::Close() {
  if (file_.is_open()) file_.close();
  file_.clear();
  record_count_ = 0;
  file_length_ = 0;
  total_item_bytes_ = 0;
}

bool BackupReader::ReadAt(uint64_t offset, uint8_t* out, size_t size) {
  if (!file_.is_open() || offset > file_length_ || size > file_length_ - offset) return false;
  file_.clear();
  file_.seekg(static_cast<std::streamoff>(offset));
  return static_cast<bool>(file_.read(reinterpret_cast<char*>(out), size));
}

bool BackupReader::Open(const std::string& path) {
  Close();
  error_.clear();
  file_.open(NativePath(path), std::ios::binary);
  if (!file_) return Fail("cannot open the file");
  file_.seekg(0, std::ios::end);
  const std::streamoff end = file_.tellg();
  if (end < 0) return Fail("cannot read the file");
  file_length_ = static_cast<uint64_t>(end);
  if (!ReadAt(0, header_, kBackupHeaderSize)) return Fail("header cut short");

  if (!IsPrefixOf(FieldText(header_ + kBackupMagicField, 8), kBackupMagic))
    return Fail("wrong magic");
  if (!IsPrefixOf(FieldText(header_ + kBackupProductField, 32), kBackupProduct))
    return Fail("wrong product");
  if (std::memcmp(header_ + kBackupTagField, kBackupBufferTag.data(), 4) != 0)
    return Fail("no BUFF tag");

  uint64_t sum = 0;
  for (size_t i = 0; i < kBackupChecksumField; ++i) sum += header_[i];
  uint8_t block[1024];
  file_.clear();
  file_.seekg(static_cast<std::streamoff>(kBackupHeaderSize));
  while (file_) {
    file_.read(reinterpret_cast<char*>(block), sizeof(block));
    const std::streamsize got = file_.gcount();
    for (std::streamsize i = 0; i < got; ++i) sum += block[i];
  }
  if (sum != GetLe64(header_ + kBackupChecksumField)) return Fail("checksum does not match");

  if (!CheckRecords()) return false;
  file_.clear();
  file_.seekg(static_cast<std::streamoff>(kBackupHeaderSize));
  return true;
}

// A checksum only proves the file is as written; a file made by hand may still point
// anywhere. Every record and item a restore will read must lie inside the file.
bool BackupReader::CheckRecords() {
  const uint32_t count = GetLe32(header_ + kBackupCountField);
  if (count > static_cast<uint32_t>(kBackupMaxRecords)) return Fail("more than 117 records");
  record_count_ = static_cast<int>(count);
  const uint64_t records = kBackupHeaderSize + kBackupRecordHeaderSize * uint64_t{count};
  if (records > file_length_) return Fail("records outside the file");
  total_item_bytes_ = file_length_ - records;
  for (int i = 0; i < record_count_; ++i) {
    BackupRecordHeader record;
    if (!ReadRecordHeader(i, &record))
      return Fail("record " + std::to_string(i + 1) + " outside the file");
    const uint64_t stride = kBackupItemHeaderSize + uint64_t{record.item_length};
    const uint64_t room = file_length_ - record.offset - kBackupRecordHeaderSize;
    if (record.item_count > room / stride)
      return Fail("items of record " + std::to_string(i + 1) + " outside the file");
  }
  return true;
}

int BackupReader::ProgressPercent(uint64_t bytes_sent) const {
  if (total_item_bytes_ == 0) return 100;
  return static_cast<int>(std::min<uint64_t>(bytes_sent * 100 / total_item_bytes_, 100));
}

bool BackupReader::ReadRecordHeader(int index, BackupRecordHeader* out) {
  if (index < 0 || index >= record_count_) return false;
  const uint64_t offset = GetLe64(header_ + kBackupTableField + 8 * static_cast<size_t>(index));
  if (offset < kBackupHeaderSize) return false;
  uint8_t head[kBackupRecordHeaderSize];
  if (!ReadAt(offset, head, sizeof(head))) return false;
  out->offset = offset;
  out->name = std::string(FieldText(head, kRecordNameSize));
  out->item_count = GetLe32(head + kRecordItemCountField);
  out->item_length = GetLe32(head + kRecordItemLengthField);
  out->type = head[kRecordTypeField];
  return true;
}

bool BackupReader::ReadItem(const BackupRecordHeader& record, uint32_t k, BackupItem* out) {
  if (k >= record.item_count) return false;
  const uint64_t stride = kBackupItemHeaderSize + uint64_t{record.item_length};
  // Bounded by the file before anything is allocated for the data.
  if (record.offset > file_length_ || k > (file_length_ - record.offset) / stride) return false;
  const uint64_t at = record.offset + kBackupRecordHeaderSize + k * stride;
  if (at > file_length_ || stride > file_length_ - at) return false;
  uint8_t head[kBackupItemHeaderSize];
  if (!ReadAt(at, head, sizeof(head))) return false;
  out->number = GetLe16(head + kItemNumberField);
  out->data.resize(record.item_length);
  return ReadAt(at + kBackupItemHeaderSize, out->data.data(), record.item_length);
}

}  // namespace rq700::files
