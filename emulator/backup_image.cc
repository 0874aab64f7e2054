#include "emulator/backup_image.h"

#include <cstring>
#include <fstream>

#include "files/backup_reader.h"
#include "files/backup_writer.h"
#include "files/file_io.h"

namespace rq700::emu {
namespace {

// A user slot travels as its planes followed by its 15-byte name, the chunks of the
// backup dialogue put together.
size_t SlotItemSize(int planes) { return planes * kPlaneSize + kSlotNameSize; }

files::BackupItem SlotItem(const UserSlot& slot, int number, int planes) {
  files::BackupItem item;
  item.number = static_cast<uint16_t>(number);
  item.data.assign(slot.planes.begin(), slot.planes.begin() + planes * kPlaneSize);
  item.data.insert(item.data.end(), slot.name.begin(), slot.name.end());
  return item;
}

files::BackupRecord SlotRecord(const std::array<UserSlot, kUserSlotCount>& slots,
                               std::string_view name, uint8_t type, int planes) {
  files::BackupRecord record{std::string(name), type, {}};
  for (int i = 0; i < kUserSlotCount; ++i) {
    if (slots[i].present) record.items.push_back(SlotItem(slots[i], i + 1, planes));
  }
  return record;
}

// Places one item as the device places a restored one; false with the reason otherwise.
bool PlaceItem(uint8_t type, const files::BackupItem& item, DeviceState& state, std::string* why) {
  const size_t size = item.data.size();
  auto wrong_size = [&](size_t wanted) {
    *why = std::to_string(size) + " bytes, the device takes " + std::to_string(wanted);
    return false;
  };
  if (type == files::kRecordUserAmps || type == files::kRecordUserIrs) {
    const int planes = type == files::kRecordUserAmps ? kAmpPlanes : kIrPlanes;
    if (item.number < 1 || item.number > kUserSlotCount) {
      *why = "there is no user slot " + std::to_string(item.number);
      return false;
    }
    if (size != SlotItemSize(planes)) return wrong_size(SlotItemSize(planes));
    UserSlot& slot = (type == files::kRecordUserAmps ? state.amp : state.ir)[item.number - 1];
    slot = UserSlot{};
    std::memcpy(slot.planes.data(), item.data.data(), planes * kPlaneSize);
    std::memcpy(slot.name.data(), item.data.data() + planes * kPlaneSize, kSlotNameSize);
    slot.present = true;
    return true;
  }
  if (type == files::kRecordSystem) {
    if (item.number != 1) {
      *why = "the system settings are item 1 only";
      return false;
    }
    if (size != kSystemChunkSize) return wrong_size(kSystemChunkSize);
    DecodeSystemChunk(item.data.data(), size, state);
    return true;
  }
  if (type == files::kRecordPresets) {
    if (item.number < 1 || item.number > record::kPresetCount) {
      *why = "there is no preset " + std::to_string(item.number);
      return false;
    }
    if (size != record::kSize) return wrong_size(record::kSize);
    std::memcpy(state.presets[item.number - 1].data(), item.data.data(), record::kSize);
    return true;
  }
  *why = "the device knows no record type " + std::to_string(type);
  return false;
}

}  // namespace

bool LoadBackupFile(const std::string& path, DeviceState& state, std::string* error,
                    bool* wrong_format) {
  if (wrong_format) *wrong_format = false;
  if (!std::ifstream(files::NativePath(path), std::ios::binary)) {
    *error = "cannot open " + path;
    return false;
  }
  if (wrong_format) *wrong_format = true;
  files::BackupReader reader;
  if (!reader.Open(path)) {
    *error = reader.error();
    return false;
  }
  DeviceState loaded = state;
  // A backup names every slot that held something: the others were empty.
  loaded.ir = {};
  loaded.amp = {};
  for (int r = 0; r < reader.record_count(); ++r) {
    files::BackupRecordHeader header;
    if (!reader.ReadRecordHeader(r, &header)) {
      *error = "cannot read record " + std::to_string(r + 1);
      return false;
    }
    for (uint32_t k = 0; k < header.item_count; ++k) {
      files::BackupItem item;
      std::string why = "cannot be read";
      if (!reader.ReadItem(header, k, &item) || !PlaceItem(header.type, item, loaded, &why)) {
        *error = "item " + std::to_string(k + 1) + " of record " + header.name + ": " + why;
        return false;
      }
    }
  }
  loaded.working = loaded.presets[loaded.current];
  state = loaded;
  if (wrong_format) *wrong_format = false;
  return true;
}

bool SaveBackupFile(const std::string& path, const DeviceState& state, std::string* error) {
  files::BackupWriter writer;
  files::BackupRecord system{std::string(files::kRecordNameSystem), files::kRecordSystem, {}};
  const auto chunk = EncodeSystemChunk(state);
  system.items.push_back({1, {chunk.begin(), chunk.end()}});
  files::BackupRecord presets{std::string(files::kRecordNamePresets), files::kRecordPresets, {}};
  for (int i = 0; i < record::kPresetCount; ++i) {
    presets.items.push_back(
        {static_cast<uint16_t>(i + 1), {state.presets[i].begin(), state.presets[i].end()}});
  }
  const bool written = writer.Create(path) &&
                       writer.WriteRecord(SlotRecord(state.amp, files::kRecordNameAmps,
                                                     files::kRecordUserAmps, kAmpPlanes)) &&
                       writer.WriteRecord(SlotRecord(state.ir, files::kRecordNameIrs,
                                                     files::kRecordUserIrs, kIrPlanes)) &&
                       writer.WriteRecord(system) && writer.WriteRecord(presets) && writer.Finish();
  if (!written) {
    *error = "cannot write " + path + ": " + writer.error();
    writer.Abandon();
  }
  return written;
}

}  // namespace rq700::emu
