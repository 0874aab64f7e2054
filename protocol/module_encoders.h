#ifndef RQ700_PROTOCOL_MODULE_ENCODERS_H_
#define RQ700_PROTOCOL_MODULE_ENCODERS_H_

#include <cstdint>

#include "protocol/device_state.h"
#include "protocol/payload_writer.h"

namespace rq700 {

// Command code of the parameter message of module type 1..9 (0x90..0x99 without 0x92).
inline constexpr uint8_t ModuleCommand(int module_type) {
  return static_cast<uint8_t>(module_type <= 2 ? 0x8F + module_type : 0x90 + module_type);
}
// Module type of a module command, 0 for any other code.
inline constexpr int ModuleOfCommand(uint8_t command) {
  if (command == 0x90 || command == 0x91) return command - 0x8F;
  if (command >= 0x93 && command <= 0x99) return command - 0x90;
  return 0;
}

// The parameter payload of a module from its current values: every value as two bytes,
// big-endian (00 and the byte for byte values): enable, model (0 goes out as 1), then the
// module's parameters. EQ adds its three words; MOD model 10 adds the MOD word; DELAY
// carries delay words 1-4, then for model 9 TIME B and delay word 6, else delay word 5
// and the constant 2.
void EncodeModule(const DeviceState& state, int module_type, PayloadWriter& out);

}  // namespace rq700

#endif  // RQ700_PROTOCOL_MODULE_ENCODERS_H_
