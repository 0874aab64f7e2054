#include "files/backup_writer.h"

#include <cstring>

#include "files/byte_order.h"

namespace rq700::files {

void InitBackupHeader(uint8_t* header) {
  std::memset(header, 0, kBackupHeaderSize);
  std::memcpy(header + kBackupMagicField, kBackupMagic.data(), kBackupMagic.size());
  std::memcpy(header + kBackupProductField, kBackupProduct.data(), kBackupProduct.size());
  for (size_t field : kBackupVersionFields)
    std::memcpy(header + field, kBackupVersion.data(), kBackupVersion.size());
  std::memcpy(header + kBackupTagField, kBackupBufferTag.data(), kBackupBufferTag.size());
}

bool BackupWriter::Fail(std::string why) {
  file_.Abort();
  error_ = std::move(why);
  return false;
}

void BackupWriter::AddToSum(const uint8_t* data, size_t size) {
  for (size_t i = 0; i < size; ++i) sum_ += data[i];
}

bool BackupWriter::Create(const std::string& path) {
  Abandon();
  error_.clear();
  record_count_ = 0;
  sum_ = 0;
  InitBackupHeader(header_);
  if (!file_.Open(path)) return Fail("cannot create the file");
  if (!file_.Write(header_, kBackupHeaderSize)) return Fail("cannot write the file");
  return true;
}

bool BackupWriter::WriteRecord(const BackupRecord& record) {
  if (!file_.is_open()) return false;
  if (record.items.empty()) return true;
  if (record_count_ >= kBackupMaxRecords) return Fail("more than 117 records");
  if (record.name.size() > kRecordNameSize) return Fail("record name too long");
  const size_t length = record.items.back().data.size();
  for (const BackupItem& item : record.items) {
    if (item.data.size() != length) return Fail("items of one record differ in length");
  }
  if (length > UINT32_MAX || record.items.size() > UINT32_MAX) return Fail("record too large");

  const uint64_t offset = file_.bytes_written();
  PutLe64(header_ + kBackupTableField + 8 * record_count_, offset);
  ++record_count_;
  PutLe32(header_ + kBackupCountField, static_cast<uint32_t>(record_count_));

  uint8_t head[kBackupRecordHeaderSize] = {};
  std::memcpy(head, record.name.data(), record.name.size());
  std::memcpy(head + kRecordMarkField, kRecordMark, sizeof(kRecordMark));
  PutLe32(head + kRecordItemCountField, static_cast<uint32_t>(record.items.size()));
  PutLe32(head + kRecordItemLengthField, static_cast<uint32_t>(length));
  head[kRecordTypeField] = record.type;
  AddToSum(head, sizeof(head));
  if (!file_.Write(head, sizeof(head))) return Fail("cannot write the file");
  for (const BackupItem& item : record.items) {
    uint8_t item_head[kBackupItemHeaderSize] = {};
    PutLe16(item_head + kItemNumberField, item.number);
    AddToSum(item_head, sizeof(item_head));
    AddToSum(item.data.data(), item.data.size());
    if (!file_.Write(item_head, sizeof(item_head)) || !file_.Write(item.data))
      return Fail("cannot write the file");
  }
  return true;
}

bool BackupWriter::Finish() {
  if (!file_.is_open()) return false;
  AddToSum(header_, kBackupChecksumField);
  PutLe64(header_ + kBackupChecksumField, sum_);
  if (!file_.WriteAt(0, header_, kBackupHeaderSize) || !file_.Commit())
    return Fail("cannot write the file");
  return true;
}

void BackupWriter::Abandon() { file_.Abort(); }

}  // namespace rq700::files
