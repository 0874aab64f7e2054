#ifndef RQ700_EDITOR_PAGE_INPUT_H_
#define RQ700_EDITOR_PAGE_INPUT_H_

// The three setting pages (system 6, control 7, EXP 8) while one is open. A press outside
// the page's panel closes it; inside, each page has its own file: system_page_input.cc,
// ctrl_page_input.cc, exp_page_input.cc. This one dispatches and holds the steps they share.

#include "editor/input_context.h"

namespace rq700 {

void PressPage(InputContext& c, int page, int x, int y);
// Over the open page: its controls are the hover items (true); elsewhere false.
bool HoverPage(InputContext& c, int page, int x, int y);
// A move with the button down: a pressed slider bar of the page follows the mouse.
void DragPage(InputContext& c, int page, int x);

// ---- Steps the pages share ----

// The device hears the page state again on the page channel's next turn (after one of the
// page's popups closes).
void ResendPage(DeviceState& d);
// After a press on the system or EXP page: the pressed item becomes the sub-item worked
// with, and the value entry box follows it.
void FollowPressWithSubItem(InputContext& c);

}  // namespace rq700

#endif  // RQ700_EDITOR_PAGE_INPUT_H_
