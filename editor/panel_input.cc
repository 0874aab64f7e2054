#include "editor/panel_input.h"

#include "catalog/panel_layout.h"
#include "skin/view_layout.h"

namespace rq700 {
namespace {

namespace L = layout;

// The item id of the panel control under (x, y), or 0. List fields come first.
int PanelItemAt(const DeviceState& d, int type, int x, int y) {
  if (type < 1 || type > kModuleTypes) return 0;
  const catalog::PanelLayout layout = catalog::GetPanelLayout(type, d.module[type].model.Get());
  for (int i = 0; i < layout.count; ++i) {
    const catalog::PanelControl& control = layout.controls[i];
    if (control.field_rect != catalog::kNoPlace && L::kHitRects[control.field_rect].Contains(x, y))
      return control.id;
  }
  return 0;
}

}  // namespace

void PressPanel(InputContext& c, int type, int x, int y) {
  if (const int id = PanelItemAt(c.device, type, x, y)) c.view.pressed_item = id;
}

void HoverPanel(InputContext& c, int type, int x, int y) {
  if (const int id = PanelItemAt(c.device, type, x, y)) c.view.hover_item = id;
}

void DragPanel(InputContext&, int, int) {}

}  // namespace rq700
