// Saving and reading files on Windows: the replace rules of the save path, and UTF-8 paths
// that reach the system as UTF-16 whatever characters they hold.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "files/file_io.h"
#include "files/firmware_image.h"
#include "files/preset_file.h"
#include "tests/files/temp_dir.h"

namespace rq700::files {
namespace {

DWORD Attributes(const std::string& path) { return GetFileAttributesW(NativePath(path).c_str()); }

std::vector<uint8_t> Read(const std::string& path) {
  std::vector<uint8_t> bytes;
  EXPECT_TRUE(ReadWholeFile(path, 1 << 20, &bytes)) << path;
  return bytes;
}

TEST(WindowsSave, ReplacesTheFileAndKeepsItsAttributes) {
  TempDir dir;
  const std::string path = dir.Path("LEAD.zv");
  WriteBytes(path, {1, 2, 3});
  ASSERT_TRUE(SetFileAttributesW(NativePath(path).c_str(), FILE_ATTRIBUTE_HIDDEN));

  const std::vector<uint8_t> fresh = {4, 5, 6, 7};
  ASSERT_TRUE(WriteFileSafely(path, fresh));
  EXPECT_EQ(Read(path), fresh);
  EXPECT_TRUE(Attributes(path) & FILE_ATTRIBUTE_HIDDEN) << "the replaced file was hidden";
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"LEAD.zv"}) << "temporary file left behind";
}

TEST(WindowsSave, ReadOnlyFilesAndFailedReplacesLeaveEverythingAsItWas) {
  TempDir dir;
  const std::string path = dir.Path("KEEP.zv");
  WriteBytes(path, {9, 9});
  ASSERT_TRUE(SetFileAttributesW(NativePath(path).c_str(), FILE_ATTRIBUTE_READONLY));
  CPresetFileRq700 preset;
  int error = 0;
  EXPECT_FALSE(preset.Save(path, &error));
  EXPECT_EQ(error, kPresetCannotCreate);
  EXPECT_EQ(Read(path), (std::vector<uint8_t>{9, 9}));
  EXPECT_TRUE(Attributes(path) & FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(SetFileAttributesW(NativePath(path).c_str(), FILE_ATTRIBUTE_NORMAL));

  // A folder that appears at the target while the file is written: the replace fails, is
  // reported, and its temporary file goes.
  const std::string late = dir.Path("LATE.zbf");
  SafeFileWriter writer;
  ASSERT_TRUE(writer.Open(late));
  const uint8_t bytes[] = {1, 2, 3};
  ASSERT_TRUE(writer.Write(bytes, sizeof(bytes)));
  ASSERT_TRUE(CreateDirectoryW(NativePath(late).c_str(), nullptr));
  EXPECT_FALSE(writer.Commit());
  std::vector<std::string> names = dir.Names();
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"KEEP.zv", "LATE.zbf"}));
}

TEST(WindowsSave, PathsBeyondAsciiWorkThroughout) {
  TempDir dir;
  // "Grüße ♪ 🎸": Latin-1, a character beyond it, and one that takes two UTF-16 units.
  const std::string folder = dir.path() +
                             "\\Gr\xC3\xBC\xC3\x9F"
                             "e \xE2\x99\xAA \xF0\x9F\x8E\xB8";
  ASSERT_TRUE(CreateDirectoryW(NativePath(folder).c_str(), nullptr));
  const std::string preset_path = folder + "\\\xC3\xA9t\xC3\xA9.zv";  // "été.zv"

  uint8_t record[kPresetRecordSize] = {};
  std::memcpy(record, "SUMMER", 6);
  CPresetFileRq700 saved;
  saved.WriteBody(record, sizeof(record));
  int error = 0;
  ASSERT_TRUE(saved.Save(preset_path, &error)) << error;
  ASSERT_TRUE(saved.Save(preset_path, &error)) << "replacing it: " << error;
  CPresetFileRq700 loaded;
  ASSERT_TRUE(loaded.Load(preset_path, &error)) << error;
  uint8_t back[kPresetRecordSize] = {};
  loaded.ReadBody(back, sizeof(back));
  EXPECT_EQ(std::memcmp(back, record, sizeof(record)), 0);
  EXPECT_EQ(FileSize(preset_path), static_cast<int64_t>(kPresetFileSize));
  // The names Windows holds are the intended characters, not their UTF-8 bytes.
  const std::wstring wide =
      NativePath(dir.path()).wstring() + L"\\Gr\u00FC\u00DFe \u266A \U0001F3B8\\\u00E9t\u00E9.zv";
  EXPECT_NE(GetFileAttributesW(wide.c_str()), INVALID_FILE_ATTRIBUTES);

  const std::string firmware = "ZORVA_RQ700_V2.0.0 \xC3\xA9t\xC3\xA9.zr";
  ASSERT_TRUE(WriteFileSafely(folder + "\\" + firmware, std::vector<uint8_t>{1}));
  std::string found;
  ASSERT_TRUE(FindFirmwareImage(folder, "ZORVA_RQ700_V1.0.0", &found));
  EXPECT_EQ(found, firmware);
}

}  // namespace
}  // namespace rq700::files
