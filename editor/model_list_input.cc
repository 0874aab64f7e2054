#include "editor/model_list_input.h"

#include <algorithm>

#include "catalog/labels.h"
#include "catalog/models.h"
#include "editor/item_ids.h"
#include "skin/view_layout.h"

namespace rq700 {
namespace {

namespace L = layout;

struct ScrollList {
  bool amp;
  int32_t ViewState::*offset;
  int offset_max;
  int rows_right;  // rows answer left of here
  const L::Thumb& thumb;
  int thumb_item;
};
constexpr ScrollList kAmpList{true,
                              &ViewState::amp_list_offset,
                              L::kAmpListOffsetMax,
                              L::kAmpRowsRight,
                              L::kAmpThumb,
                              item::kAmpThumb};
constexpr ScrollList kCabList{false,
                              &ViewState::cab_list_offset,
                              L::kCabListOffsetMax,
                              L::kCabRowsRight,
                              L::kCabThumb,
                              item::kCabThumb};

const ScrollList* ScrollListOf(int type) {
  if (type == L::kAmp) return &kAmpList;
  if (type == L::kCab) return &kCabList;
  return nullptr;
}

int Offset(const ViewState& v, const ScrollList& list) {
  return std::clamp(v.*list.offset, 0, list.offset_max);
}

const L::Rect& ListPanel(int type) { return L::kPanels[L::kModelListPanel[type]]; }

// The user slot (1..10) whose key row, counted from the bottom row up, is at y; 0 when
// none. `keys` rows are shown; the bottom one belongs to slot `bottom_slot`.
int UserSlotAt(int y, int keys, int bottom_slot) {
  for (int v = 0; v < keys; ++v) {
    const int top = L::UserKeyRowTop(v);
    if (top <= y && y <= top + L::kUserKeyRowHeight) return bottom_slot - v;
  }
  return 0;
}

// The user-slot keys beside the visible rows: true when (x, y) is in a key column (the
// press ends there with the list open, key or not).
bool PressUserSlotKeys(InputContext& c, const ScrollList& list, int offset, int x, int y) {
  if (list.amp) {
    // Offset a shows the slots down to slot a - 29 at the bottom row.
    if (offset < L::kAmpFirstKeyOffset || !L::kUserSlotKeys.Contains(x)) return false;
    const int slot = UserSlotAt(y, offset - L::kAmpFirstKeyOffset + 1, offset - 29);
    if (slot > 0) {
      c.view.amp_import_mask |= 1u << (slot - 1);
      c.files.ImportAmplifier(slot - 1);
    }
    return true;
  }
  if (offset == 0) return false;
  const bool import = L::kCabImportKeys.Contains(x);
  if (!import && !L::kUserSlotKeys.Contains(x)) return false;
  const int slot = UserSlotAt(y, offset, offset);
  if (slot > 0) {
    c.view.ir_mask |= 1u << (import ? slot - 1 : slot + 9);
    if (import) {
      c.files.ImportImpulseResponse(slot - 1);
    } else {
      c.files.DeleteImpulseResponse(slot - 1);
    }
  }
  return true;
}

void PressScrollList(InputContext& c, int type, const ScrollList& list, int x, int y) {
  ViewState& v = c.view;
  const int offset = Offset(v, list);
  if (PressUserSlotKeys(c, list, offset, x, y)) return;
  if (L::kScrollColumn.Contains(x)) {
    const int top = list.thumb.top + list.thumb.pitch * offset;
    const int bottom = list.thumb.bottom + list.thumb.pitch * offset;
    if (top <= y && y <= bottom) {
      v.pressed_item = list.thumb_item;
      v.thumb_start_top = offset;
      v.thumb_start_y = y;
      v.last_thumb_step = 0;
    }
    return;
  }
  const L::Rect& panel = ListPanel(type);
  if (panel.Contains(x, y) && x <= list.rows_right) {
    const int row = L::ListRowAt(panel, y, L::kScrollListRows);
    if (row >= 0 && offset + row < catalog::ModelCount(type))
      c.device.module[type].model.Set(static_cast<uint8_t>(offset + row + 1));
  }
  c.set_active_item(item::kNone);
}

// The short list of a field: its entries and the edit-model value it sets.
struct SubList {
  int entries;
  Tracked<uint8_t>* byte = nullptr;
  Tracked<uint16_t>* word = nullptr;
  int32_t ViewState::*hover;
};

SubList SubListOf(DeviceState& d, int list) {
  switch (list) {
    case item::kMicrophone:
      return {catalog::kMicrophoneCount, &d.module[L::kCab].param[0], nullptr,
              &ViewState::mic_list_hover};
    case item::kPowerTube:
      return {catalog::kPowerTubeCount, &d.module[L::kCab].param[3], nullptr,
              &ViewState::tube_list_hover};
    case item::kSyncNote:
      return {catalog::kSyncNoteCount, nullptr, &d.delay_word[4], &ViewState::sync_list_hover};
    case item::kSyncNoteA:
      return {catalog::kSyncNoteCount, nullptr, &d.delay_word[4], &ViewState::sync_ab_list_hover};
    default:  // the two-head delay's second sync note
      return {catalog::kSyncNoteCount, nullptr, &d.delay_word[6], &ViewState::sync_ab_list_hover};
  }
}

// The row of open short list `list` under (x, y), or -1.
int SubListRowAt(DeviceState& d, int list, int x, int y) {
  const int panel_index = L::SubListPanel(list);
  if (panel_index < 0) return -1;
  const L::Rect& panel = L::kPanels[panel_index];
  if (!panel.Contains(x, y)) return -1;
  return L::ListRowAt(panel, y, SubListOf(d, list).entries);
}

}  // namespace

void PressModelList(InputContext& c, int x, int y) {
  const int type = c.device.selected_module.Get();
  if (type < 1 || type > kModuleTypes) {
    c.set_active_item(item::kNone);
    return;
  }
  if (const ScrollList* list = ScrollListOf(type)) {
    PressScrollList(c, type, *list, x, y);
    return;
  }
  const L::Rect& panel = ListPanel(type);
  if (panel.Contains(x, y)) {
    const int row = L::ListRowAt(panel, y, catalog::ModelCount(type));
    if (row >= 0) c.device.module[type].model.Set(static_cast<uint8_t>(row + 1));
  }
  c.set_active_item(item::kNone);
}

void PressSubList(InputContext& c, int list, int x, int y) {
  const int row = SubListRowAt(c.device, list, x, y);
  if (row >= 0) {
    const SubList sub = SubListOf(c.device, list);
    if (sub.byte != nullptr) sub.byte->Set(static_cast<uint8_t>(row));
    if (sub.word != nullptr) sub.word->Set(static_cast<uint16_t>(row));
  }
  c.set_active_item(item::kNone);
}

void DragListThumb(InputContext& c, int y) {
  ViewState& v = c.view;
  const ScrollList& list = v.pressed_item == item::kAmpThumb ? kAmpList : kCabList;
  const int step = (y - v.thumb_start_y) / list.thumb.pitch;
  if (step != v.last_thumb_step) {
    v.*list.offset = std::clamp(v.thumb_start_top + step, 0, list.offset_max);
    v.last_thumb_step = step;
  }
  v.hover_item = list.thumb_item;
}

bool HoverModelList(InputContext& c, int x, int y) {
  const int type = c.device.selected_module.Get();
  if (type < 1 || type > kModuleTypes) return false;
  const L::Rect& panel = ListPanel(type);
  if (!panel.Contains(x, y)) return false;
  ViewState& v = c.view;
  v.hover_item = item::kModelList;
  const ScrollList* list = ScrollListOf(type);
  if (list != nullptr && L::kScrollColumn.Contains(x)) {
    v.hover_item = list->thumb_item;
    return true;
  }
  if (list != nullptr && x > list->rows_right) return true;
  const int rows = list != nullptr ? L::kScrollListRows : catalog::ModelCount(type);
  const int row = L::ListRowAt(panel, y, rows);
  if (row >= 0) v.model_list_hover[type] = row + 1;
  return true;
}

bool HoverSubList(InputContext& c, int list, int x, int y) {
  const int panel_index = L::SubListPanel(list);
  if (panel_index < 0 || !L::kPanels[panel_index].Contains(x, y)) return false;
  c.view.hover_item = list;
  // The band stays on the row last hovered.
  const int row = SubListRowAt(c.device, list, x, y);
  if (row >= 0) c.view.*SubListOf(c.device, list).hover = row;
  return true;
}

bool WheelModelList(InputContext& c, int delta) {
  const ScrollList* list = ScrollListOf(c.device.selected_module.Get());
  if (list == nullptr) return false;
  c.view.*list->offset =
      std::clamp(Offset(c.view, *list) + (delta < 0 ? 1 : -1), 0, list->offset_max);
  return true;
}

}  // namespace rq700
