#ifndef RQ700_CATALOG_PANEL_LAYOUT_H_
#define RQ700_CATALOG_PANEL_LAYOUT_H_

#include <array>
#include <string>

// What a module panel holds for each model: which stored values, over which range, how
// each is printed, and where on the view each one sits (its slider bar or list field and
// item id). The one table of module panels: the view painter draws from it, the input
// handlers hit-test with it, the skin generator labels its cards by it and the command
// line prints presets with it. The slider labels themselves are part of the panel images.
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

// Panel slider bars are numbers of the view's slider table; list fields are numbers of
// its hit rectangles.
inline constexpr int kNoPlace = -1;

struct PanelControl {
  Source source;
  int index;
  ValueKind kind;
  int min;          // range of the stored value the slider or list covers; a slider's scale is
  int max;          // max - min
  int offset;       // printed value is stored-offset (tenths and CUSTOM EQ gains)
  int display_max;  // a stored value above this is drawn as this (MOD P1 of most models: 100)
  int slider = kNoPlace;      // slider bar of a slider; its value box is item id + 1
  int field_rect = kNoPlace;  // hit rectangle of a list field, which opens list `id`
  int id = 0;                 // item id: the slider's bar, or the list field
};

inline constexpr int kMaxPanelControls = 8;

struct PanelLayout {
  int count = 0;
  std::array<PanelControl, kMaxPanelControls> controls{};
  bool microphone_blanked = false;  // CAB user slots: no microphone, CENTER or DISTANCE
};

// Layout for module 1..9 and model 1..ModelCount(module); empty (count 0) otherwise.
PanelLayout GetPanelLayout(int module, int model);

// The stored value at the left end of a slider's bar; the bar spans max - min from there.
// That is the bottom of the range, except for the band frequencies of the custom EQ, whose
// bars start at 0 Hz (60 and 18000 Hz lie just past their ends).
int SliderBase(const PanelControl& control);

// The stored value as the slider would draw it: clamped into the drawn range.
int DisplayValue(const PanelControl& control, int stored);
// The text the panel prints for a stored value (list entries print their name).
std::string FormatControlValue(const PanelControl& control, int stored);

}  // namespace rq700::catalog

#endif  // RQ700_CATALOG_PANEL_LAYOUT_H_
