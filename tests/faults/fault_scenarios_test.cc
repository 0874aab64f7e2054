// How a job with the device ends when the device fails it: one row per way, against
// rq700-emu. rq700 runs as a user would run it; the firmware update runs through the
// updater's worker and reader. Each row ends with its status and message within its
// limit, and every file the user gave it is byte for byte as it was.
//
// Covered elsewhere and not repeated here: an unplugged and a silent backup and restore,
// a lost restore acknowledgement and a wrong backup chunk (tests/tools/rq700_backup_test),
// a silent IR, AMP and preset import (rq700_transfer_test), a silent dump
// (rq700_device_test, and the editor's give-up in editor_e2e_test), a silent identity
// request, a refused update and a lost block acknowledgement (updater_emulator_test).
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "emulator/device_state.h"
#include "files/firmware_builder.h"
#include "files/preset_file.h"
#include "launcher/detect.h"
#include "link/device_enum.h"
#include "tests/files/temp_dir.h"
#include "tests/support/emulator_process.h"
#include "tests/support/transfer_files.h"
#include "tests/tools/tool_runner.h"
#include "updater/update_worker.h"
#include "updater/updater_view.h"

namespace rq700 {
namespace {

namespace fs = std::filesystem;
using testing::EmulatorProcess;
using Args = std::vector<std::string>;
using Clock = std::chrono::steady_clock;

// The device counts host packets from its start: a command's start-up dump request is the
// first, so "--disconnect-after 3" pulls the cable at the second packet of the job. The
// dump itself is 210 device packets; the first backup answer is the 211th.
struct Scenario {
  const char* name;
  Args emulator;  // the fault
  Args command;   // rq700's words; "@x" is file x of the user's folder; none: an update
  int status;     // rq700's exit status, or the updater's final status code
  const char* message;
};

// Names the row in the test's name and its failures.
void PrintTo(const Scenario& s, std::ostream* os) { *os << s.name; }

const Scenario kScenarios[] = {
    // Record 140 of the dump is lost; the re-request for it meets a pulled cable.
    {"UnplugInTheDump",
     {"--drop-ack", "0xE0:150", "--disconnect-after", "2"},
     {"preset", "list"},
     4,
     "the device is gone"},
    {"UnplugInAnIrLoad",
     {"--disconnect-after", "3"},
     {"ir", "load", "--slot", "2", "@cab.wav"},
     4,
     "ir load: the device is gone"},
    {"UnplugInAnAmpLoad",
     {"--disconnect-after", "4"},
     {"amp", "load", "--slot", "10", "@lead.amp"},
     4,
     "amp load: the device is gone"},
    {"UnplugInAMultiFileImport",
     {"--disconnect-after", "3"},
     {"preset", "import", "@P3-A.zv", "@P7-B.zv", "@P200-C.zv"},
     4,
     "preset import: the device is gone"},
    {"AnswerLostInAMultiFileImport",
     {"--drop-ack", "0xE5:2"},
     {"preset", "import", "@P3-A.zv", "@P7-B.zv", "@P200-C.zv"},
     5,
     "preset import: the device stopped answering"},
    {"CorruptedCrcInABackupAnswer",
     {"--corrupt-crc", "215"},
     {"backup", "@earlier.zbf"},
     5,
     "backup: the device stopped answering"},
    {"CorruptedCrcInAnIrAcknowledgement",
     {"--corrupt-crc", "212"},
     {"ir", "load", "--slot", "1", "@cab.wav"},
     5,
     "ir load: the device stopped answering"},
    // The update's host packets: the launcher's identity query, then the worker's start,
    // identity, apply, the two blocks and the finish: the cable goes at the second block.
    {"UnplugInAnUpdate", {"--disconnect-after", "6"}, {}, kStatusBlockFailed, "update error [ 0 ]"},
    {"SilentAtTheApplyRequest", {"--silent", "0x20"}, {}, kStatusTimeout, "MCU returned timeout"},
};

// The user's folder, byte for byte.
std::map<std::string, std::vector<uint8_t>> Contents(const files::TempDir& dir) {
  std::map<std::string, std::vector<uint8_t>> contents;
  for (const std::string& name : dir.Names()) contents[name] = files::ReadBytes(dir.Path(name));
  return contents;
}

class StatusRecorder : public UpdateStatusSink {
 public:
  void PostStatus(int code, int) override {
    std::lock_guard lock(mutex_);
    last_ = code;
  }
  int last() {
    std::lock_guard lock(mutex_);
    return last_;
  }

 private:
  std::mutex mutex_;
  int last_ = -1;
};

class FaultScenarioTest : public ::testing::TestWithParam<Scenario> {
 protected:
  void SetUp() override {
    testing::WriteBytes(user_.Path("cab.wav"), testing::StereoWav(700));
    testing::WriteBytes(user_.Path("lead.amp"), testing::AmpBytes(5));
    emu::DeviceState factory;
    emu::FactoryReset(factory);
    for (const char* name : {"P3-A.zv", "P7-B.zv", "P200-C.zv"}) {
      files::CPresetFileRq700 file;
      int error = 0;
      ASSERT_TRUE(file.WriteBody(factory.presets[name[1] - '0'].data(), 512));
      ASSERT_TRUE(file.Save(user_.Path(name), &error)) << error;
    }
    testing::WriteBytes(user_.Path("earlier.zbf"), std::vector<uint8_t>(3000, 0x5C));
  }

  // rq700 with the scenario's words; its exit status and what it printed.
  testing::ToolRun RunCommand(const EmulatorProcess& emu, Args words) {
    for (std::string& word : words) {
      if (word[0] == '@') word = user_.Path(word.substr(1));
    }
    words.insert(words.begin() + 2, {"--device", "emu:" + emu.socket_path(), "--wait", "1"});
    return testing::RunTool(RQ700_TOOL, words, out_, {"RQ700_EMU_DIR=" + emu_dir_.path()});
  }

  // The updater against a loader for a two-block image, found and woken as the launcher
  // does; the final status it posted.
  int RunUpdate(const Args& fault) {
    files::FirmwareImagePlan plan;
    plan.apply_command = 0x20;
    plan.apply_reply = 0x6A;
    plan.apply_timeout = 300;
    plan.segments.push_back({0x30, 0x47, 300, 0x0100, std::vector<uint8_t>(1024, 0x33)});
    const std::vector<uint8_t> image = files::BuildFirmwareImage(plan);
    fs::create_directories(out_.Path("Firmware"));
    files::WriteBytes(out_.Path("Firmware/ZORVA_RQ700_V2.0.0.zr"), image);
    files::WriteBytes(out_.Path("loader.zr"), image);
    const std::string socket = emu_dir_.Path("loader.sock");
    Args args = {"--socket",  socket,  "--mode",     "update",
                 "--version", "1.9.9", "--firmware", out_.Path("loader.zr")};
    args.insert(args.end(), fault.begin(), fault.end());
    EmulatorProcess emu(RQ700_EMU_BINARY, emu_dir_.path(), args);
    EXPECT_TRUE(emu.ready());
    DeviceRecord record;
    HidDeviceQueries queries;
    EXPECT_EQ(queries.UpdateModeQuery("emu:" + socket, &record), QueryResult::kAnswered);
    LauncherDevice device;
    EXPECT_TRUE(device.Open("emu:" + socket));
    device.set_link_active(1);
    StatusRecorder sink;
    UpdateSession session(device, record, sink);
    session.firmware_folder = out_.Path("Firmware") + "/";
    session.delay = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
    auto reader = std::async(std::launch::async, [&] { return UpdateReader(session); });
    EXPECT_EQ(UpdateWorker(session), 0);
    EXPECT_EQ(reader.get(), 170);
    // A failed update leaves the device in update mode, for the launcher to try again.
    const auto announced = EnumerateVirtualDevices(emu_dir_.path());
    EXPECT_TRUE(announced.size() == 1 && announced[0].product_id == kRq700UpdateProductId);
    return sink.last();
  }

  files::TempDir emu_dir_;
  files::TempDir out_;
  files::TempDir user_;
};

TEST_P(FaultScenarioTest, EndsWithItsStatusInTimeAndLeavesTheUserFilesWhole) {
  const Scenario& s = GetParam();
  const auto before = Contents(user_);
  const auto start = Clock::now();
  if (s.command.empty()) {
    const int status = RunUpdate(s.emulator);
    EXPECT_EQ(status, s.status);
    EXPECT_STREQ(UpdaterStatusText(status), s.message);
  } else {
    EmulatorProcess emu(RQ700_EMU_BINARY, emu_dir_.path(), s.emulator);
    ASSERT_TRUE(emu.ready());
    const testing::ToolRun run = RunCommand(emu, s.command);
    EXPECT_EQ(run.status, s.status) << run.err;
    EXPECT_NE(run.err.find(s.message), std::string::npos) << run.err;
  }
  // The waits are one second here: anything near the limit would be a hang.
  EXPECT_LT(Clock::now() - start, std::chrono::seconds(15));
  EXPECT_EQ(Contents(user_), before);
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultScenarioTest, ::testing::ValuesIn(kScenarios),
                         [](const auto& info) { return std::string(info.param.name); });

// A damaged record in the dump is not a hole in what the command reads: the dump is asked
// for again, and the backup is the device's own, byte for byte.
TEST(FaultRecoveryTest, ADumpRecordWithABadCrcIsReadAgain) {
  files::TempDir emu_dir, out;
  const std::string log = out.Path("packets.log");
  EmulatorProcess emu(RQ700_EMU_BINARY, emu_dir.path(), {"--corrupt-crc", "150", "--log", log});
  ASSERT_TRUE(emu.ready());
  const testing::ToolRun run = testing::RunTool(
      RQ700_TOOL, {"backup", "--device", "emu:" + emu.socket_path(), out.Path("host.zbf")}, out,
      {"RQ700_EMU_DIR=" + emu_dir.path()});
  ASSERT_EQ(run.status, 0) << run.err;
  ASSERT_TRUE(emu.Control("save-backup " + out.Path("device.zbf")));
  for (int i = 0; i < 500 && !fs::exists(out.Path("device.zbf")); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(files::ReadBytes(out.Path("host.zbf")), files::ReadBytes(out.Path("device.zbf")));
  const std::string packets = testing::Slurp(log);
  size_t requests = 0;
  for (size_t at = packets.find("H>D AA 55 01 00 E0"); at != std::string::npos;
       at = packets.find("H>D AA 55 01 00 E0", at + 1))
    ++requests;
  EXPECT_EQ(requests, 2u);
}

}  // namespace
}  // namespace rq700
