// The virtual device's state as a backup container and back.
#include "emulator/backup_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "files/backup_reader.h"
#include "files/backup_writer.h"
#include "tests/files/temp_dir.h"

namespace rq700::emu {
namespace {

DeviceState Factory() {
  DeviceState state;
  FactoryReset(state);
  return state;
}

TEST(BackupImage, SavedStateLoadsBackAsTheSameDevice) {
  files::TempDir dir;
  DeviceState edited = Factory();
  edited.amp = {};  // no amplifier: the backup starts with the IR record
  edited.ir[9].present = true;
  std::memcpy(edited.ir[9].name.data(), "LAST SLOT", 9);
  edited.ir[9].planes[1000] = 0x5A;
  edited.system[3] = 7;
  edited.tempo = 97;
  edited.current = 57;
  edited.presets[57][record::kVolume] = 5;
  std::memcpy(edited.presets[199].data() + record::kName, "LAST ONE", 8);
  std::string error;
  ASSERT_TRUE(SaveBackupFile(dir.Path("a.zbf"), edited, &error)) << error;

  files::BackupReader reader;
  ASSERT_TRUE(reader.Open(dir.Path("a.zbf"))) << reader.error();
  const struct {
    const char* name;
    uint8_t type;
    uint32_t count, length;
  } expected[] = {
      {"RQ700_IR", 2, 3, 1551}, {"RQ700_SYSTEM", 3, 1, 64}, {"RQ700_PRESET", 4, 200, 512}};
  ASSERT_EQ(reader.record_count(), 3);
  for (int r = 0; r < 3; ++r) {
    files::BackupRecordHeader header;
    ASSERT_TRUE(reader.ReadRecordHeader(r, &header));
    EXPECT_EQ(header.name, expected[r].name);
    EXPECT_EQ(header.type, expected[r].type);
    EXPECT_EQ(header.item_count, expected[r].count);
    EXPECT_EQ(header.item_length, expected[r].length);
    files::BackupItem last;
    ASSERT_TRUE(reader.ReadItem(header, header.item_count - 1, &last));
    EXPECT_EQ(last.number, r == 0 ? 10 : r == 1 ? 1 : 200);
  }

  // Loaded over a factory device, whose own amplifier slot the backup does not know.
  DeviceState loaded = Factory();
  ASSERT_TRUE(loaded.amp[0].present);
  ASSERT_TRUE(LoadBackupFile(dir.Path("a.zbf"), loaded, &error)) << error;
  EXPECT_EQ(loaded.presets, edited.presets);
  for (int i = 0; i < kUserSlotCount; ++i) {
    EXPECT_FALSE(loaded.amp[i].present) << i;
    EXPECT_EQ(loaded.ir[i].present, edited.ir[i].present) << i;
    EXPECT_EQ(loaded.ir[i].name, edited.ir[i].name) << i;
    EXPECT_EQ(0, std::memcmp(loaded.ir[i].planes.data(), edited.ir[i].planes.data(),
                             kIrPlanes * kPlaneSize))
        << i;
  }
  EXPECT_EQ(EncodeSystemChunk(loaded), EncodeSystemChunk(edited));
  EXPECT_EQ(loaded.working, edited.presets[57]);
}

// A file the device could not take whole is refused before anything changes.
TEST(BackupImage, RefusesWhatARestoreCouldNotPlace) {
  files::TempDir dir;
  auto write = [&](const std::string& name, uint8_t type, uint16_t number, size_t length) {
    files::BackupWriter writer;
    files::BackupRecord record{"R", type, {{number, std::vector<uint8_t>(length, 1)}}};
    EXPECT_TRUE(writer.Create(dir.Path(name)) && writer.WriteRecord(record) && writer.Finish());
  };
  write("short-preset.zbf", 4, 3, 511);
  write("preset-201.zbf", 4, 201, 512);
  write("slot-11.zbf", 2, 11, 1551);
  write("ir-as-amp.zbf", 1, 1, 1551);
  write("system-2.zbf", 3, 2, 64);
  write("type-9.zbf", 9, 1, 512);
  std::string error;
  ASSERT_TRUE(SaveBackupFile(dir.Path("good.zbf"), Factory(), &error));
  auto bytes = files::ReadBytes(dir.Path("good.zbf"));
  bytes[5000] ^= 1;
  files::WriteBytes(dir.Path("checksum.zbf"), bytes);

  for (const char* name : {"short-preset.zbf", "preset-201.zbf", "slot-11.zbf", "ir-as-amp.zbf",
                           "system-2.zbf", "type-9.zbf", "checksum.zbf"}) {
    DeviceState state = Factory();
    state.presets[2][record::kVolume] = 77;
    const DeviceState before = state;
    bool wrong_format = false;
    error.clear();
    EXPECT_FALSE(LoadBackupFile(dir.Path(name), state, &error, &wrong_format)) << name;
    EXPECT_TRUE(wrong_format) << name;
    EXPECT_FALSE(error.empty()) << name;
    EXPECT_EQ(state.presets, before.presets) << name;
    EXPECT_TRUE(state.amp[0].present) << name;
  }
  DeviceState state = Factory();
  bool wrong_format = true;
  EXPECT_FALSE(LoadBackupFile(dir.Path("missing.zbf"), state, &error, &wrong_format));
  EXPECT_FALSE(wrong_format);
}

}  // namespace
}  // namespace rq700::emu
