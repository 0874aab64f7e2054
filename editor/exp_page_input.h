#ifndef RQ700_EDITOR_EXP_PAGE_INPUT_H_
#define RQ700_EDITOR_EXP_PAGE_INPUT_H_

// The expression pedal page (active item 8): the EXP1 and EXP2 tabs, the module grid and
// the parameter choices of the tab's module, and the EXP settings popup (switch, low and
// high values, the low one never above the high one). Presses inside the page's panel
// come here.

#include "editor/input_context.h"

namespace rq700 {

void PressExpPage(InputContext& c, int x, int y);
void HoverExpPage(InputContext& c, int x, int y);
void DragExpPage(InputContext& c, int x);

}  // namespace rq700

#endif  // RQ700_EDITOR_EXP_PAGE_INPUT_H_
