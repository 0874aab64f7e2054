// The backup and restore dialogues through the job's protocol seam, the test playing the
// sequencer and the device: what a backup writes, every answer that ends it early (with
// the earlier file left whole), and what a restore sends and accepts.
#include "files/backup_restore_job.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "link/packet.h"
#include "tests/files/temp_dir.h"

namespace rq700::files {
namespace {

// The device's side of a backup: amplifier slots of four 512-byte planes and a 15-byte
// name, impulse responses of three planes and a name, a 64-byte system chunk. `tweak` may
// change the n-th answer (from 1) before it goes.
struct BackupDevice {
  std::set<int> amps, irs;
  std::function<void(int n, std::vector<uint8_t>& payload)> tweak;

  // Answers every request until the job asks for nothing more.
  void Serve(BackupRestoreJob& job) {
    uint8_t request[8];
    for (int n = 1; job.EncodeBackupRequest(request, sizeof(request)) == 3; ++n) {
      const int section = request[0], slot = request[1], chunk = request[2];
      std::vector<uint8_t> payload(request, request + 3);
      const std::set<int>& present = section == 1 ? amps : irs;
      const int chunks = section == 1 ? 5 : 4;
      if (section == 3) {
        payload.resize(3 + 64, 0x33);
      } else if (!present.count(slot)) {
        payload[2] = 255;
      } else {
        payload.resize(3 + (chunk == chunks ? 15 : 512), static_cast<uint8_t>(slot * 16 + chunk));
      }
      if (tweak) tweak(n, payload);
      uint8_t packet[kMaxReceivedPacket];
      const size_t size = BuildPacket(0xAA, payload.data(), payload.size(), packet, sizeof(packet));
      job.OnBackupData(packet, size);
    }
  }
};

class BackupRestoreJobTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetToDefaults(state_);
    for (int i = 0; i < kPresetCount; ++i) {
      uint8_t record[record::kSize];
      std::fill(record, record + record::kSize, static_cast<uint8_t>(i));
      WriteRecord(state_, i, record);
    }
  }
  std::vector<std::string> Records(const std::string& path) {
    BackupReader reader;
    std::vector<std::string> out;
    if (!reader.Open(path)) return {"unreadable: " + reader.error()};
    for (int i = 0; i < reader.record_count(); ++i) {
      BackupRecordHeader r;
      reader.ReadRecordHeader(i, &r);
      out.push_back(r.name + " " + std::to_string(r.item_count) + "x" +
                    std::to_string(r.item_length));
    }
    return out;
  }

  DeviceState state_;
  TempDir dir_;
};

TEST_F(BackupRestoreJobTest, BackupWritesTheDeviceOrEndsEarlyLeavingTheOldFile) {
  const std::string path = dir_.Path("device.zbf");
  WriteBytes(path, {1, 2, 3});
  struct Case {
    const char* what;
    std::function<void(int, std::vector<uint8_t>&)> tweak;
    JobResult expected;
  };
  const Case cases[] = {
      {"another slot",
       [](int n, auto& p) {
         if (n == 7) ++p[1];
       },
       JobResult::kRefused},
      {"another section",
       [](int n, auto& p) {
         if (n == 30) p[0] = 3;
       },
       JobResult::kRefused},
      {"another chunk",
       [](int n, auto& p) {
         if (n == 12) ++p[2];
       },
       JobResult::kRefused},
      {"items of two lengths",
       [](int n, auto& p) {
         if (n == 10) p.pop_back();
       },
       JobResult::kRefused},
      {"complete", nullptr, JobResult::kDone},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    BackupRestoreJob job(state_);
    ASSERT_EQ(job.StartBackup(path), JobResult::kDone);
    state_.backup_request = 1;
    BackupDevice device{{2, 4}, {1, 10}, c.tweak};
    device.Serve(job);
    ASSERT_EQ(job.Result(), c.expected);
    EXPECT_FALSE(job.running());
    EXPECT_EQ(dir_.Names().size(), 1u) << "nothing left beside the file";
    if (c.expected != JobResult::kDone) {
      EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t>{1, 2, 3}));
      // A late answer changes nothing and asks for nothing.
      const uint8_t late[] = {1, 1, 1, 0};
      uint8_t packet[16];
      job.OnBackupData(packet, BuildPacket(0xAA, late, sizeof(late), packet, sizeof(packet)));
      EXPECT_EQ(state_.backup_request.load(), 0);
      EXPECT_EQ(job.Result(), c.expected);
      continue;
    }
    EXPECT_EQ(job.Percent(), 100);
    EXPECT_EQ(Records(path),
              (std::vector<std::string>{"RQ700_NR 2x2063", "RQ700_IR 2x1551", "RQ700_SYSTEM 1x64",
                                        "RQ700_PRESET 200x512"}));
    BackupReader reader;
    ASSERT_TRUE(reader.Open(path));
    BackupRecordHeader presets, irs;
    ASSERT_TRUE(reader.ReadRecordHeader(3, &presets) && reader.ReadRecordHeader(1, &irs));
    BackupItem item;
    ASSERT_TRUE(reader.ReadItem(presets, 6, &item));
    EXPECT_EQ(item.number, 7);
    EXPECT_EQ(item.data, std::vector<uint8_t>(512, 6)) << "the editor's own store";
    ASSERT_TRUE(reader.ReadItem(irs, 1, &item));
    EXPECT_EQ(item.number, 10);
    EXPECT_EQ(item.data[0], 10 * 16 + 1);
    EXPECT_EQ(item.data[1550], 10 * 16 + 4);
  }

  BackupRestoreJob job(state_);
  EXPECT_EQ(job.StartBackup(dir_.Path("no/such/folder.zbf")), JobResult::kIoError);
  EXPECT_EQ(job.Result(), JobResult::kIoError);
  EXPECT_FALSE(job.running());
}

TEST_F(BackupRestoreJobTest, RestoreSendsEveryItemInChunksAndEndsOnAWrongAcknowledgement) {
  const std::string path = dir_.Path("r.zbf");
  {
    BackupWriter writer;
    ASSERT_TRUE(writer.Create(path));
    ASSERT_TRUE(writer.WriteRecord({"RQ700_IR", 2, {{3, std::vector<uint8_t>(1551, 9)}}}));
    ASSERT_TRUE(writer.WriteRecord(
        {"RQ700_PRESET",
         4,
         {{1, std::vector<uint8_t>(512, 1)}, {300, std::vector<uint8_t>(512, 2)}}}));
    ASSERT_TRUE(writer.Finish());
  }
  struct Case {
    const char* what;
    int bad_ack;  // the n-th acknowledgement (from 1) names another type (0: none)
    JobResult expected;
    std::vector<std::string> sent;  // type/item/chunk:size
  };
  const Case cases[] = {
      {"complete",
       0,
       JobResult::kDone,
       {"2/3/1:512", "2/3/2:512", "2/3/3:512", "2/3/4:15", "4/1/1:512", "4/44/1:512"}},
      {"refused chunk", 3, JobResult::kRefused, {"2/3/1:512", "2/3/2:512", "2/3/3:512"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    BackupRestoreJob job(state_);
    ASSERT_EQ(job.StartRestore(path), JobResult::kDone);
    state_.restore_request = 1;
    std::vector<std::string> sent;
    std::vector<int> percents;
    uint8_t chunk[600];
    for (size_t size; (size = job.EncodeRestoreChunk(chunk, sizeof(chunk))) != 0;) {
      sent.push_back(std::to_string(chunk[0]) + "/" + std::to_string(chunk[1]) + "/" +
                     std::to_string(chunk[2]) + ":" + std::to_string(size - 3));
      percents.push_back(job.Percent());
      // The device echoes the item's byte as it likes: it is not compared.
      const uint8_t ack[3] = {static_cast<uint8_t>(sent.size() == size_t(c.bad_ack) ? 0 : chunk[0]),
                              0x77, chunk[2]};
      job.OnRestoreAck(ack, 3);
    }
    EXPECT_EQ(sent, c.sent);
    EXPECT_EQ(job.Result(), c.expected);
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    if (c.expected == JobResult::kDone) {
      EXPECT_EQ(percents.back(), 100);
    }
    EXPECT_EQ(state_.transfer_chunk.load(), 1);
  }

  // Files that cannot be restored are refused before anything is sent.
  std::vector<uint8_t> bytes = ReadBytes(path);
  bytes[1500] ^= 1;
  WriteBytes(dir_.Path("broken.zbf"), bytes);
  BackupWriter empty;
  ASSERT_TRUE(empty.Create(dir_.Path("empty.zbf")) && empty.Finish());
  for (const char* name : {"broken.zbf", "empty.zbf", "missing.zbf"}) {
    BackupRestoreJob job(state_);
    EXPECT_EQ(job.StartRestore(dir_.Path(name)), JobResult::kBadFile) << name;
    state_.restore_request = 1;
    uint8_t chunk[600];
    EXPECT_EQ(job.EncodeRestoreChunk(chunk, sizeof(chunk)), 0u) << name;
  }
}

}  // namespace
}  // namespace rq700::files
