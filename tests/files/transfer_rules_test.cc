// The rules of the preset library transfers: which file names import where and under
// which name, what a selection may hold, and what an export writes.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "files/preset_export.h"
#include "files/preset_file.h"
#include "files/preset_import.h"
#include "tests/files/temp_dir.h"

namespace rq700::files {
namespace {

std::vector<uint8_t> PatternRecord() {
  std::vector<uint8_t> rec(record::kSize);
  for (size_t i = 0; i < rec.size(); ++i) rec[i] = static_cast<uint8_t>(i * 7 + 3);
  return rec;
}

TEST(TransferRulesTest, FileNamesGiveTargetsAndPresetNames) {
  const std::vector<std::pair<std::string, std::optional<int>>> targets = {
      {"P1-A", 0},  {"P12-A", 11},  {"P200-X", 199}, {"P007-A", 6},        {"P201-A", {}},
      {"P0-A", {}}, {"P000-A", {}}, {"P0012-A", {}}, {"P1000-A", {}},      {"Q1-A", {}},
      {"P-A", {}},  {"p1-A", {}},   {"P", {}},       {"P99999999999", {}},
  };
  for (const auto& [stem, target] : targets) EXPECT_EQ(NumberedTarget(stem), target) << stem;

  for (const char* ok : {"MY TONE", "A", "LEAD 2", "123"}) EXPECT_TRUE(PresetNameAllowed(ok)) << ok;
  for (const char* bad : {"", "my tone", "A-B", "LEAD!", "\xC3\x89"})
    EXPECT_FALSE(PresetNameAllowed(bad)) << bad;

  EXPECT_EQ(FileStem("/a/b.c/P1-X.zv"), "P1-X");
  EXPECT_EQ(FileStem("C:\\presets\\P2-Y.ZV"), "P2-Y");
}

TEST(TransferRulesTest, ImportsReadTheNameAfterTheDash) {
  TempDir dir;
  const std::vector<uint8_t> rec = PatternRecord();
  auto make = [&](const std::string& name) {
    EXPECT_TRUE(WritePresetFile(dir.Path(name), rec.data()));
    return dir.Path(name);
  };
  // One file into the edited preset: "-" among the first six characters, any prefix.
  struct Single {
    std::string file;
    int code;
    std::string name;
  };
  for (const Single& c : std::vector<Single>{
           {"P7-MY TONE.zv", 0, "MY TONE"},
           {"XY-MY TONE.zv", 0, "MY TONE"},
           {"ABCDE-X.zv", 0, "X"},
           {"P7-ABCDEFGHIJKLMNOPQ.zv", 0, "ABCDEFGHIJKLMNO"},
           {"MYTONE.zv", -1, ""},
           {"ABCDEF-X.zv", -1, ""},
           {"P7-my tone.zv", kImportBadName, ""},
           {"P7-.zv", kImportBadName, ""},
       }) {
    SingleImport import;
    EXPECT_EQ(ReadSingleImport(make(c.file), &import), c.code) << c.file;
    if (c.code != 0) continue;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(import.name)), c.name);
    EXPECT_EQ(0, std::memcmp(import.record, rec.data(), record::kSize));
  }
  SingleImport missing;
  EXPECT_EQ(ReadSingleImport(dir.Path("P1-GONE.zv"), &missing), -1);

  // Many files: the names are checked when the list is set, each file when it is sent.
  PresetImportList list;
  EXPECT_EQ(list.Set({make("P5-LEAD.zv"), make("P12-lead.zv"), dir.Path("P9-GONE.zv")}), 0);
  uint8_t out[record::kSize];
  int target = -1;
  ASSERT_EQ(list.LoadEntry(0, out, &target), 0);
  EXPECT_EQ(target, 4);
  EXPECT_EQ(0, std::memcmp(out + record::kName, "LEAD\0\0\0\0\0\0\0\0\0\0\0\0", 16));
  EXPECT_EQ(0, std::memcmp(out + record::kName + 16, rec.data() + record::kName + 16,
                           record::kSize - record::kName - 16));
  EXPECT_EQ(list.LoadEntry(1, out, &target), kImportBadName);
  EXPECT_EQ(list.LoadEntry(2, out, &target), kImportBadFile);
  EXPECT_EQ(list.LoadEntry(3, out, &target), kImportBadFile);
  EXPECT_EQ(list.Set({make("P1-A.zv"), make("Q1-A.zv")}), kImportBadFile);
  EXPECT_EQ(list.Set(std::vector<std::string>(201, make("P1-A.zv"))), kImportTooManyFiles);
  EXPECT_EQ(list.Set(std::vector<std::string>(200, make("P1-A.zv"))), 0);
}

TEST(TransferRulesTest, TheDialogBufferBoundsTheSelection) {
  const std::string folder = "/home/player/presets/";
  EXPECT_TRUE(SelectionFitsBuffer(std::vector<std::string>(200, folder + "P100-LEAD.zv")));
  EXPECT_FALSE(SelectionFitsBuffer(std::vector<std::string>(60, folder + std::string(140, 'A'))));
  // Counted in UTF-16 characters: two bytes of UTF-8 are one character.
  EXPECT_TRUE(SelectionFitsBuffer({folder + std::string(7900, 'A')}));
  EXPECT_FALSE(SelectionFitsBuffer({folder + std::string(7990, 'A')}));
  std::string wide;
  for (int i = 0; i < 3900; ++i) wide += "\xC3\x89";
  EXPECT_TRUE(SelectionFitsBuffer({folder + wide}));
}

TEST(TransferRulesTest, ExportsKeepTheStoredPartsAndSafeNames) {
  auto state = std::make_unique<DeviceState>();
  ResetToDefaults(*state);
  std::vector<uint8_t> rec = PatternRecord();
  std::memcpy(rec.data() + record::kName, "A/B:C*D\0\0\0\0\0\0\0\0\0", 16);
  rec[record::ModuleSlot(kDelay) + record::kSlotModel] = 2;  // TIME B is not its value
  WriteRecord(*state, 3, rec.data());
  state->list_cursor.SetBoth(3);
  SelectPreset(*state, 3);

  uint8_t out[record::kSize];
  BuildEditedRecord(*state, false, out);
  for (size_t i : {size_t{9}, size_t{113}, size_t{408}, size_t{510}, size_t{511}})
    EXPECT_EQ(out[i], 0) << i;
  // The parts the edit model does not hold come from the stored record.
  for (auto [from, size] : std::vector<std::pair<size_t, size_t>>{{record::kName, 16},
                                                                  {record::kCarriedA, 2},
                                                                  {record::kCarriedC, 3},
                                                                  {record::kCarriedTables, 216},
                                                                  {record::kCarriedWords, 48}}) {
    EXPECT_EQ(0, std::memcmp(out + from, rec.data() + from, size)) << from;
  }
  EXPECT_EQ(out[record::kDelayTimeBWord], rec[record::kDelayTimeBWord]);
  EXPECT_EQ(out[record::kDelayTimeBWord + 1], rec[record::kDelayTimeBWord + 1]);

  EXPECT_EQ(ExportFileName(3, out), "P4-A_B_C_D.zv");
  EXPECT_EQ(SuggestedExportName(*state), "P4-A_B_C_D.zv");

  TempDir dir;
  std::vector<std::string> written;
  EXPECT_EQ(ExportPresets(*state, dir.path(), {3, 199}, &written), JobResult::kDone);
  ASSERT_EQ(written.size(), 2u);
  EXPECT_EQ(written[1], dir.path() + "/P200-.zv");
  EXPECT_EQ(ExportPresets(*state, dir.Path("missing/folder"), {0}, nullptr), JobResult::kIoError);
}

}  // namespace
}  // namespace rq700::files
