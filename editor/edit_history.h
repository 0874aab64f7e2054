#ifndef RQ700_EDITOR_EDIT_HISTORY_H_
#define RQ700_EDITOR_EDIT_HISTORY_H_

#include <array>
#include <bitset>
#include <cstdint>

#include "protocol/device_state.h"

namespace rq700 {

// The edit-model values a player's gesture changes and an undo puts back: every module's
// enable, model and values, the chain, the preset volume, the EXP settings, the control
// page's switches and tempo, and the system settings. Not in it: what only shows where the
// player is (the open page, the shown module, the list), the confirmation state and the
// flip-flop markers, which tell the device that something changed rather than what.
inline constexpr int kEditFieldCount = [] {
  int params = 0;
  for (int type = 1; type <= kModuleTypes; ++type) params += kModuleParamCount[type];
  return 2 * kModuleTypes + params  // enables, models, parameter bytes
         + 3 + 1 + 6 + 1            // EQ, MOD and DELAY words, TIME B
         + 2 * kChainLength         // order, off flags
         + 4                        // volume, EXP switch, EXP1 and EXP2 modules
         + 2 * kModuleTypes + 2     // EXP parameter tables, low and high values
         + kModuleTypes + 1         // module switches, tempo
         + kSystemBytes - 1;        // system bytes but the confirmation state
}();

// One edit-model field of the history: where it is and what it is part of.
struct EditField {
  Tracked<uint8_t>* byte = nullptr;
  Tracked<uint16_t>* word = nullptr;
  Tracked<int32_t>* wide = nullptr;
  int module = 0;       // 1..9 when it is a module's enable, model or value; else 0
  int exp_pedal = 0;    // 1 or 2 when it is that pedal's module or parameter choice
  bool preset = false;  // part of the preset (the dirty flag speaks of it)
  bool synced = true;   // the sequencer copies it to its last-sent value when it sends

  int32_t Get() const;
  void Set(int32_t value) const;
  bool Sent() const;  // the sequencer has taken the current value
};

// The fields in a fixed order; a field's index is its number in every snapshot and step.
using EditFields = std::array<EditField, kEditFieldCount>;
EditFields ListEditFields(DeviceState& device);

using EditSnapshot = std::array<int32_t, kEditFieldCount>;

// The player's undo and redo. It watches the edit model around each input handler call on
// the UI thread: what a call changes joins the open step, and the end of a gesture (a
// release, an Enter, a paste) closes the step. What changes between calls (a knob turned on
// the device) is no part of any step and stays as it is. Undo and redo write back, under
// the edit lock and as the UI writes, only the values of the step, so the sequencer sends
// them as any edit. Loading a preset, a save and an import start a fresh history. Fixed
// storage: the oldest steps go when the bound is reached.
class EditHistory {
 public:
  static constexpr int kMaxSteps = 100;
  static constexpr int kMaxChanges = 2048;  // values held by all steps together

  explicit EditHistory(DeviceState& device);

  // Around one input handler call.
  void BeforeInput();
  void AfterInput();
  // Ends the open step; a step that changed nothing is not kept.
  void Commit();

  // False when there was nothing to take back or to do again.
  bool Undo();
  bool Redo();
  int undo_steps() const { return applied_; }
  int redo_steps() const { return count_ - applied_; }

  // Forgets every step; the model as it is now counts as the loaded preset.
  void Clear();
  // The UI thread's periodic turn: a load, save or import clears the history; after an
  // undo or redo that brought the preset back to what was loaded, the dirty flag is cleared
  // once the sequencer has sent the values (its sends set it again).
  void Tick();

  const EditFields& fields() const { return fields_; }

 private:
  struct Change {
    uint16_t field;
    int32_t before;
    int32_t after;
  };
  struct Step {
    uint32_t first;  // running index of its first change
    uint16_t count;
  };

  void Take(EditSnapshot& snapshot) const;
  // True (and the history cleared) when the edit model was loaded since last seen.
  bool Reloaded();
  const Step& StepAt(int i) const { return steps_[(oldest_ + i) % kMaxSteps]; }
  void DropOldest();
  // Writes one side of step `i` back; true when the model had not been reloaded meanwhile.
  bool Apply(int i, bool undo);
  bool AtLoadedPreset() const;

  DeviceState& device_;
  EditFields fields_;
  uint32_t loads_seen_;
  EditSnapshot loaded_{};     // the preset as loaded or saved
  bool loaded_clean_ = true;  // it was saved as it stands (an import loads it unsaved)
  EditSnapshot before_{};     // the model before the handler call under way

  // The open step: first value and latest value of each field the calls changed.
  std::bitset<kEditFieldCount> touched_;
  EditSnapshot open_before_{};
  EditSnapshot open_after_{};

  std::array<Change, kMaxChanges> changes_{};
  std::array<Step, kMaxSteps> steps_{};
  uint32_t next_change_ = 0;  // running index of the next change written
  int oldest_ = 0;
  int count_ = 0;    // steps held
  int applied_ = 0;  // the first `applied_` steps are done, the rest can be done again
  int settle_ticks_ = 0;
};

}  // namespace rq700

#endif  // RQ700_EDITOR_EDIT_HISTORY_H_
