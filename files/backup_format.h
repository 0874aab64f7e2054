#ifndef RQ700_FILES_BACKUP_FORMAT_H_
#define RQ700_FILES_BACKUP_FORMAT_H_

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The backup container (".zbf"): a 1024-byte header with a table of record offsets and a
// 64-bit checksum, then named records, each a 256-byte header and equal-sized items.
namespace rq700::files {

inline constexpr size_t kBackupHeaderSize = 1024;
inline constexpr size_t kBackupRecordHeaderSize = 256;
inline constexpr size_t kBackupItemHeaderSize = 34;
inline constexpr int kBackupMaxRecords = 117;

inline constexpr std::string_view kBackupMagic = "ZORVA";
inline constexpr std::string_view kBackupProduct = "ZORVA_RQ700";
inline constexpr std::string_view kBackupVersion = "V1.0.0";
inline constexpr std::string_view kBackupBufferTag = "BUFF";

// Header offsets.
inline constexpr size_t kBackupMagicField = 0;    // 8 bytes
inline constexpr size_t kBackupProductField = 8;  // 32 bytes
inline constexpr size_t kBackupVersionFields[3] = {40, 47, 54};
inline constexpr size_t kBackupTagField = 72;
inline constexpr size_t kBackupCountField = 76;
inline constexpr size_t kBackupTableField = 80;
inline constexpr size_t kBackupChecksumField = 1016;
// Record header offsets.
inline constexpr size_t kRecordNameSize = 32;
inline constexpr size_t kRecordMarkField = 32;
inline constexpr uint8_t kRecordMark[8] = {0xAB, 0x00, 0x01, 0x00, 0xAB, 0x00, 0x01, 0x00};
inline constexpr size_t kRecordItemCountField = 40;
inline constexpr size_t kRecordItemLengthField = 44;
inline constexpr size_t kRecordTypeField = 48;
inline constexpr size_t kItemNumberField = 32;

// Record types and the names a backup gives them.
enum BackupRecordType : uint8_t {
  kRecordUserAmps = 1,
  kRecordUserIrs = 2,
  kRecordSystem = 3,
  kRecordPresets = 4,
};
inline constexpr std::string_view kRecordNameAmps = "RQ700_NR";
inline constexpr std::string_view kRecordNameIrs = "RQ700_IR";
inline constexpr std::string_view kRecordNameSystem = "RQ700_SYSTEM";
inline constexpr std::string_view kRecordNamePresets = "RQ700_PRESET";

// A restore sends each item in chunks of at most 512 bytes.
inline constexpr size_t kRestoreChunkSize = 512;

struct BackupItem {
  uint16_t number = 0;
  std::vector<uint8_t> data;
};

struct BackupRecord {
  std::string name;
  uint8_t type = 0;
  std::vector<BackupItem> items;
};

struct BackupRecordHeader {
  uint64_t offset = 0;  // file offset of the record header
  std::string name;
  uint32_t item_count = 0;
  uint32_t item_length = 0;
  uint8_t type = 0;
};

// Chunks in which an item of `item_length` bytes is restored: (length + 511) / 512.
inline uint32_t RestoreChunkCount(uint32_t item_length) {
  return static_cast<uint32_t>((static_cast<uint64_t>(item_length) + kRestoreChunkSize - 1) /
                               kRestoreChunkSize);
}

// Chunk c (from 1) of an item's data: the bytes from (c-1) x 512 on, at most 512 of them;
// empty when c is 0 or past the end.
inline std::span<const uint8_t> RestoreChunk(std::span<const uint8_t> data, uint32_t chunk) {
  if (chunk == 0) return {};
  const uint64_t from = uint64_t{chunk - 1} * kRestoreChunkSize;
  if (from >= data.size()) return {};
  return data.subspan(static_cast<size_t>(from),
                      std::min<size_t>(kRestoreChunkSize, data.size() - static_cast<size_t>(from)));
}

}  // namespace rq700::files

#endif  // RQ700_FILES_BACKUP_FORMAT_H_
