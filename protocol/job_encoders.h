#ifndef RQ700_PROTOCOL_JOB_ENCODERS_H_
#define RQ700_PROTOCOL_JOB_ENCODERS_H_

#include <cstdint>

#include "protocol/device_state.h"
#include "protocol/payload_writer.h"

namespace rq700 {

// Payloads of the staged jobs.

// 0x83: the import buffer with its name field (record bytes 12-27) replaced by the name of
// the list cursor's record in the preset store.
void EncodeWritePreset(const DeviceState& state, PayloadWriter& out);
// 0xE5: the target preset index, then the record.
void EncodeImportRecord(uint8_t target_index, const uint8_t* record, PayloadWriter& out);
// 0xE1: slot, stage, then stage 1..3: one byte plane of the 512 samples (bits 16-23, 8-15,
// 0-7), stage 4: the 15-byte name. False (nothing written) for any other stage.
bool EncodeIrStage(const SlotTransfer& ir, int stage, PayloadWriter& out);
// 0xE2: slot, stage, then stage 1..4: one byte plane of the 512 words (bits 24-31 first),
// stage 5: the 15-byte name. False (nothing written) for any other stage.
bool EncodeAmpStage(const SlotTransfer& amp, int stage, PayloadWriter& out);
// 0xE4: the IR slot.
void EncodeIrSelect(const DeviceState& state, PayloadWriter& out);

}  // namespace rq700

#endif  // RQ700_PROTOCOL_JOB_ENCODERS_H_
