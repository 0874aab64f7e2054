#include <gtest/gtest.h>

#include <cstring>

#include "files/backup_reader.h"
#include "files/backup_writer.h"
#include "files/byte_order.h"
#include "tests/files/temp_dir.h"

namespace rq700::files {
namespace {

BackupRecord Record(std::string name, uint8_t type, int items, size_t length, int first = 1) {
  BackupRecord r{std::move(name), type, {}};
  for (int i = 0; i < items; ++i) {
    BackupItem item;
    item.number = static_cast<uint16_t>(first + i);
    item.data.resize(length);
    for (size_t b = 0; b < length; ++b) item.data[b] = static_cast<uint8_t>(b * 3 + i);
    r.items.push_back(std::move(item));
  }
  return r;
}

class BackupTest : public ::testing::Test {
 protected:
  // A backup of a device without user amplifiers: IR, SYSTEM, PRESET.
  std::string WriteTypical() {
    const std::string path = dir_.Path("RQ700_BACKUP.zbf");
    BackupWriter writer;
    EXPECT_TRUE(writer.Create(path));
    EXPECT_TRUE(writer.WriteRecord(Record("RQ700_NR", kRecordUserAmps, 0, 0)));
    EXPECT_TRUE(writer.WriteRecord(Record("RQ700_IR", kRecordUserIrs, 2, 1551, 3)));
    EXPECT_TRUE(writer.WriteRecord(Record("RQ700_SYSTEM", kRecordSystem, 1, 60)));
    EXPECT_TRUE(writer.WriteRecord(Record("RQ700_PRESET", kRecordPresets, 200, 512)));
    EXPECT_EQ(writer.record_count(), 3);
    EXPECT_TRUE(writer.Finish()) << writer.error();
    return path;
  }
  TempDir dir_;
};

TEST_F(BackupTest, WrittenContainerReadsBackRecordByRecord) {
  const std::string path = WriteTypical();
  auto bytes = ReadBytes(path);
  EXPECT_EQ(std::memcmp(bytes.data(), "ZORVA\0\0\0ZORVA_RQ700", 19), 0);
  EXPECT_EQ(std::memcmp(bytes.data() + 40, "V1.0.0\0V1.0.0\0V1.0.0\0", 21), 0);
  EXPECT_EQ(std::memcmp(bytes.data() + 72, "BUFF", 4), 0);
  EXPECT_EQ(GetLe32(bytes.data() + 76), 3u);
  EXPECT_EQ(GetLe64(bytes.data() + 80), 1024u);  // the first record follows the header
  EXPECT_EQ(GetLe64(bytes.data() + 80 + 8 * 3), 0u);

  BackupReader reader;
  ASSERT_TRUE(reader.Open(path)) << reader.error();
  EXPECT_EQ(reader.record_count(), 3);
  EXPECT_EQ(reader.file_length(), bytes.size());
  EXPECT_EQ(reader.total_item_bytes(), 2 * (34 + 1551) + (34 + 60) + 200 * (34 + 512));
  BackupRecordHeader ir, presets;
  ASSERT_TRUE(reader.ReadRecordHeader(0, &ir));
  EXPECT_EQ(ir.name, "RQ700_IR");
  EXPECT_EQ(ir.type, kRecordUserIrs);  // a restore of this file starts with type 2
  EXPECT_EQ(ir.item_count, 2u);
  EXPECT_EQ(ir.item_length, 1551u);
  EXPECT_EQ(std::memcmp(bytes.data() + ir.offset + 32, kRecordMark, 8), 0);
  BackupItem item;
  ASSERT_TRUE(reader.ReadItem(ir, 1, &item));
  EXPECT_EQ(item.number, 4);
  EXPECT_EQ(item.data, Record("", 0, 2, 1551, 3).items[1].data);
  EXPECT_FALSE(reader.ReadItem(ir, 2, &item));
  ASSERT_TRUE(reader.ReadRecordHeader(2, &presets));
  EXPECT_EQ(presets.name, "RQ700_PRESET");
  EXPECT_EQ(presets.item_count, 200u);
  ASSERT_TRUE(reader.ReadItem(presets, 199, &item));
  EXPECT_EQ(item.number, 200);
  EXPECT_EQ(item.data.size(), 512u);
  EXPECT_FALSE(reader.ReadRecordHeader(3, &presets));
  EXPECT_EQ(reader.ProgressPercent(0), 0);
  EXPECT_EQ(reader.ProgressPercent(reader.total_item_bytes() / 2), 50);
}

TEST_F(BackupTest, ChecksumCoversHeaderAndBodyButNotItself) {
  const std::string path = WriteTypical();
  const auto good = ReadBytes(path);
  BackupReader reader;
  for (size_t offset : {size_t{100}, size_t{1015}, size_t{1016}, size_t{1023}, size_t{1024},
                        size_t{5000}, good.size() - 1}) {
    auto bad = good;
    bad[offset] ^= 0x10;
    WriteBytes(dir_.Path("bad.zbf"), bad);
    EXPECT_FALSE(reader.Open(dir_.Path("bad.zbf"))) << offset;
    EXPECT_FALSE(reader.is_open());
  }
  // Two changes that cancel in the sum pass it: the sum is not a hash.
  auto swapped = good;
  swapped[2000] += 1;
  swapped[2001] -= 1;
  WriteBytes(dir_.Path("swapped.zbf"), swapped);
  EXPECT_TRUE(reader.Open(dir_.Path("swapped.zbf")));
}

// Rewrites the header field and fixes the checksum so only the field under test differs.
void Patch(std::vector<uint8_t>& bytes, size_t offset, std::string_view text, size_t width) {
  std::memset(bytes.data() + offset, 0, width);
  std::memcpy(bytes.data() + offset, text.data(), text.size());
  uint64_t sum = 0;
  for (size_t i = 0; i < 1016; ++i) sum += bytes[i];
  for (size_t i = 1024; i < bytes.size(); ++i) sum += bytes[i];
  PutLe64(bytes.data() + 1016, sum);
}

TEST_F(BackupTest, MagicAndProductArePrefixChecks) {
  const auto good = ReadBytes(WriteTypical());
  BackupReader reader;
  auto opens = [&](size_t offset, std::string_view text, size_t width) {
    auto bytes = good;
    Patch(bytes, offset, text, width);
    WriteBytes(dir_.Path("x.zbf"), bytes);
    return reader.Open(dir_.Path("x.zbf"));
  };
  EXPECT_TRUE(opens(0, "ZORVA", 8));
  EXPECT_TRUE(opens(0, "ZOR", 8));
  EXPECT_TRUE(opens(0, "", 8));
  EXPECT_FALSE(opens(0, "ZORVAX", 8));
  EXPECT_FALSE(opens(0, "XORVA", 8));
  EXPECT_FALSE(opens(0, "ZORVAZOR", 8));  // no NUL in the field
  EXPECT_TRUE(opens(8, "ZORVA", 32));
  EXPECT_TRUE(opens(8, "ZORVA_RQ700", 32));
  EXPECT_FALSE(opens(8, "ZORVA_RQ800", 32));
  EXPECT_FALSE(opens(8, "ZORVA_RQ7000", 32));
  EXPECT_FALSE(opens(72, "BUFX", 4));
  EXPECT_TRUE(opens(40, "V9.9.9", 7));  // versions are not checked
}

TEST_F(BackupTest, HostileTablesAreRefusedBeforeAnyRead) {
  const auto good = ReadBytes(WriteTypical());
  BackupReader reader;
  auto opens = [&](auto change) {
    auto bytes = good;
    change(bytes);
    Patch(bytes, 61, "", 0);  // recompute the checksum only
    WriteBytes(dir_.Path("h.zbf"), bytes);
    return reader.Open(dir_.Path("h.zbf"));
  };
  EXPECT_TRUE(opens([](auto&) {}));
  EXPECT_FALSE(opens([](auto& b) { PutLe32(b.data() + 76, 118); }));
  EXPECT_FALSE(opens([](auto& b) { PutLe32(b.data() + 76, 0xFFFFFFFF); }));
  EXPECT_FALSE(opens([](auto& b) { PutLe64(b.data() + 80, b.size()); }));
  EXPECT_FALSE(opens([](auto& b) { PutLe64(b.data() + 80, ~uint64_t{0}); }));
  EXPECT_FALSE(opens([](auto& b) { PutLe64(b.data() + 80, 8); }));
  // Item count or length beyond the file (and a length that would need gigabytes).
  EXPECT_FALSE(opens([](auto& b) { PutLe32(b.data() + 1024 + 40, 1000); }));
  EXPECT_FALSE(opens([](auto& b) { PutLe32(b.data() + 1024 + 44, 0xFFFFFFFF); }));
  EXPECT_FALSE(opens([](auto& b) { PutLe32(b.data() + 1024 + 40, 0xFFFFFFFF); }));
  // Too short for a header at all.
  WriteBytes(dir_.Path("short.zbf"), std::vector<uint8_t>(good.begin(), good.begin() + 1023));
  EXPECT_FALSE(reader.Open(dir_.Path("short.zbf")));
  EXPECT_FALSE(reader.Open(dir_.Path("missing.zbf")));
}

TEST_F(BackupTest, WriterLimitsAndSafeReplacement) {
  const std::string path = WriteTypical();
  const auto previous = ReadBytes(path);
  {
    BackupWriter writer;
    ASSERT_TRUE(writer.Create(path));
    for (int i = 0; i < 117; ++i)
      ASSERT_TRUE(writer.WriteRecord(Record("R", kRecordSystem, 1, 4))) << i;
    EXPECT_FALSE(writer.WriteRecord(Record("R", kRecordSystem, 1, 4)));
    EXPECT_FALSE(writer.Finish());
  }
  EXPECT_EQ(ReadBytes(path), previous) << "a failed backup must not touch the last good one";
  EXPECT_EQ(dir_.Names().size(), 1u);
  {
    // Items of one record must share one length; else the file could not be read back.
    BackupWriter writer;
    ASSERT_TRUE(writer.Create(path));
    auto uneven = Record("RQ700_NR", kRecordUserAmps, 2, 100);
    uneven.items[0].data.resize(90);
    EXPECT_FALSE(writer.WriteRecord(uneven));
    EXPECT_FALSE(writer.WriteRecord(Record(std::string(33, 'N'), 1, 1, 1)));
    // Abandoned without Finish.
    ASSERT_TRUE(writer.Create(path));
    ASSERT_TRUE(writer.WriteRecord(Record("RQ700_SYSTEM", kRecordSystem, 1, 8)));
  }
  EXPECT_EQ(ReadBytes(path), previous);
  EXPECT_EQ(dir_.Names().size(), 1u);
  BackupWriter writer;
  EXPECT_FALSE(writer.Create(dir_.Path("no/dir.zbf")));
  // A folder where the backup should go is found out before anything is gathered.
  std::filesystem::create_directory(dir_.Path("folder.zbf"));
  EXPECT_FALSE(writer.Create(dir_.Path("folder.zbf")));
  EXPECT_FALSE(writer.WriteRecord(Record("R", 1, 1, 1)));
}

TEST(RestoreChunks, ItemOf1551BytesGoesInFourChunks) {
  std::vector<uint8_t> data(1551);
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<uint8_t>(i);
  EXPECT_EQ(RestoreChunkCount(1551), 4u);
  EXPECT_EQ(RestoreChunkCount(512), 1u);
  EXPECT_EQ(RestoreChunkCount(0), 0u);
  EXPECT_EQ(RestoreChunk(data, 1).size(), 512u);
  EXPECT_EQ(RestoreChunk(data, 2).size(), 512u);
  EXPECT_EQ(RestoreChunk(data, 3).size(), 512u);
  auto last = RestoreChunk(data, 4);
  ASSERT_EQ(last.size(), 15u);
  EXPECT_EQ(last[0], static_cast<uint8_t>(1536));
  EXPECT_TRUE(RestoreChunk(data, 5).empty());
  EXPECT_TRUE(RestoreChunk(data, 0).empty());
  EXPECT_EQ(RestoreChunk(data, 2)[0], static_cast<uint8_t>(512));
}

}  // namespace
}  // namespace rq700::files
