#include "catalog/labels.h"

#include <span>

#include "catalog/modules.h"

namespace rq700::catalog {

namespace {

constexpr std::string_view kMicrophones[] = {"SM57",  "U47",     "U87",     "NT1",   "MD421",
                                             "MD441", "MXL2001", "MXL2003", "C3000", "C4000B"};
constexpr std::string_view kPowerTubes[] = {"OFF", "EL34", "EL84", "6L6", "6V6"};
constexpr std::string_view kSyncNotes[] = {"OFF",  "1/4",  "1/4T", "1/4D",  "1/8",
                                           "1/8T", "1/8D", "1/16", "1/16T", "1/16D"};

constexpr std::string_view kExpFxComp[] = {"*POSITION*", "Q",    "RATE", "ATTACK", "RANGE",
                                           "SENS",       "THRE", "PEAK", "RATIO",  "LEVEL"};
constexpr std::string_view kExpDsOd[] = {"VOLUME", "TONE", "GAIN"};
constexpr std::string_view kExpAmp[] = {"GAIN", "BASS", "MID", "TREBLE", "PRES", "MST"};
constexpr std::string_view kExpCab[] = {"CENTER", "DISTANCE"};
constexpr std::string_view kExpNs[] = {"THRES", "SENS", "ATTACK", "RELEASE"};
constexpr std::string_view kExpEq[] = {"100HZ", "80HZ",  "250HZ",  "240HZ",  "200HZ",
                                       "630HZ", "750HZ", "400HZ",  "1.6KHZ", "2.2KHZ",
                                       "800HZ", "4KHZ",  "6.6KHZ", "3.2KHZ"};
constexpr std::string_view kExpMod[] = {"RATE",  "PITCH",    "RISE", "SAMPLE", "MIX",   "DEPTH",
                                        "LEVEL", "FEEDBACK", "TONE", "Q",      "RANGE", "BIT"};
constexpr std::string_view kExpDelay[] = {"LEVEL", "F.BACK", "TIME", "TIME A", "THRE", "TIME B"};
constexpr std::string_view kExpReverb[] = {"PRE DELAY", "LEVEL", "DECAY", "TONE"};

constexpr std::span<const std::string_view> kExpTables[kModuleCount] = {
    kExpFxComp, kExpDsOd, kExpAmp, kExpCab, kExpNs, kExpEq, kExpMod, kExpDelay, kExpReverb};

std::string_view At(std::span<const std::string_view> table, int index) {
  if (index < 0 || static_cast<size_t>(index) >= table.size()) return {};
  return table[index];
}

}  // namespace

std::string_view MicrophoneName(int index) { return At(kMicrophones, index); }
std::string_view PowerTubeName(int index) { return At(kPowerTubes, index); }
std::string_view SyncNoteName(int index) { return At(kSyncNotes, index); }

int ExpLabelCount(int module) {
  return IsModule(module) ? static_cast<int>(kExpTables[module - 1].size()) : 0;
}

std::string_view ExpLabel(int module, int param) {
  if (!IsModule(module)) return {};
  return At(kExpTables[module - 1], param);
}

ExpTargetLines ExpTargetText(int pedal, bool merge, int module, int param) {
  ExpTargetLines lines;
  const std::string_view prefix = pedal == 2 ? "EXP2" : "EXP";
  if (merge) {
    lines.shown = true;
    lines.first = std::string(prefix) + ": MERGE";
    lines.second = "----";
    return lines;
  }
  if (!IsModule(module)) return lines;
  lines.shown = true;
  lines.first = std::string(prefix) + ":" + std::string(ModuleName(module));
  // A parameter number beyond the module's table leaves the second line blank.
  lines.second = std::string(ExpLabel(module, param));
  return lines;
}

}  // namespace rq700::catalog
