#include "protocol/editor_session.h"

namespace rq700 {

EditorSession::EditorSession(DeviceState& state, CHidDevice& device, WindowLink& window)
    : sequencer_(state, device, window),
      dispatcher_(state, window),
      threads_(device, sequencer_, dispatcher_, [&window] { window.DeviceGone(); }) {}

}  // namespace rq700
