#ifndef RQ700_EDITOR_MODEL_LIST_INPUT_H_
#define RQ700_EDITOR_MODEL_LIST_INPUT_H_

// The drop-down lists: the model list of the selected module (plain, or the scrolling
// amplifier and cabinet lists with their user-slot keys and thumbs), and the short lists
// of the panels' fields (microphone, power tube, delay sync notes).

#include "editor/input_context.h"

namespace rq700 {

// A press while the model list is open: a row picks that model and closes the list. The
// amplifier and cabinet lists keep themselves open for a press on a user-slot key (which
// starts that slot's import or deletion) or in the scroll column (which may grab the
// thumb).
void PressModelList(InputContext& c, int x, int y);
// A press while short list `list` (its field's item id) is open: a row sets the field;
// any press closes the list.
void PressSubList(InputContext& c, int list, int x, int y);

// The amplifier or cabinet list's thumb follows the mouse, 13 or 40 pixels per row.
void DragListThumb(InputContext& c, int y);

// The row under the mouse, for the painter's hover band. True over the open list.
bool HoverModelList(InputContext& c, int x, int y);
bool HoverSubList(InputContext& c, int list, int x, int y);

// The open amplifier or cabinet list scrolls by a row per turn; false for any other list.
bool WheelModelList(InputContext& c, int delta);

}  // namespace rq700

#endif  // RQ700_EDITOR_MODEL_LIST_INPUT_H_
