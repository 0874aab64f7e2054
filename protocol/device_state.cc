#include "protocol/device_state.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace rq700 {
namespace {

bool ValidPreset(int index) { return index >= 0 && index < kPresetCount; }

template <typename T>
void ResetTracked(Tracked<T>& field, T value) {
  field.SetBoth(value);
}

uint8_t LoadModel(uint8_t model) { return model == 0 ? 1 : model; }

}  // namespace

DeviceState::DeviceState() {
  ChangeSignal* signal = &changes;
  const auto watch = [signal](auto& field) { field.Watch(signal); };
  const auto watch_all = [&watch](auto& fields) {
    for (auto& field : fields) watch(field);
  };
  watch(selected_module);
  for (ModuleFields& m : module) {
    watch(m.enable);
    watch(m.model);
    watch_all(m.param);
  }
  watch_all(eq_word);
  watch(mod_word);
  watch_all(delay_word);
  watch(delay_time_b);
  watch_all(chain_order);
  watch_all(chain_off);
  watch(volume);
  watch(exp_switch);
  watch(exp1_module);
  watch(exp2_module);
  watch_all(exp1_param);
  watch_all(exp2_param);
  watch(exp_low);
  watch(exp_high);
  watch(exp_change_marker);
  watch(exp_tab);
  watch(tempo);
  watch_all(module_switch);
  watch(tab_marker);
  watch_all(system);
  watch(second_confirmation);
  watch(active_item);
  watch(active_sub_item);
  watch(exp_settings_marker);
  watch(list_row);
  watch_all(page_request);
  watch(shown_exp_tab);
  watch(list_cursor);
  watch(current_preset);
  watch(dirty);
  watch(re_request);
  watch(preset_change_request);
  watch(save_request);
  watch_all(exp_merge);
  watch(import_mode);
  for (SlotTransfer* t : {&ir, &amp}) {
    watch(t->active);
    watch(t->stage);
  }
  watch(ir_select_request);
  watch(backup_request);
  watch(restore_request);
  watch(transfer_section);
  watch(transfer_slot);
  watch(transfer_chunk);
}

void ResetToDefaults(DeviceState& s) {
  ResetTracked<uint8_t>(s.selected_module, 1);
  for (auto& m : s.module) {
    ResetTracked<uint8_t>(m.enable, 0);
    ResetTracked<uint8_t>(m.model, 1);
    for (auto& p : m.param) ResetTracked<uint8_t>(p, 0);
  }
  for (auto& w : s.eq_word) ResetTracked<uint16_t>(w, 100);
  ResetTracked<uint16_t>(s.mod_word, 0);
  for (auto& w : s.delay_word) ResetTracked<uint16_t>(w, 0);
  ResetTracked<uint16_t>(s.delay_time_b, 0);
  for (auto& c : s.chain_order) ResetTracked<uint8_t>(c, 0);
  for (auto& c : s.chain_off) ResetTracked<uint8_t>(c, 0);
  ResetTracked<uint8_t>(s.volume, 100);
  ResetTracked<uint8_t>(s.exp_switch, 0);
  ResetTracked<uint8_t>(s.exp1_module, 1);
  ResetTracked<uint8_t>(s.exp2_module, 1);
  for (auto& p : s.exp1_param) ResetTracked<uint8_t>(p, 0);
  for (auto& p : s.exp2_param) ResetTracked<uint8_t>(p, 0);
  ResetTracked<uint8_t>(s.exp_low, 0);
  ResetTracked<uint8_t>(s.exp_high, 0);
  ResetTracked<uint8_t>(s.exp_change_marker, 0);
  s.exp_tab = 1;
  ResetTracked<int32_t>(s.tempo, 40);
  for (auto& f : s.module_switch) ResetTracked<uint8_t>(f, 0);
  s.tab_marker = 1;
  s.tab_marker_sent_tempo = 1;
  s.tab_marker_sent_page = 1;
  for (auto& b : s.system) ResetTracked<uint8_t>(b, 0);
  ResetTracked<uint8_t>(s.second_confirmation, 0);
  ResetTracked<uint8_t>(s.active_item, kItemNone);
  ResetTracked<uint8_t>(s.active_sub_item, kItemNone);
  s.exp_settings_marker = 0;
  // Equal to its last-sent copy: a different start would send a page report at start-up
  // for a list click that never happened.
  ResetTracked<uint8_t>(s.list_row, 0);
  for (auto& f : s.page_request) f = 0;
  ResetTracked<uint8_t>(s.shown_exp_tab, 0);
  ResetTracked<int32_t>(s.list_cursor, 0);
  s.current_preset = 0;
  for (auto& b : s.carried_byte) b = 0;
  for (auto& t : s.carried_table)
    for (auto& b : t) b = 0;
  for (auto& w : s.carried_word) w = 0;

  s.sync_enabled = 1;
  s.selection_guard = 255;
  s.dirty = 0;
  s.load_complete = 0;
  s.re_request = 0;
  s.dump_running = 0;
  s.record_echoed = 0;
  s.preset_change_request = 0;
  s.save_request = kSaveWithdrawn;
  s.save_target = 0;
  for (auto& b : s.save_name) b = 0;
  for (auto& f : s.exp_merge) f = 0;

  s.import_mode = kImportIdle;
  s.in_flight = 0;
  std::memset(s.import_buffer, 0, sizeof(s.import_buffer));
  s.import_total = 0;
  s.import_remaining = 0;
  s.import_target = -1;

  for (SlotTransfer* t : {&s.ir, &s.amp}) {
    t->active = 0;
    t->stage = 0;
    t->stage_sent = 0;
    t->slot = 0;
    std::memset(t->words, 0, sizeof(t->words));
    std::memset(t->name, 0, sizeof(t->name));
  }
  s.ir_select_request = 0;

  s.backup_request = 0;
  s.restore_request = 0;
  s.transfer_section = 1;
  s.transfer_slot = 1;
  s.transfer_chunk = 1;

  {
    std::lock_guard<std::mutex> lock(s.store_lock);
    std::memset(s.store, 0, sizeof(s.store));
    for (auto& n : s.name_list) n.clear();
  }
  {
    std::lock_guard<std::mutex> lock(s.text_lock);
    s.version_text.clear();
    for (auto& n : s.user_ir_names) n.clear();
    for (auto& n : s.user_amp_names) n.clear();
  }
  s.changes.Notify();
}

int ChainPosition(const DeviceState& state, int module_type) {
  for (int pos = 0; pos < kChainLength; ++pos) {
    if (state.chain_order[pos].Get() == module_type) return pos;
  }
  return -1;
}

void SetChainOffFromEnable(DeviceState& state, int module_type) {
  const int pos = ChainPosition(state, module_type);
  if (pos < 0) return;
  state.chain_off[pos].SetBoth(state.module[module_type].enable.Get() == 1 ? 0 : 1);
}

Tracked<uint8_t>* ExpParamEntry(Tracked<uint8_t>* table, int module) {
  if (module < 1 || module > kModuleTypes) return nullptr;
  return &table[module];
}

const Tracked<uint8_t>* ExpParamEntry(const Tracked<uint8_t>* table, int module) {
  if (module < 1 || module > kModuleTypes) return nullptr;
  return &table[module];
}

void SelectPreset(DeviceState& s, int index) {
  if (!ValidPreset(index)) return;
  if (s.selection_guard.exchange(index) == index) return;

  // Taken under the store lock first, so the two locks are never held together.
  uint8_t rec[record::kSize];
  ReadRecord(s, index, rec);
  LoadEditModel(s, rec);
}

void LoadEditModel(DeviceState& s, const uint8_t* rec) {
  s.sync_enabled = 0;
  {
    std::lock_guard<std::mutex> lock(s.edit_lock);
    for (int pos = 0; pos < kChainLength; ++pos) {
      s.chain_order[pos].SetBoth(rec[record::kChainOrder + pos]);
      s.chain_off[pos].SetBoth(rec[record::kChainOff + pos]);
    }
    s.volume.SetBoth(rec[record::kVolume]);
    s.exp_switch.SetBoth(rec[record::kExpSwitch]);

    for (int type = 1; type <= kModuleTypes; ++type) {
      const size_t slot = record::ModuleSlot(type);
      ModuleFields& m = s.module[type];
      m.model.SetBoth(LoadModel(rec[slot + record::kSlotModel]));
      m.enable.SetBoth(rec[slot + record::kSlotEnable]);
      for (int p = 0; p < kModuleParamCount[type]; ++p) {
        m.param[p].SetBoth(rec[slot + record::kSlotParams + p]);
      }
      SetChainOffFromEnable(s, type);
    }
    for (int i = 0; i < 3; ++i) {
      s.eq_word[i].SetBoth(record::ReadWord(rec, record::kEqWords + 2 * i));
    }
    s.mod_word.SetBoth(record::ReadWord(rec, record::kModWord));
    s.delay_word[1].SetBoth(rec[record::kDelayWord1]);
    s.delay_word[2].SetBoth(rec[record::kDelayWord2]);
    s.delay_word[3].SetBoth(record::ReadWord(rec, record::kDelayTimeWord));
    s.delay_word[4].SetBoth(rec[record::kDelayWord4]);
    if (s.module[kDelay].model.Get() == 9) {
      s.delay_time_b.SetBoth(record::ReadWord(rec, record::kDelayTimeBWord));
    } else {
      s.delay_word[5].SetBoth(rec[record::kDelayWord5]);
    }
    s.delay_word[6].SetBoth(rec[record::kDelayWord6]);

    s.exp1_module.SetBoth(static_cast<uint8_t>(rec[record::kExp1Module] + 1));
    if (auto* entry = ExpParamEntry(s.exp1_param, s.exp1_module.Get())) {
      entry->SetBoth(rec[record::kExp1Param]);
    }
    s.exp2_module.SetBoth(static_cast<uint8_t>(rec[record::kExp2Module] + 1));
    if (auto* entry = ExpParamEntry(s.exp2_param, s.exp2_module.Get())) {
      entry->SetBoth(rec[record::kExp2Param]);
    }
    for (int type = 1; type <= kModuleTypes; ++type) {
      s.module_switch[type].SetBoth(rec[record::kModuleSwitch + type - 1]);
    }

    s.carried_byte[0] = rec[record::kCarriedA];
    s.carried_byte[1] = rec[record::kCarriedB];
    s.carried_byte[2] = rec[record::kCarriedC];
    s.carried_byte[3] = rec[record::kCarriedD];
    s.carried_byte[4] = rec[record::kCarriedE];
    s.carried_byte[5] = rec[record::kCarriedF];
    for (int t = 0; t < 4; ++t) {
      for (size_t i = 0; i < record::kCarriedTableSize; ++i) {
        s.carried_table[t][i] = rec[record::kCarriedTables + t * record::kCarriedTableSize + i];
      }
    }
    for (int i = 0; i < record::kCarriedWordCount; ++i) {
      s.carried_word[i] = record::ReadWord(rec, record::kCarriedWords + 2 * i);
    }
    s.model_loads.fetch_add(1);
  }
  s.sync_enabled = 1;
}

void WriteEditModel(const DeviceState& s, uint8_t* rec) {
  for (int pos = 0; pos < kChainLength; ++pos) {
    rec[record::kChainOrder + pos] = s.chain_order[pos].Get();
    rec[record::kChainOff + pos] = s.chain_off[pos].Get();
  }
  rec[record::kVolume] = s.volume.Get();
  rec[record::kExpSwitch] = s.exp_switch.Get();
  for (int type = 1; type <= kModuleTypes; ++type) {
    const size_t slot = record::ModuleSlot(type);
    const ModuleFields& m = s.module[type];
    rec[slot + record::kSlotModel] = m.model.Get();
    rec[slot + record::kSlotEnable] = m.enable.Get();
    for (int p = 0; p < kModuleParamCount[type]; ++p) {
      rec[slot + record::kSlotParams + p] = m.param[p].Get();
    }
  }
  for (int i = 0; i < 3; ++i) record::WriteWord(rec, record::kEqWords + 2 * i, s.eq_word[i].Get());
  record::WriteWord(rec, record::kModWord, s.mod_word.Get());
  rec[record::kDelayWord1] = static_cast<uint8_t>(s.delay_word[1].Get());
  rec[record::kDelayWord2] = static_cast<uint8_t>(s.delay_word[2].Get());
  record::WriteWord(rec, record::kDelayTimeWord, s.delay_word[3].Get());
  rec[record::kDelayWord4] = static_cast<uint8_t>(s.delay_word[4].Get());
  rec[record::kDelayWord5] = static_cast<uint8_t>(s.delay_word[5].Get());
  record::WriteWord(rec, record::kDelayTimeBWord, s.delay_time_b.Get());
  rec[record::kDelayWord6] = static_cast<uint8_t>(s.delay_word[6].Get());

  const uint8_t exp1 = s.exp1_module.Get();
  const uint8_t exp2 = s.exp2_module.Get();
  rec[record::kExp1Module] = static_cast<uint8_t>(exp1 - 1);
  if (const auto* entry = ExpParamEntry(s.exp1_param, exp1)) rec[record::kExp1Param] = entry->Get();
  rec[record::kExp2Module] = static_cast<uint8_t>(exp2 - 1);
  if (const auto* entry = ExpParamEntry(s.exp2_param, exp2)) rec[record::kExp2Param] = entry->Get();
  for (int type = 1; type <= kModuleTypes; ++type) {
    rec[record::kModuleSwitch + type - 1] = s.module_switch[type].Get();
  }

  rec[record::kCarriedA] = s.carried_byte[0];
  rec[record::kCarriedB] = s.carried_byte[1];
  rec[record::kCarriedC] = s.carried_byte[2];
  rec[record::kCarriedD] = s.carried_byte[3];
  rec[record::kCarriedE] = s.carried_byte[4];
  rec[record::kCarriedF] = s.carried_byte[5];
  for (int t = 0; t < 4; ++t) {
    for (size_t i = 0; i < record::kCarriedTableSize; ++i) {
      rec[record::kCarriedTables + t * record::kCarriedTableSize + i] = s.carried_table[t][i];
    }
  }
  for (int i = 0; i < record::kCarriedWordCount; ++i) {
    record::WriteWord(rec, record::kCarriedWords + 2 * i, s.carried_word[i]);
  }
}

void SaveIntoStore(DeviceState& s, int index) {
  if (!ValidPreset(index)) return;
  {
    std::lock_guard<std::mutex> lock(s.store_lock);
    WriteEditModel(s, s.store[index]);
  }
  {
    std::lock_guard<std::mutex> lock(s.edit_lock);
    s.model_loads.fetch_add(1);
  }
  s.changes.Notify();
  s.selection_guard = 255;
  s.dirty = 0;
  s.save_request = kSaveRaised;
}

void ReadRecord(const DeviceState& s, int index, uint8_t* out) {
  if (!ValidPreset(index)) {
    std::memset(out, 0, record::kSize);
    return;
  }
  std::lock_guard<std::mutex> lock(s.store_lock);
  std::memcpy(out, s.store[index], record::kSize);
}

void WriteRecord(DeviceState& s, int index, const uint8_t* rec) {
  if (!ValidPreset(index)) return;
  {
    std::lock_guard<std::mutex> lock(s.store_lock);
    std::memcpy(s.store[index], rec, record::kSize);
  }
  s.changes.Notify();
}

void WriteRecordName(DeviceState& s, int index, const uint8_t* name, size_t size) {
  if (!ValidPreset(index)) return;
  {
    std::lock_guard<std::mutex> lock(s.store_lock);
    std::memcpy(s.store[index] + record::kName, name, std::min(size, record::kNameSize));
  }
  s.changes.Notify();
}

std::string Latin1Text(const uint8_t* bytes, size_t size) {
  std::string text;
  for (size_t i = 0; i < size && bytes[i] != 0; ++i) {
    const uint8_t c = bytes[i];
    if (c < 0x80) {
      text.push_back(static_cast<char>(c));
    } else {
      text.push_back(static_cast<char>(0xC0 | (c >> 6)));
      text.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return text;
}

std::string PresetListText(int index, const uint8_t* name, size_t size) {
  const int number = index + 1;
  char prefix[24];
  if (number < 10) {
    std::snprintf(prefix, sizeof(prefix), "P00%d: ", number);
  } else if (number < 100) {
    std::snprintf(prefix, sizeof(prefix), "P0%d: ", number);
  } else {
    std::snprintf(prefix, sizeof(prefix), "P%d: ", number);
  }
  return prefix + Latin1Text(name, size);
}

void SetPresetName(DeviceState& s, int index, const uint8_t* name, size_t size) {
  SetPresetListText(s, index, PresetListText(index, name, size));
}

void SetPresetListText(DeviceState& s, int index, const std::string& text) {
  if (!ValidPreset(index)) return;
  {
    std::lock_guard<std::mutex> lock(s.store_lock);
    s.name_list[index] = text;
  }
  s.changes.Notify();
}

std::string PresetName(const DeviceState& s, int index) {
  if (!ValidPreset(index)) return {};
  std::lock_guard<std::mutex> lock(s.store_lock);
  return s.name_list[index];
}

std::string VersionText(const DeviceState& s) {
  std::lock_guard<std::mutex> lock(s.text_lock);
  return s.version_text;
}

std::string UserIrName(const DeviceState& s, int slot) {
  if (slot < 0 || slot >= kUserSlots) return {};
  std::lock_guard<std::mutex> lock(s.text_lock);
  return s.user_ir_names[slot];
}

std::string UserAmpName(const DeviceState& s, int slot) {
  if (slot < 0 || slot >= kUserSlots) return {};
  std::lock_guard<std::mutex> lock(s.text_lock);
  return s.user_amp_names[slot];
}

void SetUserIrName(DeviceState& s, int slot, std::string utf8_name) {
  if (slot < 0 || slot >= kUserSlots) return;
  std::lock_guard<std::mutex> lock(s.text_lock);
  s.user_ir_names[slot] = std::move(utf8_name);
}

void SetUserAmpName(DeviceState& s, int slot, std::string utf8_name) {
  if (slot < 0 || slot >= kUserSlots) return;
  std::lock_guard<std::mutex> lock(s.text_lock);
  s.user_amp_names[slot] = std::move(utf8_name);
}

}  // namespace rq700
