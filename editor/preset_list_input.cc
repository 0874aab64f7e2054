#include "editor/preset_list_input.h"

#include <algorithm>
#include <cstdio>

#include "editor/item_ids.h"
#include "editor/messages.h"
#include "editor/save_dialog.h"
#include "skin/view_layout.h"

namespace rq700 {
namespace {

namespace L = layout;

constexpr int kNoRow = 255;
// The current preset number that names no preset: nothing to ask about.
constexpr int kNoCurrentPreset = 255;
// The scroll column answers the mouse between these heights (both excluded).
constexpr int kScrollHoverTop = 131;
constexpr int kScrollHoverBottom = 640;

bool IsRow(int row) { return row >= 0 && row < L::kPresetRows; }

// The preset on the row under the mouse, or -1.
int HoveredPreset(const ViewState& v) {
  const int preset = v.list_top + v.hover_row;
  return IsRow(v.hover_row) && preset >= 0 && preset < kPresetCount ? preset : -1;
}

// The editor goes to the list cursor's preset.
void SwitchToCursor(DeviceState& d) {
  const int cursor = d.list_cursor.Get();
  d.current_preset.store(cursor, std::memory_order_relaxed);
  SelectPreset(d, cursor);
  d.dirty.store(0);
}

void RaisePresetChange(DeviceState& d) { d.preset_change_request.store(1); }

}  // namespace

std::string SaveQuestion(int preset_index) {
  char text[64];
  std::snprintf(text, sizeof(text), text::kSaveQuestionFormat, preset_index + 1);
  return text;
}

bool PressPresetList(InputContext& c, int y, Modifier modifier) {
  DeviceState& d = c.device;
  ViewState& v = c.view;
  const int hovered = HoveredPreset(v);
  if (modifier == Modifier::kCtrl) {
    if (hovered >= 0) v.list_selected[hovered] ^= 1;
    return true;
  }
  if (modifier == Modifier::kShift) {
    if (hovered >= 0) {
      v.list_selected.fill(0);
      const int cursor = std::clamp(d.list_cursor.Get(), 0, kPresetCount - 1);
      for (int i = std::min(cursor, hovered); i <= std::max(cursor, hovered); ++i)
        v.list_selected[i] = 1;
    }
    return true;
  }

  v.pressed_item = item::kPresetList;
  const int row = L::PresetRowAt(y);
  if (row < 0 || v.list_top + row >= kPresetCount) return false;
  if (v.list_top + row != d.list_cursor.Get()) {
    d.list_cursor.Set(v.list_top + row);
    d.save_request.store(kSaveWithdrawn);
    d.preset_change_request.store(0);
  }
  d.list_row.Set(static_cast<uint8_t>(row));

  const int cursor = d.list_cursor.Get();
  const int current = d.current_preset.load(std::memory_order_relaxed);
  if (d.dirty.load() != 1 || current == kNoCurrentPreset) {
    RaisePresetChange(d);
    SwitchToCursor(d);
  } else if (cursor != current) {
    if (c.shell.AskYesNo(MessageOwner::kMainWindow, SaveQuestion(current), text::kConfirmation,
                         MessageIcon::kWarning)) {
      // A save that is sent raises the switch itself; one that was cancelled must still
      // take the device along to the preset the editor shows.
      if (!RunSaveDialog(c)) RaisePresetChange(d);
    } else {
      RaisePresetChange(d);
      PutBackImportedName(d, v);
    }
    SwitchToCursor(d);
  }
  // A click on the edited preset itself keeps the edit.
  return false;
}

bool PressPresetThumb(InputContext& c, int x, int y) {
  ViewState& v = c.view;
  const L::Rect& column = L::kHitRects[L::kPresetScrollRect];
  const int top = L::kPresetThumb.top + L::kPresetThumb.pitch * v.list_top;
  const int bottom = L::kPresetThumb.bottom + L::kPresetThumb.pitch * v.list_top;
  if (x < column.left || x > column.right || y < top || y > bottom) return false;
  v.pressed_item = item::kPresetThumb;
  v.thumb_start_top = v.list_top;
  v.thumb_start_y = y;
  v.last_thumb_step = 0;
  return true;
}

void DragPresetThumb(InputContext& c, int y) {
  ViewState& v = c.view;
  const int step = (y - v.thumb_start_y) / L::kPresetThumb.pitch;
  if (step != v.last_thumb_step) {
    v.list_top = std::clamp(v.thumb_start_top + step, 0, L::kPresetListTopMax);
    v.last_thumb_step = step;
  }
  v.hover_item = item::kPresetThumb;
}

bool HoverPresetList(InputContext& c, int x, int y) {
  ViewState& v = c.view;
  if (L::kHitRects[L::kPresetListRect].Contains(x, y)) {
    v.hover_item = item::kPresetList;
    const int row = L::PresetRowAt(y);
    v.hover_row = row < 0 ? kNoRow : row;
    return true;
  }
  const L::Rect& column = L::kHitRects[L::kPresetScrollRect];
  if (x >= column.left && x <= column.right && y > kScrollHoverTop && y < kScrollHoverBottom) {
    v.hover_item = item::kPresetThumb;
    return true;
  }
  return false;
}

bool WheelPresetList(InputContext& c, int delta) {
  ViewState& v = c.view;
  if (v.hover_item != item::kPresetList) return false;
  // Turned toward the user (negative) the list scrolls down.
  v.list_top = std::clamp(v.list_top + (delta < 0 ? 1 : -1), 0, L::kPresetListTopMax);
  return true;
}

}  // namespace rq700
