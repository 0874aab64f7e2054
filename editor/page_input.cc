#include "editor/page_input.h"

#include <mutex>

#include "editor/ctrl_page_input.h"
#include "editor/exp_page_input.h"
#include "editor/item_ids.h"
#include "editor/system_page_input.h"
#include "editor/value_entry_input.h"
#include "skin/view_layout.h"

namespace rq700 {
namespace {

namespace L = layout;

const L::Rect& PagePanel(int page) {
  switch (page) {
    case item::kSystemPage:
      return L::kPanels[L::kSystemPagePanel];
    case item::kCtrlPage:
      return L::kPanels[L::kCtrlPagePanel];
    default:
      return L::kPanels[L::kExpPagePanel];
  }
}

}  // namespace

void PressPage(InputContext& c, int page, int x, int y) {
  if (!PagePanel(page).Contains(x, y)) {
    c.set_active_item(item::kNone);
    if (page == item::kExpPage) c.device.exp_settings_marker.store(0);
    return;
  }
  switch (page) {
    case item::kSystemPage:
      PressSystemPage(c, x, y);
      break;
    case item::kCtrlPage:
      PressCtrlPage(c, x, y);
      break;
    default:
      PressExpPage(c, x, y);
      break;
  }
}

bool HoverPage(InputContext& c, int page, int x, int y) {
  if (!PagePanel(page).Contains(x, y)) return false;
  switch (page) {
    case item::kSystemPage:
      HoverSystemPage(c, x, y);
      break;
    case item::kCtrlPage:
      HoverCtrlPage(c, x, y);
      break;
    default:
      HoverExpPage(c, x, y);
      break;
  }
  return true;
}

void DragPage(InputContext& c, int page, int x) {
  if (page == item::kSystemPage) DragSystemPage(c, x);
  if (page == item::kExpPage) DragExpPage(c, x);
}

void ResendPage(DeviceState& d) {
  // Last-sent copies change under the lock, as the sequencer changes them.
  std::lock_guard<std::mutex> lock(d.edit_lock);
  d.active_item.SetSent(0);
}

void FollowPressWithSubItem(InputContext& c) {
  const int pressed = c.view.pressed_item;
  if (c.device.active_sub_item.Get() == pressed) return;
  c.device.active_sub_item.Set(static_cast<uint8_t>(pressed));
  MoveValueEntry(c, pressed);
}

}  // namespace rq700
