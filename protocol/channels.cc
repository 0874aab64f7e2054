#include "protocol/channels.h"

#include <cstring>
#include <mutex>

#include "protocol/job_encoders.h"
#include "protocol/module_encoders.h"
#include "protocol/system_encoders.h"

namespace rq700 {
namespace {

using Lock = std::lock_guard<std::mutex>;

// ---- Module channels (0x90-0x99) ----

// Compares every field of the module; all differing fields are copied, not just the first.
bool SyncModule(DeviceState& s, int type) {
  ModuleFields& m = s.module[type];
  if (m.model.Differs() && m.model.Get() == 0) m.model.Set(1);
  bool changed = m.enable.Sync();
  changed |= m.model.Sync();
  for (int p = 0; p < kModuleParamCount[type]; ++p) changed |= m.param[p].Sync();
  switch (type) {
    case kEq:
      for (auto& word : s.eq_word) changed |= word.Sync();
      break;
    case kMod:
      changed |= s.mod_word.Sync();
      break;
    case kDelay:
      for (int i = 1; i <= 6; ++i) changed |= s.delay_word[i].Sync();
      changed |= s.delay_time_b.Sync();
      break;
    default:
      break;
  }
  return changed;
}

template <int kType>
void ModuleChannel(ChannelContext& c, PayloadWriter& out) {
  DeviceState& s = c.state;
  bool changed;
  {
    Lock lock(s.edit_lock);
    changed = SyncModule(s, kType);
  }
  if (!changed) return;
  s.dirty = 1;
  // The page sync later in this turn then reports the selected module again.
  s.selected_module.SetSent(kModuleResend);
  EncodeModule(s, kType, out);
}

// ---- Page sync (0x82) ----

void PageSyncChannel(ChannelContext& c, PayloadWriter& out) {
  DeviceState& s = c.state;
  uint8_t a = 0;
  uint8_t b = 0;
  bool send = false;
  {
    Lock lock(s.edit_lock);
    if (s.selected_module.Sync()) {
      a = s.selected_module.Get();
      send = true;
    }
    if (s.active_item.Sync()) {
      switch (s.active_item.Get()) {
        case kItemSystemPage:
          a = 11;
          b = 0;
          send = true;
          break;
        case kItemCtrlPage:
          a = 16;
          send = true;
          break;
        case kItemExpPage:
          a = 15;
          send = true;
          break;
        case kItemDismissed:
          a = 0;
          b = 0;
          send = true;
          break;
        default:
          break;
      }
    }
    if (s.list_row.Sync()) {
      a = 0;
      b = 0;
      send = true;
    }
    if (s.active_sub_item.Differs()) {
      const uint8_t sub = s.active_sub_item.Get();
      if (sub == kSubItemConfirmation) {
        a = 11;
        b = 8;
        send = true;
      } else if (sub == kSubItemSecondConfirmation) {
        a = 11;
        b = 5;
        send = true;
      }
      s.active_sub_item.SetSent(sub);
    }
    for (int i = 0; i < kPageRequestFlags; ++i) {
      if (s.page_request[i].exchange(0) != 0) {
        a = 11;
        b = static_cast<uint8_t>(i);
        send = true;
      }
    }
    if (s.shown_exp_tab.Sync()) {
      a = 15;
      b = s.shown_exp_tab.Get();
      send = true;
    }
    const uint8_t marker = s.tab_marker.load(std::memory_order_relaxed);
    if (marker != s.tab_marker_sent_page.load(std::memory_order_relaxed) || a == 16) {
      s.tab_marker_sent_page.store(marker, std::memory_order_relaxed);
      a = 16;
      if (marker == 1) {
        b = 0;
      } else if (marker == 2) {
        b = 1;
      } else if (marker == 0) {
        a = 0;
        b = 0;
      }
      send = true;
    }
  }
  if (send) EncodePageSync(a, b, out);
}

// ---- Preset-level channels ----

void VolumeChannel(ChannelContext& c, PayloadWriter& out) {
  DeviceState& s = c.state;
  {
    // The reader writes the device's volume into both copies under this lock; comparing
    // under it too keeps a device value from being echoed back.
    Lock lock(s.edit_lock);
    if (!s.volume.Sync()) return;
  }
  s.dirty = 1;
  EncodeVolume(s, out);
}

// One chain position per turn: a change of k positions goes out in k turns, each complete.
void ChainChannel(ChannelContext& c, PayloadWriter& out) {
  DeviceState& s = c.state;
  bool changed = false;
  {
    Lock lock(s.edit_lock);
    for (auto& position : s.chain_order) {
      if (position.Sync()) {
        changed = true;
        break;
      }
    }
  }
  if (!changed) return;
  s.dirty = 1;
  EncodeChain(s, out);
}

// Page-request flag raised by a change of each system byte; -1 for none.
constexpr int kSystemPageRequest[kSystemBytes] = {1, 3, 3, 3, 3, 4, 4, -1, 6, 7};

void SystemChannel(ChannelContext& c, PayloadWriter& out) {
  DeviceState& s = c.state;
  bool changed = false;
  {
    Lock lock(s.edit_lock);
    for (int i = 0; i < kSystemBytes; ++i) {
      if (!s.system[i].Sync()) continue;
      changed = true;
      if (kSystemPageRequest[i] >= 0) s.page_request[kSystemPageRequest[i]] = 1;
    }
  }
  if (changed) EncodeSystem(s, out);
}

void ExpSettingsChannel(ChannelContext& c, PayloadWriter& out) {
  DeviceState& s = c.state;
  bool changed = false;
  {
    Lock lock(s.edit_lock);
    changed |= s.exp_switch.Sync();
    for (int type = 1; type <= kModuleTypes; ++type) {
      if (s.exp1_param[type].Sync()) {
        s.shown_exp_tab.Set(1);
        changed = true;
      }
      if (s.exp2_param[type].Sync()) {
        s.shown_exp_tab.Set(2);
        changed = true;
      }
    }
    if (s.exp1_module.Sync()) {
      s.shown_exp_tab.Set(1);
      changed = true;
    }
    if (s.exp2_module.Sync()) {
      s.shown_exp_tab.Set(2);
      changed = true;
    }
    const bool low = s.exp_low.Sync();
    const bool high = s.exp_high.Sync();
    if (low || high) {
      s.shown_exp_tab.Set(3);
      changed = true;
    }
  }
  if (!changed) return;
  s.dirty = 1;
  EncodeExpSettings(s, out);
}

void TempoChannel(ChannelContext& c, PayloadWriter& out) {
  DeviceState& s = c.state;
  bool changed = false;
  {
    Lock lock(s.edit_lock);
    for (int type = 1; type <= kModuleTypes; ++type) changed |= s.module_switch[type].Sync();
    changed |= s.tempo.Sync();
    const uint8_t marker = s.tab_marker.load(std::memory_order_relaxed);
    if (marker != s.tab_marker_sent_tempo.load(std::memory_order_relaxed)) {
      s.tab_marker_sent_tempo.store(marker, std::memory_order_relaxed);
      changed = true;
    }
  }
  if (changed) EncodeTempo(s, out);
}

void SelectPresetChannel(ChannelContext& c, PayloadWriter& out) {
  DeviceState& s = c.state;
  // The cursor is read once, so the index compared, remembered and sent is the same one
  // even while the UI moves the cursor.
  const auto cursor = s.list_cursor.Get();
  if (cursor == s.list_cursor.Sent() || s.preset_change_request.load() != 1) return;
  s.list_cursor.SetSent(cursor);
  s.preset_change_request = 0;
  EncodeSelectPreset(static_cast<int>(cursor), out);
}

// Builds its payload under the lock, so the name and target go out as one.
void SaveNameChannel(ChannelContext& c, PayloadWriter& out) {
  DeviceState& s = c.state;
  Lock lock(s.edit_lock);
  if (s.save_request.load() != kSaveRaised) return;
  s.save_request = kSaveWithdrawn;
  s.preset_change_request = 1;
  EncodeSaveName(s, out);
}

void ExpChangeChannel(ChannelContext& c, PayloadWriter& out) {
  if (c.state.exp_change_marker.Sync()) EncodeExpChange(c.state, out);
}

void SecondConfirmationChannel(ChannelContext& c, PayloadWriter& out) {
  DeviceState& s = c.state;
  {
    // The reader writes the device's value into both copies under this lock; comparing
    // under it too keeps a device value from being echoed back.
    Lock lock(s.edit_lock);
    if (!s.second_confirmation.Sync()) return;
  }
  EncodeSecondConfirmation(s, out);
}

// ---- Jobs ----

// Sends a staged transfer's stage once, when the device's acknowledgement moved it on.
template <bool (*kEncode)(const SlotTransfer&, int, PayloadWriter&)>
void SlotTransferChannel(DeviceState& s, SlotTransfer& t, PayloadWriter& out) {
  Lock lock(s.edit_lock);
  if (t.active.load(std::memory_order_acquire) == 0) return;
  const int stage = t.stage.load();
  if (stage == t.stage_sent) return;
  t.stage_sent = stage;
  kEncode(t, stage, out);
}

void IrTransferChannel(ChannelContext& c, PayloadWriter& out) {
  SlotTransferChannel<EncodeIrStage>(c.state, c.state.ir, out);
}

void AmpTransferChannel(ChannelContext& c, PayloadWriter& out) {
  SlotTransferChannel<EncodeAmpStage>(c.state, c.state.amp, out);
}

void IrSelectChannel(ChannelContext& c, PayloadWriter& out) {
  DeviceState& s = c.state;
  if (s.ir_select_request.load() != 1) return;
  EncodeIrSelect(s, out);
  s.ir_select_request = 0;
}

void WritePresetChannel(ChannelContext& c, PayloadWriter& out) {
  DeviceState& s = c.state;
  if (s.import_mode.load(std::memory_order_acquire) != kImportSingle) return;
  EncodeWritePreset(s, out);
  s.import_mode = kImportIdle;
}

// Sends the next file of a multi-file import and waits (mode idle, in flight) for the
// device's acknowledgement, which sets the mode back; reports the end to the window.
void PresetImportChannel(ChannelContext& c, PayloadWriter& out) {
  DeviceState& s = c.state;
  if (s.import_mode.load(std::memory_order_acquire) != kImportMulti) return;
  const int remaining = s.import_remaining.load();
  if (remaining == 0) {
    s.import_mode = kImportIdle;
    c.window.ImportResult(0);
    return;
  }
  const int entry = s.import_total.load() - remaining;
  int target = -1;
  uint8_t rec[record::kSize];
  int code = c.import_feed != nullptr ? c.import_feed->LoadEntry(entry, rec, &target) : 6;
  if (code == 0 && (target < 0 || target >= kPresetCount)) code = 6;
  if (code != 0) {
    s.import_mode = kImportIdle;
    c.window.ImportResult(code);
    return;
  }
  SetPresetName(s, target, rec + record::kName, kSaveNameSize);
  std::memcpy(s.import_buffer, rec, record::kSize);
  s.import_target = target;
  EncodeImportRecord(static_cast<uint8_t>(target), rec, out);
  s.import_mode = kImportIdle;
  // Publishes the import buffer and target to the acknowledgement handler.
  s.in_flight.store(1, std::memory_order_release);
}

void BackupRequestChannel(ChannelContext& c, PayloadWriter& out) {
  if (c.jobs == nullptr) return;
  out.size += c.jobs->EncodeBackupRequest(out.out + out.size, out.room());
}

void RestoreChunkChannel(ChannelContext& c, PayloadWriter& out) {
  if (c.jobs == nullptr) return;
  out.size += c.jobs->EncodeRestoreChunk(out.out + out.size, out.room());
}

// What the device sends from now on, until it falls quiet after record 199, is its dump.
void DumpRequestChannel(ChannelContext& c, PayloadWriter&) {
  c.state.dump_running.store(1, std::memory_order_relaxed);
}

// The ring, in order. 0xE0 stands outside it and leads into 0x90.
constexpr Channel kChannels[] = {
    {0xE0, DumpRequestChannel, 0x90, true},
    {0x90, ModuleChannel<kFxComp>, 0x91},
    {0x91, ModuleChannel<kDsOd>, 0x92},
    {0x92, nullptr, 0x93},
    {0x93, ModuleChannel<kAmp>, 0x94},
    {0x94, ModuleChannel<kCab>, 0x95},
    {0x95, ModuleChannel<kNs>, 0x96},
    {0x96, ModuleChannel<kEq>, 0x97},
    {0x97, ModuleChannel<kMod>, 0x98},
    {0x98, ModuleChannel<kDelay>, 0x99},
    {0x99, ModuleChannel<kReverb>, 0x9A},
    {0x9A, nullptr, 0x82},
    {0x82, PageSyncChannel, 0xA2},
    {0xA2, VolumeChannel, 0xA0},
    {0xA0, ChainChannel, 0xA1},
    {0xA1, SystemChannel, 0xA3},
    {0xA3, ExpSettingsChannel, 0xA4},
    {0xA4, TempoChannel, 0xA6},
    {0xA6, SelectPresetChannel, 0xA8},
    {0xA8, SaveNameChannel, 0xE1},
    {0xE1, IrTransferChannel, 0xE4},
    {0xE4, IrSelectChannel, 0xE5},
    {0xE5, PresetImportChannel, 0x83},
    {0x83, WritePresetChannel, 0x87},
    {0x87, ExpChangeChannel, 0x89},
    {0x89, SecondConfirmationChannel, 0xE2},
    {0xE2, AmpTransferChannel, 0xAA},
    {0xAA, BackupRequestChannel, 0xAB},
    {0xAB, RestoreChunkChannel, 0x90},
};

}  // namespace

const Channel* FindChannel(uint8_t state) {
  for (const Channel& channel : kChannels) {
    if (channel.state == state) return &channel;
  }
  return nullptr;
}

}  // namespace rq700
