#ifndef RQ700_EDITOR_CHAIN_INPUT_H_
#define RQ700_EDITOR_CHAIN_INPUT_H_

// The effect chain: nine slots in a U (1..4 left to right above, 5..9 right to left
// below). A click selects a slot's module and switches it (off when on; on only when it
// is also the slot of the click before); a drag moves the module to another slot.

#include "editor/input_context.h"

namespace rq700 {

// The chain slot (0..8) under (x, y), or -1.
int ChainSlotAt(int x, int y);

// A press on a slot: it becomes the pressed item, and the first press of a drag records
// where on the slot the mouse took it. False off the slots.
bool PressChain(InputContext& c, int x, int y);

// The release over the chain area: the click's switch and selection, or the drop of a
// dragged module on the slot under the mouse.
void ReleaseChain(InputContext& c, int x, int y);

// Moves the module of slot item `source` (11..19), with its on/off flag, to slot item
// `target`; the slots between shift one toward the source. The moved module's enable
// follows its slot's flag; dropped on its own slot, the module is selected instead. Ids
// outside the slots do nothing.
void MoveInChain(DeviceState& device, int source, int target);

}  // namespace rq700

#endif  // RQ700_EDITOR_CHAIN_INPUT_H_
