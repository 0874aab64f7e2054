#ifndef RQ700_CATALOG_PANEL_LAYOUT_H_
#define RQ700_CATALOG_PANEL_LAYOUT_H_

#include <array>
#include <string>

// What a module panel shows for each model: which stored values, over which range, and how
// each is printed. The slider labels themselves are part of the panel images.
namespace rq700::catalog {

// Where a control's value is stored in the module's edit-model fields.
enum class Source {
  kParamByte,   // parameter byte `index` (1-based) of the module
  kModuleWord,  // EQ word 1..3, MOD word 1, DELAY word 1..6 (`index`, 1-based)
  kDelayTimeB,  // the model-9 delay word 5 (TIME B)
};

enum class ValueKind {
  kPlain,         // "%d"
  kEqGainDb,      // "+12dB", "0dB", "-12dB"
  kCustomEqGain,  // value-12
  kFrequency,     // hertz, raised to 60 before drawing
  kTenths,        // (value-offset) in tenths
  kDelayTime,     // ms, clamped to 40..2500 before drawing
  kMicrophone,    // list of 10
  kPowerTube,     // list of 5
  kSyncNote,      // list of 10
};

struct PanelControl {
  Source source;
  int index;
  ValueKind kind;
  int min;  // range of the stored value the slider or list covers
  int max;
  int offset;       // printed value is stored-offset (tenths and CUSTOM EQ gains)
  int display_max;  // a stored value above this is drawn as this (MOD P1 of most models: 100)
};

inline constexpr int kMaxPanelControls = 8;

struct PanelLayout {
  int count = 0;
  std::array<PanelControl, kMaxPanelControls> controls{};
  bool microphone_blanked = false;  // CAB user slots: no microphone, CENTER or DISTANCE
};

// Layout for module 1..9 and model 1..ModelCount(module); empty (count 0) otherwise.
PanelLayout GetPanelLayout(int module, int model);

// The stored value as the slider would draw it: clamped into the drawn range.
int DisplayValue(const PanelControl& control, int stored);
// The text the panel prints for a stored value (list entries print their name).
std::string FormatControlValue(const PanelControl& control, int stored);

}  // namespace rq700::catalog

#endif  // RQ700_CATALOG_PANEL_LAYOUT_H_
