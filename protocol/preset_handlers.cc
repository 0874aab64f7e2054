#include "protocol/handlers.h"

namespace rq700 {
namespace {

bool ValidPreset(int index) { return index >= 0 && index < kPresetCount; }

// A whole record arrived: store it and rebuild its list text from the name field.
void StoreWholeRecord(DeviceState& s, int index, const uint8_t* rec) {
  WriteRecord(s, index, rec);
  SetPresetName(s, index, rec + record::kName, record::kNameSize);
}

}  // namespace

void HandleCursorRecord(HandlerContext& c, const uint8_t* p, size_t) {
  DeviceState& s = c.state;
  const int cursor = s.list_cursor.Get();
  if (!ValidPreset(cursor)) return;
  StoreWholeRecord(s, cursor, p);
  s.selection_guard = 255;
  SelectPreset(s, cursor);
  s.dirty = 0;
  s.record_echoed = 1;
}

void HandleDumpRecord(HandlerContext& c, const uint8_t* p, size_t) {
  DeviceState& s = c.state;
  const int index = p[0];
  if (!ValidPreset(index)) return;
  StoreWholeRecord(s, index, p + 1);
  if (index == kPresetCount - 1) {
    // The store is whole now. Unless the device sent the current preset's record after
    // naming it, the edit model may have been loaded before that record arrived: load it
    // again from the store.
    if (s.dump_running.load() == 1 && s.record_echoed.load() == 0) {
      s.selection_guard = 255;
      SelectPreset(s, s.list_cursor.Get());
    }
    s.load_complete = 1;
    s.dirty = 0;
  }
  c.window.WaitingProgress(index);
}

void HandleCurrentPreset(HandlerContext& c, const uint8_t* p, size_t) {
  DeviceState& s = c.state;
  const int index = p[0];
  if (!ValidPreset(index)) return;
  s.dirty = 0;
  s.list_cursor.SetBoth(index);
  s.current_preset = index;
  s.record_echoed = 0;
  SelectPreset(s, index);
}

void HandlePresetName(HandlerContext& c, const uint8_t* p, size_t) {
  const int index = p[0];
  if (!ValidPreset(index)) return;
  WriteRecordName(c.state, index, p + 1, kSaveNameSize);
  SetPresetName(c.state, index, p + 1, kSaveNameSize);
}

void HandlePresetRecord(HandlerContext& c, const uint8_t* p, size_t) {
  const int index = p[0];
  if (!ValidPreset(index)) return;
  StoreWholeRecord(c.state, index, p + 1);
}

}  // namespace rq700
