#include "editor/value_entry_input.h"

#include "catalog/models.h"
#include "editor/item_ids.h"
#include "editor/panel_input.h"
#include "editor/typed_number.h"
#include "skin/view_layout.h"

namespace rq700 {
namespace {

namespace L = layout;

constexpr size_t kMaxCharacters = 9;

// The value boxes of the pages that take typed values, by the slider they belong to. The
// system level's box (25) takes none: its steps are picked on the bar.
struct PageBox {
  int id, slider;
};
constexpr PageBox kPageBoxes[] = {{31, 2}, {33, 3}, {211, 14}, {213, 15}};

// The slider whose value box `item` is, or -1.
int SliderOfValueBox(const DeviceState& d, int item) {
  for (const PageBox& box : kPageBoxes) {
    if (box.id == item) return box.slider;
  }
  if (item < item::kFirstPanelItem || item > item::kLastPanelItem || item % 2 != 0) return -1;
  const auto slider = FindPanelSlider(item - 1);
  if (!slider) return -1;
  // A user cabinet has no CENTER or DISTANCE.
  if (slider->type == kCab && d.module[kCab].model.Get() >= catalog::kFirstUserIrModel) return -1;
  return slider->control.slider;
}

// The first nine characters of UTF-8 text.
std::string_view FirstCharacters(std::string_view text, size_t count) {
  size_t seen = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool starts_character = (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80;
    if (starts_character && seen++ == count) return text.substr(0, i);
  }
  return text;
}

bool Within(int value, int low, int high) { return low <= value && value <= high; }

// A typed value for the value box of a module panel's slider.
void ApplyPanelValue(DeviceState& d, int box, std::string_view text) {
  const auto slider = FindPanelSlider(box - 1);
  if (!slider) return;
  const catalog::PanelControl& control = slider->control;
  const int typed = ReadTypedInteger(text);
  const double real = ReadTypedReal(text);
  const int mod_model = d.module[kMod].model.Get();
  int value;
  if (box == 154 && (mod_model == 9 || mod_model == 20)) {
    // Pitch in tenths of a semitone around 120.
    if (!(real >= -12.0 && real <= 12.0)) return;
    value = static_cast<int>(real * 10) + 120;
  } else if (box == 160) {
    // Detune: the range is read as a real number, the stored value from the whole part.
    if (!(real >= -20.0 && real <= 20.0)) return;
    value = typed * 10 + 200;
  } else if (box == 186) {
    // The first reverb value is typed in fifths of its steps.
    if (!Within(typed, 0, 500)) return;
    value = typed / 5;
  } else {
    // The EQ gains are typed as the decibels they show; everything else as stored.
    const bool decibels = control.kind == catalog::ValueKind::kEqGainDb ||
                          control.kind == catalog::ValueKind::kCustomEqGain;
    const int shift = decibels ? 12 : 0;
    if (!Within(typed + shift, control.min, control.max)) return;
    value = typed + shift;
  }
  SetPanelValue(d, slider->type, control, value);
}

void ApplyValue(DeviceState& d, int item, std::string_view text) {
  const int typed = ReadTypedInteger(text);
  switch (item) {
    case 25:
      if (Within(typed, 0, 21)) d.system[0].Set(static_cast<uint8_t>(typed));
      return;
    case 31:
    case 33:
      if (Within(typed, 0, 100)) d.system[item == 31 ? 3 : 4].Set(static_cast<uint8_t>(typed));
      return;
    case 211:
      if (Within(typed, 0, d.exp_high.Get())) d.exp_low.Set(static_cast<uint8_t>(typed));
      return;
    case 213:
      if (Within(typed, d.exp_low.Get(), 100)) d.exp_high.Set(static_cast<uint8_t>(typed));
      return;
    default:
      if (item >= item::kFirstPanelItem && item <= item::kLastPanelItem && item % 2 == 0)
        ApplyPanelValue(d, item, text);
      return;
  }
}

}  // namespace

void PlaceValueEntry(InputContext& c, int item) {
  const int slider = SliderOfValueBox(c.device, item);
  if (slider < 0) return;
  const L::Rect box = L::ValueBox(L::kSliderBars[slider]);
  c.shell.ShowValueEntry(box.left, box.top, box.right, box.bottom);
}

void MoveValueEntry(InputContext& c, int item) {
  c.shell.ClearValueEntry();
  c.shell.HideValueEntry();
  PlaceValueEntry(c, item);
}

void EnterValue(InputContext& c, std::string_view text) {
  text = FirstCharacters(text, kMaxCharacters);
  if (text.empty()) {
    c.shell.ClearValueEntry();
    c.shell.HideValueEntry();
    return;
  }
  const int active = c.active_item();
  const int item = active == item::kSystemPage ? c.device.active_sub_item.Get()
                   : active == item::kExpPage  ? c.view.pressed_item
                                               : active;
  ApplyValue(c.device, item, text);
  c.shell.ClearValueEntry();
  c.shell.HideValueEntry();
  if (active == item::kSystemPage) {
    c.device.active_sub_item.Set(item::kNone);
  } else if (active != item::kExpPage) {
    c.set_active_item(item::kNone);
  }
}

}  // namespace rq700
