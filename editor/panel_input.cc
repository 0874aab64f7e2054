#include "editor/panel_input.h"

#include "catalog/models.h"
#include "editor/slider_input.h"
#include "skin/view_layout.h"

namespace rq700 {
namespace {

namespace L = layout;

catalog::PanelLayout LayoutOf(const DeviceState& d, int type) {
  if (type < 1 || type > kModuleTypes) return {};
  return catalog::GetPanelLayout(type, d.module[type].model.Get());
}

bool IsSlider(const catalog::PanelControl& control) { return control.slider != catalog::kNoPlace; }

// What lies under (x, y): a list field, a slider's bar or its value box (bar id + 1).
struct Hit {
  int id = 0;
  const catalog::PanelControl* bar = nullptr;  // set for a press on a bar itself
};

// The list fields are tested first, then the sliders, each bar before its value box.
Hit PanelItemAt(const catalog::PanelLayout& layout, int x, int y) {
  for (int i = 0; i < layout.count; ++i) {
    const catalog::PanelControl& control = layout.controls[i];
    if (control.field_rect != catalog::kNoPlace && L::kHitRects[control.field_rect].Contains(x, y))
      return {control.id};
  }
  for (int i = 0; i < layout.count; ++i) {
    const catalog::PanelControl& control = layout.controls[i];
    if (!IsSlider(control)) continue;
    const L::Rect& bar = L::kSliderBars[control.slider];
    if (bar.Contains(x, y)) return {control.id, &control};
    if (L::ValueBox(bar).Contains(x, y)) return {control.id + 1};
  }
  return {};
}

// The value of a panel slider at x, kept within the control's range. The band frequencies
// of the custom EQ run from 0 Hz at the bar's left end to 17940 Hz at its right end and
// reach 60 and 18000 Hz past the ends; the device takes nothing below 60 Hz, so the very
// left end gives 60 too.
int PanelSliderValue(const catalog::PanelControl& control, int x) {
  const L::Rect& bar = L::kSliderBars[control.slider];
  return SliderValue(bar, x, catalog::SliderBase(control), control.max - control.min, control.min,
                     control.max);
}

}  // namespace

void PressPanel(InputContext& c, int type, int x, int y) {
  const catalog::PanelLayout layout = LayoutOf(c.device, type);
  const Hit hit = PanelItemAt(layout, x, y);
  if (hit.id == 0) return;
  c.view.pressed_item = hit.id;
  if (hit.bar != nullptr) SetPanelValue(c.device, type, *hit.bar, PanelSliderValue(*hit.bar, x));
}

void HoverPanel(InputContext& c, int type, int x, int y) {
  if (const int id = PanelItemAt(LayoutOf(c.device, type), x, y).id) c.view.hover_item = id;
}

void DragPanel(InputContext& c, int x) {
  const int type = c.device.selected_module.Get();
  const catalog::PanelLayout layout = LayoutOf(c.device, type);
  for (int i = 0; i < layout.count; ++i) {
    const catalog::PanelControl& control = layout.controls[i];
    if (!IsSlider(control) || control.id != c.view.pressed_item) continue;
    c.view.hover_item = control.id;
    SetPanelValue(c.device, type, control, PanelSliderValue(control, x));
    return;
  }
}

std::optional<PanelSlider> FindPanelSlider(int bar_id) {
  for (int type = 1; type <= kModuleTypes; ++type) {
    for (int model = 1; model <= catalog::ModelCount(type); ++model) {
      const catalog::PanelLayout layout = catalog::GetPanelLayout(type, model);
      for (int i = 0; i < layout.count; ++i) {
        if (IsSlider(layout.controls[i]) && layout.controls[i].id == bar_id)
          return PanelSlider{type, layout.controls[i]};
      }
    }
  }
  return std::nullopt;
}

void SetPanelValue(DeviceState& d, int type, const catalog::PanelControl& control, int value) {
  if (type < 1 || type > kModuleTypes) return;
  const int i = control.index;
  switch (control.source) {
    case catalog::Source::kParamByte:
      if (i >= 1 && i <= kModuleParamCount[type])
        d.module[type].param[i - 1].Set(static_cast<uint8_t>(value));
      return;
    case catalog::Source::kDelayTimeB:
      d.delay_time_b.Set(static_cast<uint16_t>(value));
      return;
    case catalog::Source::kModuleWord:
      break;
  }
  const auto word = static_cast<uint16_t>(value);
  if (type == kEq && i >= 1 && i <= 3) d.eq_word[i - 1].Set(word);
  if (type == kMod && i == 1) d.mod_word.Set(word);
  if (type == kDelay && i >= 1 && i <= 6) d.delay_word[i].Set(word);
}

}  // namespace rq700
