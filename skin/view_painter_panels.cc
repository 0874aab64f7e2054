// The module panel of the selected module: model name, illustration, and the controls of
// the catalog's panel layout (sliders with their value texts, the list fields of CAB and
// DELAY).

#include <algorithm>
#include <string>

#include "catalog/labels.h"
#include "catalog/models.h"
#include "catalog/panel_layout.h"
#include "catalog/value_format.h"
#include "skin/view_layout.h"
#include "skin/view_painter.h"

namespace rq700 {

namespace L = layout;

namespace {

int StoredValue(const DeviceState& d, int type, const catalog::PanelControl& c) {
  switch (c.source) {
    case catalog::Source::kParamByte:
      return c.index >= 1 && c.index <= kMaxModuleParams ? d.module[type].param[c.index - 1].Get()
                                                         : 0;
    case catalog::Source::kDelayTimeB:
      return d.delay_time_b.Get();
    case catalog::Source::kModuleWord:
      break;
  }
  switch (type) {
    case L::kEq:
      return c.index >= 1 && c.index <= 3 ? d.eq_word[c.index - 1].Get() : 0;
    case L::kMod:
      return d.mod_word.Get();
    case L::kDelay:
      return c.index >= 1 && c.index <= 6 ? d.delay_word[c.index].Get() : 0;
    default:
      return 0;
  }
}

}  // namespace

std::string ModelDisplayName(const DeviceState& d, int type, int model) {
  if (type == L::kAmp && model >= catalog::kFirstUserAmpModel &&
      model < catalog::kFirstUserAmpModel + catalog::kUserSlotCount) {
    const int slot = model - catalog::kFirstUserAmpModel;
    std::string name = UserAmpName(d, slot);
    return name.empty() ? "EMPTY" : name;
  }
  if (type == L::kCab && model >= catalog::kFirstUserIrModel &&
      model < catalog::kFirstUserIrModel + catalog::kUserSlotCount) {
    const int slot = model - catalog::kFirstUserIrModel;
    std::string name = UserIrName(d, slot);
    return name.empty() ? "IR-" + std::to_string(slot + 1) : name;
  }
  return std::string(catalog::FixedModelName(type, model));
}

void EditorViewPainter::PaintModulePanel(Canvas& c) {
  const int type = device_.selected_module.Get();
  if (type < 1 || type > 9) return;
  const int model = device_.module[type].model.Get();
  if (model >= 1 && model <= catalog::ModelCount(type))
    c.DrawText(7, 528, 187, ModelDisplayName(device_, type, model));
  const L::Illustration art = L::IllustrationFor(type, model);
  if (art.image) c.DrawImage(art.image, art.x, art.y);

  const catalog::PanelLayout layout = catalog::GetPanelLayout(type, model);
  // The card's microphone and CENTER/DISTANCE rows go blank for a user cabinet, which has
  // none of them.
  if (layout.microphone_blanked) c.FillRect(338, 288, 709, 415, view_colour::kPanelGrey);
  for (int i = 0; i < layout.count; ++i) {
    const catalog::PanelControl& control = layout.controls[i];
    const int stored = StoredValue(device_, type, control);
    if (control.field_rect != catalog::kNoPlace) {
      // A list field: its current choice's name on it; the two-head delay's fields sit in
      // the right column.
      const L::Rect& field = L::kHitRects[control.field_rect];
      PaintField(c, control.field_rect, control.id);
      c.DrawText(7, field.left > 500 ? 639 : 528, field.top + 5,
                 catalog::FormatControlValue(control, stored));
      continue;
    }
    const L::Rect& bar = L::kSliderBars[control.slider];
    const int shown = catalog::DisplayValue(control, stored);
    const unsigned position =
        static_cast<unsigned>(std::max(shown - catalog::SliderBase(control), 0));
    PaintSlider(c, view_.hover_item, control.id, position, bar.left, bar.top, bar.right, bar.bottom,
                static_cast<unsigned>(control.max - control.min));
    const int x = bar.right + 42, y = bar.top - 3;
    switch (control.kind) {
      case catalog::ValueKind::kEqGainDb:
        c.DrawDbLevel(1, x, y, shown);
        break;
      case catalog::ValueKind::kCustomEqGain:
        c.DrawText(1, x, y, catalog::FormatCustomEqGain(shown));
        break;
      case catalog::ValueKind::kTenths:
        c.DrawTenths(1, x, y, shown, control.offset == 200);
        break;
      default:
        c.DrawNumber(1, x, y, shown);
        break;
    }
  }
}

}  // namespace rq700
