#include "editor/exp_page_input.h"

#include "editor/item_ids.h"
#include "editor/page_input.h"
#include "editor/slider_input.h"
#include "editor/value_entry_input.h"
#include "skin/view_layout.h"

namespace rq700 {
namespace {

namespace L = layout;

constexpr int kSettings = 56;  // the settings button's id, and the sub-item while they are open
constexpr int kLowSlider = 14;
constexpr int kHighSlider = 15;
constexpr int kLowBar = 210;   // value box 211
constexpr int kHighBar = 212;  // value box 213
constexpr int kFirstModuleRect = 47;
constexpr int kFirstModuleId = 57;
constexpr int kFirstChoiceId = 66;
// Shown EXP tab: none, and the settings.
constexpr uint8_t kNoTab = 0;
constexpr uint8_t kSettingsTab = 3;

enum class Act {
  kNothing,
  kLow,
  kHigh,
  kBox,
  kSwitch,
  kSettingsOk,
  kTab,
  kOpenSettings,
  kClose,
  kModule,
  kChoice
};

struct Target {
  int id = 0;
  Act act = Act::kNothing;
  int value = 0;
};

bool In(int rect, int x, int y) { return L::kHitRects[rect].Contains(x, y); }

// The module the shown tab edits, 0 for none.
int TabModule(const DeviceState& d) {
  switch (d.exp_tab.load(std::memory_order_relaxed)) {
    case 1:
      return d.exp1_module.Get();
    case 2:
      return d.exp2_module.Get();
    default:
      return 0;
  }
}

Target SettingsTargetAt(const DeviceState& d, int x, int y) {
  // The two values take presses only while the settings are switched on.
  if (d.exp_switch.Get() == 1) {
    for (const int s : {kLowSlider, kHighSlider}) {
      const L::Rect& bar = L::kSliderBars[s];
      const int id = s == kLowSlider ? kLowBar : kHighBar;
      if (bar.Contains(x, y)) return {id, s == kLowSlider ? Act::kLow : Act::kHigh};
      if (L::ValueBox(bar).Contains(x, y)) return {id + 1, Act::kBox};
    }
  }
  if (In(44, x, y)) return {54, Act::kSwitch, 1};
  if (In(45, x, y)) return {55, Act::kSwitch, 0};
  if (In(91, x, y)) return {214, Act::kSettingsOk};
  return {};
}

Target PageTargetAt(const DeviceState& d, int x, int y) {
  if (In(34, x, y)) return {51, Act::kTab, 1};
  if (In(35, x, y)) return {52, Act::kTab, 2};
  if (In(90, x, y)) return {kSettings, Act::kOpenSettings};
  if (In(33, x, y)) return {53, Act::kClose};
  for (int m = 1; m <= kModuleTypes; ++m) {
    if (In(kFirstModuleRect + m - 1, x, y)) return {kFirstModuleId + m - 1, Act::kModule, m};
  }
  const int m = TabModule(d);
  if (m >= 1 && m <= kModuleTypes) {
    // Only as many choices as the module has parameters: CAB has two.
    for (int i = 0; i < L::kExpChoices[m].count; ++i) {
      if (L::ExpChoiceRect(i).Contains(x, y)) return {kFirstChoiceId + i, Act::kChoice, i};
    }
  }
  return {};
}

Target TargetAt(const DeviceState& d, int x, int y) {
  return d.active_sub_item.Get() == kSettings ? SettingsTargetAt(d, x, y) : PageTargetAt(d, x, y);
}

int LowAt(const DeviceState& d, int x) {
  return SliderValue(L::kSliderBars[kLowSlider], x, 0, d.exp_high.Get());
}
int HighAt(int x) { return SliderValue(L::kSliderBars[kHighSlider], x, 0, 100); }

void FlipChangeMarker(DeviceState& d) { d.exp_change_marker.Set(d.exp_change_marker.Get() ^ 1); }

}  // namespace

void PressExpPage(InputContext& c, int x, int y) {
  DeviceState& d = c.device;
  const bool settings = d.active_sub_item.Get() == kSettings;
  const Target t = TargetAt(d, x, y);
  c.view.pressed_item = t.id;
  const int tab = d.exp_tab.load(std::memory_order_relaxed);
  switch (t.act) {
    case Act::kLow:
      d.exp_low.Set(static_cast<uint8_t>(LowAt(d, x)));
      break;
    case Act::kHigh:
      d.exp_high.Set(static_cast<uint8_t>(HighAt(x)));
      break;
    case Act::kBox:
      break;
    case Act::kSwitch:
      d.exp_switch.Set(static_cast<uint8_t>(t.value));
      break;
    case Act::kSettingsOk:
      d.exp_settings_marker.store(0);
      c.shell.HideValueEntry();
      d.shown_exp_tab.Set(kNoTab);
      ResendPage(d);
      d.active_sub_item.Set(item::kNone);
      break;
    case Act::kTab:
      d.exp_tab.store(static_cast<uint8_t>(t.value));
      d.shown_exp_tab.Set(static_cast<uint8_t>(t.value));
      break;
    case Act::kOpenSettings:
      d.exp_settings_marker.store(1);
      d.shown_exp_tab.Set(kSettingsTab);
      break;
    case Act::kClose:
      d.shown_exp_tab.Set(kNoTab);
      ResendPage(d);
      c.set_active_item(item::kDismissed);
      break;
    case Act::kModule:
      if (tab != 1 && tab != 2) break;
      (tab == 1 ? d.exp1_module : d.exp2_module).Set(static_cast<uint8_t>(t.value));
      FlipChangeMarker(d);
      break;
    case Act::kChoice:
      if (auto* entry = ExpParamEntry(tab == 1 ? d.exp1_param : d.exp2_param, TabModule(d))) {
        entry->Set(static_cast<uint8_t>(t.value));
        FlipChangeMarker(d);
      }
      break;
    case Act::kNothing:
      break;
  }
  if (!settings) {
    FollowPressWithSubItem(c);
  } else if (t.act == Act::kBox) {
    MoveValueEntry(c, t.id);
  } else if (t.act != Act::kSettingsOk) {
    // The box would apply to whatever was pressed last: it goes with any other press.
    c.shell.HideValueEntry();
  }
}

void HoverExpPage(InputContext& c, int x, int y) {
  if (const int id = TargetAt(c.device, x, y).id) c.view.hover_item = id;
}

void DragExpPage(InputContext& c, int x) {
  DeviceState& d = c.device;
  if (c.view.pressed_item == kLowBar) d.exp_low.Set(static_cast<uint8_t>(LowAt(d, x)));
  if (c.view.pressed_item == kHighBar) d.exp_high.Set(static_cast<uint8_t>(HighAt(x)));
  if (c.view.pressed_item == kLowBar || c.view.pressed_item == kHighBar)
    c.view.hover_item = c.view.pressed_item;
}

}  // namespace rq700
