#ifndef RQ700_PROTOCOL_PRESET_RECORD_H_
#define RQ700_PROTOCOL_PRESET_RECORD_H_

#include <cstddef>
#include <cstdint>

// Layout of the 512-byte preset record: the unit of the preset store, of the whole-preset
// messages, of the body of a preset file and of each item of a backup's preset record.
// Words inside the record are little-endian.
namespace rq700::record {

inline constexpr size_t kSize = 512;
inline constexpr int kPresetCount = 200;
inline constexpr int kModuleCount = 9;

inline constexpr size_t kChainOrder = 0;  // 9 bytes: module type at chain position 0..8
inline constexpr size_t kUnused9 = 9;     // kept in whole-record transfers
inline constexpr size_t kVolume = 10;
inline constexpr size_t kExpSwitch = 11;
inline constexpr size_t kName = 12;  // 16 bytes, one byte per character
inline constexpr size_t kNameSize = 16;

// Module slot of module type k (1..9): model, enable, then the parameter bytes.
inline constexpr size_t ModuleSlot(int module_type) {
  return 28 + 8 * static_cast<size_t>(module_type - 1);
}
inline constexpr size_t kSlotModel = 0;
inline constexpr size_t kSlotEnable = 1;
inline constexpr size_t kSlotParams = 2;

// DELAY slot (84..91): delay words 1, 2, 4 as low bytes at 86, 87, 89; delay word 5 (THRE)
// at 90; delay word 6 (sync note B) at 91; byte 88 unused.
inline constexpr size_t kDelayWord1 = 86;
inline constexpr size_t kDelayWord2 = 87;
inline constexpr size_t kDelayWord4 = 89;
inline constexpr size_t kDelayWord5 = 90;
inline constexpr size_t kDelayWord6 = 91;

inline constexpr size_t kChainOff = 104;  // 9 bytes: 0 on, 1 off, per chain position
inline constexpr size_t kCarriedA = 114;
inline constexpr size_t kCarriedB = 115;
inline constexpr size_t kModuleSwitch = 116;  // 9 bytes, per module type 1..9
inline constexpr size_t kCarriedC = 125;
inline constexpr size_t kCarriedD = 126;
inline constexpr size_t kCarriedE = 127;
inline constexpr size_t kCarriedTables = 128;  // four tables of 54 bytes
inline constexpr size_t kCarriedTableSize = 54;
inline constexpr size_t kEqWords = 344;         // 3 words: CUSTOM EQ band frequencies (Hz)
inline constexpr size_t kDelayTimeWord = 350;   // delay word 3: DELAY TIME (ms)
inline constexpr size_t kDelayTimeBWord = 352;  // model-9 delay word 5: TIME B (ms)
inline constexpr size_t kModWord = 354;         // wide first parameter of MOD model 10
inline constexpr size_t kExp1Module = 356;      // 0-based module type
inline constexpr size_t kExp1Param = 357;
inline constexpr size_t kExp2Module = 358;
inline constexpr size_t kExp2Param = 359;
inline constexpr size_t kCarriedWords = 360;  // 24 words
inline constexpr int kCarriedWordCount = 24;
inline constexpr size_t kCarriedF = 511;

inline uint16_t ReadWord(const uint8_t* rec, size_t offset) {
  return static_cast<uint16_t>(rec[offset] | (rec[offset + 1] << 8));
}
inline void WriteWord(uint8_t* rec, size_t offset, uint16_t value) {
  rec[offset] = static_cast<uint8_t>(value & 0xFF);
  rec[offset + 1] = static_cast<uint8_t>(value >> 8);
}

}  // namespace rq700::record

#endif  // RQ700_PROTOCOL_PRESET_RECORD_H_
