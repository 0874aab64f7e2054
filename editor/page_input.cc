#include "editor/page_input.h"

#include "editor/item_ids.h"
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
  if (PagePanel(page).Contains(x, y)) return;  // the page's controls: to come
  c.set_active_item(item::kNone);
  if (page == item::kExpPage) c.device.exp_settings_marker.store(0);
}

bool HoverPage(InputContext&, int page, int x, int y) { return PagePanel(page).Contains(x, y); }

}  // namespace rq700
