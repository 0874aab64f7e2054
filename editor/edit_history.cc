#include "editor/edit_history.h"

#include <mutex>

namespace rq700 {
namespace {

// How many UI turns after an undo or redo the dirty flag is kept clear while the preset is
// back as loaded: a sequencer send of the undone values sets it just after its compare.
constexpr int kSettleTicks = 20;

class FieldList {
 public:
  explicit FieldList(EditFields& fields) : fields_(fields) {}

  EditField& Add(Tracked<uint8_t>& f) {
    EditField& field = Next();
    field.byte = &f;
    return field;
  }
  EditField& Add(Tracked<uint16_t>& f) {
    EditField& field = Next();
    field.word = &f;
    return field;
  }
  EditField& Add(Tracked<int32_t>& f) {
    EditField& field = Next();
    field.wide = &f;
    return field;
  }

 private:
  // A list longer than the array is a fault of the count; the extra fields are not kept.
  EditField& Next() { return n_ < kEditFieldCount ? fields_[n_++] : spare_; }
  EditField spare_;
  EditFields& fields_;
  int n_ = 0;
};

}  // namespace

int32_t EditField::Get() const {
  if (byte != nullptr) return byte->Get();
  if (word != nullptr) return word->Get();
  return wide->Get();
}

void EditField::Set(int32_t value) const {
  if (byte != nullptr) {
    byte->Set(static_cast<uint8_t>(value));
  } else if (word != nullptr) {
    word->Set(static_cast<uint16_t>(value));
  } else {
    wide->Set(value);
  }
}

bool EditField::Sent() const {
  if (!synced) return true;
  if (byte != nullptr) return !byte->Differs();
  if (word != nullptr) return !word->Differs();
  return !wide->Differs();
}

EditFields ListEditFields(DeviceState& d) {
  EditFields fields{};
  FieldList list(fields);
  auto preset = [](EditField& f, int module = 0) -> EditField& {
    f.preset = true;
    f.module = module;
    return f;
  };
  for (int type = 1; type <= kModuleTypes; ++type) {
    ModuleFields& m = d.module[type];
    preset(list.Add(m.enable), type);
    preset(list.Add(m.model), type);
    for (int p = 0; p < kModuleParamCount[type]; ++p) preset(list.Add(m.param[p]), type);
  }
  for (auto& w : d.eq_word) preset(list.Add(w), kEq);
  preset(list.Add(d.mod_word), kMod);
  for (int i = 1; i <= 6; ++i) preset(list.Add(d.delay_word[i]), kDelay);
  preset(list.Add(d.delay_time_b), kDelay);
  for (auto& c : d.chain_order) preset(list.Add(c));
  // The chain channel sends the off flags with the order but never compares them.
  for (auto& c : d.chain_off) preset(list.Add(c)).synced = false;
  preset(list.Add(d.volume));
  preset(list.Add(d.exp_switch));
  preset(list.Add(d.exp1_module)).exp_pedal = 1;
  preset(list.Add(d.exp2_module)).exp_pedal = 2;
  for (int type = 1; type <= kModuleTypes; ++type) {
    preset(list.Add(d.exp1_param[type])).exp_pedal = 1;
    preset(list.Add(d.exp2_param[type])).exp_pedal = 2;
  }
  preset(list.Add(d.exp_low));
  preset(list.Add(d.exp_high));
  for (int type = 1; type <= kModuleTypes; ++type) preset(list.Add(d.module_switch[type]));
  list.Add(d.tempo);
  for (int i = 0; i < kSystemBytes; ++i) {
    if (i != 7) list.Add(d.system[i]);  // 2 there closes the editor
  }
  return fields;
}

EditHistory::EditHistory(DeviceState& device)
    : device_(device), fields_(ListEditFields(device)), loads_seen_(device.model_loads.load()) {
  Clear();
}

void EditHistory::Take(EditSnapshot& snapshot) const {
  for (int i = 0; i < kEditFieldCount; ++i) snapshot[i] = fields_[i].Get();
}

void EditHistory::Clear() {
  touched_.reset();
  count_ = 0;
  applied_ = 0;
  oldest_ = 0;
  settle_ticks_ = 0;
  Take(loaded_);
  loaded_clean_ = device_.dirty.load() == 0;
  before_ = loaded_;
}

bool EditHistory::Reloaded() {
  const uint32_t loads = device_.model_loads.load();
  // An import may leave the edited preset as it is; it still starts afresh.
  if (loads == loads_seen_ && device_.import_mode.load() == kImportIdle) return false;
  loads_seen_ = loads;
  Clear();
  return true;
}

void EditHistory::BeforeInput() {
  Reloaded();
  Take(before_);
}

void EditHistory::AfterInput() {
  if (Reloaded()) return;  // the call loaded or saved a preset: nothing of it is undone
  EditSnapshot after;
  Take(after);
  for (int i = 0; i < kEditFieldCount; ++i) {
    if (after[i] == before_[i]) continue;
    if (!touched_[i]) {
      touched_[i] = true;
      open_before_[i] = before_[i];
    }
    open_after_[i] = after[i];
  }
}

void EditHistory::DropOldest() {
  oldest_ = (oldest_ + 1) % kMaxSteps;
  --count_;
  if (applied_ > 0) --applied_;
}

void EditHistory::Commit() {
  if (Reloaded() || touched_.none()) return;
  int changed = 0;
  for (int i = 0; i < kEditFieldCount; ++i)
    changed += touched_[i] && open_before_[i] != open_after_[i];
  if (changed == 0) {
    touched_.reset();
    return;
  }
  // A new step ends what could have been done again; the oldest steps make room.
  count_ = applied_;
  if (count_ > 0) {
    const Step& last = StepAt(count_ - 1);
    next_change_ = last.first + last.count;
  }
  auto held = [&] { return count_ == 0 ? 0u : next_change_ - StepAt(0).first; };
  while (count_ > 0 && (count_ == kMaxSteps || held() + changed > kMaxChanges)) DropOldest();

  Step step{next_change_, static_cast<uint16_t>(changed)};
  for (int i = 0; i < kEditFieldCount; ++i) {
    if (!touched_[i] || open_before_[i] == open_after_[i]) continue;
    changes_[next_change_++ % kMaxChanges] =
        Change{static_cast<uint16_t>(i), open_before_[i], open_after_[i]};
  }
  steps_[(oldest_ + count_) % kMaxSteps] = step;
  ++count_;
  applied_ = count_;
  touched_.reset();
  settle_ticks_ = 0;
}

bool EditHistory::Apply(int i, bool undo) {
  const Step& step = StepAt(i);
  bool pedal[3] = {};
  {
    std::lock_guard<std::mutex> lock(device_.edit_lock);
    // A preset loaded since the step was taken: its values belong to another preset.
    if (device_.model_loads.load() != loads_seen_) return false;
    for (uint32_t k = 0; k < step.count; ++k) {
      const Change& c = changes_[(step.first + k) % kMaxChanges];
      fields_[c.field].Set(undo ? c.before : c.after);
      pedal[fields_[c.field].exp_pedal] = true;
    }
  }
  // A pedal's choice is announced by a flip of the change marker, as a press on the EXP
  // page does.
  for (uint8_t p : {1, 2}) {
    if (!pedal[p]) continue;
    device_.exp_tab.store(p);
    device_.exp_change_marker.Set(device_.exp_change_marker.Get() ^ 1);
  }
  settle_ticks_ = loaded_clean_ && AtLoadedPreset() ? kSettleTicks : 0;
  return true;
}

bool EditHistory::Undo() {
  Commit();
  if (Reloaded() || applied_ == 0) return false;
  if (!Apply(applied_ - 1, true)) {
    Reloaded();
    return false;
  }
  --applied_;
  return true;
}

bool EditHistory::Redo() {
  Commit();
  if (Reloaded() || applied_ == count_) return false;
  if (!Apply(applied_, false)) {
    Reloaded();
    return false;
  }
  ++applied_;
  return true;
}

bool EditHistory::AtLoadedPreset() const {
  for (int i = 0; i < kEditFieldCount; ++i) {
    if (fields_[i].preset && fields_[i].Get() != loaded_[i]) return false;
  }
  return true;
}

void EditHistory::Tick() {
  if (Reloaded() || settle_ticks_ == 0) return;
  --settle_ticks_;
  if (!AtLoadedPreset()) {
    settle_ticks_ = 0;
    return;
  }
  for (const EditField& f : fields_) {
    if (!f.Sent()) return;
  }
  device_.dirty.store(0);
}

}  // namespace rq700
