#include "editor/chain_input.h"

#include "editor/item_ids.h"
#include "skin/view_layout.h"

namespace rq700 {
namespace {

namespace L = layout;

const L::Rect& SlotRect(int slot) { return L::kHitRects[L::kFirstSlotRect + slot]; }

bool IsModule(int type) { return type >= 1 && type <= kModuleTypes; }

}  // namespace

int ChainSlotAt(int x, int y) {
  for (int slot = 0; slot < kChainLength; ++slot) {
    if (SlotRect(slot).Contains(x, y)) return slot;
  }
  return -1;
}

bool PressChain(InputContext& c, int x, int y) {
  const int slot = ChainSlotAt(x, y);
  if (slot < 0) return false;
  ViewState& v = c.view;
  v.pressed_item = item::kFirstSlot + slot;
  if (v.drag_started == 0) {
    v.drag_started = 1;
    // From the last move: the dragged icon keeps its place under the mouse.
    v.grab_offset_x = static_cast<int16_t>(v.last_mouse_x - SlotRect(slot).left);
    v.grab_offset_y = static_cast<int16_t>(v.last_mouse_y - SlotRect(slot).top);
  }
  return true;
}

void ReleaseChain(InputContext& c, int x, int y) {
  ViewState& v = c.view;
  DeviceState& d = c.device;
  const int slot = ChainSlotAt(x, y);
  if (slot >= 0) {
    const int id = item::kFirstSlot + slot;
    if (v.pressed_item == id) {
      // On goes off at once; off comes on only at the second click on the same slot.
      if (d.chain_off[slot].Get() == 0) {
        d.chain_off[slot].Set(1);
      } else if (v.last_released_slot == id) {
        d.chain_off[slot].Set(0);
      }
    }
    v.last_released_slot = id;
  }
  MoveInChain(d, v.pressed_item, v.hover_item);
}

void MoveInChain(DeviceState& d, int source, int target) {
  if (!item::IsSlot(source) || !item::IsSlot(target)) return;
  const int from = source - item::kFirstSlot;
  const int to = target - item::kFirstSlot;
  const uint8_t type = d.chain_order[from].Get();
  const uint8_t off = d.chain_off[from].Get();
  if (IsModule(type)) d.module[type].enable.Set(off != 0 ? 0 : 1);
  if (from == to) {
    if (IsModule(type)) d.selected_module.Set(type);
    return;
  }
  const int step = from < to ? 1 : -1;
  for (int i = from; i != to; i += step) {
    d.chain_order[i].Set(d.chain_order[i + step].Get());
    d.chain_off[i].Set(d.chain_off[i + step].Get());
  }
  d.chain_order[to].Set(type);
  d.chain_off[to].Set(off);
}

}  // namespace rq700
