// The preset list and the effect chain of the main view.

#include "skin/view_layout.h"
#include "skin/view_painter.h"

namespace rq700 {

namespace L = layout;

void EditorViewPainter::PaintPresetList(Canvas& c) {
  const int top = view_.list_top;
  auto band = [&](int row, Rgb colour) {
    c.FillRect(L::kPresetRowLeft, L::kPresetRowTop + 23 * row, L::kPresetRowRight,
               L::kPresetRowBottom + 23 * row, colour);
  };
  auto visible = [](int row) { return row >= 0 && row < L::kPresetRows; };
  if (visible(view_.hover_row)) band(view_.hover_row, view_colour::kLightGrey);
  const int current_row = device_.current_preset.load(std::memory_order_relaxed) - top;
  if (visible(current_row)) band(current_row, view_colour::kHighlight);
  for (int r = 0; r < L::kPresetRows; ++r) {
    const int preset = top + r;
    if (preset >= 0 && preset < kPresetCount && view_.list_selected[preset])
      band(r, view_colour::kSelectionTint);
  }
  for (int r = 0; r < L::kPresetRows; ++r) {
    const int preset = top + r;
    if (preset < 0 || preset >= kPresetCount) continue;
    c.DrawText(0, 1012, L::kPresetRowBottom + 23 * r, PresetName(device_, preset));
  }
  const int cursor_row = device_.list_cursor.Get() - top;
  if (visible(cursor_row) && device_.dirty.load(std::memory_order_relaxed) == 1)
    c.DrawImage(250, 996, 170 + 23 * cursor_row);
  c.DrawImage(10, 1203, L::kPresetThumb.top + L::kPresetThumb.pitch * top);
}

void EditorViewPainter::PaintChain(Canvas& c) {
  auto slot_rect = [](int slot) -> const L::Rect& { return L::kHitRects[11 + slot]; };
  auto is_slot_item = [](int id) { return id >= 11 && id <= 19; };
  auto frame = [&](int slot) { c.DrawImage(43, slot_rect(slot).left, slot_rect(slot).top); };
  auto icon_image = [&](int slot) {
    const int t = device_.chain_order[slot].Get();
    return device_.chain_off[slot].Get() ? 30 + t : 20 + t;
  };
  auto valid_type = [&](int slot) {
    const int t = device_.chain_order[slot].Get();
    return t >= 1 && t <= 9;
  };

  if (is_slot_item(view_.hover_item)) {
    const L::Rect& r = L::kHitRects[view_.hover_item];
    c.DrawImage(42, r.left, r.top);
  }
  const int selected = device_.selected_module.Get();
  for (int slot = 0; slot < kChainLength; ++slot) {
    if (device_.chain_order[slot].Get() == selected) {
      remembered_slot_ = slot;
      frame(slot);
      break;
    }
  }
  if (!is_slot_item(view_.last_released_slot) && remembered_slot_ >= 0) frame(remembered_slot_);

  for (int slot = 0; slot < kChainLength; ++slot) {
    if (!valid_type(slot)) continue;
    const auto off = L::kChainIconOffset[device_.chain_order[slot].Get()];
    c.DrawImage(icon_image(slot), slot_rect(slot).left + off.x, slot_rect(slot).top + off.y);
  }

  if (view_.button_down == 1 && is_slot_item(view_.pressed_item)) {
    const int slot = view_.pressed_item - 11;
    frame(slot);
    if (valid_type(slot)) {
      const auto off = L::kChainIconOffset[device_.chain_order[slot].Get()];
      c.DrawImage(icon_image(slot), view_.last_mouse_x - view_.grab_offset_x + off.x,
                  view_.last_mouse_y - view_.grab_offset_y + off.y);
    }
  }
}

}  // namespace rq700
