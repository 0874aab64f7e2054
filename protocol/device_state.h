#ifndef RQ700_PROTOCOL_DEVICE_STATE_H_
#define RQ700_PROTOCOL_DEVICE_STATE_H_

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

#include "protocol/change_signal.h"
#include "protocol/preset_record.h"

namespace rq700 {

// One edit-model value with the copy last exchanged with the device. The UI writes the
// current value (Set); the sequencer copies a differing current value into last-sent under
// the edit lock and sends (Sync); values from the device or from a preset load go into
// both (SetBoth), so nothing is echoed back. Both halves are atomic: three threads touch
// them and no field relies on ordering with another. Every write that changes either half
// notifies the state's change signal, which wakes the sequencer and tells the window.
template <typename T>
struct Tracked {
  std::atomic<T> cur{};
  std::atomic<T> sent{};

  void Watch(ChangeSignal* signal) { signal_ = signal; }

  T Get() const { return cur.load(std::memory_order_relaxed); }
  T Sent() const { return sent.load(std::memory_order_relaxed); }
  void Set(T value) {
    if (cur.exchange(value, std::memory_order_relaxed) != value) Changed();
  }
  void SetSent(T value) {
    if (sent.exchange(value, std::memory_order_relaxed) != value) Changed();
  }
  void SetBoth(T value) {
    const bool moved = cur.exchange(value, std::memory_order_relaxed) != value;
    if (sent.exchange(value, std::memory_order_relaxed) != value || moved) Changed();
  }
  bool Differs() const { return Get() != Sent(); }
  // Copies a differing current value into last-sent; true when it differed.
  bool Sync() {
    const T value = Get();
    if (value == Sent()) return false;
    SetSent(value);
    return true;
  }

 private:
  void Changed() {
    if (signal_ != nullptr) signal_->Notify();
  }
  ChangeSignal* signal_ = nullptr;
};

// Module types, 1..9, in chain-slot order.
enum ModuleType : int {
  kFxComp = 1,
  kDsOd = 2,
  kAmp = 3,
  kCab = 4,
  kNs = 5,
  kEq = 6,
  kMod = 7,
  kDelay = 8,
  kReverb = 9,
};
inline constexpr int kModuleTypes = 9;
inline constexpr int kChainLength = 9;
inline constexpr int kMaxModuleParams = 6;

// Parameter bytes per module type (index 1..9). DELAY keeps all its values as words.
inline constexpr int kModuleParamCount[kModuleTypes + 1] = {0, 4, 3, 6, 4, 3, 6, 4, 0, 4};

inline constexpr int kPresetCount = record::kPresetCount;
inline constexpr int kSystemBytes = 10;
inline constexpr int kPageRequestFlags = 9;
inline constexpr int kSaveNameSize = 15;
inline constexpr int kUserSlots = 10;
inline constexpr int kUserNameSize = 15;
inline constexpr int kTransferWords = 512;
inline constexpr int kMaxImportFiles = 200;

// Active items and sub-items of the editor's pages that the protocol looks at.
inline constexpr uint8_t kItemSystemPage = 6;
inline constexpr uint8_t kItemCtrlPage = 7;
inline constexpr uint8_t kItemExpPage = 8;
inline constexpr uint8_t kItemDismissed = 254;
inline constexpr uint8_t kItemNone = 255;
inline constexpr uint8_t kSubItemSecondConfirmation = 22;
inline constexpr uint8_t kSubItemConfirmation = 23;
inline constexpr uint8_t kSubItemExpSettings = 56;

// Last-sent value of the selected module after a module send: the page sync later in the
// turn then reports the selected module again. It names no module.
inline constexpr uint8_t kModuleResend = 255;

// Save request values: the request is raised by 0, withdrawn by 1.
inline constexpr int32_t kSaveRaised = 0;
inline constexpr int32_t kSaveWithdrawn = 1;

// Import modes.
inline constexpr int32_t kImportIdle = 0;
inline constexpr int32_t kImportSingle = 1;
inline constexpr int32_t kImportMulti = 2;

struct ModuleFields {
  Tracked<uint8_t> enable;
  Tracked<uint8_t> model;
  Tracked<uint8_t> param[kMaxModuleParams];
};

// A staged transfer into a user slot (impulse response or amplifier). The window thread
// fills `words`, `name` and `slot` while the transfer is idle, sets `stage` to 1 and then
// raises `active` (release); the sequencer reads the data after seeing `active` (acquire).
struct SlotTransfer {
  Watched<int32_t> active{0};
  Watched<int32_t> stage{0};
  int32_t stage_sent = 0;  // sequencer thread only, under the edit lock
  std::atomic<uint8_t> slot{0};
  uint32_t words[kTransferWords] = {};
  uint8_t name[kUserNameSize] = {};
};

// The editor's picture of the device: the preset store with its name list, the edit
// model with a last-sent copy per field, the flags and the job state. One lives for the
// whole run; the UI, the sequencer and the reader thread share it.
struct DeviceState {
  // Binds every tracked and watched field to `changes`.
  DeviceState();
  DeviceState(const DeviceState&) = delete;
  DeviceState& operator=(const DeviceState&) = delete;

  // Moves on every change of a tracked or watched field, of the preset store, the name
  // list and the texts, and on every packet from the device: the sequencer sleeps on it
  // while it has nothing to send, and the window repaints only when it moved.
  ChangeSignal changes;

  // ---- Edit model ----
  Tracked<uint8_t> selected_module;
  ModuleFields module[kModuleTypes + 1];  // index = module type 1..9
  Tracked<uint16_t> eq_word[3];           // CUSTOM EQ band frequencies
  Tracked<uint16_t> mod_word;             // wide first parameter of MOD model 10
  Tracked<uint16_t> delay_word[7];        // delay words 1..6 (index 0 unused)
  Tracked<uint16_t> delay_time_b;         // model-9 delay word 5 (TIME B)
  Tracked<uint8_t> chain_order[kChainLength];
  Tracked<uint8_t> chain_off[kChainLength];
  Tracked<uint8_t> volume;
  Tracked<uint8_t> exp_switch;
  Tracked<uint8_t> exp1_module;
  Tracked<uint8_t> exp2_module;
  Tracked<uint8_t> exp1_param[kModuleTypes + 1];  // chosen parameter per module type
  Tracked<uint8_t> exp2_param[kModuleTypes + 1];
  Tracked<uint8_t> exp_low;
  Tracked<uint8_t> exp_high;
  Tracked<uint8_t> exp_change_marker;
  Watched<uint8_t> exp_tab{0};  // EXP tab being edited: 1 EXP1, 2 EXP2
  Tracked<int32_t> tempo;
  Tracked<uint8_t> module_switch[kModuleTypes + 1];
  Watched<uint8_t> tab_marker{0};
  std::atomic<uint8_t> tab_marker_sent_tempo{0};
  std::atomic<uint8_t> tab_marker_sent_page{0};
  Tracked<uint8_t> system[kSystemBytes];
  Tracked<uint8_t> second_confirmation;
  Tracked<uint8_t> active_item;  // last-sent is the page channel's copy
  Tracked<uint8_t> active_sub_item;
  Watched<uint8_t> exp_settings_marker{0};
  Tracked<uint8_t> list_row;
  Watched<int32_t> page_request[kPageRequestFlags] = {};
  Tracked<uint8_t> shown_exp_tab;
  Tracked<int32_t> list_cursor;
  Watched<int32_t> current_preset{0};
  // Carried block: copied between record and edit model, never interpreted or sent alone.
  std::atomic<uint8_t> carried_byte[6] = {};  // A, B, C, D, E, F
  std::atomic<uint8_t> carried_table[4][record::kCarriedTableSize] = {};
  std::atomic<uint16_t> carried_word[record::kCarriedWordCount] = {};

  // ---- Flags ----
  std::atomic<int32_t> sync_enabled{1};
  std::atomic<int32_t> selection_guard{255};
  Watched<int32_t> dirty{0};
  // Counts the loads of the edit model (a preset selected or imported) and the saves into
  // the store: the editor's undo history starts afresh when it moves. Changed under the
  // edit lock.
  std::atomic<uint32_t> model_loads{0};
  std::atomic<int32_t> load_complete{0};
  Watched<int32_t> re_request{0};
  // 1 while the device's answer to the dump request is coming in: from the request until
  // the device falls quiet after record 199 (or a second after it, at the latest). Its
  // packets describe the device as it is, so they do not mark the preset unsaved. Set by
  // the dump request's channel, cleared by the dispatcher.
  std::atomic<int32_t> dump_running{0};
  // 1 when the record of the device's current preset (0x86) has loaded the edit model
  // since the device last named its current preset (0xA6).
  std::atomic<int32_t> record_echoed{0};
  Watched<uint8_t> preset_change_request{0};
  Watched<int32_t> save_request{kSaveWithdrawn};
  std::atomic<uint8_t> save_target{0};
  std::atomic<uint8_t> save_name[kSaveNameSize] = {};
  Watched<uint8_t> exp_merge[2] = {};

  // ---- Preset import ----
  // The window thread fills the import buffer (and, for a multi-file import, the list
  // through the import feed) while the import mode is idle, then sets the mode (release).
  Watched<int32_t> import_mode{kImportIdle};
  std::atomic<uint8_t> in_flight{0};
  uint8_t import_buffer[record::kSize] = {};
  std::atomic<uint8_t> import_total{0};
  std::atomic<uint8_t> import_remaining{0};
  std::atomic<int32_t> import_target{-1};  // preset index of the record in flight

  // ---- User slot transfers ----
  SlotTransfer ir;
  SlotTransfer amp;
  Watched<int32_t> ir_select_request{0};  // 0xE4: select (clear) IR slot `ir.slot`

  // ---- Backup and restore ----
  Watched<int32_t> backup_request{0};
  Watched<int32_t> restore_request{0};
  Watched<int32_t> transfer_section{1};
  Watched<int32_t> transfer_slot{1};
  Watched<int32_t> transfer_chunk{1};

  // ---- Locks ----
  // The edit lock: the sequencer's compare-and-copy steps and preset selection.
  std::mutex edit_lock;
  // Guards the preset store and the name list (written by the reader and the save
  // dialog, read by the UI and the sequencer). Never held together with the edit lock.
  mutable std::mutex store_lock;
  uint8_t store[kPresetCount][record::kSize] = {};
  std::string name_list[kPresetCount];
  // Guards the texts the UI shows while the reader replaces them.
  mutable std::mutex text_lock;
  std::string version_text;
  std::string user_ir_names[kUserSlots];
  std::string user_amp_names[kUserSlots];
};

// Puts every field at its start value (the edit model's defaults; store and names empty).
void ResetToDefaults(DeviceState& state);

// Copies record `index` of the preset store into the edit model, current and last-sent
// alike, so nothing is sent. Selecting the preset that was last selected does nothing.
// Indices outside 0..199 are ignored.
void SelectPreset(DeviceState& state, int index);

// Loads a preset record into the edit model, current and last-sent alike (what selecting a
// preset does once it has read the record from the store).
void LoadEditModel(DeviceState& state, const uint8_t* record);

// The inverse copy: writes the edit model into record `index` of the store (the name bytes
// stay as they are), then resets the selection guard, clears the dirty flag and raises the
// save request. Indices outside 0..199 are ignored.
void SaveIntoStore(DeviceState& state, int index);

// Fills `record` with the edit model laid out as a preset record; fields the edit model
// does not hold are left as they are in `record`.
void WriteEditModel(const DeviceState& state, uint8_t* record);

// Store access, under the store lock. Indices outside 0..199 read zeros and write nothing.
void ReadRecord(const DeviceState& state, int index, uint8_t* out);
void WriteRecord(DeviceState& state, int index, const uint8_t* record);
// Writes name bytes into record `index` at offset 12 (at most 16).
void WriteRecordName(DeviceState& state, int index, const uint8_t* name, size_t size);

// Preset list text: "P" + number (index + 1, three digits) + ": " + the name bytes up to
// the first NUL (at most `size`), taken as Latin-1.
std::string PresetListText(int index, const uint8_t* name, size_t size);
// Sets the name list entry of `index` from `size` name bytes.
void SetPresetName(DeviceState& state, int index, const uint8_t* name, size_t size);
// Sets the name list entry of `index` to a ready-made text.
void SetPresetListText(DeviceState& state, int index, const std::string& text);
std::string PresetName(const DeviceState& state, int index);

// Texts the reader replaces at any time; read them through these.
std::string VersionText(const DeviceState& state);
std::string UserIrName(const DeviceState& state, int slot);
std::string UserAmpName(const DeviceState& state, int slot);
// The window's own change of a user slot's name (after a transfer into it, or its
// deletion), until the device reports its names again. Slots outside 0..9 are ignored.
void SetUserIrName(DeviceState& state, int slot, std::string utf8_name);
void SetUserAmpName(DeviceState& state, int slot, std::string utf8_name);

// Latin-1 bytes (up to the first NUL, at most `size`) as UTF-8.
std::string Latin1Text(const uint8_t* bytes, size_t size);

// The chain position (0..8) holding `module_type`, first match; -1 when absent.
int ChainPosition(const DeviceState& state, int module_type);
// Sets the off flag (current and last-sent) at the chain position of `module_type` from
// its enable: 0 when enabled, else 1. A module missing from the chain changes nothing.
void SetChainOffFromEnable(DeviceState& state, int module_type);

// The EXP parameter table entry of `module` (1..9); nullptr for a module outside 1..9.
Tracked<uint8_t>* ExpParamEntry(Tracked<uint8_t>* table, int module);
const Tracked<uint8_t>* ExpParamEntry(const Tracked<uint8_t>* table, int module);

}  // namespace rq700

#endif  // RQ700_PROTOCOL_DEVICE_STATE_H_
