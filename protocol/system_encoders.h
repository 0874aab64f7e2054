#ifndef RQ700_PROTOCOL_SYSTEM_ENCODERS_H_
#define RQ700_PROTOCOL_SYSTEM_ENCODERS_H_

#include <cstdint>

#include "protocol/device_state.h"
#include "protocol/payload_writer.h"

namespace rq700 {

// Payloads of the preset-level and page messages, built from current values. Single bytes
// unless said otherwise; 32-bit fields go out as their low byte.

// 0x82: the pair (a, b), then 00 00.
void EncodePageSync(uint8_t a, uint8_t b, PayloadWriter& out);
// 0xA2: preset volume.
void EncodeVolume(const DeviceState& state, PayloadWriter& out);
// 0xA0: chain order (9 bytes), then the chain off flags (9 bytes).
void EncodeChain(const DeviceState& state, PayloadWriter& out);
// 0xA1: system bytes 0-9.
void EncodeSystem(const DeviceState& state, PayloadWriter& out);
// 0xA3: switch, EXP1 module - 1, its parameter, EXP2 module - 1, its parameter, low, high.
void EncodeExpSettings(const DeviceState& state, PayloadWriter& out);
// 0xA4: tempo / 2 as a big-endian word, the nine module switch flags, the tab marker.
void EncodeTempo(const DeviceState& state, PayloadWriter& out);
// 0xA6: the preset index the list cursor named when the channel compared it.
void EncodeSelectPreset(int preset_index, PayloadWriter& out);
// 0xA8: save target, then the 15 save-name bytes.
void EncodeSaveName(const DeviceState& state, PayloadWriter& out);
// 0x87: 1 while EXP1 is the tab being edited, else 2.
void EncodeExpChange(const DeviceState& state, PayloadWriter& out);
// 0x89: the second confirmation value.
void EncodeSecondConfirmation(const DeviceState& state, PayloadWriter& out);

}  // namespace rq700

#endif  // RQ700_PROTOCOL_SYSTEM_ENCODERS_H_
