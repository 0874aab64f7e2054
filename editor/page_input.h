#ifndef RQ700_EDITOR_PAGE_INPUT_H_
#define RQ700_EDITOR_PAGE_INPUT_H_

// The three setting pages (system 6, control 7, EXP 8) while one is open. A press outside
// the page's panel closes it. The controls inside join here: their presses, their hover
// items and their sliders' drags.

#include "editor/input_context.h"

namespace rq700 {

void PressPage(InputContext& c, int page, int x, int y);
// Over the open page: its controls are the hover items (true); elsewhere false.
bool HoverPage(InputContext& c, int page, int x, int y);

}  // namespace rq700

#endif  // RQ700_EDITOR_PAGE_INPUT_H_
