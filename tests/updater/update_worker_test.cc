#include "updater/update_worker.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include "files/firmware_builder.h"
#include "tests/updater/fake_loader.h"

namespace rq700 {
namespace {

namespace fs = std::filesystem;
using testing::EventLog;
using testing::FakeLoader;
using Events = std::vector<std::string>;

class LoggingSink : public UpdateStatusSink {
 public:
  // `units`, when given, is read when the identity progress (11, 2) is posted.
  explicit LoggingSink(EventLog& log, const std::atomic<int>* units = nullptr)
      : log_(log), units_(units) {}
  void PostStatus(int code, int value) override {
    if (units_ != nullptr && code == kStatusProgress && value == 2) units_at_identity = *units_;
    log_.Add("post " + std::to_string(code) + " " + std::to_string(value));
  }
  int units_at_identity = -1;

 private:
  EventLog& log_;
  const std::atomic<int>* units_;
};

std::vector<uint8_t> Pattern(size_t size, uint8_t seed) {
  std::vector<uint8_t> data(size);
  for (size_t i = 0; i < size; ++i) data[i] = static_cast<uint8_t>(seed + i * 13);
  return data;
}

files::FirmwareImagePlan OneSegment(size_t size, uint16_t first_block) {
  files::FirmwareImagePlan plan;
  plan.apply_command = 0x20;
  plan.apply_reply = 0x6A;  // no reply code is its command plus one
  plan.apply_timeout = 300;
  plan.apply_param[0] = 0xDE;
  plan.apply_param[3] = 0xEF;
  plan.segments.push_back({0x30, 0x47, 300, first_block, Pattern(size, 1)});
  return plan;
}

class UpdateWorkerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("rq700-update-test-" + std::to_string(getpid()));
    fs::create_directories(dir_ / "Firmware");
    socket_ = (dir_ / "loader.sock").string();
    const std::string model = "ZORVA_RQ700_V1.9.9";
    std::copy(model.begin(), model.end(), record_.model_text.begin());
  }
  void TearDown() override { fs::remove_all(dir_); }

  void WriteImage(const std::vector<uint8_t>& bytes,
                  const std::string& name = "ZORVA_RQ700_V2.0.0.zr",
                  const std::string& folder = "Firmware") {
    ASSERT_FALSE(bytes.empty());
    fs::create_directories(dir_ / folder);
    std::ofstream out(dir_ / folder / name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
  }

  // Runs worker and reader against a loader following `script`; returns the worker's
  // result. `units` counts the worker's one-millisecond delays.
  int RunUpdate(FakeLoader::Script script) {
    FakeLoader loader(socket_, script, log_);
    EXPECT_TRUE(loader.listening());
    EXPECT_TRUE(device_.Open("emu:" + socket_));
    device_.set_link_active(1);
    LoggingSink sink(log_, &units_);
    UpdateSession session(device_, record_, sink);
    session.firmware_folder = (dir_ / "Firmware").string() + "/";
    session.user_firmware_folder = (dir_ / "user").string();
    session.delay = [this](int ms) {
      if (ms == 1) ++units_;
      // Counted, not timed: a short real sleep keeps the tests quick.
      std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    };
    auto reader = std::async(std::launch::async, [&] { return UpdateReader(session); });
    const int result = UpdateWorker(session);
    reader_result_ = reader.get();
    units_at_identity_ = sink.units_at_identity;
    // The loader has seen everything once the worker closed the link.
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    return result;
  }

  fs::path dir_;
  std::string socket_;
  DeviceRecord record_;
  LauncherDevice device_;
  EventLog log_;
  std::atomic<int> units_{0};
  int reader_result_ = -1;
  // Delay units counted when the identity reply had been seen.
  int units_at_identity_ = -1;
};

TEST_F(UpdateWorkerTest, OneSegmentOf1024BytesSendsTwoBlocksWithProgressBeforeEach) {
  WriteImage(files::BuildFirmwareImage(OneSegment(1024, 0x12FF)));
  EXPECT_EQ(RunUpdate({}), 1);
  Events events = log_.Events();
  ASSERT_EQ(events.size(), 10u);
  // The finish request and the success post race each other to the log.
  std::sort(events.begin() + 8, events.end());
  EXPECT_EQ(events,
            (Events{"recv AA", "recv 00", "post 11 2", "recv 20", "post 11 50", "recv 30 12FF",
                    "post 11 100", "recv 30 1300", "post 10 0", "recv FF"}));
  EXPECT_EQ(reader_result_, 170);
  EXPECT_EQ(device_.link_active(), 0);
  EXPECT_FALSE(device_.is_open());
  // The identity reply replaced the device record's texts.
  EXPECT_EQ(record_.Version(), "1.9.9");
}

TEST_F(UpdateWorkerTest, TheUsersNewerImageIsSent) {
  WriteImage(files::BuildFirmwareImage(OneSegment(512, 0x0100)), "ZORVA_RQ700_V2.0.0.zr");
  WriteImage(files::BuildFirmwareImage(OneSegment(512, 0x0200)), "ZORVA_RQ700_V2.0.1.zr", "user");
  EXPECT_EQ(RunUpdate({}), 1);
  const Events events = log_.Events();
  EXPECT_NE(std::find(events.begin(), events.end(), "recv 30 0200"), events.end());
  EXPECT_EQ(std::find(events.begin(), events.end(), "recv 30 0100"), events.end());
}

TEST_F(UpdateWorkerTest, BlockNumbersWrapAndTrailingBytesAreNotSent) {
  // 1000 bytes: one whole block; the last 488 bytes stay behind.
  files::FirmwareImagePlan plan = OneSegment(1000, 0xFFFF);
  plan.segments.push_back({0x40, 0x1C, 300, 7, Pattern(1536, 9)});
  // Both segments answer with the same reply code, so one loader serves them.
  plan.segments[1].reply = 0x47;
  WriteImage(files::BuildFirmwareImage(plan));
  EXPECT_EQ(RunUpdate({}), 1);
  const Events events = log_.Events();
  Events blocks;
  std::copy_if(events.begin(), events.end(), std::back_inserter(blocks),
               [](const std::string& e) { return e.rfind("recv ", 0) == 0 && e.size() == 12; });
  EXPECT_EQ(blocks, (Events{"recv 30 FFFF", "recv 40 0007", "recv 40 0008", "recv 40 0009"}));
  // Progress counts by the whole file: (3688 - 128 - 2 * 512) / 512 = 4 blocks.
  EXPECT_NE(std::find(events.begin(), events.end(), "post 11 25"), events.end());
}

TEST_F(UpdateWorkerTest, SilentIdentityEndsWithTimeoutAfter499Units) {
  WriteImage(files::BuildFirmwareImage(OneSegment(1024, 0)));
  EXPECT_EQ(RunUpdate({.identity = false}), 0);
  EXPECT_EQ(log_.Events(), (Events{"recv AA", "recv 00", "post 9 0"}));
  EXPECT_EQ(units_, 499);
  EXPECT_EQ(device_.link_active(), 0);
  EXPECT_FALSE(device_.is_open());
  EXPECT_EQ(reader_result_, 170);
}

TEST_F(UpdateWorkerTest, ApplyRefusedOrUnansweredEndsBeforeAnyBlock) {
  WriteImage(files::BuildFirmwareImage(OneSegment(1024, 0)));
  EXPECT_EQ(RunUpdate({.accepted = 0}), 0);
  EXPECT_EQ(log_.Events(), (Events{"recv AA", "recv 00", "post 11 2", "recv 20", "post 5 0"}));

  log_.Clear();
  files::FirmwareImagePlan plan = OneSegment(1024, 0);
  plan.apply_timeout = 40;
  WriteImage(files::BuildFirmwareImage(plan));
  units_ = 0;
  EXPECT_EQ(RunUpdate({.apply_answer = false}), 0);
  EXPECT_EQ(log_.Events(), (Events{"recv AA", "recv 00", "post 11 2", "recv 20", "post 9 0"}));
  // The polls of the apply answer are counted from 1 and the 40th gives up: 39 delay
  // units between them.
  ASSERT_GE(units_at_identity_, 0);
  EXPECT_EQ(units_ - units_at_identity_, 39);

  // A time-out of 1 gives up at the first poll, without any delay; so does 0.
  for (uint32_t timeout : {1u, 0u}) {
    log_.Clear();
    plan.apply_timeout = timeout;
    WriteImage(files::BuildFirmwareImage(plan));
    units_ = 0;
    EXPECT_EQ(RunUpdate({.apply_answer = false}), 0) << timeout;
    const Events events = log_.Events();
    EXPECT_EQ(std::count(events.begin(), events.end(), "post 9 0"), 1) << timeout;
    EXPECT_EQ(units_ - units_at_identity_, 0) << timeout;
  }
}

TEST_F(UpdateWorkerTest, MissingLastAcknowledgementFailsWithoutFinish) {
  files::FirmwareImagePlan plan = OneSegment(1536, 0);
  plan.segments[0].block_timeout = 150;
  WriteImage(files::BuildFirmwareImage(plan));
  EXPECT_EQ(RunUpdate({.drop_block_ack = 3}), 0);
  const Events events = log_.Events();
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.back(), "post 1 0");
  EXPECT_EQ(std::count(events.begin(), events.end(), "recv FF"), 0);
  EXPECT_EQ(std::count(events.begin(), events.end(), "recv 30 0002"), 1);
  EXPECT_EQ(std::count(events.begin(), events.end(), "post 11 100"), 1);
}

TEST_F(UpdateWorkerTest, AcknowledgementOfAnotherSegmentDoesNotCount) {
  files::FirmwareImagePlan plan = OneSegment(512, 0);
  plan.segments[0].block_timeout = 60;
  plan.segments.push_back({0x40, 0x1C, 60, 0, Pattern(512, 3)});
  WriteImage(files::BuildFirmwareImage(plan));
  // The loader answers every block with segment 2's reply code.
  EXPECT_EQ(RunUpdate({.block_reply = 0x1C}), 0);
  const Events events = log_.Events();
  EXPECT_EQ(events.back(), "post 1 0");
  EXPECT_EQ(std::count(events.begin(), events.end(), "recv 40 0000"), 0);
}

TEST_F(UpdateWorkerTest, UnusableImagesEndWithStatus6BeforeAnythingIsSent) {
  auto expect_refused = [&](const char* what) {
    log_.Clear();
    EXPECT_EQ(RunUpdate({}), 0) << what;
    EXPECT_EQ(log_.Events(), (Events{"post 6 0"})) << what;
    EXPECT_FALSE(device_.is_open()) << what;
    EXPECT_EQ(device_.link_active(), 0) << what;
  };
  expect_refused("no image at all");

  // Whole blocks to count progress by: none.
  WriteImage(files::BuildFirmwareImage(OneSegment(300, 0)));
  expect_refused("total block count 0");

  std::vector<uint8_t> bytes = files::BuildFirmwareImage(OneSegment(1024, 0));
  bytes[47] = 0xFF;  // segment count -1
  WriteImage(bytes);
  expect_refused("negative segment count");

  bytes = files::BuildFirmwareImage(OneSegment(1024, 0));
  bytes[47] = 0;
  WriteImage(bytes);
  expect_refused("no segments");

  bytes = files::BuildFirmwareImage(OneSegment(1024, 0));
  bytes[128 + 17 + 1] = 0x10;  // segment length 4096 + 1024, beyond the file
  WriteImage(bytes);
  expect_refused("segment outside the file");

  bytes = files::BuildFirmwareImage(OneSegment(1024, 0));
  bytes[9] = 'X';
  WriteImage(bytes);
  expect_refused("another model");

  // The device's model text has no version mark: no image can be chosen.
  WriteImage(files::BuildFirmwareImage(OneSegment(1024, 0)));
  record_.model_text.fill(0);
  std::copy_n("ZORVA_RQ700", 11, record_.model_text.begin());
  expect_refused("model text without _V");
}

TEST_F(UpdateWorkerTest, ReaderGivesUpWhenTheLinkNeverBecomesActive) {
  EventLog log;
  LoggingSink sink(log);
  UpdateSession session(device_, record_, sink);
  int delays = 0;
  session.delay = [&](int) { ++delays; };
  EXPECT_EQ(UpdateReader(session), 0);
  EXPECT_EQ(delays, 1 + 9);
}

TEST(UpdateReplyTest, ShortPacketsReadNothingBeyondTheirPayload) {
  LauncherDevice device;
  DeviceRecord record;
  record.model_text.fill('#');
  struct : UpdateStatusSink {
    void PostStatus(int, int) override {}
  } sink;
  UpdateSession session(device, record, sink);

  // An identity reply with a four-byte payload: the rest of the texts is cleared, not
  // filled from whatever followed the packet.
  uint8_t packet[64];
  std::memset(packet, 0x77, sizeof(packet));
  const uint8_t payload[4] = {'Z', 'O', 'R', 'V'};
  const size_t size = BuildPacket(0x01, payload, 4, packet, sizeof(packet));
  HandleUpdateReply(session, packet, size);
  EXPECT_EQ(session.identity_received.load(), 0u + 1);
  EXPECT_EQ(record.Model(), "ZORV");
  EXPECT_EQ(record.Version(), "");

  // An apply answer without payload byte counts as a refusal.
  session.apply_reply = 0x6A;
  session.accepted = 9;
  const size_t bare = BuildPacket(0x6A, nullptr, 0, packet, sizeof(packet));
  HandleUpdateReply(session, packet, bare);
  EXPECT_EQ(session.apply_answered.load(), 1u);
  EXPECT_EQ(session.accepted.load(), 0);

  // Acknowledgements count only while their segment is being sent.
  const size_t ack = BuildPacket(0x47, payload, 2, packet, sizeof(packet));
  HandleUpdateReply(session, packet, ack);
  EXPECT_EQ(session.acknowledged.load(), 0u);
  session.current_segment_reply = 0x47;
  HandleUpdateReply(session, packet, ack);
  EXPECT_EQ(session.acknowledged.load(), 1u);
}

}  // namespace
}  // namespace rq700

namespace rq700 {
namespace {

// Image time-outs count delay units of one coarse tick each, not milliseconds.
TEST(DelayPrimitiveTest, AUnitLastsOneCoarseTick) {
  uint64_t start = CoarseTickMs();
  SleepDelay(1);
  EXPECT_GE(CoarseTickMs() - start, 15u);
  start = CoarseTickMs();
  SleepDelay(20);  // more than 20 ms of the tick: two ticks
  EXPECT_GE(CoarseTickMs() - start, 31u);
}

}  // namespace
}  // namespace rq700
