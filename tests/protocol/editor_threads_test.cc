// The editor's worker threads against a scripted device on the virtual-device socket.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <thread>

#include "protocol/editor_session.h"
#include "scripted_peer.h"

namespace rq700 {
namespace {

using testing::Bytes;
using testing::CommandOf;
using testing::PayloadOf;
using testing::RecordingWindow;
using testing::ScriptedPeer;
using testing::WaitFor;

class EditorThreadsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetToDefaults(*state_);
    ASSERT_TRUE(peer_.listening());
  }
  void TearDown() override { session_.Shutdown(); }

  // Starts the threads, checks the start-up report and the dump request.
  void StartEditor() {
    ASSERT_TRUE(session_.Start(peer_.host_path()));
    ASSERT_TRUE(peer_.Accept());
    auto first = peer_.NextReport(1000);
    ASSERT_TRUE(first);
    Bytes expected(63, 0);
    for (uint8_t i = 0; i < 5; ++i) expected[i] = i;
    EXPECT_EQ(*first, expected);
    auto second = peer_.NextReport(1000);
    ASSERT_TRUE(second);
    EXPECT_EQ(*second, (Bytes{0, 0}));
    auto dump = peer_.NextPacket(1000);
    ASSERT_TRUE(dump);
    EXPECT_EQ(*dump, (Bytes{0xAA, 0x55, 0x01, 0x00, 0xE0, 0x35, 0xE1}));
  }

  std::unique_ptr<DeviceState> state_ = std::make_unique<DeviceState>();
  CHidDevice device_;
  RecordingWindow window_;
  ScriptedPeer peer_;
  EditorSession session_{*state_, device_, window_};
};

TEST_F(EditorThreadsTest, DumpRequestFirstThenSilenceWithoutEdits) {
  StartEditor();
  EXPECT_FALSE(peer_.NextPacket(40)) << "a turn with no edit sends nothing";
  EXPECT_TRUE(session_.threads().running());
}

TEST_F(EditorThreadsTest, OpenFailureStartsNoThread) {
  EXPECT_FALSE(session_.Start("emu:/nonexistent/rq700.sock"));
  EXPECT_FALSE(session_.threads().running());
}

TEST_F(EditorThreadsTest, AmpEditSendsOneModulePacketAndOnePageSync) {
  state_->selected_module.SetBoth(kAmp);
  StartEditor();
  auto& amp = state_->module[kAmp];
  amp.enable.Set(1);
  amp.model.Set(5);
  for (int p = 0; p < 6; ++p) amp.param[p].Set(static_cast<uint8_t>(10 * (p + 1)));

  auto module = peer_.NextPacket(1000);
  ASSERT_TRUE(module);
  // The UI may still be writing when the channel looks: wait for the packet with all six.
  while (CommandOf(*module) != 0x93 || PayloadOf(*module)[15] != 0x3C) {
    module = peer_.NextPacket(1000);
    ASSERT_TRUE(module);
  }
  EXPECT_EQ(CommandOf(*module), 0x93);
  EXPECT_EQ(PayloadOf(*module), (Bytes{0x00, 0x01, 0x00, 0x05, 0x00, 0x0A, 0x00, 0x14, 0x00, 0x1E,
                                       0x00, 0x28, 0x00, 0x32, 0x00, 0x3C}));
  auto page = peer_.NextPacket(1000);
  ASSERT_TRUE(page);
  EXPECT_EQ(CommandOf(*page), 0x82);
  EXPECT_EQ(PayloadOf(*page), (Bytes{3, 0, 0, 0}));
  EXPECT_FALSE(peer_.NextPacket(40));
  EXPECT_EQ(state_->dirty.load(), 1);

  // One more parameter change: exactly one 0x93 and one 0x82.
  amp.param[2].Set(99);
  const auto packets = peer_.Drain(40);
  ASSERT_EQ(packets.size(), 2u);
  EXPECT_EQ(CommandOf(packets[0]), 0x93);
  EXPECT_EQ(PayloadOf(packets[0])[9], 99);
  EXPECT_EQ(PayloadOf(packets[1]), (Bytes{3, 0, 0, 0}));
}

TEST_F(EditorThreadsTest, SyncDisabledSendsNothing) {
  StartEditor();
  state_->sync_enabled = 0;
  state_->volume.Set(12);
  state_->tempo.Set(200);
  EXPECT_FALSE(peer_.NextPacket(40));
  state_->sync_enabled = 1;
  // The ring goes on where it stood, so the two may come in either order.
  auto packets = peer_.Drain(40);
  ASSERT_EQ(packets.size(), 2u);
  EXPECT_EQ(CommandOf(packets[0]) ^ CommandOf(packets[1]), 0xA2 ^ 0xA4);
}

TEST_F(EditorThreadsTest, DeviceValuesAreMirroredAndNotSentBack) {
  state_->module[kAmp].model.SetBoth(5);
  StartEditor();
  peer_.Send(0x93, {0, 1, 0, 0, 0, 7, 0, 8, 0, 9, 0, 10, 0, 11, 0, 12});
  ASSERT_TRUE(WaitFor([&] { return state_->module[kAmp].param[5].Get() == 12; }));
  EXPECT_EQ(state_->module[kAmp].model.Get(), 1);
  EXPECT_EQ(state_->module[kAmp].enable.Get(), 1);
  EXPECT_EQ(state_->dirty.load(), 1);
  EXPECT_FALSE(peer_.NextPacket(40)) << "a value from the device is not echoed";

  peer_.Send(0xA4, {0x00, 0x78, 1, 1, 1, 1, 1, 1, 1, 1, 1});
  ASSERT_TRUE(WaitFor([&] { return state_->tempo.Get() == 120; }));
  EXPECT_FALSE(peer_.NextPacket(40));
}

TEST_F(EditorThreadsTest, DumpFillsTheStoreAndCompletesOnTheLastPreset) {
  StartEditor();
  Bytes payload(513, 0);
  payload[0] = 199;
  payload[1 + record::kName] = 'L';
  peer_.Send(0xA5, payload);
  ASSERT_TRUE(WaitFor([&] { return state_->load_complete.load() == 1; }));
  EXPECT_EQ(PresetName(*state_, 199), "P200: L");
  EXPECT_EQ(window_.progress(), (std::vector<int>{199}));
}

TEST_F(EditorThreadsTest, ReRequestSendsTheDumpRequestAgain) {
  StartEditor();
  state_->re_request = 1;
  auto packet = peer_.NextPacket(1000);
  ASSERT_TRUE(packet);
  EXPECT_EQ(CommandOf(*packet), 0xE0);
  EXPECT_EQ(state_->re_request.load(), 0);
  EXPECT_FALSE(peer_.NextPacket(40));
}

TEST_F(EditorThreadsTest, DeviceGoneEndsBothThreadsAndTellsTheWindowOnce) {
  StartEditor();
  peer_.Disconnect();
  ASSERT_TRUE(WaitFor([&] { return !session_.threads().running(); }));
  EXPECT_EQ(session_.threads().run_flag(), 0);
  EXPECT_TRUE(session_.threads().disconnected());
  ASSERT_TRUE(WaitFor([&] { return window_.device_gone() == 1; }));
  session_.Shutdown();
  EXPECT_EQ(window_.device_gone(), 1);
}

TEST_F(EditorThreadsTest, ShutdownJoinsWithoutReportingAnything) {
  StartEditor();
  session_.Shutdown();
  EXPECT_FALSE(session_.threads().running());
  EXPECT_EQ(window_.device_gone(), 0);
  EXPECT_FALSE(session_.threads().disconnected());
}

// With nothing to send the sequencer sleeps; every kind of change wakes it at once: an
// edit, a raised request, a device answer that moves a job on, the device going away. The
// idle limit is far beyond every wait here, so only the wake can deliver in time.
TEST_F(EditorThreadsTest, SleepingSequencerWakesForEveryKindOfChange) {
  session_.sequencer().set_idle_limit(std::chrono::seconds(30));
  StartEditor();
  const auto next_command = [&] {
    auto packet = peer_.NextPacket(2000);
    return packet ? CommandOf(*packet) : 0;
  };
  EXPECT_FALSE(peer_.NextPacket(60)) << "asleep, and nothing sent";
  state_->module[kAmp].param[2].Set(42);
  EXPECT_EQ(next_command(), 0x93);
  EXPECT_EQ(next_command(), 0x82);

  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  state_->list_cursor.Set(7);
  state_->preset_change_request = 1;
  EXPECT_EQ(next_command(), 0xA6);

  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  state_->ir.slot = 1;
  state_->ir.stage = 1;
  state_->ir.active.store(1, std::memory_order_release);
  EXPECT_EQ(next_command(), 0xE1);
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  peer_.Send(0xE1, {1});
  EXPECT_EQ(next_command(), 0xE1) << "the acknowledgement's next stage";

  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  peer_.Disconnect();
  EXPECT_TRUE(WaitFor([&] { return !session_.threads().running(); }));
}

TEST_F(EditorThreadsTest, ShutdownEndsAnIdleWait) {
  session_.sequencer().set_idle_limit(std::chrono::seconds(30));
  StartEditor();
  std::this_thread::sleep_for(std::chrono::milliseconds(60));
  const auto start = std::chrono::steady_clock::now();
  session_.Shutdown();
  EXPECT_FALSE(session_.threads().running());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

// Three threads at once: the UI edits and selects presets while the device changes
// presets and values. Nothing here may race (the ThreadSanitizer build runs it).
TEST_F(EditorThreadsTest, EditsSelectionsAndDeviceMessagesTogether) {
  for (int i = 0; i < 5; ++i) {
    uint8_t rec[record::kSize] = {};
    rec[record::kVolume] = static_cast<uint8_t>(10 + i);
    rec[record::kChainOrder] = kAmp;
    WriteRecord(*state_, i, rec);
  }
  StartEditor();
  std::thread device([&] {
    for (int i = 0; i < 50; ++i) {
      peer_.Send(0xA6, {static_cast<uint8_t>(i % 5)});
      peer_.Send(0x93, {0, 1, 0, 2, 0, static_cast<uint8_t>(i), 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
      peer_.Send(0xA2, {static_cast<uint8_t>(i)});
    }
  });
  for (int i = 0; i < 200; ++i) {
    state_->module[kAmp].param[1].Set(static_cast<uint8_t>(i));
    state_->volume.Set(static_cast<uint8_t>(i));
    if (i % 10 == 0) SelectPreset(*state_, (i / 10) % 5);
    (void)PresetName(*state_, i % 5);
    std::this_thread::sleep_for(std::chrono::microseconds(200));
  }
  // Keep the peer's receive side drained while the device thread sends.
  peer_.Drain(20);
  device.join();
  peer_.Drain(40);
  EXPECT_TRUE(session_.threads().running());
}

// The staged jobs hand their data from the UI thread to the sequencer and their stages
// from the reader back: an impulse-response transfer and a two-file preset import,
// acknowledged by the device as each packet arrives.
TEST_F(EditorThreadsTest, StagedJobsAdvanceOnTheDevicesAcknowledgements) {
  StartEditor();
  SlotTransfer& ir = state_->ir;
  for (int i = 0; i < kTransferWords; ++i) ir.words[i] = static_cast<uint32_t>(i * 0x010203);
  std::memcpy(ir.name, "MY CAB", 6);
  ir.slot = 3;
  ir.stage = 1;
  ir.active.store(1, std::memory_order_release);
  for (int stage = 1; stage <= 4; ++stage) {
    auto packet = peer_.NextPacket(1000);
    ASSERT_TRUE(packet);
    ASSERT_EQ(CommandOf(*packet), 0xE1);
    const Bytes payload = PayloadOf(*packet);
    EXPECT_EQ(payload[0], 3);
    ASSERT_EQ(payload[1], stage);
    if (stage == 3) {
      EXPECT_EQ(payload[2 + 5], static_cast<uint8_t>(5 * 0x010203));
    }
    peer_.Send(0xE1, {static_cast<uint8_t>(stage)});
  }
  ASSERT_TRUE(WaitFor([&] { return ir.active.load(std::memory_order_acquire) == 0; }));
  EXPECT_FALSE(peer_.NextPacket(40));

  struct Feed : PresetImportFeed {
    int LoadEntry(int entry, uint8_t* rec, int* target) override {
      std::memset(rec, 0, record::kSize);
      rec[record::kVolume] = static_cast<uint8_t>(20 + entry);
      rec[record::kName] = static_cast<uint8_t>('A' + entry);
      *target = 50 + entry;
      return 0;
    }
  } feed;
  // The feed is set while the sequencer runs only in this test, before any import starts.
  session_.Shutdown();
  EditorSession importing(*state_, device_, window_);
  importing.sequencer().set_import_feed(&feed);
  ScriptedPeer peer2;
  ASSERT_TRUE(importing.Start(peer2.host_path()));
  ASSERT_TRUE(peer2.Accept());
  peer2.NextReport(1000);
  peer2.NextReport(1000);
  peer2.NextPacket(1000);  // the dump request
  state_->import_total = 2;
  state_->import_remaining = 2;
  state_->import_mode.store(kImportMulti, std::memory_order_release);
  for (int entry = 0; entry < 2; ++entry) {
    auto packet = peer2.NextPacket(1000);
    ASSERT_TRUE(packet);
    ASSERT_EQ(CommandOf(*packet), 0xE5);
    EXPECT_EQ(PayloadOf(*packet)[0], 50 + entry);
    peer2.Send(0xE5, {});
  }
  ASSERT_TRUE(WaitFor([&] { return window_.import_results() == std::vector<int>{0}; }));
  uint8_t rec[record::kSize];
  ReadRecord(*state_, 51, rec);
  EXPECT_EQ(rec[record::kVolume], 21);
  EXPECT_EQ(PresetName(*state_, 51), "P052: B");
  importing.Shutdown();
}

}  // namespace
}  // namespace rq700
