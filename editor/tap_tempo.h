#ifndef RQ700_EDITOR_TAP_TEMPO_H_
#define RQ700_EDITOR_TAP_TEMPO_H_

#include <cstdint>
#include <functional>

#include "protocol/device_state.h"
#include "skin/view_state.h"

namespace rq700 {

// Milliseconds of a monotonic clock, wrapping at 32 bits.
using TickClock = std::function<uint32_t()>;
uint32_t SteadyTickCount();

// One tap of the tempo: the space bar (in the window and in the value entry box) and the
// control page's tap button. From the second tap on, the time between two taps under two
// seconds sets the tempo, 60000 / ms clamped to 40..260; a slower tap only starts a new
// measurement.
void TapTempo(DeviceState& device, ViewState& view, const TickClock& clock);

}  // namespace rq700

#endif  // RQ700_EDITOR_TAP_TEMPO_H_
