#ifndef RQ700_EDITOR_PANEL_INPUT_H_
#define RQ700_EDITOR_PANEL_INPUT_H_

// The selected module's panel on the main view, from the catalog's panel layout of its
// model: the list fields (CAB microphone and power tube, DELAY sync notes) open their
// lists. The sliders and their value boxes join here: a press on a bar sets the pressed
// item and the value, a press on a value box makes it the pressed item, and a drag of a
// pressed bar follows the mouse.

#include "editor/input_context.h"

namespace rq700 {

// A press on the main view, after the view's own controls: the control of the panel of
// module `type` under (x, y), if any, becomes the pressed item.
void PressPanel(InputContext& c, int type, int x, int y);
// The control under the mouse becomes the hover item.
void HoverPanel(InputContext& c, int type, int x, int y);
// A move with the button down while the pressed item is none of the view's own: the
// drag of a module panel's or a page's slider bar. Not built yet: no pressed item has a
// bar to drag.
void DragPanel(InputContext& c, int x, int y);

}  // namespace rq700

#endif  // RQ700_EDITOR_PANEL_INPUT_H_
