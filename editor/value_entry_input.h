#ifndef RQ700_EDITOR_VALUE_ENTRY_INPUT_H_
#define RQ700_EDITOR_VALUE_ENTRY_INPUT_H_

// The value entry box: where it goes for a pressed item (exactly over a slider's value
// box), and what the text typed into it does to the value behind that box. The main view
// and the pages move it whenever the item the user works with changes, the window places it
// again after every resize, and Enter in the box applies its text.

#include <string_view>

#include "editor/input_context.h"

namespace rq700 {

// Shows the box over the value box `item`, if the box serves that one; any other item
// leaves the box where it is, shown or hidden.
void PlaceValueEntry(InputContext& c, int item);

// The item worked with has changed to `item`: the box is emptied and hidden, then placed
// for `item`.
void MoveValueEntry(InputContext& c, int item);

// Enter in the box with its text. Only the first nine characters count. An empty text only
// hides the box. Otherwise the text goes to the item worked with (the sub-item on the
// system page, the pressed item on the EXP page, the active item elsewhere), where a value
// out of that item's range changes nothing; then the box is emptied and hidden and the
// item is let go (on the EXP page it stays).
void EnterValue(InputContext& c, std::string_view text);

}  // namespace rq700

#endif  // RQ700_EDITOR_VALUE_ENTRY_INPUT_H_
