#include "catalog/models.h"

#include "catalog/modules.h"

namespace rq700::catalog {

namespace {

constexpr std::string_view kFxCompModels[] = {"CRY WAH",     "535 WAH",     "AUTO WAH",
                                              "TALK WAH AH", "TALK WAH OH", "TOUCH WAH",
                                              "YELLOW COMP", "BLUE COMP"};

constexpr std::string_view kDsOdModels[] = {
    "TUBE DR",    "808",      "PURE BOOST", "FLEX BOOST",     "DDRIVE",   "BLACKRAT", "GREY FAZE",
    "MUFFY",      "MTL ZONE", "MTL MASTER", "OBSESSIVE DIST", "JIMMY OD", "FULL DRV", "SHRED",
    "BEEBEE PRE", "BEEBEE +", "RIET",       "TIGHT DS",       "FULL DS",  "GOLD CLON"};

constexpr std::string_view kAmpModels[] = {
    "65 US DX",    "65 US TW",     "59 US BASS",    "US SONIC",       "US BLUES CL",
    "US BLUES OD", "J800",         "J900",          "PLX100",         "E650 CL",
    "E650 DS",     "POWERBELL CL", "POWERBELL DS",  "BLACKNIGHT CL",  "BLACKNIGHT DS",
    "MARKIII CL",  "MARKIII DS",   "MARKV CL",      "MARKV DS",       "TRI REC CL",
    "TRI REC DS",  "ROCK VE B CL", "ROCK VE B DS",  "CITRUS 30",      "CITRUS 50",
    "SLOW 100 CR", "SLOW 100 DS",  "DE.ZEE 18 JR",  "DE.ZEE RECK",    "JET 100H CL",
    "JET 100H OD", "JAZZ 120",     "UK30 CL",       "UK30 OD",        "HWT 103",
    "PV 5050 CL",  "PV 5050 DS",   "REGAL TONE CL", "REGAL TONE OD1", "REGAL TONE OD2",
    "CAROL CL",    "CAROL OD",     "CARDEFF",       "EV 5150 CL",     "EV 5050 DS",
    "HT CLUB CL",  "HT CLUB DS",   "HUGEN CL",      "HUGEN OD",       "HUGEN DS",
    "KOCHE OD",    "KOCHE DS",     "ACOUSTIC 1",    "ACOUSTIC 2",     "ACOUSTIC 3"};

constexpr std::string_view kCabModels[] = {
    "US DLX 112",     "US TWN 212",  "US BASS 410", "SONIC 112",   "BLUES 112",
    "1960 412",       "EAGLE P412",  "EAGLE S412",  "MARK 112",    "REC 412",
    "CITRUS 412",     "CITRUS 212",  "SLOW 412",    "DR.ZEE 112",  "DR.ZEE 212",
    "JAZZ 212",       "UK 212",      "HWT 412",     "PV 5150 412", "REGAL TONE 110",
    "TWO STONES 212", "CARDEFF 112", "EV 5050 412", "HT 412",      "GAS STATION 412",
    "ACOUSTIC112"};

constexpr std::string_view kNsModels[] = {"NOISE KILLER", "INTEL REDUCER", "NOISE GATE"};

constexpr std::string_view kEqModels[] = {"ZORVA G", "ZORVA HM", "ZORVA G-6", "CUSTOM EQ"};

constexpr std::string_view kModModels[] = {
    "PHASER",   "STEP PHASER", "FAT PHASER", "FLANGER",   "JET-FLANGER", "TREMOLO",    "STUTTER",
    "VIBRATO",  "PITCH SHIFT", "DETUNE",     "ROTARY",    "ANA-CHORUS",  "TRI-CHORUS", "RING MOD",
    "Q-FILTER", "HIGH PASS",   "LOW PASS",   "SLOW GEAR", "LOFI",        "MONO PITCH"};

constexpr std::string_view kDelayModels[] = {"DIGITAL", "ANALOG",   "REAL",    "TAPE",    "MOD",
                                             "REVERSE", "PINGPONG", "DYNAMIC", "TWO-HEAD"};

constexpr std::string_view kReverbModels[] = {"ROOM",   "HALL", "CHURCH", "PLATE",
                                              "SPRING", "MOD",  "CAVE"};

struct Table {
  const std::string_view* names;
  int fixed;  // entries with a fixed name
  int total;  // fixed entries plus user slots
};

template <size_t N>
constexpr Table Fixed(const std::string_view (&names)[N], int user = 0) {
  return {names, static_cast<int>(N), static_cast<int>(N) + user};
}

constexpr Table kTables[kModuleCount] = {Fixed(kFxCompModels),
                                         Fixed(kDsOdModels),
                                         Fixed(kAmpModels, kUserSlotCount),
                                         Fixed(kCabModels, kUserSlotCount),
                                         Fixed(kNsModels),
                                         Fixed(kEqModels),
                                         Fixed(kModModels),
                                         Fixed(kDelayModels),
                                         Fixed(kReverbModels)};

static_assert(sizeof(kAmpModels) / sizeof(kAmpModels[0]) == kBuiltInAmpCount);
static_assert(sizeof(kCabModels) / sizeof(kCabModels[0]) == kBuiltInCabCount);
static_assert(kBuiltInAmpCount + 1 == kFirstUserAmpModel);
static_assert(kBuiltInCabCount + 1 == kFirstUserIrModel);

bool ValidSlot(int slot) { return slot >= 1 && slot <= kUserSlotCount; }

}  // namespace

int ModelCount(int module) { return IsModule(module) ? kTables[module - 1].total : 0; }

std::string_view FixedModelName(int module, int model) {
  if (!IsModule(module)) return {};
  const Table& t = kTables[module - 1];
  if (model < 1 || model > t.fixed) return {};
  return t.names[model - 1];
}

std::string DeviceNameToUtf8(const uint8_t* bytes, size_t max_len) {
  std::string out;
  for (size_t i = 0; i < max_len && bytes[i] != 0; ++i) {
    uint8_t c = bytes[i];
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

UserSlotNames::UserSlotNames() {
  for (int i = 0; i < kUserSlotCount; ++i) {
    amp_[i] = "EMPTY";
    ir_[i] = "IR-" + std::to_string(i + 1);
  }
}

std::string UserSlotNames::AmpName(int slot) const {
  if (!ValidSlot(slot)) return {};
  std::lock_guard<std::mutex> lock(mutex_);
  return amp_[slot - 1];
}

std::string UserSlotNames::IrName(int slot) const {
  if (!ValidSlot(slot)) return {};
  std::lock_guard<std::mutex> lock(mutex_);
  return ir_[slot - 1];
}

void UserSlotNames::SetAmpName(int slot, std::string_view utf8_name) {
  if (!ValidSlot(slot)) return;
  std::string name(utf8_name);
  std::lock_guard<std::mutex> lock(mutex_);
  amp_[slot - 1].swap(name);
}

void UserSlotNames::SetIrName(int slot, std::string_view utf8_name) {
  if (!ValidSlot(slot)) return;
  std::string name(utf8_name);
  std::lock_guard<std::mutex> lock(mutex_);
  ir_[slot - 1].swap(name);
}

namespace {
std::array<std::string, kUserSlotCount> NamesFromBlock(const uint8_t* block) {
  std::array<std::string, kUserSlotCount> names;
  for (int i = 0; i < kUserSlotCount; ++i) {
    names[i] = DeviceNameToUtf8(block + i * kSlotNameSize, kSlotNameSize);
  }
  return names;
}
}  // namespace

void UserSlotNames::SetAmpNamesFromBlock(const uint8_t* block) {
  auto names = NamesFromBlock(block);
  std::lock_guard<std::mutex> lock(mutex_);
  amp_.swap(names);
}

void UserSlotNames::SetIrNamesFromBlock(const uint8_t* block) {
  auto names = NamesFromBlock(block);
  std::lock_guard<std::mutex> lock(mutex_);
  ir_.swap(names);
}

std::string UserSlotNames::ModelName(int module, int model) const {
  if (module == kAmp && model >= kFirstUserAmpModel && model < kFirstUserAmpModel + kUserSlotCount)
    return AmpName(model - kFirstUserAmpModel + 1);
  if (module == kCab && model >= kFirstUserIrModel && model < kFirstUserIrModel + kUserSlotCount)
    return IrName(model - kFirstUserIrModel + 1);
  return std::string(FixedModelName(module, model));
}

}  // namespace rq700::catalog
