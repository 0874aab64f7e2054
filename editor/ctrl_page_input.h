#ifndef RQ700_EDITOR_CTRL_PAGE_INPUT_H_
#define RQ700_EDITOR_CTRL_PAGE_INPUT_H_

// The control page (active item 7): its switch tab, a 3 x 3 grid of the preset's module
// switch flags, and its tempo tab with the tap button and tempo up and down. Presses
// inside the page's panel come here.

#include "editor/input_context.h"

namespace rq700 {

void PressCtrlPage(InputContext& c, int x, int y);
void HoverCtrlPage(InputContext& c, int x, int y);

}  // namespace rq700

#endif  // RQ700_EDITOR_CTRL_PAGE_INPUT_H_
