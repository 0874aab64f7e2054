#ifndef RQ700_EDITOR_VALUE_ENTRY_INPUT_H_
#define RQ700_EDITOR_VALUE_ENTRY_INPUT_H_

// The value entry box: where it goes for a pressed item (over a slider's value box), and
// what a typed value does. The main view calls the placement whenever the active item
// changes, and the window after every resize.

#include "editor/input_context.h"

namespace rq700 {

// Shows the box over the value box of item `item`, if it has one. Not built yet: no item
// places the box.
void PlaceValueEntry(InputContext& c, int item);

}  // namespace rq700

#endif  // RQ700_EDITOR_VALUE_ENTRY_INPUT_H_
