#include "protocol/dispatcher.h"

#include <chrono>
#include <mutex>

#include "link/packet.h"
#include "protocol/module_encoders.h"

namespace rq700 {
namespace {

struct Route {
  uint8_t command;
  size_t min_payload;
  bool marks_dirty;
  HandlerFn handler;
  // Writes current and last-sent pairs: done under the edit lock, so a channel comparing
  // at that moment never sees the current value alone and sends it back.
  bool locks_edit = false;
};

constexpr Route kRoutes[] = {
    {0x81, 5, false, HandleVersion},
    {0x82, 3, false, HandlePageSync},
    {0x85, kUserSlots* kUserNameSize, false, HandleUserIrNames},
    {0x86, record::kSize, false, HandleCursorRecord},
    {0x89, 1, false, HandleSecondConfirmation, true},
    {0xA0, 2 * kChainLength, false, HandleChain, true},
    {0xA1, kSystemBytes, true, HandleSystem, true},
    {0xA2, 1, true, HandleVolume, true},
    {0xA3, 7, true, HandleExpSettings, true},
    {0xA4, 11, true, HandleTempo, true},
    {0xA5, 1 + record::kSize, false, HandleDumpRecord},
    {0xA6, 1, false, HandleCurrentPreset},
    {0xA8, 1 + kSaveNameSize, false, HandlePresetName},
    {0xA9, 1 + record::kSize, false, HandlePresetRecord},
    {0xAB, 3, false, HandleRestoreAck},
    {0xBB, 2, false, HandleExpMerge},
    {0xE1, 1, false, HandleIrAck},
    {0xE2, 1, false, HandleAmpAck},
    {0xE3, kUserSlots* kUserNameSize, false, HandleUserAmpNames},
    {0xE5, 0, false, HandleImportAck},
};

int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

Dispatcher::Dispatcher(DeviceState& state, WindowLink& window) : context_{state, window} {}

void Dispatcher::MarkDirty() {
  // Before record 199 the mark stands until that record clears it; after it, the dump's
  // last setting packets leave the preset as it was loaded.
  const DeviceState& s = context_.state;
  if (s.dump_running.load() == 1 && s.load_complete.load() == 1) return;
  context_.state.dirty = 1;
}

void Dispatcher::OnQuiet() {
  DeviceState& s = context_.state;
  if (s.load_complete.load() == 1 && s.dump_running.load() == 1) {
    s.dump_running = 0;
    last_record_ms_ = -1;
  }
}

void Dispatcher::OnPacket(const uint8_t* packet, size_t size) {
  DeviceState& s = context_.state;
  // Whatever the packet moved on (a job's next step, a name, a value the window shows),
  // the sleeping sequencer and the window hear of it once it is handled.
  struct NotifyWhenHandled {
    ChangeSignal& signal;
    ~NotifyWhenHandled() { signal.Notify(); }
  } notify{s.changes};
  if (s.dump_running.load() == 1 && s.load_complete.load() == 1) {
    const int64_t now = NowMs();
    if (last_record_ms_ < 0) {
      last_record_ms_ = now;
    } else if (now - last_record_ms_ >= kDumpTailMs) {
      s.dump_running = 0;
      last_record_ms_ = -1;
    }
  }
  if (size < kPacketOverhead + 1) return;
  const uint16_t length = PacketLength(packet);
  if (length == 0 || static_cast<size_t>(length) + kPacketOverhead > size) return;
  const uint8_t command = packet[kPacketCommandOffset];
  const uint8_t* payload = packet + kPacketPayloadOffset;
  const size_t payload_size = length - 1u;

  if (command == 0xAA) {
    HandleBackupData(context_, packet, size);
    return;
  }
  if (const int type = ModuleOfCommand(command); type != 0) {
    if (payload_size < ModulePayloadNeeded(type, payload, payload_size)) return;
    MarkDirty();
    std::lock_guard<std::mutex> lock(context_.state.edit_lock);
    HandleModule(context_, command, payload, payload_size);
    return;
  }
  for (const Route& route : kRoutes) {
    if (route.command != command) continue;
    if (payload_size < route.min_payload) return;
    if (route.marks_dirty) MarkDirty();
    if (route.locks_edit) {
      std::lock_guard<std::mutex> lock(context_.state.edit_lock);
      route.handler(context_, payload, payload_size);
    } else {
      route.handler(context_, payload, payload_size);
    }
    return;
  }
}

}  // namespace rq700
