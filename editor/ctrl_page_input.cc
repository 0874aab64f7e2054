#include "editor/ctrl_page_input.h"

#include <algorithm>

#include "editor/item_ids.h"
#include "skin/view_layout.h"

namespace rq700 {
namespace {

namespace L = layout;

// Tab marker values: the tempo tab, the switch tab, and the switch tab after a toggle.
constexpr uint8_t kTempoTab = 0;
constexpr uint8_t kSwitchTab = 1;
constexpr uint8_t kSwitchToggled = 2;
constexpr int kTempoMin = 40;
constexpr int kTempoMax = 260;
// Tempo up and tempo down are hover items only.
constexpr int kTempoUpHover = 200;
constexpr int kTempoDownHover = 201;
constexpr int kFirstGridRect = 22;
constexpr int kFirstGridId = 41;

enum class Act { kNothing, kTab, kTap, kTempoStep, kToggle, kClose };

struct Target {
  int id = 0;     // pressed item
  int hover = 0;  // hover item
  Act act = Act::kNothing;
  int value = 0;  // tab marker, tempo step or grid position
};

bool In(int rect, int x, int y) { return L::kHitRects[rect].Contains(x, y); }

Target TargetAt(const DeviceState& d, int x, int y) {
  if (In(42, x, y)) return {39, 39, Act::kTab, kSwitchTab};
  if (In(43, x, y)) return {40, 40, Act::kTab, kTempoTab};
  if (d.tab_marker.load(std::memory_order_relaxed) == kTempoTab) {
    if (In(81, x, y)) return {0, 0, Act::kTap};
    if (In(82, x, y)) return {0, kTempoUpHover, Act::kTempoStep, +1};
    if (In(83, x, y)) return {0, kTempoDownHover, Act::kTempoStep, -1};
  } else {
    for (int k = 0; k < kModuleTypes; ++k) {
      const int id = kFirstGridId + k;
      if (In(kFirstGridRect + k, x, y)) return {id, id, Act::kToggle, k};
    }
  }
  if (In(31, x, y)) return {50, 50, Act::kClose};
  return {};
}

}  // namespace

void PressCtrlPage(InputContext& c, int x, int y) {
  DeviceState& d = c.device;
  const Target t = TargetAt(d, x, y);
  c.view.pressed_item = t.id;
  switch (t.act) {
    case Act::kTab:
      d.tab_marker.store(static_cast<uint8_t>(t.value));
      break;
    case Act::kTap:
      TapTempo(d, c.view, c.clock);
      break;
    case Act::kTempoStep:
      d.tempo.Set(std::clamp(d.tempo.Get() + t.value, kTempoMin, kTempoMax));
      break;
    case Act::kToggle: {
      Tracked<uint8_t>& flag = d.module_switch[t.value + 1];
      flag.Set(flag.Get() != 0 ? 0 : 1);
      d.tab_marker.store(kSwitchToggled);
      break;
    }
    case Act::kClose:
      c.view.tap_key_held = 0;
      c.set_active_item(item::kDismissed);
      break;
    case Act::kNothing:
      break;
  }
}

void HoverCtrlPage(InputContext& c, int x, int y) {
  if (const int id = TargetAt(c.device, x, y).hover) c.view.hover_item = id;
}

}  // namespace rq700
