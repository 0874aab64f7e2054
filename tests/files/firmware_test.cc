#include <gtest/gtest.h>

#include <cstring>

#include "files/byte_order.h"
#include "files/firmware_builder.h"
#include "files/firmware_image.h"
#include "tests/files/temp_dir.h"

namespace rq700::files {
namespace {

const char kModelText[] = "ZORVA_RQ700_V1.0.0";

std::string Find(const TempDir& dir, std::string_view text = kModelText) {
  std::string name;
  return FindFirmwareImage(dir.path(), text, &name) ? name : "<none>";
}

TEST(FirmwareFind, NewestVersionByTheFixedPositions) {
  TempDir dir;
  WriteBytes(dir.Path("ZORVA_RQ700_V1.0.3.zr"), {1});
  WriteBytes(dir.Path("ZORVA_RQ700_V1.1.0.zr"), {1});
  EXPECT_EQ(Find(dir), "ZORVA_RQ700_V1.1.0.zr");
  WriteBytes(dir.Path("ZORVA_RQ700_V2.0.0.zr"), {1});
  WriteBytes(dir.Path("ZORVA_RQ700_V1.9.9.zr"), {1});
  EXPECT_EQ(Find(dir), "ZORVA_RQ700_V2.0.0.zr");
  // Other models, other extensions and folders are not candidates.
  WriteBytes(dir.Path("ZORVA_RQ800_V9.9.9.zr"), {1});
  WriteBytes(dir.Path("ZORVA_RQ700_V9.9.9.bin"), {1});
  std::filesystem::create_directory(dir.Path("ZORVA_RQ700_V9.0.0.zr"));
  EXPECT_EQ(Find(dir), "ZORVA_RQ700_V2.0.0.zr");
}

TEST(FirmwareFind, TiesAndTwoDigitPartsAndShortNames) {
  TempDir dir;
  // Same three version characters: the first name visited stays the choice.
  WriteBytes(dir.Path("ZORVA_RQ700_V1.2.3b.zr"), {1});
  WriteBytes(dir.Path("ZORVA_RQ700_V1.2.3.zr"), {1});
  EXPECT_EQ(Find(dir), "ZORVA_RQ700_V1.2.3.zr");
  // Two-digit parts are compared by their first character only: 1.10 is below 1.9.
  TempDir dir2;
  WriteBytes(dir2.Path("ZORVA_RQ700_V1.10.0.zr"), {1});
  WriteBytes(dir2.Path("ZORVA_RQ700_V1.9.0.zr"), {1});
  EXPECT_EQ(Find(dir2), "ZORVA_RQ700_V1.9.0.zr");
  // A name shorter than the version positions is compared, never read past its end.
  TempDir dir3;
  WriteBytes(dir3.Path("ZORVA_RQ700.zr"), {1});
  EXPECT_EQ(Find(dir3), "ZORVA_RQ700.zr");
  TempDir dir4;
  WriteBytes(dir4.Path("ZORVA_RQ700_V1.0.0.zr"), {1});
  WriteBytes(dir4.Path("ZORVA_RQ700_V2.zr"), {1});
  EXPECT_EQ(Find(dir4), "ZORVA_RQ700_V2.zr");
}

TEST(FirmwareFind, ModelTextWithoutUsableMark) {
  TempDir dir;
  WriteBytes(dir.Path("ZORVA_RQ700_V1.0.0.zr"), {1});
  EXPECT_EQ(Find(dir, "ZORVA_RQ700"), "<none>");
  // "_V" at position 28 or later is not a mark.
  EXPECT_EQ(Find(dir, "ABCDEFGHIJKLMNOPQRSTUVWXYZAB_V1.0.0"), "<none>");
  TempDir empty;
  EXPECT_EQ(Find(empty), "<none>");
  EXPECT_EQ(Find(dir, std::string_view("ZORVA_RQ700_V1.0.0\0\0\0", 21)), "ZORVA_RQ700_V1.0.0.zr");
  std::string name;
  EXPECT_FALSE(FindFirmwareImage(dir.Path("missing"), kModelText, &name));
}

TEST(FirmwareFind, NewestAcrossTheSuiteAndTheUserFolders) {
  TempDir suite, user;
  const std::string missing = suite.Path("missing");
  auto find = [](std::vector<std::string> folders) {
    std::string path;
    return FindNewestFirmwareImage(folders, kModelText, &path) ? path : "<none>";
  };
  EXPECT_EQ(find({suite.path(), user.path()}), "<none>");
  WriteBytes(suite.Path("ZORVA_RQ700_V1.9.9.zr"), {1});
  // A missing folder and an empty entry offer nothing and spoil nothing.
  EXPECT_EQ(find({missing, "", suite.path()}), suite.Path("ZORVA_RQ700_V1.9.9.zr"));
  WriteBytes(user.Path("ZORVA_RQ700_V2.0.0.zr"), {1});
  WriteBytes(user.Path("ZORVA_RQ700_V1.0.0.zr"), {1});
  EXPECT_EQ(find({suite.path(), user.path()}), user.Path("ZORVA_RQ700_V2.0.0.zr"));
  // Equal versions: the earlier folder wins, whichever it is.
  WriteBytes(suite.Path("ZORVA_RQ700_V2.0.0.zr"), {1});
  EXPECT_EQ(find({suite.path(), user.path()}), suite.Path("ZORVA_RQ700_V2.0.0.zr"));
  EXPECT_EQ(find({user.path(), suite.path()}), user.Path("ZORVA_RQ700_V2.0.0.zr"));
  std::string path;
  EXPECT_FALSE(FindNewestFirmwareImage({suite.path()}, "ZORVA_RQ700", &path));
}

FirmwareImagePlan ThreeSegments() {
  FirmwareImagePlan plan;
  plan.apply_command = 0xC5;
  plan.apply_reply = 0xC6;
  plan.apply_timeout = 3000;
  plan.apply_param[0] = 0x12;
  plan.apply_param[3] = 0x78;
  for (int i = 0; i < 3; ++i) {
    FirmwareSegmentPlan s;
    s.data_command = static_cast<uint8_t>(0xB0 + i);
    s.reply = static_cast<uint8_t>(0xD0 + i);
    s.block_timeout = 100u + i;
    s.first_block = static_cast<uint16_t>(i * 10);
    s.data.assign(512 * (i + 1) + (i == 2 ? 488 : 0), static_cast<uint8_t>(0x40 + i));
    plan.segments.push_back(s);
  }
  return plan;
}

TEST(FirmwareImageOpen, WellFormedImageAndItsSegments) {
  TempDir dir;
  auto bytes = BuildFirmwareImage(ThreeSegments());
  WriteBytes(dir.Path("img.zr"), bytes);
  FirmwareImage image;
  ASSERT_EQ(image.Open(dir.Path("img.zr")), bytes.size()) << image.error();
  EXPECT_EQ(image.header().model, "ZORVA_RQ700");
  EXPECT_EQ(image.header().apply_command, 0xC5);
  EXPECT_EQ(image.header().apply_timeout, 3000u);
  EXPECT_EQ(image.header().apply_param[3], 0x78);
  ASSERT_EQ(image.segment_count(), 3);
  EXPECT_EQ(image.segment(1).data_offset, 640u);
  EXPECT_EQ(image.segment(2).data_command, 0xB1);
  EXPECT_EQ(image.segment(3).first_block, 20);
  EXPECT_EQ(image.segment(3).BlockCount(), 3u);  // 1536 + 488 bytes: three whole blocks
  // (size - 128 - 3 * 512) / 512 = (512 + 1024 + 2024) / 512
  EXPECT_EQ(image.total_blocks(), 6u);

  uint8_t header[128];
  EXPECT_EQ(image.ReadHeader(header), 128u);
  EXPECT_EQ(std::memcmp(header, "Zorva_TAG", 9), 0);
  uint8_t descriptor[512];
  EXPECT_EQ(image.ReadDescriptor(0, descriptor), 0u);
  EXPECT_EQ(image.ReadDescriptor(4, descriptor), 0u);
  EXPECT_EQ(image.ReadDescriptor(2, descriptor), 512u);
  EXPECT_EQ(descriptor[kFwDataCommand], 0xB1);
  std::vector<uint8_t> data(4096);
  EXPECT_EQ(image.ReadSegment(2, data.data(), 1023), 0u);  // buffer too small
  EXPECT_EQ(image.ReadSegment(2, data.data(), data.size()), 1024u);
  EXPECT_EQ(data[0], 0x41);
  EXPECT_EQ(data[1023], 0x41);
  EXPECT_EQ(image.ReadSegment(4, data.data(), data.size()), 0u);
}

TEST(FirmwareImageOpen, ChainIsWalkedWhereverTheDescriptorsLie) {
  // Segment 1 then the data of segment 2 first, its descriptor at the end of the file.
  FirmwareImagePlan plan;
  FirmwareSegmentPlan one;
  one.data.assign(1000, 0x11);  // one whole block; 488 bytes are never sent
  plan.segments.push_back(one);
  auto bytes = BuildFirmwareImage(plan);
  bytes[kFwSegmentCount] = 2;
  const size_t data2 = bytes.size();
  bytes.insert(bytes.end(), 512, 0x22);
  const size_t desc2 = bytes.size();
  bytes.resize(desc2 + 512, 0);
  PutLe32(bytes.data() + 128 + kFwNextDescriptor, static_cast<uint32_t>(desc2));
  PutLe32(bytes.data() + desc2 + kFwDataPosition, static_cast<uint32_t>(data2 + 1));
  PutLe32(bytes.data() + desc2 + kFwSegmentLength, 512);
  bytes[desc2 + kFwDataCommand] = 0xAB;
  FirmwareImage image;
  ASSERT_EQ(image.OpenBytes(bytes), bytes.size()) << image.error();
  EXPECT_EQ(image.segment(1).BlockCount(), 1u);
  EXPECT_EQ(image.segment(2).descriptor_offset, desc2);
  EXPECT_EQ(image.segment(2).data_offset, data2);
  EXPECT_EQ(image.segment(2).data_command, 0xAB);
  EXPECT_EQ(image.SegmentData(2)[0], 0x22);
  EXPECT_EQ(image.total_blocks(), (bytes.size() - 128 - 1024) / 512);
}

TEST(FirmwareImageOpen, RefusedImages) {
  FirmwareImagePlan plan = ThreeSegments();
  const auto good = BuildFirmwareImage(plan);
  FirmwareImage image;
  auto refused = [&](std::vector<uint8_t> bytes) {
    const bool ok = image.OpenBytes(std::move(bytes)) == 0 && !image.is_open();
    return ok;
  };
  auto bad = good;
  bad[0] = 'z';
  EXPECT_TRUE(refused(bad)) << "wrong magic";
  bad = good;
  bad[kFwModel + 10] = '1';
  EXPECT_TRUE(refused(bad)) << "other model";
  bad = good;
  bad[kFwSegmentCount] = 0;
  EXPECT_TRUE(refused(bad)) << "no segments";
  bad[kFwSegmentCount] = 0xFF;
  EXPECT_TRUE(refused(bad)) << "negative count";
  bad = good;
  bad[kFwSegmentCount] = 4;  // the chain leads past the last descriptor
  EXPECT_TRUE(refused(bad));
  bad = good;
  PutLe32(bad.data() + 128 + kFwNextDescriptor, static_cast<uint32_t>(good.size() - 100));
  EXPECT_TRUE(refused(bad)) << "descriptor beyond the end";
  bad = good;
  PutLe32(bad.data() + 128 + kFwNextDescriptor, 0xFFFFFFF0u);
  EXPECT_TRUE(refused(bad)) << "descriptor offset wraps";
  bad = good;
  PutLe32(bad.data() + 128 + kFwSegmentLength, static_cast<uint32_t>(good.size()));
  EXPECT_TRUE(refused(bad)) << "segment 1 longer than the file";
  bad = good;
  const size_t desc2 = GetLe32(good.data() + 128 + kFwNextDescriptor);
  PutLe32(bad.data() + desc2 + kFwDataPosition, 0);
  EXPECT_TRUE(refused(bad)) << "no data position";
  PutLe32(bad.data() + desc2 + kFwDataPosition, 0xFFFFFFFFu);
  EXPECT_TRUE(refused(bad)) << "data position beyond the end";
  EXPECT_TRUE(refused({})) << "empty file";
  EXPECT_TRUE(refused(std::vector<uint8_t>(good.begin(), good.begin() + 100)));

  // Descriptor 2 inside segment 1's data: no room left for any block, yet segment 1 has one.
  FirmwareImagePlan overlap;
  FirmwareSegmentPlan s;
  s.data.assign(512, 0);
  overlap.segments.push_back(s);
  auto bytes = BuildFirmwareImage(overlap);
  bytes[kFwSegmentCount] = 2;
  PutLe32(bytes.data() + 128 + kFwNextDescriptor, 640);
  PutLe32(bytes.data() + 640 + kFwDataPosition, 641);
  PutLe32(bytes.data() + 640 + kFwSegmentLength, 0);
  EXPECT_TRUE(refused(bytes)) << "total block count 0";

  // A chain that leads back to descriptor 1: its two blocks would go out twice while the
  // file counts one block in all, and the progress would run past 100.
  FirmwareImagePlan loop;
  s.data.assign(1024, 0);
  loop.segments.push_back(s);
  bytes = BuildFirmwareImage(loop);
  bytes[kFwSegmentCount] = 2;
  PutLe32(bytes.data() + 128 + kFwNextDescriptor, 128);
  EXPECT_TRUE(refused(bytes)) << "more blocks to send than the file counts";

  EXPECT_EQ(image.Open("/nonexistent/dir/img.zr"), 0u);
  EXPECT_NE(image.OpenBytes(good), 0u);
}

TEST(FirmwareImageOpen, SingleSegmentDataAt640) {
  FirmwareImagePlan plan;
  FirmwareSegmentPlan s;
  s.data = {1, 2, 3, 4, 5};
  plan.segments.push_back(s);
  FirmwareImage image;
  ASSERT_NE(image.OpenBytes(BuildFirmwareImage(plan)), 0u);
  EXPECT_EQ(image.segment(1).data_offset, 640u);
  EXPECT_EQ(image.segment(1).length, 5u);
  EXPECT_EQ(image.segment(1).BlockCount(), 0u);
  EXPECT_EQ(image.total_blocks(), 0u);
}

}  // namespace
}  // namespace rq700::files
