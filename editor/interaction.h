#ifndef RQ700_EDITOR_INTERACTION_H_
#define RQ700_EDITOR_INTERACTION_H_

#include <array>
#include <cstdint>

#include "skin/view_state.h"

namespace rq700 {

// Item ids the window itself looks at.
inline constexpr int kItemNothing = 0;
inline constexpr int kItemPresetList = 5;

// What the mouse is doing with the view, kept on the UI thread: the view state that the
// painter reads (skin/view_state.h). The active item, the active sub-item, the list cursor
// and the list row live in the device state, because the sequencer sends them.
struct Interaction : ViewState {};

}  // namespace rq700

#endif  // RQ700_EDITOR_INTERACTION_H_
