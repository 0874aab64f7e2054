#include "files/file_io.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

#include "files/preset_file.h"
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

#ifndef _WIN32
// A save respects what the user did to the file: a read-only file is refused as one that
// cannot be created and left alone (even for root, who could write it), a replaced file
// keeps its permissions, a link stays a link and the file it leads to gets the bytes, and
// no failure leaves a temporary file behind.
TEST(SafeFileWriter, SavesRespectTheUsersFiles) {
  namespace fs = std::filesystem;
  TempDir dir;
  const std::string path = dir.Path("tone.prst");
  auto mode = [&] { return fs::status(path).permissions() & fs::perms::all; };
  WriteBytes(path, {1});
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  EXPECT_FALSE(WriteFileSafely(path, std::vector<uint8_t>{2}));
  CPresetFileRq700 preset;
  int error = 0;
  EXPECT_FALSE(preset.Save(path, &error));
  EXPECT_EQ(error, kPresetCannotCreate);
  EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t>{1}));

  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  ASSERT_TRUE(WriteFileSafely(path, std::vector<uint8_t>{3}));
  EXPECT_EQ(mode(), fs::perms(0640));

  fs::create_symlink("tone.prst", dir.Path("link.prst"));
  fs::create_symlink("link.prst", dir.Path("link2.prst"));
  ASSERT_TRUE(WriteFileSafely(dir.Path("link2.prst"), std::vector<uint8_t>{4}));
  EXPECT_TRUE(fs::is_symlink(dir.Path("link.prst")));
  EXPECT_TRUE(fs::is_symlink(dir.Path("link2.prst")));
  EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t>{4}));
  EXPECT_EQ(mode(), fs::perms(0640));
  fs::create_symlink("new.prst", dir.Path("dangling.prst"));
  ASSERT_TRUE(WriteFileSafely(dir.Path("dangling.prst"), std::vector<uint8_t>{5}));
  EXPECT_EQ(ReadBytes(dir.Path("new.prst")), (std::vector<uint8_t>{5}));
  fs::create_symlink("loop", dir.Path("loop"));
  EXPECT_FALSE(WriteFileSafely(dir.Path("loop"), std::vector<uint8_t>{6}));

  // A write that fails half-way (here the file size limit) leaves the old file whole.
  rlimit old_limit;
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  const auto old_handler = ::signal(SIGXFSZ, SIG_IGN);
  const rlimit small = {16, old_limit.rlim_max};
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  EXPECT_FALSE(WriteFileSafely(path, std::vector<uint8_t>(4096, 7)));
  ::setrlimit(RLIMIT_FSIZE, &old_limit);
  ::signal(SIGXFSZ, old_handler);
  EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t>{4}));
  EXPECT_EQ(dir.Names().size(), 6u) << "a temporary file was left behind";
}
#endif

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
