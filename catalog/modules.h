#ifndef RQ700_CATALOG_MODULES_H_
#define RQ700_CATALOG_MODULES_H_

#include <string_view>

// The nine effect modules of a preset's chain, numbered 1 to 9 in chain-table order.
namespace rq700::catalog {

inline constexpr int kModuleCount = 9;

enum Module : int {
  kFxComp = 1,
  kDsOd = 2,
  kAmp = 3,
  kCab = 4,
  kNs = 5,
  kEq = 6,
  kMod = 7,
  kDelay = 8,
  kReverb = 9,
};

inline constexpr bool IsModule(int module) { return module >= 1 && module <= kModuleCount; }

// Display name of module 1..9 ("FX/COMP" ... "REVERB"); empty outside that range.
std::string_view ModuleName(int module);

}  // namespace rq700::catalog

#endif  // RQ700_CATALOG_MODULES_H_
