// Undo, redo, copy and paste through the view's handlers, as the window drives them.
#include "editor/edit_history.h"

#include <gtest/gtest.h>

#include <memory>

#include "editor/edit_commands.h"
#include "editor/history_input.h"
#include "editor/view_input.h"
#include "protocol/preset_record.h"
#include "tests/editor/recording_shell.h"

namespace rq700 {
namespace {

using testing::RecordingFileActions;
using testing::RecordingShell;

class EditHistoryTest : public ::testing::Test {
 protected:
  EditHistoryTest() : device_(std::make_unique<DeviceState>()) {
    ResetToDefaults(*device_);
    for (int i = 0; i < kPresetCount; ++i) {
      uint8_t rec[record::kSize] = {};
      for (int slot = 0; slot < 9; ++slot) rec[record::kChainOrder + slot] = slot + 1;
      for (int type = 1; type <= 9; ++type) {
        rec[record::ModuleSlot(type) + record::kSlotModel] = 1;
        rec[record::ModuleSlot(type) + record::kSlotEnable] = 1;
        for (int p = 0; p < 6; ++p) rec[record::ModuleSlot(type) + 2 + p] = 10;
      }
      // Each preset's own delay.
      rec[record::ModuleSlot(kDelay) + record::kSlotModel] = static_cast<uint8_t>(1 + i % 9);
      rec[record::ModuleSlot(kDelay) + record::kSlotEnable] = i % 2;
      rec[record::kDelayWord1] = static_cast<uint8_t>(i);
      record::WriteWord(rec, record::kDelayTimeWord, static_cast<uint16_t>(100 + i));
      WriteRecord(*device_, i, rec);
    }
    history_ = std::make_unique<EditHistory>(*device_);
    view_input_ = std::make_unique<ViewInput>(*device_, view_, shell_, files_);
    input_ = std::make_unique<HistoryInput>(*view_input_, *history_);
    commands_ = std::make_unique<EditCommands>(*device_, view_, shell_, *history_);
    SelectPreset(*device_, 0);
    device_->selected_module.Set(kAmp);
  }

  void Press(int x, int y) {
    input_->Move(x, y);
    input_->Press(x, y, Modifier::kNone);
  }
  void Drag(int x0, int y0, int x1, int y1) {
    Press(x0, y0);
    input_->Move(x1, y1);
    input_->Release(x1, y1);
  }
  bool Key(int key, bool shift = false) { return commands_->OnKey(key, true, shift); }
  int Amp(int p) const { return device_->module[kAmp].param[p].Get(); }
  std::vector<int> Chain() const {
    std::vector<int> order;
    for (const auto& c : device_->chain_order) order.push_back(c.Get());
    return order;
  }
  // What the sequencer does when it sends an edit of these fields.
  void Send() {
    for (auto& p : device_->module[kAmp].param) p.Sync();
    for (auto& c : device_->chain_order) c.Sync();
    device_->dirty = 1;
  }

  std::unique_ptr<DeviceState> device_;
  ViewState view_;
  RecordingShell shell_;
  RecordingFileActions files_;
  std::unique_ptr<EditHistory> history_;
  std::unique_ptr<ViewInput> view_input_;
  std::unique_ptr<HistoryInput> input_;
  std::unique_ptr<EditCommands> commands_;
};

TEST_F(EditHistoryTest, EveryFieldIsListedOnce) {
  const EditFields& fields = history_->fields();
  for (int i = 0; i < kEditFieldCount; ++i) {
    const EditField& f = fields[i];
    ASSERT_EQ((f.byte != nullptr) + (f.word != nullptr) + (f.wide != nullptr), 1) << i;
    for (int j = 0; j < i; ++j) {
      EXPECT_FALSE(f.byte == fields[j].byte && f.word == fields[j].word &&
                   f.wide == fields[j].wide);
    }
  }
}

// A drag, a typed value and a chain move, with a knob turned on the device in between:
// each is one step back and forth, and the knob's value stays.
TEST_F(EditHistoryTest, DragTypedValueAndChainMoveUndoAndRedoAroundADeviceKnob) {
  const std::vector<int> chain = Chain();
  Drag(184 + 95, 267, 374, 267);  // AMP GAIN: 50, then dragged to 100
  EXPECT_EQ(Amp(0), 100);
  Send();
  device_->module[kAmp].param[2].SetBoth(33);  // the MID knob on the device
  input_->Move(415, 312);
  input_->Press(415, 312, Modifier::kNone);  // BASS's value box
  input_->Release(415, 312);
  input_->EnterValue("77");
  EXPECT_EQ(Amp(1), 77);
  Drag(520, 500, 700, 650);  // the module of chain slot 2 onto slot 6
  const std::vector<int> moved = Chain();
  EXPECT_NE(moved, chain);
  Send();
  EXPECT_EQ(history_->undo_steps(), 3);

  EXPECT_TRUE(Key(kKeyZ));
  EXPECT_EQ(Chain(), chain);
  EXPECT_EQ(Amp(1), 77);
  EXPECT_TRUE(Key(kKeyZ));
  EXPECT_EQ(Amp(1), 10);
  EXPECT_EQ(device_->module[kAmp].param[1].Sent(), 77) << "written as an edit, to be sent";
  EXPECT_TRUE(Key(kKeyZ));
  EXPECT_EQ(Amp(0), 10);
  EXPECT_EQ(Amp(2), 33) << "the device's knob turn is no step";
  EXPECT_FALSE(history_->Undo());

  // Back at the loaded values but for the knob: still unsaved.
  Send();
  history_->Tick();
  EXPECT_EQ(device_->dirty.load(), 1);

  EXPECT_TRUE(Key(kKeyZ, /*shift=*/true));
  EXPECT_EQ(Amp(0), 100);
  EXPECT_TRUE(Key(kKeyY));
  EXPECT_EQ(Amp(1), 77);
  EXPECT_TRUE(history_->Redo());
  EXPECT_EQ(Chain(), moved);
  EXPECT_FALSE(history_->Redo());
  EXPECT_EQ(Amp(2), 33);

  // A new step ends what could be done again.
  history_->Undo();
  Drag(184, 312, 184, 312);  // BASS 0
  EXPECT_EQ(history_->redo_steps(), 0);
  EXPECT_EQ(history_->undo_steps(), 3);
}

TEST_F(EditHistoryTest, UndoneBackToTheLoadedPresetIsCleanOnceSent) {
  Drag(184 + 95, 267, 184 + 95, 267);
  Send();
  EXPECT_TRUE(history_->Undo());
  history_->Tick();
  EXPECT_EQ(device_->dirty.load(), 1) << "not sent yet";
  Send();  // the sequencer sends the old value and marks the preset unsaved
  history_->Tick();
  EXPECT_EQ(device_->dirty.load(), 0);
  EXPECT_TRUE(history_->Redo());
  Send();
  history_->Tick();
  EXPECT_EQ(device_->dirty.load(), 1);

  // An imported preset is loaded unsaved; it starts afresh and stays unsaved when undone
  // back to it.
  uint8_t imported[record::kSize];
  ReadRecord(*device_, 2, imported);
  LoadEditModel(*device_, imported);
  device_->dirty = 1;
  Drag(184 + 95, 267, 184 + 95, 267);
  EXPECT_EQ(history_->undo_steps(), 1);
  Send();
  EXPECT_TRUE(history_->Undo());
  Send();
  history_->Tick();
  EXPECT_EQ(device_->dirty.load(), 1);
}

TEST_F(EditHistoryTest, BoundIsKeptAndALoadOrSaveStartsAfresh) {
  for (int i = 0; i < EditHistory::kMaxSteps + 5; ++i)
    Drag(184 + i % 2 * 190, 267, 184 + i % 2 * 190, 267);
  EXPECT_EQ(history_->undo_steps(), EditHistory::kMaxSteps);
  int undone = 0;
  while (history_->Undo()) ++undone;
  EXPECT_EQ(undone, EditHistory::kMaxSteps);
  EXPECT_EQ(Amp(0), 0) << "the five oldest steps are gone; the sixth left 0";

  Drag(184 + 95, 267, 184 + 95, 267);
  SelectPreset(*device_, 3);
  EXPECT_FALSE(history_->Undo());
  EXPECT_EQ(Amp(0), 10);
  Drag(184 + 95, 267, 184 + 95, 267);
  SaveIntoStore(*device_, 3);
  EXPECT_FALSE(history_->Undo());
  EXPECT_EQ(Amp(0), 50);
  // A press that loads another preset (a click on the list) leaves no step behind.
  input_->Move(1100, 169 + 10);
  input_->Press(1100, 169 + 10, Modifier::kNone);
  input_->Release(1100, 169 + 10);
  EXPECT_EQ(history_->undo_steps(), 0);
}

TEST_F(EditHistoryTest, StepsOfManyValuesGoOnceTheValueBoundIsReached) {
  // 100 steps of 40 module values each: only the newest 51 fit in 2048 values.
  const EditFields fields = ListEditFields(*device_);
  std::vector<const EditField*> values;
  for (const EditField& f : fields)
    if (f.byte != nullptr && f.module != 0 && values.size() < 40) values.push_back(&f);
  ASSERT_EQ(values.size(), 40u);
  for (int round = 0; round < EditHistory::kMaxSteps; ++round) {
    history_->BeforeInput();
    for (const EditField* f : values) f->Set(100 + round % 2);
    history_->AfterInput();
    history_->Commit();
  }
  const int kept = EditHistory::kMaxChanges / 40;
  EXPECT_EQ(history_->undo_steps(), kept);
  while (history_->Undo()) {
  }
  for (const EditField* f : values) EXPECT_EQ(f->Get(), 100 + (99 - kept) % 2);
  EXPECT_EQ(history_->redo_steps(), kept);
  while (history_->Redo()) {
  }
  for (const EditField* f : values) EXPECT_EQ(f->Get(), 101);
}

TEST_F(EditHistoryTest, ModuleCopiedFromOnePresetIsPastedIntoAnotherAsOneStep) {
  device_->selected_module.Set(kDelay);
  EXPECT_TRUE(Key(kKeyV));
  EXPECT_EQ(shell_.statuses.back(), "Nothing copied yet: Ctrl+C copies a module");
  EXPECT_TRUE(Key(kKeyC));
  EXPECT_EQ(shell_.statuses.back(), "DELAY settings copied");
  SelectPreset(*device_, 1);
  const int pos = ChainPosition(*device_, kDelay);
  ASSERT_EQ(device_->chain_off[pos].Get(), 0);

  EXPECT_TRUE(Key(kKeyV));
  EXPECT_EQ(shell_.statuses.back(), "DELAY settings pasted");
  EXPECT_EQ(device_->module[kDelay].model.Get(), 1);
  EXPECT_EQ(device_->module[kDelay].enable.Get(), 0);
  EXPECT_EQ(device_->chain_off[pos].Get(), 1) << "the chain shows it off";
  EXPECT_EQ(device_->delay_word[1].Get(), 0);
  EXPECT_EQ(device_->delay_word[3].Get(), 100);
  EXPECT_EQ(device_->delay_word[3].Sent(), 101) << "to be sent";
  EXPECT_EQ(history_->undo_steps(), 1);
  EXPECT_TRUE(history_->Undo());
  EXPECT_EQ(device_->module[kDelay].model.Get(), 2);
  EXPECT_EQ(device_->delay_word[3].Get(), 101);
  EXPECT_EQ(device_->chain_off[pos].Get(), 0);

  // Into another module type: refused, nothing changes.
  device_->selected_module.Set(kReverb);
  EditSnapshot before{};
  for (int i = 0; i < kEditFieldCount; ++i) before[i] = history_->fields()[i].Get();
  EXPECT_TRUE(Key(kKeyV));
  EXPECT_EQ(shell_.statuses.back(), "DELAY settings fit only the DELAY module");
  for (int i = 0; i < kEditFieldCount; ++i) EXPECT_EQ(history_->fields()[i].Get(), before[i]);
  EXPECT_EQ(history_->redo_steps(), 1);

  // F1 lists the keys; nothing edits while a transfer runs.
  EXPECT_TRUE(commands_->OnKey(kKeyF1, false, false));
  ASSERT_EQ(shell_.messages.size(), 1u);
  EXPECT_EQ(shell_.messages[0].caption, "Keys");
  shell_.wait_cursor = true;
  EXPECT_TRUE(Key(kKeyY));
  EXPECT_EQ(history_->redo_steps(), 1);
  EXPECT_FALSE(commands_->OnKey(kKeyZ, false, false));
}

}  // namespace
}  // namespace rq700
