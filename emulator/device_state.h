#ifndef RQ700_EMULATOR_DEVICE_STATE_H_
#define RQ700_EMULATOR_DEVICE_STATE_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "protocol/preset_record.h"

namespace rq700::emu {

inline constexpr int kUserSlotCount = 10;
inline constexpr size_t kSlotNameSize = 15;
inline constexpr size_t kPlaneSize = 512;
inline constexpr int kIrPlanes = 3;   // bits 16-23, 8-15, 0-7 of 512 samples
inline constexpr int kAmpPlanes = 4;  // bits 24-31 ... 0-7 of 512 words
inline constexpr int kSystemByteCount = 10;
inline constexpr size_t kSystemChunkSize = 64;

// One user impulse-response or amplifier slot as the device keeps it: the byte planes in
// the order they travel, and the name.
struct UserSlot {
  bool present = false;
  std::array<uint8_t, kSlotNameSize> name{};
  std::array<uint8_t, kAmpPlanes * kPlaneSize> planes{};
};

using PresetRecord = std::array<uint8_t, record::kSize>;

// Everything the virtual RQ700 remembers. The working preset is the one being played and
// edited; it becomes a stored preset only when the host saves it.
struct DeviceState {
  std::array<PresetRecord, record::kPresetCount> presets{};
  PresetRecord working{};
  int current = 0;
  std::array<uint8_t, kSystemByteCount> system{};
  uint16_t tempo = 120;
  uint8_t exp_low = 0;
  uint8_t exp_high = 100;
  std::array<uint8_t, 2> exp_merge{};
  uint8_t exp_tab = 1;
  uint8_t second_confirmation = 0;
  uint8_t selected_module = 1;
  uint8_t page = 0;
  std::array<UserSlot, kUserSlotCount> ir{};
  std::array<UserSlot, kUserSlotCount> amp{};
};

// The factory state: 200 presets, system defaults and a few filled user slots.
void FactoryReset(DeviceState& state);

// The system chunk of a backup: every device setting outside the presets and user slots.
std::array<uint8_t, kSystemChunkSize> EncodeSystemChunk(const DeviceState& state);
void DecodeSystemChunk(const uint8_t* data, size_t size, DeviceState& state);

// Name of a slot as 15 bytes for the name lists ("EMPTY" for an empty slot).
std::array<uint8_t, kSlotNameSize> SlotListName(const UserSlot& slot);

// The preset name (16 bytes from offset 12) up to its first NUL.
std::string PresetName(const PresetRecord& rec);

// Keeps the state across runs. Load refuses a file of another size or kind and leaves
// `state` untouched then; Save writes a temporary file and renames it over the old one.
bool LoadStateFile(const std::string& path, DeviceState& state, std::string* error);
bool SaveStateFile(const std::string& path, const DeviceState& state, std::string* error);

}  // namespace rq700::emu

#endif  // RQ700_EMULATOR_DEVICE_STATE_H_
