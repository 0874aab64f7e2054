// The sequencer's channel ring, turn by turn: the test runs the steps itself and reads
// what reached the device end of the socket after each turn.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

#include "protocol/dispatcher.h"
#include "protocol/sequencer.h"
#include "scripted_peer.h"

namespace rq700 {
namespace {

using testing::Bytes;
using testing::CommandOf;
using testing::PayloadOf;
using testing::RecordingWindow;
using testing::ScriptedPeer;

class RingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetToDefaults(*state_);
    ASSERT_TRUE(peer_.listening());
    ASSERT_TRUE(device_.Open(peer_.host_path()));
    ASSERT_TRUE(peer_.Accept());
    sequencer_.Step();  // the dump request
    auto dump = peer_.NextPacket(500);
    ASSERT_TRUE(dump);
    ASSERT_EQ(CommandOf(*dump), 0xE0);
    ASSERT_EQ(sequencer_.state(), 0x90);
  }

  // Runs one full turn of the ring and returns what it sent.
  std::vector<Bytes> Turn() {
    do {
      sequencer_.Step();
    } while (sequencer_.state() != 0x90);
    return peer_.Drain(5);
  }
  static std::vector<uint8_t> Commands(const std::vector<Bytes>& packets) {
    std::vector<uint8_t> commands;
    for (const auto& p : packets) commands.push_back(CommandOf(p));
    return commands;
  }
  void DeviceSends(uint8_t command, const Bytes& payload) {
    uint8_t packet[kTxPacketCapacity];
    const size_t size =
        BuildPacket(command, payload.data(), payload.size(), packet, sizeof(packet));
    dispatcher_.OnPacket(packet, size);
  }

  std::unique_ptr<DeviceState> state_ = std::make_unique<DeviceState>();
  ScriptedPeer peer_;
  CHidDevice device_;
  RecordingWindow window_;
  Sequencer sequencer_{*state_, device_, window_};
  Dispatcher dispatcher_{*state_, window_};
};

TEST_F(RingTest, QuietTurnSendsNothing) { EXPECT_TRUE(Turn().empty()); }

TEST_F(RingTest, SwappedChainModulesGoOutOnConsecutiveTurns) {
  for (int pos = 0; pos < 9; ++pos) state_->chain_order[pos].SetBoth(static_cast<uint8_t>(pos + 1));
  state_->chain_order[2].Set(5);
  state_->chain_order[4].Set(3);
  for (int turn = 0; turn < 2; ++turn) {
    const auto packets = Turn();
    ASSERT_EQ(Commands(packets), Bytes{0xA0}) << "turn " << turn;
    EXPECT_EQ(PayloadOf(packets[0]), (Bytes{1, 2, 5, 4, 3, 6, 7, 8, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  }
  EXPECT_TRUE(Turn().empty());
  EXPECT_EQ(state_->dirty.load(), 1);
}

TEST_F(RingTest, CtrlPageWithTabMarkerTwoSendsSixteenOne) {
  state_->tab_marker = 2;
  state_->tab_marker_sent_page = 2;
  state_->tab_marker_sent_tempo = 2;
  state_->active_item.Set(kItemCtrlPage);
  const auto packets = Turn();
  ASSERT_EQ(Commands(packets), Bytes{0x82});
  EXPECT_EQ(PayloadOf(packets[0]), (Bytes{16, 1, 0, 0}));
}

TEST_F(RingTest, PageSyncRules) {
  state_->active_item.Set(kItemSystemPage);
  EXPECT_EQ(PayloadOf(Turn().at(0)), (Bytes{11, 0, 0, 0}));
  state_->active_item.Set(kItemExpPage);
  EXPECT_EQ(PayloadOf(Turn().at(0)), (Bytes{15, 0, 0, 0}));
  state_->active_item.Set(kItemDismissed);
  EXPECT_EQ(PayloadOf(Turn().at(0)), (Bytes{0, 0, 0, 0}));
  state_->active_item.Set(5);  // the preset list: no page message
  EXPECT_TRUE(Turn().empty());
  state_->active_sub_item.Set(kSubItemConfirmation);
  EXPECT_EQ(PayloadOf(Turn().at(0)), (Bytes{11, 8, 0, 0}));
  state_->active_sub_item.Set(kSubItemSecondConfirmation);
  EXPECT_EQ(PayloadOf(Turn().at(0)), (Bytes{11, 5, 0, 0}));
  state_->active_sub_item.Set(kSubItemExpSettings);  // copied, not sent
  EXPECT_TRUE(Turn().empty());
  state_->list_row.Set(4);
  EXPECT_EQ(PayloadOf(Turn().at(0)), (Bytes{0, 0, 0, 0}));
  state_->tab_marker = 0;
  EXPECT_EQ(PayloadOf(Turn().at(0)), (Bytes{0, 0, 0, 0}));
  state_->page_request[2] = 1;
  state_->page_request[6] = 1;
  EXPECT_EQ(PayloadOf(Turn().at(0)), (Bytes{11, 6, 0, 0})) << "the last flag wins";
  EXPECT_EQ(state_->page_request[2].load(), 0);
  EXPECT_TRUE(Turn().empty());
}

TEST_F(RingTest, SystemBytesRaisePageRequestsForTheNextTurn) {
  state_->system[2].Set(1);
  state_->system[7].Set(1);
  auto packets = Turn();
  ASSERT_EQ(Commands(packets), Bytes{0xA1});
  EXPECT_EQ(PayloadOf(packets[0]), (Bytes{0, 0, 1, 0, 0, 0, 0, 1, 0, 0}));
  packets = Turn();
  ASSERT_EQ(Commands(packets), Bytes{0x82});
  EXPECT_EQ(PayloadOf(packets[0]), (Bytes{11, 3, 0, 0}));
  EXPECT_EQ(state_->dirty.load(), 0) << "system changes do not mark the preset edited";
}

TEST_F(RingTest, ExpChoicesReportTheShownTabOnThePageSync) {
  state_->exp2_param[4].Set(3);
  auto packets = Turn();
  ASSERT_EQ(Commands(packets), Bytes{0xA3});
  EXPECT_EQ(PayloadOf(packets[0]), (Bytes{0, 0, 0, 0, 0, 0, 0}));
  packets = Turn();  // the page sync comes first in the ring
  ASSERT_EQ(Commands(packets), Bytes{0x82});
  EXPECT_EQ(PayloadOf(packets[0]), (Bytes{15, 2, 0, 0}));
  EXPECT_TRUE(Turn().empty());
  state_->exp_low.Set(5);
  EXPECT_EQ(Commands(Turn()), Bytes{0xA3});
  EXPECT_EQ(PayloadOf(Turn().at(0)), (Bytes{15, 3, 0, 0}));
  EXPECT_EQ(state_->dirty.load(), 1);
}

TEST_F(RingTest, SaveWithMovedCursorSendsSaveNameThenSelectOnTheNextTurn) {
  state_->list_cursor.Set(6);
  state_->save_target = 6;
  state_->save_name[0] = 'X';
  SaveIntoStore(*state_, 6);
  auto packets = Turn();
  ASSERT_EQ(Commands(packets), Bytes{0xA8});
  EXPECT_EQ(PayloadOf(packets[0]).size(), 16u);
  EXPECT_EQ(PayloadOf(packets[0])[0], 6);
  EXPECT_EQ(PayloadOf(packets[0])[1], 'X');
  EXPECT_EQ(state_->save_request.load(), kSaveWithdrawn);
  packets = Turn();
  ASSERT_EQ(Commands(packets), Bytes{0xA6});
  EXPECT_EQ(PayloadOf(packets[0]), Bytes{6});
  EXPECT_TRUE(Turn().empty());
}

TEST_F(RingTest, SelectPresetNeedsBothAMovedCursorAndARequest) {
  state_->preset_change_request = 1;
  EXPECT_TRUE(Turn().empty()) << "cursor unchanged";
  state_->list_cursor.Set(3);
  state_->preset_change_request = 0;
  EXPECT_TRUE(Turn().empty()) << "no request";
  state_->preset_change_request = 1;
  EXPECT_EQ(Commands(Turn()), Bytes{0xA6});
  EXPECT_EQ(state_->preset_change_request.load(), 0);
}

TEST_F(RingTest, ModuleSendReplacesModelZeroAndMarksDirty) {
  state_->module[kReverb].model.SetBoth(2);
  state_->module[kReverb].model.Set(0);
  const auto packets = Turn();
  ASSERT_EQ(Commands(packets), (Bytes{0x99, 0x82}));
  EXPECT_EQ(PayloadOf(packets[0])[3], 1);
  EXPECT_EQ(state_->module[kReverb].model.Get(), 1);
  EXPECT_EQ(PayloadOf(packets[1]), (Bytes{1, 0, 0, 0})) << "the selected module again";
  EXPECT_EQ(state_->dirty.load(), 1);
}

// A module send marks the selected module for the page sync later in the turn. A page
// change from the device in between (module byte 0: unchanged) must not take that marker
// for a module: the panel stays, and the page sync still reports it.
TEST_F(RingTest, DevicePageChangeRightAfterAModuleSendKeepsTheSelectedModule) {
  state_->selected_module.SetBoth(kAmp);
  state_->module[kAmp].param[0].Set(9);
  while (sequencer_.state() != 0x82) sequencer_.Step();  // 0x93 is out, 0x82 is next
  DeviceSends(0x82, {0, 0, 0});
  EXPECT_EQ(state_->selected_module.Get(), kAmp);
  auto packets = Turn();
  ASSERT_EQ(Commands(packets), (Bytes{0x93, 0x82}));
  EXPECT_EQ(PayloadOf(packets[1]), (Bytes{3, 0, 0, 0}));
  EXPECT_EQ(state_->selected_module.Get(), kAmp);
  EXPECT_TRUE(Turn().empty());

  state_->selected_module.Set(kEq);  // the UI's pick, not yet sent: the device's word wins
  DeviceSends(0x82, {0, 0, 0});
  EXPECT_EQ(state_->selected_module.Get(), kAmp);
}

TEST_F(RingTest, TempoSwitchesAndSmallChannels) {
  state_->tempo.Set(41);
  EXPECT_EQ(PayloadOf(Turn().at(0)), (Bytes{0, 0x14, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}));
  state_->tab_marker = 0;  // the tempo tab: tempo channel and page channel both report it
  EXPECT_EQ(Commands(Turn()), (Bytes{0x82, 0xA4}));
  state_->exp_tab = 2;
  state_->exp_change_marker.Set(1);
  EXPECT_EQ(PayloadOf(Turn().at(0)), Bytes{2});
  state_->second_confirmation.Set(1);
  auto packets = Turn();
  ASSERT_EQ(Commands(packets), Bytes{0x89});
  EXPECT_EQ(PayloadOf(packets[0]), Bytes{1});
}

TEST_F(RingTest, ReRequestRestartsWithTheDumpRequest) {
  state_->volume.Set(7);
  state_->re_request = 1;
  sequencer_.Step();  // 0x90 runs, then the flag turns the state to 0xE0
  EXPECT_EQ(sequencer_.state(), 0xE0);
  sequencer_.Step();
  auto dump = peer_.NextPacket(100);
  ASSERT_TRUE(dump);
  EXPECT_EQ(CommandOf(*dump), 0xE0);
  EXPECT_EQ(sequencer_.state(), 0x90);
  EXPECT_EQ(Commands(Turn()), Bytes{0xA2}) << "the ring starts over at 0x90";
}

TEST_F(RingTest, SyncDisabledFreezesTheRing) {
  state_->sync_enabled = 0;
  state_->volume.Set(7);
  for (int i = 0; i < 100; ++i) sequencer_.Step();
  EXPECT_EQ(sequencer_.state(), 0x90);
  EXPECT_FALSE(peer_.NextPacket(5));
  EXPECT_TRUE(state_->volume.Differs());
}

TEST_F(RingTest, DeviceValuesAreNotEchoed) {
  state_->module[kAmp].model.SetBoth(5);
  DeviceSends(0x93, {0, 1, 0, 0, 0, 7, 0, 8, 0, 9, 0, 10, 0, 11, 0, 12});
  DeviceSends(0xA0, {9, 8, 7, 6, 5, 4, 3, 2, 1, 1, 0, 1, 0, 1, 0, 1, 0, 1});
  DeviceSends(0xA4, {0x00, 0x78, 1, 0, 1, 0, 1, 0, 1, 0, 1});
  DeviceSends(0xA3, {1, 2, 3, 4, 5, 6, 7});
  DeviceSends(0xA1, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
  DeviceSends(0xA2, {33});
  DeviceSends(0x89, {1});
  EXPECT_EQ(state_->module[kAmp].model.Get(), 1);
  EXPECT_EQ(state_->tempo.Get(), 120);
  EXPECT_TRUE(Turn().empty());
}

// The user's pick meets the device's own value: while the reader writes the pair under the
// edit lock the channel waits for it, and then finds nothing to send.
TEST_F(RingTest, SecondConfirmationWaitsForTheReadersWrite) {
  while (sequencer_.state() != 0x89) sequencer_.Step();
  state_->second_confirmation.Set(1);
  std::unique_lock<std::mutex> reader(state_->edit_lock);
  std::thread sequencer([this] { sequencer_.Step(); });
  EXPECT_FALSE(peer_.NextPacket(100)) << "compared while the reader held the lock";
  state_->second_confirmation.SetBoth(0);  // what the 0x89 handler writes under it
  reader.unlock();
  sequencer.join();
  EXPECT_FALSE(peer_.NextPacket(20));
  EXPECT_EQ(state_->second_confirmation.Sent(), 0);
}

TEST_F(RingTest, IrTransferSendsEachStageOnceAfterItsAcknowledgement) {
  SlotTransfer& ir = state_->ir;
  ir.slot = 2;
  ir.words[0] = 0x00112233;
  ir.stage = 1;
  ir.active.store(1, std::memory_order_release);
  auto packets = Turn();
  ASSERT_EQ(Commands(packets), Bytes{0xE1});
  EXPECT_EQ(PayloadOf(packets[0]).size(), 514u);
  EXPECT_EQ(PayloadOf(packets[0])[2], 0x11);
  EXPECT_TRUE(Turn().empty()) << "nothing is resent without an acknowledgement";
  DeviceSends(0xE1, {7});  // not a stage: ignored
  EXPECT_TRUE(Turn().empty());
  for (int taken = 1; taken <= 3; ++taken) {
    DeviceSends(0xE1, {static_cast<uint8_t>(taken)});
    packets = Turn();
    ASSERT_EQ(Commands(packets), Bytes{0xE1});
    EXPECT_EQ(PayloadOf(packets[0])[1], taken + 1);
  }
  EXPECT_EQ(PayloadOf(packets[0]).size(), 17u) << "the name";
  DeviceSends(0xE1, {4});
  EXPECT_EQ(ir.active.load(), 0);
  EXPECT_EQ(ir.stage.load(), 0);
  EXPECT_TRUE(Turn().empty());
}

TEST_F(RingTest, AmpTransferRunsFiveStages) {
  SlotTransfer& amp = state_->amp;
  amp.stage = 1;
  amp.active.store(1, std::memory_order_release);
  for (int taken = 1; taken <= 5; ++taken) {
    const auto packets = Turn();
    ASSERT_EQ(Commands(packets), Bytes{0xE2});
    EXPECT_EQ(PayloadOf(packets[0])[1], taken);
    DeviceSends(0xE2, {static_cast<uint8_t>(taken)});
  }
  EXPECT_EQ(amp.active.load(), 0);
  EXPECT_TRUE(Turn().empty());
}

TEST_F(RingTest, IrSlotSelectSendsOnceAndClearsItsRequest) {
  state_->ir.slot = 7;
  state_->ir_select_request = 1;
  const auto packets = Turn();
  ASSERT_EQ(Commands(packets), Bytes{0xE4});
  EXPECT_EQ(PayloadOf(packets[0]), Bytes{7});
  EXPECT_EQ(state_->ir_select_request.load(), 0);
  EXPECT_TRUE(Turn().empty());
}

TEST_F(RingTest, SingleImportWritesThePresetOnceUnderTheCursorsName) {
  uint8_t named[record::kSize] = {};
  std::memcpy(named + record::kName, "KEEP", 4);
  WriteRecord(*state_, 0, named);
  std::memset(state_->import_buffer, 0x42, record::kSize);
  state_->import_mode.store(kImportSingle, std::memory_order_release);
  const auto packets = Turn();
  ASSERT_EQ(Commands(packets), Bytes{0x83});
  const Bytes payload = PayloadOf(packets[0]);
  ASSERT_EQ(payload.size(), 512u);
  EXPECT_EQ(payload[0], 0x42);
  EXPECT_EQ(Bytes(payload.begin() + 12, payload.begin() + 17), (Bytes{'K', 'E', 'E', 'P', 0}));
  EXPECT_EQ(state_->import_mode.load(), kImportIdle);
  EXPECT_TRUE(Turn().empty());
}

// Two files for presets 12 and 3 (1-based), the second one being the edited preset.
class TwoFiles : public PresetImportFeed {
 public:
  int LoadEntry(int entry, uint8_t* rec, int* target) override {
    std::memset(rec, 0, record::kSize);
    rec[record::kVolume] = static_cast<uint8_t>(60 + entry);
    std::memcpy(rec + record::kName, entry == 0 ? "A" : "B", 1);
    *target = entry == 0 ? 11 : 2;
    return fail_at == entry ? 8 : 0;
  }
  int fail_at = -1;
};

TEST_F(RingTest, MultiFileImportWaitsForEachAcknowledgement) {
  TwoFiles files;
  sequencer_.set_import_feed(&files);
  state_->list_cursor.SetBoth(2);
  state_->import_total = 2;
  state_->import_remaining = 2;
  state_->import_mode.store(kImportMulti, std::memory_order_release);

  auto packets = Turn();
  ASSERT_EQ(Commands(packets), Bytes{0xE5});
  Bytes payload = PayloadOf(packets[0]);
  ASSERT_EQ(payload.size(), 513u);
  EXPECT_EQ(payload[0], 11);
  EXPECT_EQ(payload[1 + record::kVolume], 60);
  EXPECT_EQ(PresetName(*state_, 11), "P012: A");
  EXPECT_EQ(state_->in_flight.load(), 1);
  EXPECT_TRUE(Turn().empty()) << "waits for the device";

  DeviceSends(0xE5, {});
  uint8_t stored[record::kSize];
  ReadRecord(*state_, 11, stored);
  EXPECT_EQ(stored[record::kVolume], 60);
  EXPECT_EQ(state_->in_flight.load(), 0);

  packets = Turn();
  ASSERT_EQ(Commands(packets), Bytes{0xE5});
  EXPECT_EQ(PayloadOf(packets[0])[0], 2);
  DeviceSends(0xE5, {});
  EXPECT_EQ(state_->volume.Get(), 61) << "the edited preset is reloaded";
  EXPECT_EQ(state_->dirty.load(), 0);

  EXPECT_TRUE(Turn().empty());
  EXPECT_EQ(window_.import_results(), (std::vector<int>{0}));
  EXPECT_EQ(state_->import_mode.load(), kImportIdle);

  DeviceSends(0xE5, {});  // a stray acknowledgement: nothing in flight
  EXPECT_EQ(state_->import_mode.load(), kImportIdle);
  EXPECT_TRUE(Turn().empty());
}

TEST_F(RingTest, MultiFileImportStopsOnABadFile) {
  TwoFiles files;
  files.fail_at = 1;
  sequencer_.set_import_feed(&files);
  state_->import_total = 2;
  state_->import_remaining = 2;
  state_->import_mode.store(kImportMulti, std::memory_order_release);
  EXPECT_EQ(Commands(Turn()), Bytes{0xE5});
  DeviceSends(0xE5, {});
  EXPECT_TRUE(Turn().empty());
  EXPECT_EQ(window_.import_results(), (std::vector<int>{8}));
}

TEST_F(RingTest, LateAcknowledgementAfterTheTimeOutDoesNotRestartTheImport) {
  TwoFiles files;
  sequencer_.set_import_feed(&files);
  state_->import_total = 2;
  state_->import_remaining = 2;
  state_->import_mode.store(kImportMulti, std::memory_order_release);
  EXPECT_EQ(Commands(Turn()), Bytes{0xE5});
  state_->in_flight = 0;  // the window's 15 s watch gave up
  DeviceSends(0xE5, {});
  EXPECT_TRUE(Turn().empty());
  uint8_t stored[record::kSize];
  ReadRecord(*state_, 11, stored);
  EXPECT_EQ(stored[record::kVolume], 0);
}

TEST_F(RingTest, BackupAndRestoreChannelsStayQuietWithoutTheirJobs) {
  state_->backup_request = 1;
  state_->restore_request = 1;
  EXPECT_TRUE(Turn().empty());
}

}  // namespace
}  // namespace rq700
