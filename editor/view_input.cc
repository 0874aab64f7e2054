#include "editor/view_input.h"

#include "editor/chain_input.h"
#include "editor/item_ids.h"
#include "editor/model_list_input.h"
#include "editor/page_input.h"
#include "editor/panel_input.h"
#include "editor/popup_input.h"
#include "editor/preset_list_input.h"
#include "editor/save_dialog.h"
#include "editor/value_entry_input.h"
#include "skin/view_layout.h"

namespace rq700 {
namespace {

namespace L = layout;

constexpr int kNoRow = 255;
constexpr int kEntryAway = 1;  // the version popup's entry marker while the mouse is off it

// The top row, left to right in rectangle order: backup/restore, SAVE, import, export,
// version.
constexpr int kTopRowItems[] = {item::kBackupRestore, item::kSave, item::kImport, item::kExport,
                                item::kVersion};

int TopRowItemAt(int x, int y) {
  if (y < L::kTopRowTop || y > L::kTopRowBottom) return item::kNothing;
  for (int i = 0; i < 5; ++i) {
    if (L::kHitRects[i].Contains(x, y)) return kTopRowItems[i];
  }
  return item::kNothing;
}

int PageButtonAt(int x, int y) {
  for (int i = 0; i < 4; ++i) {
    if (L::kHitRects[L::kPageButtonRects[i]].Contains(x, y)) return item::kSystemPage + i;
  }
  return item::kNothing;
}

}  // namespace

ViewInput::ViewInput(DeviceState& device, ViewState& view, Shell& shell, FileActions& files,
                     TickClock clock)
    : c_{device, view, shell, files, std::move(clock)} {}

void ViewInput::Press(int x, int y, Modifier modifier) {
  c_.view.pressed_item = item::kNothing;
  c_.view.button_down = 1;
  const int active = c_.active_item();
  if (active == item::kVersion) {
    PressVersionPopup(c_, x, y);
  } else if (item::IsPage(active)) {
    PressPage(c_, active, x, y);
  } else if (active == item::kVolume && PressVolumePopup(c_, x, y)) {
    // Inside the volume popup.
  } else if (active == item::kModelList) {
    PressModelList(c_, x, y);
  } else if (item::IsSubList(active)) {
    PressSubList(c_, active, x, y);
  } else if (active == item::kBackupRestore) {
    PressBackupPopup(c_, x, y);
  } else {
    PressMainView(x, y, modifier);
  }
}

// The main view's tests run in this order; a later hit overrides the pressed item an
// earlier one set.
void ViewInput::PressMainView(int x, int y, Modifier modifier) {
  ViewState& v = c_.view;
  PressTopRow(x, y);
  if (L::kHitRects[L::kPresetListRect].Contains(x, y) && PressPresetList(c_, y, modifier)) {
    return;  // a selection change only: nothing else happens
  }
  PressPresetThumb(c_, x, y);
  if (const int page = PageButtonAt(x, y)) v.pressed_item = page;
  if (L::kHitRects[L::kVolumeFieldRect].Contains(x, y)) v.pressed_item = item::kVolume;
  PressChain(c_, x, y);
  if (L::kHitRects[L::kModelFieldRect].Contains(x, y)) v.pressed_item = item::kModelList;
  PressPanel(c_, c_.device.selected_module.Get(), x, y);

  // The pressed item opens its popup or page; empty space (0) closes any.
  if (c_.active_item() != v.pressed_item) {
    c_.set_active_item(v.pressed_item);
    MoveValueEntry(c_, v.pressed_item);
  }
}

void ViewInput::PressTopRow(int x, int y) {
  const int id = TopRowItemAt(x, y);
  if (id == item::kNothing) return;
  c_.view.pressed_item = id;
  switch (id) {
    case item::kSave:
      c_.device.current_preset.store(c_.device.list_cursor.Get(), std::memory_order_relaxed);
      RunSaveDialog(c_);
      break;
    case item::kImport:
      c_.files.ImportPresets();
      break;
    case item::kExport:
      c_.files.ExportPresets();
      break;
    default:
      break;
  }
}

void ViewInput::Move(int x, int y) {
  ViewState& v = c_.view;
  v.last_mouse_x = static_cast<int16_t>(x);
  v.last_mouse_y = static_cast<int16_t>(y);
  v.hover_item = item::kNothing;
  v.hover_row = kNoRow;
  v.model_list_hover.fill(0);
  v.version_entry_marker = kEntryAway;
  Hover(x, y);
  if (v.button_down == 1) Drag(x, y);
}

// The open popup or page covers what lies under it.
void ViewInput::Hover(int x, int y) {
  const int active = c_.active_item();
  if (active == item::kVersion) HoverVersionPopup(c_, x, y);
  const bool covered = (active == item::kVolume && HoverVolumePopup(c_, x, y)) ||
                       (active == item::kModelList && HoverModelList(c_, x, y)) ||
                       (item::IsSubList(active) && HoverSubList(c_, active, x, y)) ||
                       (active == item::kBackupRestore && HoverBackupPopup(c_, x, y)) ||
                       (item::IsPage(active) && HoverPage(c_, active, x, y));
  if (!covered) HoverMainView(x, y);
}

void ViewInput::HoverMainView(int x, int y) {
  ViewState& v = c_.view;
  if (const int id = TopRowItemAt(x, y)) v.hover_item = id;
  HoverPresetList(c_, x, y);
  if (const int page = PageButtonAt(x, y)) v.hover_item = page;
  if (L::kHitRects[L::kVolumeFieldRect].Contains(x, y)) v.hover_item = item::kVolume;
  if (const int slot = ChainSlotAt(x, y); slot >= 0) v.hover_item = item::kFirstSlot + slot;
  if (L::kHitRects[L::kModelFieldRect].Contains(x, y)) v.hover_item = item::kModelList;
  HoverPanel(c_, c_.device.selected_module.Get(), x, y);
}

void ViewInput::Drag(int x, int y) {
  switch (c_.view.pressed_item) {
    case item::kVolumeSlider:
      if (c_.active_item() == item::kVolume) DragVolume(c_, x);
      break;
    case item::kPresetThumb:
      DragPresetThumb(c_, y);
      break;
    case item::kAmpThumb:
    case item::kCabThumb:
      DragListThumb(c_, y);
      break;
    default:
      // A dragged chain slot needs nothing here: the hover item is the slot under it.
      if (item::IsSlot(c_.view.pressed_item)) break;
      if (item::IsPage(c_.active_item())) {
        DragPage(c_, c_.active_item(), x);
      } else {
        DragPanel(c_, x);
      }
      break;
  }
}

void ViewInput::Release(int x, int y) {
  ViewState& v = c_.view;
  if (L::kPanels[L::kChainPanel].Contains(x, y)) ReleaseChain(c_, x, y);
  v.button_down = 0;
  v.drag_started = 0;
  v.tap_key_held = 0;
}

void ViewInput::Wheel(int delta) {
  if (delta == 0 || WheelPresetList(c_, delta)) return;
  if (c_.active_item() == item::kModelList) WheelModelList(c_, delta);
}

void ViewInput::PlaceValueEntry() { rq700::PlaceValueEntry(c_, c_.view.pressed_item); }

void ViewInput::EnterValue(std::string_view text) { rq700::EnterValue(c_, text); }

}  // namespace rq700
