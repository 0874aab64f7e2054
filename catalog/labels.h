#ifndef RQ700_CATALOG_LABELS_H_
#define RQ700_CATALOG_LABELS_H_

#include <string>
#include <string_view>

// Sub-selector choices (indexed from 0, the stored value is the index) and the parameter
// labels shown for an expression-pedal target.
namespace rq700::catalog {

inline constexpr int kMicrophoneCount = 10;
inline constexpr int kPowerTubeCount = 5;
inline constexpr int kSyncNoteCount = 10;

// Each returns an empty view for an index outside its table.
std::string_view MicrophoneName(int index);
std::string_view PowerTubeName(int index);
std::string_view SyncNoteName(int index);

// Number of EXP parameter labels of module 1..9 (0 outside).
int ExpLabelCount(int module);
// Label of EXP parameter number `param` (from 0) of module 1..9; empty outside the table.
std::string_view ExpLabel(int module, int param);

// The two lines shown for one pedal (pedal 1 is "EXP", pedal 2 "EXP2").
struct ExpTargetLines {
  bool shown = false;  // false: draw neither line
  std::string first;
  std::string second;
};
// merge: the pedal's merge flag; module: its assigned module number; param: the EXP target
// parameter number of that module.
ExpTargetLines ExpTargetText(int pedal, bool merge, int module, int param);

}  // namespace rq700::catalog

#endif  // RQ700_CATALOG_LABELS_H_
