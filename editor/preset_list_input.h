#ifndef RQ700_EDITOR_PRESET_LIST_INPUT_H_
#define RQ700_EDITOR_PRESET_LIST_INPUT_H_

// The preset list: picking a preset (asking first whether to save an edited one), the
// selection flags that export uses (Ctrl and Shift), the scroll thumb and the wheel.

#include <string>

#include "editor/input_context.h"
#include "editor/window_logic.h"

namespace rq700 {

// A press on the list. Ctrl toggles the row under the mouse, Shift selects from the list
// cursor to it; both end the press (true). A plain press on a row picks that preset; in a
// gap it picks nothing, and the press goes on (false) like any other.
bool PressPresetList(InputContext& c, int y, Modifier modifier);
// A press on the scroll thumb starts its drag; false where the thumb is not.
bool PressPresetThumb(InputContext& c, int x, int y);
// The thumb follows the mouse two pixels per row.
void DragPresetThumb(InputContext& c, int y);
// Over the list: its row; over the scroll column: the thumb. False elsewhere.
bool HoverPresetList(InputContext& c, int x, int y);
// Under the mouse the list scrolls by a row per turn; false elsewhere.
bool WheelPresetList(InputContext& c, int delta);

// "Do you want to save changes to P007 ?" for preset index 6.
std::string SaveQuestion(int preset_index);

}  // namespace rq700

#endif  // RQ700_EDITOR_PRESET_LIST_INPUT_H_
