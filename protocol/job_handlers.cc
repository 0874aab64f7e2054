#include "protocol/handlers.h"

namespace rq700 {
namespace {

// The device took stage `taken` of a transfer with `last` stages: move on to the next
// stage, or end the transfer after the last one. Other values change nothing.
void AdvanceTransfer(SlotTransfer& t, int taken, int last) {
  if (taken >= 1 && taken < last) {
    t.stage = taken + 1;
  } else if (taken == last) {
    t.stage = 0;
    t.active.store(0, std::memory_order_release);
  }
}

}  // namespace

void HandleIrAck(HandlerContext& c, const uint8_t* p, size_t) {
  AdvanceTransfer(c.state.ir, p[0], 4);
}

void HandleAmpAck(HandlerContext& c, const uint8_t* p, size_t) {
  AdvanceTransfer(c.state.amp, p[0], 5);
}

// The device stored the record of a multi-file import: file it in the store, reload the
// edited preset if it was the target, and let the import channel send the next file. An
// acknowledgement with nothing in flight (a late one after the time-out, or a stray one)
// is ignored: it would file a stale record and restart an import already reported failed.
void HandleImportAck(HandlerContext& c, const uint8_t*, size_t) {
  DeviceState& s = c.state;
  if (s.in_flight.load(std::memory_order_acquire) == 0) return;
  const int target = s.import_target.load();
  if (target >= 0 && target < kPresetCount) {
    WriteRecord(s, target, s.import_buffer);
    if (target == s.list_cursor.Get()) {
      s.selection_guard = target - 1;
      SelectPreset(s, target);
      s.dirty = 0;
    }
  }
  s.in_flight = 0;
  const uint8_t remaining = s.import_remaining.load();
  if (remaining > 0) s.import_remaining = static_cast<uint8_t>(remaining - 1);
  s.import_mode.store(kImportMulti, std::memory_order_release);
}

void HandleBackupData(HandlerContext& c, const uint8_t* packet, size_t size) {
  if (c.jobs != nullptr) c.jobs->OnBackupData(packet, size);
}

void HandleRestoreAck(HandlerContext& c, const uint8_t* p, size_t size) {
  if (c.jobs != nullptr) c.jobs->OnRestoreAck(p, size);
}

}  // namespace rq700
