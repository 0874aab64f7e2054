#include <gtest/gtest.h>

#include <cstring>

#include "files/amp_file.h"
#include "files/byte_order.h"
#include "tests/files/temp_dir.h"

namespace rq700::files {
namespace {

std::vector<uint8_t> Amp(size_t extra = 0, uint32_t base = 0x01020304) {
  std::vector<uint8_t> bytes(2052 + extra, 0xAA);
  uint32_t sum = 0;
  for (int i = 0; i < 512; ++i) {
    const uint32_t w = base * (i + 1);
    PutLe32(bytes.data() + 4 * i, w);
    sum += w;
  }
  PutLe32(bytes.data() + 2048, sum);
  bytes.insert(bytes.end(), {'2', '.', '0'});
  return bytes;
}

TEST(AmpFile, SmallestFileAndTrailingTail) {
  AmpFile amp;
  auto bytes = Amp();
  ASSERT_EQ(bytes.size(), 2055u);
  ASSERT_TRUE(amp.ReadBytes(bytes, "/amps/Plexi Crunch.amp"));
  EXPECT_EQ(amp.slot_name(), "Plexi Crunch");
  EXPECT_EQ(amp.words()[0], 0x01020304u);
  EXPECT_EQ(amp.words()[511], 0x01020304u * 512);
  auto tail = bytes;
  tail.back() = '1';
  EXPECT_FALSE(amp.ReadBytes(tail, "a.amp"));
  EXPECT_FALSE(amp.loaded());
  std::vector<uint8_t> short_file(bytes.begin() + 1, bytes.end());
  EXPECT_FALSE(amp.ReadBytes(short_file, "a.amp"));
  EXPECT_FALSE(amp.ReadBytes({'2', '.', '0'}, "a.amp"));
  // Bytes between the checksum and the tail are not read.
  EXPECT_TRUE(amp.ReadBytes(Amp(1000), "a.amp"));
}

TEST(AmpFile, ChecksumWrapsAt32Bits) {
  AmpFile amp;
  auto bytes = Amp(0, 0xF0000000u);  // the words sum far past 2^32
  EXPECT_TRUE(amp.ReadBytes(bytes, "a.amp"));
  bytes[2048] ^= 1;
  EXPECT_FALSE(amp.ReadBytes(bytes, "a.amp"));
  bytes = Amp();
  bytes[100] ^= 1;
  EXPECT_FALSE(amp.ReadBytes(bytes, "a.amp"));
}

TEST(AmpFile, FromDiskAndBadNames) {
  TempDir dir;
  WriteBytes(dir.Path("lead.v2.amp"), Amp());
  AmpFile amp;
  ASSERT_TRUE(amp.Read(dir.Path("lead.v2.amp")));
  EXPECT_EQ(amp.slot_name(), "lead.v2");
  EXPECT_FALSE(amp.Read(dir.Path("missing.amp")));
  EXPECT_FALSE(amp.ReadBytes(Amp(), "/x/\xE2\x82\xAC.amp"));
}

}  // namespace
}  // namespace rq700::files
