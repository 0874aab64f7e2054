#include "files/preset_file.h"

#include <gtest/gtest.h>

#include <cstring>

#include "files/byte_order.h"
#include "tests/files/temp_dir.h"

namespace rq700::files {
namespace {

// A valid image: kind, version and sum as given.
std::vector<uint8_t> Image(uint32_t kind = 0, uint32_t version = 1, bool good_sum = true) {
  std::vector<uint8_t> image(kPresetFileSize, 0);
  for (size_t i = 512; i < 1024; ++i) image[i] = static_cast<uint8_t>(i * 7);
  std::memcpy(image.data() + 512 + 12, "CLEAN LEAD", 10);
  PutLe32(image.data(), 2048);
  PutLe32(image.data() + kPresetKindField, kind);
  PutLe32(image.data() + kPresetVersionField, version);
  PutLe32(image.data() + kPresetSumField, PresetBodySum(image.data()) + (good_sum ? 0 : 1));
  return image;
}

class PresetFileTest : public ::testing::Test {
 protected:
  // Load result: 0 on success, else the error code.
  int LoadCode(const std::vector<uint8_t>& bytes) {
    WriteBytes(dir_.Path("p.zv"), bytes);
    int error = 0;
    return file_.Load(dir_.Path("p.zv"), &error) ? 0 : error;
  }
  TempDir dir_;
  CPresetFileRq700 file_;
};

TEST_F(PresetFileTest, ChecksInOrderLengthKindSumVersion) {
  EXPECT_EQ(LoadCode(Image()), 0);
  EXPECT_EQ(LoadCode(Image(1, 0)), 0);
  auto short_file = Image();
  short_file.pop_back();
  EXPECT_EQ(LoadCode(short_file), kPresetWrongLength);
  auto long_file = Image();
  long_file.push_back(0);
  EXPECT_EQ(LoadCode(long_file), kPresetWrongLength);
  EXPECT_EQ(LoadCode({}), kPresetWrongLength);
  // The kind comes before the sum, the sum before the version.
  EXPECT_EQ(LoadCode(Image(2, 1, false)), kPresetWrongKind);
  EXPECT_EQ(LoadCode(Image(0, 5, false)), kPresetWrongSum);
  EXPECT_EQ(LoadCode(Image(0, 2)), kPresetWrongVersion);
  EXPECT_EQ(LoadCode(Image(0xFFFFFFFF, 1)), kPresetWrongKind);
  int error = 0;
  EXPECT_FALSE(file_.Load(dir_.Path("missing.zv"), &error));
  EXPECT_EQ(error, kPresetCannotOpen);
  // A folder is not a file that can be opened, whatever size the system gives it.
  error = 0;
  EXPECT_FALSE(file_.Load(dir_.path(), &error));
  EXPECT_EQ(error, kPresetCannotOpen);
}

TEST_F(PresetFileTest, OnlyKindVersionAndSumAreCheckedAndTheSumCoversTheWholeBody) {
  for (size_t offset : {size_t{0}, size_t{12}, size_t{300}, size_t{507}}) {
    auto image = Image();
    image[offset] ^= 0x5A;
    EXPECT_EQ(LoadCode(image), 0) << offset;
  }
  for (size_t offset : {size_t{512}, size_t{1023}, size_t{1024}, size_t{2047}}) {
    auto image = Image();
    image[offset] ^= 0x01;
    EXPECT_EQ(LoadCode(image), kPresetWrongSum) << offset;
  }
  // A sum that wraps past 2^32 is still a match modulo 2^32: all-0xFF body.
  auto image = Image();
  std::fill(image.begin() + 512, image.end(), 0xFF);
  PutLe32(image.data() + kPresetSumField, 1536u * 255u);
  EXPECT_EQ(LoadCode(image), 0);
}

TEST_F(PresetFileTest, FailedLoadLeavesTheImageUnchanged) {
  ASSERT_EQ(LoadCode(Image()), 0);
  std::vector<uint8_t> before(file_.image(), file_.image() + kPresetFileSize);
  auto other = Image();
  other[600] ^= 1;  // bad sum
  EXPECT_EQ(LoadCode(other), kPresetWrongSum);
  EXPECT_EQ(std::memcmp(file_.image(), before.data(), kPresetFileSize), 0);
}

TEST_F(PresetFileTest, ReadAndWriteBodyBounds) {
  ASSERT_EQ(LoadCode(Image()), 0);
  std::vector<uint8_t> body(1537, 0xEE);
  EXPECT_FALSE(file_.ReadBody(body.data(), 1537));
  EXPECT_EQ(body[0], 0xEE) << "nothing copied on failure";
  EXPECT_TRUE(file_.ReadBody(body.data(), 1536));
  EXPECT_EQ(std::memcmp(body.data(), file_.image() + 512, 1536), 0);
  std::vector<uint8_t> record(1537, 0x33);
  EXPECT_FALSE(file_.WriteBody(record.data(), 1537));
  EXPECT_NE(file_.image()[512], 0x33);
  EXPECT_TRUE(file_.WriteBody(record.data(), 512));
  EXPECT_EQ(file_.image()[512 + 511], 0x33);
}

TEST_F(PresetFileTest, SaveWritesZeroReservedSpaceWhateverTheImageHeld) {
  // An image loaded from a file with bytes in the reserved header and body space, then given
  // a new record: the saved file holds the record and zeros everywhere it reserves.
  auto image = Image();
  for (size_t i = 12; i < 508; ++i) image[i] = 0xA5;
  for (size_t i = 1024; i < 2048; ++i) image[i] = static_cast<uint8_t>(i);
  PutLe32(image.data() + kPresetSumField, PresetBodySum(image.data()));
  ASSERT_EQ(LoadCode(image), 0);
  std::vector<uint8_t> record(512, 0x11);
  ASSERT_TRUE(file_.WriteBody(record.data(), record.size()));
  int error = 0;
  ASSERT_TRUE(file_.Save(dir_.Path("saved.zv"), &error)) << error;
  const auto saved = ReadBytes(dir_.Path("saved.zv"));
  ASSERT_EQ(saved.size(), kPresetFileSize);
  for (size_t i = 12; i < 508; ++i) ASSERT_EQ(saved[i], 0) << i;
  for (size_t i = 1024; i < 2048; ++i) ASSERT_EQ(saved[i], 0) << i;
  EXPECT_EQ(std::memcmp(saved.data() + 512, record.data(), 512), 0);
  EXPECT_EQ(GetLe32(saved.data() + kPresetSumField), 512u * 0x11);
}

TEST_F(PresetFileTest, SaveThenLoadGivesTheSameBytes) {
  std::vector<uint8_t> record(512);
  for (size_t i = 0; i < record.size(); ++i) record[i] = static_cast<uint8_t>(255 - i);
  CPresetFileRq700 writer;
  ASSERT_TRUE(writer.WriteBody(record.data(), record.size()));
  int error = 0;
  ASSERT_TRUE(writer.Save(dir_.Path("out.zv"), &error)) << error;
  auto saved = ReadBytes(dir_.Path("out.zv"));
  ASSERT_EQ(saved.size(), kPresetFileSize);
  EXPECT_EQ(GetLe32(saved.data()), 2048u);
  EXPECT_EQ(GetLe32(saved.data() + kPresetKindField), 0u);
  EXPECT_EQ(GetLe32(saved.data() + kPresetVersionField), 1u);
  EXPECT_EQ(std::memcmp(saved.data(), writer.image(), kPresetFileSize), 0);
  ASSERT_TRUE(file_.Load(dir_.Path("out.zv"), &error)) << error;
  EXPECT_EQ(std::memcmp(file_.image(), saved.data(), kPresetFileSize), 0);
  uint8_t back[512];
  ASSERT_TRUE(file_.ReadBody(back, sizeof(back)));
  EXPECT_EQ(std::memcmp(back, record.data(), sizeof(back)), 0);

  // Overwriting keeps one file; a save that cannot create its file reports 7.
  ASSERT_TRUE(writer.Save(dir_.Path("out.zv"), &error));
  EXPECT_EQ(dir_.Names().size(), 1u);
  EXPECT_FALSE(writer.Save(dir_.Path("nowhere/x.zv"), &error));
  EXPECT_EQ(error, kPresetCannotCreate);
  // A folder at the path is no file to create: refused before anything is written.
  std::filesystem::create_directory(dir_.Path("folder.zv"));
  error = 0;
  EXPECT_FALSE(writer.Save(dir_.Path("folder.zv"), &error));
  EXPECT_EQ(error, kPresetCannotCreate);
  EXPECT_TRUE(std::filesystem::is_directory(dir_.Path("folder.zv")));
}

}  // namespace
}  // namespace rq700::files
