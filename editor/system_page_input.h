#ifndef RQ700_EDITOR_SYSTEM_PAGE_INPUT_H_
#define RQ700_EDITOR_SYSTEM_PAGE_INPUT_H_

// The system page (active item 6): its two-way choices, the level and two other sliders,
// and the two confirmation popups over it (the confirmation, whose OK with "yes" armed
// makes the editor close, and the second confirmation, whose choice goes to the device on
// its own). Presses inside the page's panel come here.

#include "editor/input_context.h"

namespace rq700 {

void PressSystemPage(InputContext& c, int x, int y);
void HoverSystemPage(InputContext& c, int x, int y);
void DragSystemPage(InputContext& c, int x);

}  // namespace rq700

#endif  // RQ700_EDITOR_SYSTEM_PAGE_INPUT_H_
