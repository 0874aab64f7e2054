#include "protocol/job_encoders.h"

#include <cstring>

namespace rq700 {
namespace {

// Slot, stage, then either the byte plane `shift` of every word or the name.
bool EncodeSlotStage(const SlotTransfer& t, int stage, int planes, PayloadWriter& out) {
  if (stage < 1 || stage > planes + 1) return false;
  out.Byte(t.slot.load(std::memory_order_relaxed));
  out.Byte(static_cast<uint8_t>(stage));
  if (stage == planes + 1) {
    out.Bytes(t.name, kUserNameSize);
    return true;
  }
  const int shift = 8 * (planes - stage);
  for (uint32_t word : t.words) out.Byte(static_cast<uint8_t>(word >> shift));
  return true;
}

}  // namespace

void EncodeWritePreset(const DeviceState& s, PayloadWriter& out) {
  uint8_t cursor_record[record::kSize];
  ReadRecord(s, s.list_cursor.Get(), cursor_record);
  const size_t start = out.size;
  out.Bytes(s.import_buffer, record::kSize);
  std::memcpy(out.out + start + record::kName, cursor_record + record::kName, record::kNameSize);
}

void EncodeImportRecord(uint8_t target_index, const uint8_t* rec, PayloadWriter& out) {
  out.Byte(target_index);
  out.Bytes(rec, record::kSize);
}

bool EncodeIrStage(const SlotTransfer& ir, int stage, PayloadWriter& out) {
  return EncodeSlotStage(ir, stage, 3, out);
}

bool EncodeAmpStage(const SlotTransfer& amp, int stage, PayloadWriter& out) {
  return EncodeSlotStage(amp, stage, 4, out);
}

void EncodeIrSelect(const DeviceState& s, PayloadWriter& out) {
  out.Byte(s.ir.slot.load(std::memory_order_relaxed));
}

}  // namespace rq700
