#ifndef RQ700_PROTOCOL_CHANNELS_H_
#define RQ700_PROTOCOL_CHANNELS_H_

#include <cstdint>

#include "protocol/device_state.h"
#include "protocol/job_hooks.h"
#include "protocol/payload_writer.h"
#include "protocol/window_link.h"

namespace rq700 {

// What a channel may touch.
struct ChannelContext {
  DeviceState& state;
  WindowLink& window;
  PresetImportFeed* import_feed = nullptr;
  BackupRestoreJobs* jobs = nullptr;
};

// One channel of the sequencer's ring: on its turn it compares its part of the edit model
// with the last-sent copy (or looks at its job) and, when there is something to send,
// appends the payload to `out`. An empty payload means nothing is sent, except for the
// dump request, whose packet has no payload.
using ChannelFn = void (*)(ChannelContext& context, PayloadWriter& out);

struct Channel {
  uint8_t state;  // the command code the channel sends
  ChannelFn run;  // nullptr: a state that sends nothing
  uint8_t successor;
  bool sends_empty = false;  // sends its packet even with no payload
};

inline constexpr uint8_t kDumpRequest = 0xE0;
inline constexpr uint8_t kRingStart = 0x90;

// The channel of `state`, or nullptr for a state outside the ring.
const Channel* FindChannel(uint8_t state);

}  // namespace rq700

#endif  // RQ700_PROTOCOL_CHANNELS_H_
