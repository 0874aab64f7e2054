// Messages from the device, handed to the dispatcher as the reader thread would.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "protocol/dispatcher.h"
#include "scripted_peer.h"

namespace rq700 {
namespace {

using testing::Bytes;
using testing::RecordingWindow;

class HandlersTest : public ::testing::Test {
 protected:
  void SetUp() override { ResetToDefaults(*s_); }

  void Receive(uint8_t command, const Bytes& payload) {
    uint8_t packet[kTxPacketCapacity];
    const size_t size =
        BuildPacket(command, payload.data(), payload.size(), packet, sizeof(packet));
    ASSERT_GT(size, 0u);
    dispatcher_.OnPacket(packet, size);
  }

  std::unique_ptr<DeviceState> s_ = std::make_unique<DeviceState>();
  RecordingWindow window_;
  Dispatcher dispatcher_{*s_, window_};
};

TEST_F(HandlersTest, ModuleMessagesSetBothCopiesAndTheChainOffFlag) {
  s_->chain_order[4].SetBoth(kAmp);
  s_->module[kAmp].model.SetBoth(5);
  Receive(0x93, {0, 0, 0, 0, 0, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6});
  const auto& amp = s_->module[kAmp];
  EXPECT_EQ(amp.model.Get(), 1) << "model word 00 00 is taken as 1";
  EXPECT_EQ(amp.model.Sent(), 1);
  EXPECT_EQ(amp.enable.Get(), 0);
  EXPECT_EQ(amp.param[5].Get(), 6);
  EXPECT_FALSE(amp.param[5].Differs());
  EXPECT_EQ(s_->chain_off[4].Get(), 1) << "disabled module";
  EXPECT_FALSE(s_->chain_off[4].Differs());
  EXPECT_EQ(s_->dirty.load(), 1);
  Receive(0x93, {0, 1, 0x01, 0x07, 0, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6});
  EXPECT_EQ(amp.model.Get(), 7) << "low byte of the model word";
  EXPECT_EQ(s_->chain_off[4].Get(), 0);
}

TEST_F(HandlersTest, WordValuesOfEqModAndDelay) {
  Receive(0x96,
          {0, 1, 0, 2, 0, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6, 0x03, 0xE8, 0x07, 0xD0, 0x1F, 0x40});
  EXPECT_EQ(s_->eq_word[0].Get(), 1000);
  EXPECT_EQ(s_->eq_word[2].Get(), 8000);
  EXPECT_EQ(s_->module[kEq].param[5].Get(), 6);

  Receive(0x97, {0, 1, 0, 10, 0, 1, 0, 2, 0, 3, 0, 4, 0x01, 0x2C});
  EXPECT_EQ(s_->mod_word.Get(), 300);
  Receive(0x97, {0, 1, 0, 3, 0, 9, 0, 2, 0, 3, 0, 4});  // no word: left alone
  EXPECT_EQ(s_->mod_word.Get(), 300);
  EXPECT_EQ(s_->module[kMod].param[0].Get(), 9);

  s_->delay_word[5].SetBoth(55);
  s_->delay_word[6].SetBoth(66);
  s_->delay_time_b.SetBoth(77);
  Receive(0x98, {0, 1, 0, 5, 0, 1, 0, 2, 0x01, 0xF4, 0, 4, 0, 99, 0, 98});
  EXPECT_EQ(s_->delay_word[3].Get(), 500);
  EXPECT_EQ(s_->delay_word[5].Get(), 55) << "model 5 leaves delay word 5";
  EXPECT_EQ(s_->delay_word[6].Get(), 66);
  EXPECT_EQ(s_->delay_time_b.Get(), 77);
  Receive(0x98, {0, 1, 0, 8, 0, 1, 0, 2, 0, 3, 0, 4, 0, 40, 0, 98});
  EXPECT_EQ(s_->delay_word[5].Get(), 40);
  Receive(0x98, {0, 1, 0, 9, 0, 1, 0, 2, 0, 3, 0, 4, 0x03, 0x20, 0, 3});
  EXPECT_EQ(s_->delay_time_b.Get(), 800);
  EXPECT_EQ(s_->delay_word[6].Get(), 3);
  EXPECT_EQ(s_->delay_word[5].Get(), 40);
}

TEST_F(HandlersTest, ShortPayloadsAreIgnoredWhole) {
  struct Case {
    uint8_t command;
    size_t needed;
  };
  const Case cases[] = {{0x81, 5},  {0x82, 3},   {0x85, 150}, {0x86, 512}, {0x89, 1},
                        {0x90, 12}, {0x91, 10},  {0x93, 16},  {0x96, 22},  {0x97, 12},
                        {0x99, 12}, {0xA0, 18},  {0xA1, 10},  {0xA2, 1},   {0xA3, 7},
                        {0xA4, 11}, {0xA5, 513}, {0xA6, 1},   {0xA8, 16},  {0xA9, 513},
                        {0xBB, 2},  {0xE1, 1},   {0xE2, 1},   {0xE3, 150}};
  for (const Case& c : cases) {
    ResetToDefaults(*s_);
    s_->ir.stage = 3;
    Receive(c.command, Bytes(c.needed - 1, 1));
    EXPECT_EQ(s_->dirty.load(), 0) << std::hex << int(c.command);
    EXPECT_EQ(s_->volume.Get(), 100);
    EXPECT_EQ(s_->selected_module.Get(), 1);
    EXPECT_EQ(s_->module[1].enable.Get(), 0);
    EXPECT_EQ(s_->chain_order[0].Get(), 0);
    EXPECT_EQ(s_->system[0].Get(), 0);
    EXPECT_EQ(s_->tempo.Get(), 40);
    EXPECT_EQ(s_->ir.stage.load(), 3);
    EXPECT_EQ(s_->selection_guard.load(), 255);
    EXPECT_EQ(VersionText(*s_), "");
    EXPECT_EQ(PresetName(*s_, 1), "");
    EXPECT_EQ(s_->exp_merge[0].load(), 0);
  }
  // A DELAY message needs its tail: 14 bytes for model 8, 16 for model 9.
  Receive(0x98, {0, 1, 0, 9, 0, 1, 0, 2, 0, 3, 0, 4, 0, 5});
  EXPECT_EQ(s_->module[kDelay].enable.Get(), 0);
  EXPECT_TRUE(window_.progress().empty());
}

TEST_F(HandlersTest, UnknownCodesAreIgnored) {
  for (int code : {0x10, 0x80, 0x83, 0x84, 0x87, 0x88, 0x8A, 0x92, 0x9A, 0x9F, 0xA7, 0xAC, 0xBA,
                   0xBC, 0xE0, 0xE4, 0xE6, 0xFF}) {
    Receive(static_cast<uint8_t>(code), Bytes(600, 2));
  }
  EXPECT_EQ(s_->dirty.load(), 0);
  EXPECT_EQ(s_->volume.Get(), 100);
  EXPECT_EQ(s_->module[2].enable.Get(), 0);
}

TEST_F(HandlersTest, PageSyncKeepsOrRestoresTheSelectedModule) {
  Receive(0x82, {4, 9, 0});
  EXPECT_EQ(s_->selected_module.Get(), 4);
  EXPECT_FALSE(s_->selected_module.Differs());
  EXPECT_EQ(s_->active_item.Get(), kItemNone) << "unknown page: no change";
  EXPECT_EQ(window_.hide_value_entry(), 0);
  s_->selected_module.Set(7);  // the UI picked another panel, not yet sent
  Receive(0x82, {0, 1, 0});
  EXPECT_EQ(s_->selected_module.Get(), 4) << "byte 0 = 0: back to the last-sent module";
  EXPECT_EQ(s_->active_item.Get(), kItemSystemPage);
  EXPECT_EQ(window_.hide_value_entry(), 1);
  Receive(0x82, {0, 3, 1});
  EXPECT_EQ(s_->active_item.Get(), kItemExpPage);
  EXPECT_EQ(s_->active_sub_item.Get(), kSubItemExpSettings);
  EXPECT_EQ(s_->exp_settings_marker.load(), 1);
  Receive(0x82, {0, 3, 0});
  EXPECT_EQ(s_->active_sub_item.Get(), kItemNone);
  EXPECT_EQ(s_->exp_settings_marker.load(), 0);
  Receive(0x82, {0, 2, 0});
  EXPECT_EQ(s_->active_item.Get(), kItemCtrlPage);
  Receive(0x82, {0, 0, 0});
  EXPECT_EQ(s_->active_item.Get(), 0);
}

TEST_F(HandlersTest, PresetLevelValues) {
  Receive(0xA4, {0x00, 0x78, 1, 0, 0, 0, 0, 0, 0, 0, 1});
  EXPECT_EQ(s_->tempo.Get(), 120) << "the device's tempo is not halved";
  EXPECT_EQ(s_->module_switch[1].Get(), 1);
  EXPECT_EQ(s_->module_switch[9].Get(), 1);
  EXPECT_EQ(s_->tab_marker.load(), 1) << "untouched";
  Receive(0xA3, {1, 0, 4, 8, 2, 10, 90});
  EXPECT_EQ(s_->exp1_module.Get(), 1);
  EXPECT_EQ(s_->exp1_param[1].Get(), 4);
  EXPECT_EQ(s_->exp2_module.Get(), 9);
  EXPECT_EQ(s_->exp2_param[9].Get(), 2);
  EXPECT_EQ(s_->exp_high.Get(), 90);
  Receive(0xA3, {1, 200, 4, 255, 2, 10, 90});  // modules outside the table
  EXPECT_EQ(s_->exp1_module.Get(), 201);
  EXPECT_EQ(s_->exp1_param[1].Get(), 4);
  Receive(0xA0, {9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0});
  EXPECT_EQ(s_->chain_order[0].Get(), 9);
  EXPECT_EQ(s_->chain_off[1].Get(), 1);
  Receive(0xA1, {1, 2, 3, 4, 5, 6, 7, 2, 9, 10});
  EXPECT_EQ(s_->system[7].Get(), 2);
  Receive(0xA2, {42});
  EXPECT_EQ(s_->volume.Get(), 42);
  Receive(0x89, {1});
  EXPECT_EQ(s_->second_confirmation.Get(), 1);
  Receive(0xBB, {0, 7});
  EXPECT_EQ(s_->exp_merge[0].load(), 0);
  EXPECT_EQ(s_->exp_merge[1].load(), 1);
}

TEST_F(HandlersTest, DumpRecordsFillTheStoreAndTheLastOneCompletesTheLoad) {
  Bytes payload(513, 0);
  payload[0] = 9;
  std::memcpy(payload.data() + 1 + record::kName, "CRUNCH", 6);
  payload[1 + record::kVolume] = 77;
  Receive(0xA5, payload);
  uint8_t rec[record::kSize];
  ReadRecord(*s_, 9, rec);
  EXPECT_EQ(rec[record::kVolume], 77);
  EXPECT_EQ(PresetName(*s_, 9), "P010: CRUNCH");
  EXPECT_EQ(s_->load_complete.load(), 0);
  s_->dirty = 1;
  payload[0] = 199;
  Receive(0xA5, payload);
  EXPECT_EQ(s_->load_complete.load(), 1) << "even though most presets never came";
  EXPECT_EQ(s_->dirty.load(), 0);
  payload[0] = 200;
  Receive(0xA5, payload);
  EXPECT_EQ(window_.progress(), (std::vector<int>{9, 199}));
}

// A dump in another order: the current preset named before its record came, no record
// echo, setting packets after record 199. The edit model ends with that preset's record and
// the preset clean; once the line has fallen quiet, the same packet is an edit again.
TEST_F(HandlersTest, ADumpInAnyOrderEndsWithTheCurrentPresetClean) {
  s_->dump_running = 1;  // as the dump request sets it
  Receive(0xA6, {5});
  Bytes payload(513, 0);
  payload[0] = 5;
  payload[1 + record::kVolume] = 44;
  Receive(0xA5, payload);
  payload[0] = 199;
  payload[1 + record::kVolume] = 0;
  Receive(0xA5, payload);
  EXPECT_EQ(s_->volume.Get(), 44) << "loaded again once the store was complete";
  EXPECT_FALSE(s_->volume.Differs());
  const Bytes amp = {0, 1, 0, 1, 0, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6};
  Receive(0xA4, {0x00, 0x78, 1, 0, 0, 0, 0, 0, 0, 0, 1});
  Receive(0xA3, {1, 0, 4, 8, 2, 10, 90});
  Receive(0x93, amp);
  EXPECT_EQ(s_->tempo.Get(), 120);
  EXPECT_EQ(s_->module[kAmp].param[0].Get(), 1);
  EXPECT_EQ(s_->dirty.load(), 0);
  dispatcher_.OnQuiet();
  Receive(0x93, amp);
  EXPECT_EQ(s_->dirty.load(), 1) << "a knob turned on the device after the dump";
}

TEST_F(HandlersTest, CurrentPresetFromTheDeviceSelectsIt) {
  uint8_t rec[record::kSize] = {};
  rec[record::kVolume] = 31;
  rec[record::ModuleSlot(kCab)] = 0;  // model 0 loads as 1
  WriteRecord(*s_, 150, rec);
  s_->dirty = 1;
  Receive(0xA6, {150});
  EXPECT_EQ(s_->volume.Get(), 31);
  EXPECT_FALSE(s_->volume.Differs());
  EXPECT_EQ(s_->module[kCab].model.Get(), 1);
  EXPECT_EQ(s_->list_cursor.Get(), 150);
  EXPECT_FALSE(s_->list_cursor.Differs());
  EXPECT_EQ(s_->current_preset.load(), 150);
  EXPECT_EQ(s_->dirty.load(), 0);
  Receive(0xA6, {200});
  EXPECT_EQ(s_->list_cursor.Get(), 150) << "no such preset";
}

TEST_F(HandlersTest, CursorRecordReloadsTheEditedPresetEvenWhenSelected) {
  s_->list_cursor.SetBoth(4);
  SelectPreset(*s_, 4);
  s_->volume.Set(5);
  Bytes rec(512, 0);
  rec[record::kVolume] = 66;
  Receive(0x86, rec);
  EXPECT_EQ(s_->volume.Get(), 66);
  EXPECT_FALSE(s_->volume.Differs());
  uint8_t stored[record::kSize];
  ReadRecord(*s_, 4, stored);
  EXPECT_EQ(stored[record::kVolume], 66);
}

TEST_F(HandlersTest, NamesAndRecords) {
  Bytes name(16, 0);
  name[0] = 3;
  std::memcpy(name.data() + 1, "SOLO", 4);
  Receive(0xA8, name);
  uint8_t rec[record::kSize];
  ReadRecord(*s_, 3, rec);
  EXPECT_EQ(std::memcmp(rec + record::kName, "SOLO", 4), 0);
  EXPECT_EQ(PresetName(*s_, 3), "P004: SOLO");
  name[0] = 250;
  Receive(0xA8, name);  // ignored

  Bytes whole(513, 5);
  whole[0] = 100;
  Receive(0xA9, whole);
  ReadRecord(*s_, 100, rec);
  EXPECT_EQ(rec[0], 5);

  Receive(0x81, {'1', '.', '0', '.', '3'});
  EXPECT_EQ(VersionText(*s_), "Version 1.0.3");

  Bytes names(150, 0);
  std::memcpy(names.data(), "ROOM", 4);
  std::memcpy(names.data() + 15 * 9, "123456789012345", 15);
  Receive(0x85, names);
  EXPECT_EQ(UserIrName(*s_, 0), "ROOM");
  EXPECT_EQ(UserIrName(*s_, 9), "123456789012345");
  Receive(0xE3, names);
  EXPECT_EQ(UserAmpName(*s_, 0), "ROOM");
  EXPECT_EQ(UserAmpName(*s_, 10), "");
}

// A recording of the backup and restore hooks.
class RecordingJobs : public BackupRestoreJobs {
 public:
  size_t EncodeBackupRequest(uint8_t*, size_t) override { return 0; }
  size_t EncodeRestoreChunk(uint8_t*, size_t) override { return 0; }
  void OnBackupData(const uint8_t* packet, size_t size) override {
    backup.assign(packet, packet + size);
  }
  void OnRestoreAck(const uint8_t* payload, size_t size) override {
    restore.assign(payload, payload + size);
  }
  Bytes backup;
  Bytes restore;
};

TEST_F(HandlersTest, BackupGetsTheWholePacketAndRestoreThePayload) {
  RecordingJobs jobs;
  dispatcher_.set_backup_restore_jobs(&jobs);
  Receive(0xAA, {1, 2, 3, 9, 9});
  ASSERT_EQ(jobs.backup.size(), 12u);
  EXPECT_EQ(jobs.backup[0], 0xAA);
  EXPECT_EQ(jobs.backup[4], 0xAA);
  EXPECT_EQ(jobs.backup[5], 1);
  Receive(0xAB, {4, 1, 2});
  EXPECT_EQ(jobs.restore, (Bytes{4, 1, 2}));
}

TEST_F(HandlersTest, BrokenPacketsAreIgnored) {
  uint8_t packet[16] = {0xAA, 0x55, 0x10, 0x00, 0xA2, 5};  // says 16, holds fewer
  dispatcher_.OnPacket(packet, 8);
  dispatcher_.OnPacket(packet, 3);
  EXPECT_EQ(s_->volume.Get(), 100);
  EXPECT_EQ(s_->dirty.load(), 0);
}

}  // namespace
}  // namespace rq700
