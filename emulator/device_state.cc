#include "emulator/device_state.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace rq700::emu {
namespace {

// Tone families the factory bank is built from. Each family fixes the character of the
// amplifier section; the variants of a family differ in effects and settings.
struct Family {
  const char* name;  // at most 10 characters, so that a variant suffix still fits
  uint8_t amp_model;
  uint8_t cab_model;
  uint8_t gain;
  uint8_t drive_model;  // 0: no drive pedal
  uint8_t fx_model;     // 0: FX/COMP off
  uint8_t mod_model;    // 0: MOD off
  uint8_t delay_model;
  uint8_t reverb_model;
};

constexpr Family kFamilies[] = {
    {"CLEAN SKY", 1, 1, 18, 0, 7, 12, 1, 2},     {"BRIT CRUNCH", 33, 17, 55, 0, 0, 0, 2, 1},
    {"GLASS TWIN", 2, 2, 15, 0, 8, 13, 4, 5},    {"BLUES ROAD", 5, 5, 35, 1, 0, 0, 2, 1},
    {"TEXAS HEAT", 6, 5, 50, 2, 0, 0, 2, 5},     {"PLEXI ROAR", 9, 6, 62, 3, 0, 0, 1, 2},
    {"MODERN HIGH", 21, 10, 80, 9, 0, 0, 1, 1},  {"DJENT GRID", 19, 10, 85, 18, 0, 0, 0, 1},
    {"SURF WAVE", 4, 4, 20, 0, 0, 6, 3, 5},      {"FUNK CHOP", 3, 3, 22, 0, 7, 0, 0, 1},
    {"ALT ROCK", 24, 11, 58, 6, 0, 0, 2, 2},     {"GRUNGE BOX", 29, 14, 66, 7, 0, 0, 0, 1},
    {"STADIUM", 31, 13, 70, 0, 0, 13, 7, 2},     {"AMBIENT", 1, 1, 12, 0, 0, 18, 5, 6},
    {"SHOEGAZE", 25, 12, 60, 8, 0, 4, 6, 7},     {"JAZZ BOX", 32, 16, 10, 0, 0, 0, 0, 1},
    {"COUNTRY", 2, 2, 24, 0, 7, 0, 3, 5},        {"METAL CORE", 20, 10, 88, 14, 0, 0, 1, 1},
    {"THRASH 86", 17, 9, 78, 10, 0, 0, 0, 1},    {"DOOM SLOW", 27, 13, 90, 8, 0, 0, 4, 3},
    {"WAH LEAD", 9, 6, 68, 2, 1, 0, 1, 2},       {"TALK BOX", 15, 8, 60, 0, 4, 0, 1, 1},
    {"AUTO FUNK", 3, 3, 20, 0, 3, 0, 0, 1},      {"SOLO SING", 18, 9, 72, 12, 0, 0, 9, 2},
    {"ROTARY ORG", 5, 5, 28, 0, 0, 11, 0, 1},    {"PHASE 70S", 9, 6, 52, 0, 0, 1, 2, 1},
    {"FLANGE JET", 23, 11, 64, 5, 0, 5, 1, 1},   {"TREM GARAGE", 4, 4, 30, 0, 0, 6, 4, 5},
    {"OCTAVE UP", 6, 5, 40, 16, 0, 9, 0, 1},     {"DETUNE WIDE", 14, 8, 45, 0, 0, 10, 7, 2},
    {"LOFI RADIO", 24, 11, 38, 0, 0, 19, 4, 1},  {"RING SPACE", 21, 10, 50, 0, 0, 14, 6, 7},
    {"SLOW SWELL", 2, 2, 20, 0, 0, 18, 5, 2},    {"PUNK FAST", 7, 6, 74, 5, 0, 0, 0, 1},
    {"HAIR METAL", 8, 7, 76, 11, 0, 12, 1, 4},   {"BRIT POP", 33, 17, 40, 0, 0, 12, 2, 1},
    {"INDIE JANG", 34, 17, 36, 0, 8, 0, 3, 5},   {"DESERT FUZZ", 29, 14, 60, 8, 0, 0, 4, 1},
    {"BASS DI", 3, 3, 14, 0, 8, 0, 0, 0},        {"ACOUSTIC", 5, 26, 8, 0, 8, 12, 0, 2},
    {"TUBE DRIVE", 10, 7, 48, 1, 0, 0, 2, 1},    {"BOUTIQUE", 28, 14, 46, 20, 0, 0, 2, 4},
    {"MESA CRUNCH", 17, 9, 56, 0, 0, 0, 1, 1},   {"RHYTHM TITE", 22, 10, 70, 18, 0, 0, 0, 1},
    {"LEAD SCREAM", 19, 10, 82, 13, 0, 0, 8, 2}, {"VINTAGE 59", 3, 3, 34, 0, 0, 0, 4, 5},
    {"CHURCH PAD", 1, 1, 10, 0, 0, 13, 5, 3},    {"PINGPONG", 12, 8, 44, 0, 0, 0, 7, 2},
    {"REVERSE DRM", 1, 1, 16, 0, 0, 4, 6, 7},    {"HALL OF ROCK", 11, 7, 66, 4, 0, 0, 1, 2},
};
constexpr int kFamilyCount = sizeof(kFamilies) / sizeof(kFamilies[0]);
static_assert(kFamilyCount * 4 == record::kPresetCount);

constexpr const char* kVariantSuffix[] = {"", " LD", " RH", " FX"};

// A small deterministic generator, so that every run starts from the same factory bank.
class Dice {
 public:
  explicit Dice(uint32_t seed) : state_(seed * 2654435761u + 12345u) {}
  int Roll(int low, int high) {
    state_ = state_ * 1664525u + 1013904223u;
    return low + static_cast<int>((state_ >> 8) % static_cast<uint32_t>(high - low + 1));
  }

 private:
  uint32_t state_;
};

uint8_t Clamp(int value, int low, int high) {
  return static_cast<uint8_t>(value < low ? low : value > high ? high : value);
}

void SetSlot(PresetRecord& rec, int module, uint8_t model, bool on,
             std::initializer_list<int> params) {
  const size_t slot = record::ModuleSlot(module);
  rec[slot + record::kSlotModel] = model;
  rec[slot + record::kSlotEnable] = on ? 1 : 0;
  size_t i = record::kSlotParams;
  for (int p : params) rec[slot + i++] = static_cast<uint8_t>(p);
}

PresetRecord MakeFactoryPreset(int index) {
  const Family& family = kFamilies[index % kFamilyCount];
  const int variant = index / kFamilyCount;
  Dice dice(static_cast<uint32_t>(index + 1));
  PresetRecord rec{};

  // Chain: the usual order; some presets put the noise suppressor first or the modulation
  // in front of the amplifier.
  uint8_t chain[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  if (family.gain > 70) std::swap(chain[1], chain[4]);                       // NS before the drive
  if (variant == 3 && family.mod_model != 0) std::swap(chain[2], chain[6]);  // MOD first
  std::memcpy(rec.data() + record::kChainOrder, chain, 9);

  rec[record::kVolume] = Clamp(dice.Roll(62, 88) - family.gain / 10, 40, 100);
  rec[record::kExpSwitch] = family.fx_model >= 1 && family.fx_model <= 6 ? 1 : 0;

  std::string name = std::string(family.name) + kVariantSuffix[variant];
  if (name.size() > 15) name.resize(15);
  std::memcpy(rec.data() + record::kName, name.data(), name.size());

  const bool lead = variant == 1;
  const bool rhythm = variant == 2;
  const int gain = family.gain + (lead ? 8 : 0) - (rhythm ? 6 : 0);

  const bool wah = family.fx_model >= 1 && family.fx_model <= 6;
  SetSlot(rec, 1, family.fx_model ? family.fx_model : 7, family.fx_model != 0,
          {dice.Roll(30, 70), dice.Roll(20, 80), dice.Roll(25, 60), dice.Roll(40, 70)});
  SetSlot(rec, 2, family.drive_model ? family.drive_model : 1, family.drive_model != 0 || lead,
          {dice.Roll(50, 75), dice.Roll(40, 65), Clamp(gain - 10 + dice.Roll(-5, 5), 5, 100)});
  SetSlot(rec, 3, family.amp_model, true,
          {Clamp(gain + dice.Roll(-4, 4), 0, 100), dice.Roll(40, 65), dice.Roll(35, 70),
           dice.Roll(45, 70), dice.Roll(35, 65), dice.Roll(45, 75)});
  SetSlot(rec, 4, family.cab_model, true,
          {dice.Roll(0, 9), dice.Roll(30, 70), dice.Roll(10, 50), dice.Roll(0, 4)});
  SetSlot(rec, 5, gain > 60 ? 3 : 1, gain > 45, {dice.Roll(30, 60), dice.Roll(40, 60), 20});
  const uint8_t eq_model = static_cast<uint8_t>(dice.Roll(1, 4));
  SetSlot(rec, 6, eq_model, variant != 2,
          {dice.Roll(9, 15), dice.Roll(10, 14), dice.Roll(8, 16), dice.Roll(10, 15),
           dice.Roll(10, 14), dice.Roll(11, 13)});
  record::WriteWord(rec.data(), record::kEqWords, 100);
  record::WriteWord(rec.data(), record::kEqWords + 2,
                    static_cast<uint16_t>(dice.Roll(6, 12) * 100));
  record::WriteWord(rec.data(), record::kEqWords + 4,
                    static_cast<uint16_t>(dice.Roll(30, 60) * 100));

  const uint8_t mod_model =
      family.mod_model ? family.mod_model : static_cast<uint8_t>(dice.Roll(1, 20));
  const bool pitch = mod_model == 9 || mod_model == 20;
  SetSlot(rec, 7, mod_model, family.mod_model != 0 || variant == 3,
          {pitch ? (dice.Roll(0, 1) ? 240 : 190) : dice.Roll(20, 60), dice.Roll(30, 70),
           dice.Roll(30, 70), dice.Roll(40, 60)});
  record::WriteWord(rec.data(), record::kModWord, static_cast<uint16_t>(200 + dice.Roll(-80, 80)));

  const uint8_t delay_model = family.delay_model ? family.delay_model : 1;
  const size_t delay = record::ModuleSlot(8);
  rec[delay + record::kSlotModel] = delay_model;
  rec[delay + record::kSlotEnable] = family.delay_model != 0 || lead ? 1 : 0;
  rec[record::kDelayWord1] = static_cast<uint8_t>(dice.Roll(15, 40));
  rec[record::kDelayWord2] = static_cast<uint8_t>(dice.Roll(15, 45));
  rec[record::kDelayWord4] = 0;  // sync off: the time in milliseconds rules
  rec[record::kDelayWord5] = static_cast<uint8_t>(dice.Roll(20, 60));
  rec[record::kDelayWord6] = 0;
  record::WriteWord(rec.data(), record::kDelayTimeWord,
                    static_cast<uint16_t>(dice.Roll(8, 60) * 10));
  record::WriteWord(rec.data(), record::kDelayTimeBWord,
                    static_cast<uint16_t>(dice.Roll(8, 90) * 10));

  SetSlot(rec, 9, family.reverb_model ? family.reverb_model : 1, family.reverb_model != 0,
          {dice.Roll(0, 40), dice.Roll(15, 45), dice.Roll(25, 75), dice.Roll(35, 65)});

  // Off flags follow the enables, position by position.
  for (int position = 0; position < 9; ++position) {
    const size_t slot = record::ModuleSlot(chain[position]);
    rec[record::kChainOff + position] = rec[slot + record::kSlotEnable] ? 0 : 1;
  }
  // CTRL grid: the footswitch toggles the effects around the amplifier.
  const uint8_t switches[9] = {1, 1, 0, 0, 0, 0, 1, 1, 0};
  std::memcpy(rec.data() + record::kModuleSwitch, switches, 9);

  // EXP: a wah preset sweeps the wah; the others ride the delay level and the volume.
  rec[record::kExp1Module] = wah ? 0 : 2;
  rec[record::kExp1Param] = wah ? 0 : 5;
  rec[record::kExp2Module] = 7;
  rec[record::kExp2Param] = 0;
  return rec;
}

void SetName(UserSlot& slot, const char* name) {
  slot.name.fill(0);
  std::memcpy(slot.name.data(), name, std::min(std::strlen(name), kSlotNameSize));
}

// Plausible-looking slot data: a decaying impulse for the IR slots, a smooth curve for
// the amplifier slots. Only its round trip matters to the host.
void FillSlotData(UserSlot& slot, int planes, uint32_t seed) {
  Dice dice(seed);
  for (size_t i = 0; i < kPlaneSize; ++i) {
    const int32_t amplitude = static_cast<int32_t>(8000000.0 / (1.0 + i * 0.05));
    const int32_t sample = (i % 2 ? -1 : 1) * (amplitude / (1 + dice.Roll(0, 3)));
    const uint32_t word = static_cast<uint32_t>(sample);
    for (int p = 0; p < planes; ++p) {
      const int shift = 8 * (planes - 1 - p);
      slot.planes[p * kPlaneSize + i] = static_cast<uint8_t>(word >> shift);
    }
  }
}

constexpr char kStateMagic[8] = {'R', 'Q', '7', 'E', 'M', 'U', '0', '1'};

}  // namespace

void FactoryReset(DeviceState& state) {
  state = DeviceState{};
  for (int i = 0; i < record::kPresetCount; ++i) state.presets[i] = MakeFactoryPreset(i);
  state.current = 0;
  state.working = state.presets[0];
  // System settings: input level, output level, cab sim, tuner reference and the like;
  // byte 7 stays 0 (2 would ask the editor to quit).
  state.system = {9, 12, 1, 0, 0, 1, 0, 0, 40, 1};
  state.tempo = 120;
  SetName(state.ir[0], "GREENBACK 412");
  FillSlotData(state.ir[0], kIrPlanes, 11);
  state.ir[0].present = true;
  SetName(state.ir[3], "ROOM MIC V30");
  FillSlotData(state.ir[3], kIrPlanes, 14);
  state.ir[3].present = true;
  SetName(state.amp[0], "MY PLEXI");
  FillSlotData(state.amp[0], kAmpPlanes, 21);
  state.amp[0].present = true;
}

std::array<uint8_t, kSystemChunkSize> EncodeSystemChunk(const DeviceState& state) {
  std::array<uint8_t, kSystemChunkSize> chunk{};
  std::memcpy(chunk.data(), state.system.data(), kSystemByteCount);
  chunk[10] = static_cast<uint8_t>(state.tempo >> 8);
  chunk[11] = static_cast<uint8_t>(state.tempo & 0xFF);
  chunk[12] = state.exp_low;
  chunk[13] = state.exp_high;
  chunk[14] = state.exp_merge[0];
  chunk[15] = state.exp_merge[1];
  chunk[16] = state.second_confirmation;
  chunk[17] = static_cast<uint8_t>(state.current);
  return chunk;
}

void DecodeSystemChunk(const uint8_t* data, size_t size, DeviceState& state) {
  if (size < 18) return;  // not one of ours: keep the settings
  std::memcpy(state.system.data(), data, kSystemByteCount);
  const uint16_t tempo = static_cast<uint16_t>((data[10] << 8) | data[11]);
  if (tempo >= 40 && tempo <= 260) state.tempo = tempo;
  state.exp_low = data[12];
  state.exp_high = data[13];
  state.exp_merge = {static_cast<uint8_t>(data[14] != 0), static_cast<uint8_t>(data[15] != 0)};
  state.second_confirmation = data[16];
  if (data[17] < record::kPresetCount) state.current = data[17];
}

std::array<uint8_t, kSlotNameSize> SlotListName(const UserSlot& slot) {
  std::array<uint8_t, kSlotNameSize> name{};
  if (slot.present) return slot.name;
  std::memcpy(name.data(), "EMPTY", 5);
  return name;
}

std::string PresetName(const PresetRecord& rec) {
  const char* begin = reinterpret_cast<const char*>(rec.data() + record::kName);
  return std::string(begin, strnlen(begin, record::kNameSize));
}

// State file: magic, then the fields in a fixed order. Sizes are fixed, so a file of any
// other length is not ours.
namespace {

template <typename Visitor>
void VisitState(DeviceState& state, Visitor&& visit) {
  for (auto& preset : state.presets) visit(preset.data(), preset.size());
  visit(state.working.data(), state.working.size());
  visit(state.system.data(), state.system.size());
  visit(&state.exp_low, 1);
  visit(&state.exp_high, 1);
  visit(state.exp_merge.data(), 2);
  visit(&state.second_confirmation, 1);
  for (auto* slots : {&state.ir, &state.amp}) {
    for (UserSlot& slot : *slots) {
      uint8_t present = slot.present ? 1 : 0;
      visit(&present, 1);
      slot.present = present != 0;
      visit(slot.name.data(), slot.name.size());
      visit(slot.planes.data(), slot.planes.size());
    }
  }
}

}  // namespace

bool SaveStateFile(const std::string& path, const DeviceState& state, std::string* error) {
  std::string bytes(kStateMagic, sizeof(kStateMagic));
  DeviceState copy = state;
  const uint8_t header[4] = {static_cast<uint8_t>(copy.current),
                             static_cast<uint8_t>(copy.tempo >> 8),
                             static_cast<uint8_t>(copy.tempo & 0xFF), 0};
  bytes.append(reinterpret_cast<const char*>(header), 4);
  VisitState(copy, [&](uint8_t* data, size_t size) {
    bytes.append(reinterpret_cast<const char*>(data), size);
  });
  const std::string temporary = path + ".tmp";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
      if (error) *error = "cannot write " + temporary;
      return false;
    }
  }
  std::error_code code;
  std::filesystem::rename(temporary, path, code);
  if (code) {
    if (error) *error = "cannot replace " + path + ": " + code.message();
    return false;
  }
  return true;
}

bool LoadStateFile(const std::string& path, DeviceState& state, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (error) *error = "cannot open " + path;
    return false;
  }
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  DeviceState loaded;
  size_t expected = sizeof(kStateMagic) + 4;
  VisitState(loaded, [&](uint8_t*, size_t size) { expected += size; });
  if (bytes.size() != expected ||
      bytes.compare(0, sizeof(kStateMagic), std::string(kStateMagic, sizeof(kStateMagic))) != 0) {
    if (error) *error = path + " is not a state file of this emulator";
    return false;
  }
  size_t at = sizeof(kStateMagic);
  const uint8_t* raw = reinterpret_cast<const uint8_t*>(bytes.data());
  loaded.current = raw[at] < record::kPresetCount ? raw[at] : 0;
  const uint16_t tempo = static_cast<uint16_t>((raw[at + 1] << 8) | raw[at + 2]);
  loaded.tempo = tempo >= 40 && tempo <= 260 ? tempo : 120;
  at += 4;
  VisitState(loaded, [&](uint8_t* data, size_t size) {
    std::memcpy(data, raw + at, size);
    at += size;
  });
  state = loaded;
  return true;
}

}  // namespace rq700::emu
