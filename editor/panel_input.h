#ifndef RQ700_EDITOR_PANEL_INPUT_H_
#define RQ700_EDITOR_PANEL_INPUT_H_

// The selected module's panel on the main view, from the catalog's panel layout of its
// model: the list fields (CAB microphone and power tube, DELAY sync notes) open their
// lists, a press on a slider bar sets the value under the mouse, a press on a bar's value
// box makes that box the pressed item (the value entry box then opens over it), and a
// drag of a pressed bar follows the mouse.

#include <optional>

#include "catalog/panel_layout.h"
#include "editor/input_context.h"

namespace rq700 {

// A press on the main view, after the view's own controls: the control of the panel of
// module `type` under (x, y), if any, becomes the pressed item.
void PressPanel(InputContext& c, int type, int x, int y);
// The control under the mouse becomes the hover item.
void HoverPanel(InputContext& c, int type, int x, int y);
// A move with the button down while a bar of the panel is the pressed item: its value
// follows the mouse, held at the range's ends past the bar's ends.
void DragPanel(InputContext& c, int x);

// A slider of some module's panel: bar ids name one value each, whatever the model.
struct PanelSlider {
  int type = 0;
  catalog::PanelControl control;
};
std::optional<PanelSlider> FindPanelSlider(int bar_id);

// Stores `value` in the edit-model field that `control` of module `type` shows.
void SetPanelValue(DeviceState& d, int type, const catalog::PanelControl& control, int value);

}  // namespace rq700

#endif  // RQ700_EDITOR_PANEL_INPUT_H_
