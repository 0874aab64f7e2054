#include "protocol/device_state.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <set>
#include <thread>

namespace rq700 {
namespace {

using record::kSize;

std::unique_ptr<DeviceState> NewState() {
  auto state = std::make_unique<DeviceState>();
  ResetToDefaults(*state);
  return state;
}

// A record in which every byte the editor interprets holds a distinct, plausible value:
// chain order 9..1, every module enabled except DS/OD, off flags matching the enables.
void FillRecord(uint8_t* rec, uint8_t delay_model) {
  for (size_t i = 0; i < kSize; ++i) rec[i] = static_cast<uint8_t>(i * 7 + 3);
  for (int pos = 0; pos < 9; ++pos) rec[record::kChainOrder + pos] = static_cast<uint8_t>(9 - pos);
  for (int type = 1; type <= 9; ++type) {
    const size_t slot = record::ModuleSlot(type);
    rec[slot + record::kSlotModel] = static_cast<uint8_t>(type + 1);
    rec[slot + record::kSlotEnable] = type == kDsOd ? 0 : 1;
    rec[record::kChainOff + (9 - type)] = type == kDsOd ? 1 : 0;
  }
  rec[record::ModuleSlot(kDelay) + record::kSlotModel] = delay_model;
  rec[record::kExp1Module] = 2;  // module type 3
  rec[record::kExp2Module] = 6;  // module type 7
  rec[record::kName] = 'A';
}

bool AnyFieldDiffers(const DeviceState& s) {
  bool differs = s.selected_module.Differs() || s.volume.Differs() || s.exp_switch.Differs() ||
                 s.mod_word.Differs() || s.delay_time_b.Differs() || s.tempo.Differs() ||
                 s.exp1_module.Differs() || s.exp2_module.Differs() || s.exp_low.Differs() ||
                 s.exp_high.Differs() || s.active_item.Differs() || s.active_sub_item.Differs() ||
                 s.list_cursor.Differs() || s.second_confirmation.Differs() ||
                 s.exp_change_marker.Differs() || s.list_row.Differs() || s.shown_exp_tab.Differs();
  for (int t = 1; t <= 9; ++t) {
    differs = differs || s.module[t].enable.Differs() || s.module[t].model.Differs() ||
              s.exp1_param[t].Differs() || s.exp2_param[t].Differs() ||
              s.module_switch[t].Differs();
    for (const auto& p : s.module[t].param) differs = differs || p.Differs();
  }
  for (int i = 0; i < 9; ++i) {
    differs = differs || s.chain_order[i].Differs() || s.chain_off[i].Differs();
  }
  for (const auto& w : s.eq_word) differs = differs || w.Differs();
  for (const auto& w : s.delay_word) differs = differs || w.Differs();
  for (const auto& b : s.system) differs = differs || b.Differs();
  return differs;
}

TEST(DeviceStateDefaults, StartValuesAndNothingPendingToSend) {
  auto s = NewState();
  EXPECT_EQ(s->selected_module.Get(), 1);
  for (int t = 1; t <= 9; ++t) EXPECT_EQ(s->module[t].model.Get(), 1) << t;
  for (const auto& w : s->eq_word) EXPECT_EQ(w.Get(), 100);
  EXPECT_EQ(s->volume.Get(), 100);
  EXPECT_EQ(s->tempo.Get(), 40);
  EXPECT_EQ(s->exp1_module.Get(), 1);
  EXPECT_EQ(s->exp2_module.Get(), 1);
  EXPECT_EQ(s->exp_tab.load(), 1);
  EXPECT_EQ(s->tab_marker.load(), 1);
  EXPECT_EQ(s->tab_marker_sent_tempo.load(), 1);
  EXPECT_EQ(s->tab_marker_sent_page.load(), 1);
  EXPECT_EQ(s->active_item.Get(), kItemNone);
  EXPECT_EQ(s->active_sub_item.Get(), kItemNone);
  EXPECT_EQ(s->sync_enabled.load(), 1);
  EXPECT_EQ(s->selection_guard.load(), 255);
  EXPECT_EQ(s->save_request.load(), kSaveWithdrawn);
  EXPECT_EQ(s->dirty.load(), 0);
  // Every current value equals its last-sent copy: the first turn sends no edit.
  EXPECT_FALSE(AnyFieldDiffers(*s));
}

TEST(DeviceStateDefaults, ResetClearsAnEarlierSession) {
  auto s = NewState();
  s->volume.Set(3);
  s->dirty = 1;
  uint8_t rec[kSize];
  FillRecord(rec, 3);
  WriteRecord(*s, 5, rec);
  SetPresetName(*s, 5, rec + record::kName, 16);
  ResetToDefaults(*s);
  EXPECT_EQ(s->volume.Get(), 100);
  EXPECT_EQ(s->dirty.load(), 0);
  uint8_t out[kSize];
  ReadRecord(*s, 5, out);
  for (uint8_t b : out) ASSERT_EQ(b, 0);
  EXPECT_EQ(PresetName(*s, 5), "");
}

class SelectPresetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    s_ = NewState();
    FillRecord(rec_, 3);
    WriteRecord(*s_, 42, rec_);
  }
  std::unique_ptr<DeviceState> s_;
  uint8_t rec_[kSize];
};

TEST_F(SelectPresetTest, LoadsEveryFieldIntoCurrentAndLastSent) {
  SelectPreset(*s_, 42);
  EXPECT_FALSE(AnyFieldDiffers(*s_)) << "a load must not look like an edit";
  EXPECT_EQ(s_->sync_enabled.load(), 1);
  EXPECT_EQ(s_->selection_guard.load(), 42);
  for (int pos = 0; pos < 9; ++pos) EXPECT_EQ(s_->chain_order[pos].Get(), 9 - pos);
  EXPECT_EQ(s_->module[kAmp].model.Get(), 4);
  EXPECT_EQ(s_->module[kAmp].param[5].Get(), rec_[record::ModuleSlot(kAmp) + 7]);
  EXPECT_EQ(s_->module[kMod].param[3].Get(), rec_[81]);
  EXPECT_EQ(s_->volume.Get(), rec_[record::kVolume]);
  EXPECT_EQ(s_->eq_word[2].Get(), record::ReadWord(rec_, 348));
  EXPECT_EQ(s_->mod_word.Get(), record::ReadWord(rec_, 354));
  EXPECT_EQ(s_->delay_word[1].Get(), rec_[86]);
  EXPECT_EQ(s_->delay_word[3].Get(), record::ReadWord(rec_, 350));
  EXPECT_EQ(s_->delay_word[5].Get(), rec_[90]);
  EXPECT_EQ(s_->delay_word[6].Get(), rec_[91]);
  EXPECT_EQ(s_->delay_time_b.Get(), 0) << "the model-9 word keeps its value for model 3";
  EXPECT_EQ(s_->exp1_module.Get(), 3);
  EXPECT_EQ(s_->exp1_param[3].Get(), rec_[record::kExp1Param]);
  EXPECT_EQ(s_->exp2_module.Get(), 7);
  EXPECT_EQ(s_->exp2_param[7].Get(), rec_[record::kExp2Param]);
  EXPECT_EQ(s_->module_switch[9].Get(), rec_[124]);
  EXPECT_EQ(s_->carried_byte[5].load(), rec_[511]);
  EXPECT_EQ(s_->carried_table[3][53].load(), rec_[343]);
  EXPECT_EQ(s_->carried_word[23].load(), record::ReadWord(rec_, 406));
}

TEST_F(SelectPresetTest, ModelZeroLoadsAsOne) {
  rec_[record::ModuleSlot(kReverb)] = 0;
  WriteRecord(*s_, 42, rec_);
  SelectPreset(*s_, 42);
  EXPECT_EQ(s_->module[kReverb].model.Get(), 1);
  EXPECT_EQ(s_->module[kReverb].model.Sent(), 1);
}

TEST_F(SelectPresetTest, DelayModelNineTakesTimeBAndKeepsThreshold) {
  FillRecord(rec_, 9);
  WriteRecord(*s_, 7, rec_);
  s_->delay_word[5].SetBoth(77);
  SelectPreset(*s_, 7);
  EXPECT_EQ(s_->delay_time_b.Get(), record::ReadWord(rec_, 352));
  EXPECT_EQ(s_->delay_word[5].Get(), 77);
}

TEST_F(SelectPresetTest, OffFlagsFollowEnablesAndAbsentModulesLeaveThem) {
  // Record off flags all 1, DS/OD missing from the chain (position 7 holds AMP twice).
  for (int pos = 0; pos < 9; ++pos) rec_[record::kChainOff + pos] = 1;
  rec_[record::kChainOrder + 7] = kAmp;
  WriteRecord(*s_, 42, rec_);
  SelectPreset(*s_, 42);
  EXPECT_EQ(s_->chain_off[6].Get(), 0) << "AMP enabled, first match at position 6";
  EXPECT_EQ(s_->chain_off[7].Get(), 1) << "the second AMP position is not the first match";
  EXPECT_EQ(s_->chain_off[0].Get(), 0) << "REVERB at position 0 is enabled";
}

TEST_F(SelectPresetTest, SelectingTheSelectedPresetChangesNothing) {
  SelectPreset(*s_, 42);
  s_->volume.Set(1);
  s_->module[kAmp].param[0].Set(99);
  SelectPreset(*s_, 42);
  EXPECT_EQ(s_->volume.Get(), 1);
  EXPECT_EQ(s_->module[kAmp].param[0].Get(), 99);
  EXPECT_TRUE(s_->volume.Differs()) << "the edit stays pending";
}

TEST_F(SelectPresetTest, IndicesOutsideTheStoreAreIgnored) {
  SelectPreset(*s_, 200);
  SelectPreset(*s_, -1);
  EXPECT_EQ(s_->selection_guard.load(), 255);
  EXPECT_EQ(s_->volume.Get(), 100);
  SaveIntoStore(*s_, 200);
  EXPECT_EQ(s_->save_request.load(), kSaveWithdrawn);
}

TEST_F(SelectPresetTest, OutOfRangeExpModuleDoesNotTouchTheTables) {
  rec_[record::kExp1Module] = 0xFF;  // + 1 wraps to 0
  rec_[record::kExp2Module] = 40;
  WriteRecord(*s_, 42, rec_);
  SelectPreset(*s_, 42);
  EXPECT_EQ(s_->exp1_module.Get(), 0);
  EXPECT_EQ(s_->exp2_module.Get(), 41);
  for (int t = 1; t <= 9; ++t) {
    EXPECT_EQ(s_->exp1_param[t].Get(), 0);
    EXPECT_EQ(s_->exp2_param[t].Get(), 0);
  }
}

TEST(SaveIntoStore, WritesBackWhatSelectLoaded) {
  auto s = NewState();
  uint8_t original[kSize];
  FillRecord(original, 3);
  WriteRecord(*s, 10, original);
  SelectPreset(*s, 10);

  uint8_t target[kSize];
  std::memset(target, 0xEE, kSize);
  WriteRecord(*s, 20, target);
  s->dirty = 1;
  SaveIntoStore(*s, 20);

  uint8_t saved[kSize];
  ReadRecord(*s, 20, saved);
  // Bytes the editor does not interpret keep the target's values, the name among them.
  std::set<size_t> kept = {9, 88, 113, 352, 353};  // 352: model-9 word, not loaded here
  for (size_t i = 12; i < 28; ++i) kept.insert(i);
  for (size_t i = 100; i < 104; ++i) kept.insert(i);
  for (size_t i = 408; i < 511; ++i) kept.insert(i);
  // Unused bytes of module slots beyond each module's parameters.
  for (int type = 1; type <= 9; ++type) {
    const int used = type == kDelay ? 6 : kModuleParamCount[type];
    for (size_t i = record::ModuleSlot(type) + 2 + used; i < record::ModuleSlot(type) + 8; ++i) {
      kept.insert(i);
    }
  }
  for (size_t i = 0; i < kSize; ++i) {
    if (i == 352 || i == 353) continue;
    if (kept.count(i)) {
      EXPECT_EQ(saved[i], 0xEE) << "offset " << i;
    } else {
      EXPECT_EQ(saved[i], original[i]) << "offset " << i;
    }
  }
  EXPECT_EQ(s->selection_guard.load(), 255);
  EXPECT_EQ(s->dirty.load(), 0);
  EXPECT_EQ(s->save_request.load(), kSaveRaised);
}

TEST(SaveIntoStore, CarriesEditsAndStoresExpModulesZeroBased) {
  auto s = NewState();
  s->volume.Set(55);
  s->delay_word[3].Set(1234);
  s->exp2_module.Set(9);
  s->exp2_param[9].Set(4);
  s->module[kCab].param[3].Set(2);
  SaveIntoStore(*s, 0);
  uint8_t saved[kSize];
  ReadRecord(*s, 0, saved);
  EXPECT_EQ(saved[record::kVolume], 55);
  EXPECT_EQ(saved[350], 1234 & 0xFF);
  EXPECT_EQ(saved[351], 1234 >> 8);
  EXPECT_EQ(saved[record::kExp2Module], 8);
  EXPECT_EQ(saved[record::kExp2Param], 4);
  EXPECT_EQ(saved[57], 2);
  EXPECT_EQ(saved[record::kExp1Module], 0);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(record::ReadWord(saved, 344 + 2 * i), 100);
}

TEST(PresetNames, ListTextsCarryThreeDigitNumbers) {
  const uint8_t name[16] = {'C', 'L', 'E', 'A', 'N', 0, 'X'};
  EXPECT_EQ(PresetListText(0, name, 16), "P001: CLEAN");
  EXPECT_EQ(PresetListText(9, name, 16), "P010: CLEAN");
  EXPECT_EQ(PresetListText(99, name, 16), "P100: CLEAN");
  EXPECT_EQ(PresetListText(199, name, 16), "P200: CLEAN");
  const uint8_t full[16] = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H',
                            'I', 'J', 'K', 'L', 'M', 'N', 'O', 'P'};
  EXPECT_EQ(PresetListText(4, full, 16), "P005: ABCDEFGHIJKLMNOP");
  EXPECT_EQ(PresetListText(4, full, 15), "P005: ABCDEFGHIJKLMNO");
  const uint8_t latin1[3] = {'A', 0xE9, 0};
  EXPECT_EQ(PresetListText(1, latin1, 3), "P002: A\xC3\xA9");
}

TEST(PresetNames, StoredPerIndexAndOutOfRangeIgnored) {
  auto s = NewState();
  const uint8_t name[4] = {'L', 'E', 'A', 'D'};
  SetPresetName(*s, 199, name, 4);
  SetPresetName(*s, 200, name, 4);
  EXPECT_EQ(PresetName(*s, 199), "P200: LEAD");
  EXPECT_EQ(PresetName(*s, 200), "");
  WriteRecordName(*s, 3, name, 4);
  uint8_t rec[kSize];
  ReadRecord(*s, 3, rec);
  EXPECT_EQ(std::memcmp(rec + record::kName, "LEAD", 4), 0);
  EXPECT_EQ(rec[record::kName + 4], 0);
}

// The change count moves only when a value really changes: the sequencer's own quiet turn
// rewrites flags with the values they hold, and must not keep itself awake that way.
TEST(ChangeSignal, CountsRealChangesOnlyAndWakesASleeper) {
  auto s = NewState();
  const uint64_t start = s->changes.Count();
  s->volume.Set(s->volume.Get());
  s->volume.SetBoth(s->volume.Get());
  EXPECT_FALSE(s->volume.Sync());
  s->page_request[4].exchange(0);
  s->save_request = kSaveWithdrawn;
  s->ir.stage.store(0, std::memory_order_release);
  EXPECT_EQ(s->changes.Count(), start);

  s->volume.Set(7);                      // the UI's edit
  EXPECT_TRUE(s->volume.Sync());         // the sequencer's copy
  s->module[kEq].param[5].SetBoth(3);    // a device value
  s->save_request = kSaveRaised;         // a request
  s->amp.stage.fetch_add(1);             // a job's step
  s->exp_merge[1] = 1;                   // what the window shows
  SetPresetListText(*s, 12, "P013: X");  // the name list
  EXPECT_EQ(s->changes.Count(), start + 7);

  const uint64_t seen = s->changes.Count();
  std::thread writer([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    s->tab_marker = 2;
  });
  EXPECT_TRUE(s->changes.WaitPast(seen, std::chrono::seconds(30)));
  writer.join();
  EXPECT_FALSE(s->changes.WaitPast(s->changes.Count(), std::chrono::milliseconds(1)));
}

}  // namespace
}  // namespace rq700
