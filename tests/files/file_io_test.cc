#include "files/file_io.h"

#include <gtest/gtest.h>

#include "tests/files/temp_dir.h"

namespace rq700::files {
namespace {

TEST(SafeFileWriter, OldFileStaysWholeUntilTheNewOneIsComplete) {
  TempDir dir;
  const std::string path = dir.Path("backup.zbf");
  WriteBytes(path, {1, 2, 3});
  {
    SafeFileWriter writer;
    ASSERT_TRUE(writer.Open(path));
    const uint8_t part[] = {9, 9, 9, 9};
    ASSERT_TRUE(writer.Write(part, sizeof(part)));
    // Mid-way the target still holds the old bytes.
    EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t>{1, 2, 3}));
    // Destroyed without Commit: as if the program had failed mid-way.
  }
  EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(dir.Names().size(), 1u) << "temporary file left behind";

  const std::vector<uint8_t> fresh = {7, 8};
  ASSERT_TRUE(WriteFileSafely(path, fresh));
  EXPECT_EQ(ReadBytes(path), fresh);
  EXPECT_EQ(dir.Names().size(), 1u);
}

TEST(SafeFileWriter, FailuresAreReported) {
  TempDir dir;
  const std::vector<uint8_t> bytes = {1};
  EXPECT_FALSE(WriteFileSafely(dir.Path("no/such/folder/file.zv"), bytes));
  SafeFileWriter writer;
  EXPECT_FALSE(writer.Write(bytes));
  EXPECT_FALSE(writer.Commit());
}

TEST(ReadWholeFile, SizeLimitAndMissingFiles) {
  TempDir dir;
  WriteBytes(dir.Path("f"), std::vector<uint8_t>(100, 5));
  std::vector<uint8_t> out;
  EXPECT_TRUE(ReadWholeFile(dir.Path("f"), 100, &out));
  EXPECT_EQ(out.size(), 100u);
  EXPECT_FALSE(ReadWholeFile(dir.Path("f"), 99, &out));
  EXPECT_TRUE(out.empty());
  EXPECT_FALSE(ReadWholeFile(dir.Path("missing"), 100, &out));
  EXPECT_EQ(FileSize(dir.Path("f")), 100);
  EXPECT_EQ(FileSize(dir.Path("missing")), -1);
}

}  // namespace
}  // namespace rq700::files
