// rq700's transfers (ir load/delete, amp load, preset import/export) as processes against
// the virtual device; what the device holds afterwards is read from its state file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

#include "emulator/device_state.h"
#include "files/byte_order.h"
#include "files/preset_file.h"
#include "tests/files/temp_dir.h"
#include "tests/support/emulator_process.h"
#include "tests/support/transfer_files.h"
#include "tests/tools/tool_runner.h"

namespace rq700 {
namespace {

using testing::EmulatorProcess;
using testing::ToolRun;
using Args = std::vector<std::string>;

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  testing::WriteBytes(path, bytes);
}

using testing::AmpBytes;
using testing::StereoWav;

uint32_t SlotWord(const emu::UserSlot& slot, int planes, int i) {
  return testing::PlaneWord(slot, planes, i);
}

std::string SlotName(const emu::UserSlot& slot) {
  return std::string(reinterpret_cast<const char*>(slot.name.data()),
                     strnlen(reinterpret_cast<const char*>(slot.name.data()), slot.name.size()));
}

// Names the first byte where two records differ.
::testing::AssertionResult SameRecord(const std::vector<uint8_t>& a, const emu::PresetRecord& b) {
  if (a.size() != b.size()) return ::testing::AssertionFailure() << "size " << a.size();
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i])
      return ::testing::AssertionFailure()
             << "byte " << i << ": " << int(a[i]) << " vs " << int(b[i]);
  }
  return ::testing::AssertionSuccess();
}

std::vector<uint8_t> FileRecord(const std::string& path) {
  files::CPresetFileRq700 file;
  int error = 0;
  std::vector<uint8_t> rec(512);
  if (!file.Load(path, &error) || !file.ReadBody(rec.data(), rec.size())) rec.clear();
  return rec;
}

class TransferCommandTest : public ::testing::Test {
 protected:
  ToolRun Tool(std::vector<std::string> args, const EmulatorProcess& emu) {
    args.insert(args.begin() + 2, {"--device", "emu:" + emu.socket_path()});
    return testing::RunTool(RQ700_TOOL, args, out_, {"RQ700_EMU_DIR=" + emu_dir_.path()});
  }
  std::string File(const std::string& name) { return files_.Path(name); }
  std::string Copy(const std::string& from, const std::string& name) {
    WriteFile(File(name), files::ReadBytes(from));
    return File(name);
  }
  // The device's state once it has stopped.
  emu::DeviceState DeviceHolds(EmulatorProcess& emu) {
    emu.Stop();
    emu::DeviceState state;
    std::string error;
    EXPECT_TRUE(emu::LoadStateFile(state_file(), state, &error)) << error;
    return state;
  }
  std::string state_file() { return emu_dir_.Path("device.state"); }
  // Host packets of `command` in the device's log.
  int HostPackets(const char* command) {
    std::istringstream log(testing::Slurp(emu_dir_.Path("packets.log")));
    int n = 0;
    for (std::string line; std::getline(log, line);) {
      if (line.rfind("H>D AA 55 ", 0) == 0 && line.substr(16, 2) == command) ++n;
    }
    return n;
  }
  std::vector<std::string> Logged() {
    return {"--state", state_file(), "--log", emu_dir_.Path("packets.log")};
  }

  files::TempDir emu_dir_;
  files::TempDir out_;
  files::TempDir files_;
};

TEST_F(TransferCommandTest, SlotLoadsLandOnTheDeviceAndBadInputNeverReachesIt) {
  EmulatorProcess emu(RQ700_EMU_BINARY, emu_dir_.path(), Logged());
  ASSERT_TRUE(emu.ready());
  const std::string wav = File("my cab.wav");
  WriteFile(wav, StereoWav(900));
  const std::vector<uint8_t> amp = AmpBytes(7);
  WriteFile(File("Lead Amp.amp"), amp);
  WriteFile(File("broken.wav"), std::vector<uint8_t>(40, 'x'));
  std::vector<uint8_t> bad_sum = amp;
  bad_sum[2048] ^= 1;
  WriteFile(File("bad.amp"), bad_sum);

  ToolRun convert = testing::RunTool(RQ700_TOOL, {"ir", "convert", wav}, out_);
  ASSERT_EQ(convert.status, 0) << convert.err;

  ToolRun ir = Tool({"ir", "load", "--slot", "3", wav}, emu);
  EXPECT_EQ(ir.status, 0) << ir.err;
  EXPECT_EQ(ir.out, "slot 3: MY CAB\n");
  ToolRun amp_run = Tool({"amp", "load", "--slot", "10", File("Lead Amp.amp")}, emu);
  EXPECT_EQ(amp_run.status, 0) << amp_run.err;
  EXPECT_EQ(amp_run.out, "slot 10: LEAD AMP\n");
  ToolRun del = Tool({"ir", "delete", "--slot", "1"}, emu);
  EXPECT_EQ(del.status, 0) << del.err;
  EXPECT_EQ(del.out, "slot 1: EMPTY\n");

  // Refused before the device is opened: a broken file, a bad checksum, slot 11, no slot.
  const int e1_before = HostPackets("E1"), e2_before = HostPackets("E2");
  for (const auto& [args, status, text] : std::vector<std::tuple<Args, int, std::string>>{
           {{"ir", "load", "--slot", "2", File("broken.wav")}, 2, "File Error!!"},
           {{"amp", "load", "--slot", "2", File("bad.amp")}, 2, "File Error!!"},
           {{"ir", "load", "--slot", "11", wav}, 1, "--slot takes a user slot number"},
           {{"amp", "load", File("Lead Amp.amp")}, 1, "--slot N is needed"},
       }) {
    ToolRun run = Tool(args, emu);
    EXPECT_EQ(run.status, status) << args[3];
    EXPECT_NE(run.err.find(text), std::string::npos) << run.err;
  }
  EXPECT_EQ(HostPackets("E1"), e1_before);
  EXPECT_EQ(HostPackets("E2"), e2_before);

  const emu::DeviceState device = DeviceHolds(emu);
  std::istringstream words(convert.out);
  for (int i = 0; i < 512; ++i) {
    std::string line;
    std::getline(words, line);
    ASSERT_EQ(SlotWord(device.ir[2], 3, i), std::stoul(line, nullptr, 16)) << "sample " << i;
    ASSERT_EQ(SlotWord(device.amp[9], 4, i), files::GetLe32(amp.data() + 4 * i)) << "word " << i;
  }
  EXPECT_EQ(SlotName(device.ir[2]), "my cab");  // sent as the file names it
  EXPECT_EQ(SlotName(device.amp[9]), "Lead Amp");
  EXPECT_FALSE(device.ir[0].present);
  EXPECT_FALSE(device.ir[1].present);  // the refused load left slot 2 alone
}

TEST_F(TransferCommandTest, PresetsExportAndImportBackByTheirNumbers) {
  EmulatorProcess emu(RQ700_EMU_BINARY, emu_dir_.path(), Logged());
  ASSERT_TRUE(emu.ready());
  const std::string dir = files_.Path("out");
  std::filesystem::create_directories(dir);
  ToolRun exported = Tool({"preset", "export", "--slots", "1,200", dir}, emu);
  ASSERT_EQ(exported.status, 0) << exported.err;
  std::vector<std::string> paths;
  for (const auto& entry : std::filesystem::directory_iterator(dir))
    paths.push_back(entry.path().filename().string());
  std::sort(paths.begin(), paths.end());
  ASSERT_EQ(paths.size(), 2u);
  EXPECT_EQ(paths[0].rfind("P1-", 0), 0u);
  EXPECT_EQ(paths[1].rfind("P200-", 0), 0u);

  // Numbered names go to their presets, in any order, with the name after the "-".
  const std::string first = dir + "/" + paths[0], last = dir + "/" + paths[1];
  ToolRun imported =
      Tool({"preset", "import", Copy(last, "P12-A.zv"), Copy(first, "P3-B.zv")}, emu);
  EXPECT_EQ(imported.status, 0) << imported.err;
  EXPECT_EQ(imported.out, "P012: A\nP003: B\n");

  // Refused as a whole before anything is sent.
  const int e5_before = HostPackets("E5");
  std::vector<std::string> too_many{"preset", "import"};
  for (int i = 1; i <= 201; ++i)
    too_many.push_back(File("P" + std::to_string(i % 200 + 1) + "-X.zv"));
  for (const auto& [args, text] : std::vector<std::pair<Args, std::string>>{
           {{"preset", "import", Copy(first, "P4-C.zv"), Copy(first, "Q1-A.zv")}, "File error!!"},
           {{"preset", "import", Copy(first, "P201-A.zv")}, "File error!!"},
           {{"preset", "import", Copy(first, "P0-A.zv")}, "File error!!"},
           {{"preset", "import", Copy(first, "P0012-A.zv")}, "File error!!"},
           {too_many, "Select a maximum of 200 files!!"},
       }) {
    ToolRun run = Tool(args, emu);
    EXPECT_EQ(run.status, 2) << args[3];
    EXPECT_NE(run.err.find(text), std::string::npos) << run.err;
  }
  EXPECT_EQ(HostPackets("E5"), e5_before);
  ToolRun lower = Tool({"preset", "import", Copy(first, "P5-lead.zv")}, emu);
  EXPECT_EQ(lower.status, 2);
  EXPECT_NE(lower.err.find("File Name error!!"), std::string::npos) << lower.err;

  const emu::DeviceState device = DeviceHolds(emu);
  EXPECT_TRUE(SameRecord(FileRecord(first), device.presets[0]));
  std::vector<uint8_t> expected = FileRecord(last);
  std::memset(expected.data() + 12, 0, 16);
  expected[12] = 'A';
  EXPECT_TRUE(SameRecord(expected, device.presets[11]));
  EXPECT_EQ(emu::PresetName(device.presets[2]), "B");
  EXPECT_NE(emu::PresetName(device.presets[4]), "LEAD");
}

TEST_F(TransferCommandTest, ASilentDeviceEndsEachTransferWithItsStatus) {
  EmulatorProcess emu(RQ700_EMU_BINARY, emu_dir_.path(), {"--silent", "0xE1,0xE2,0xE5"});
  ASSERT_TRUE(emu.ready());
  WriteFile(File("x.wav"), StereoWav(100));
  WriteFile(File("x.amp"), AmpBytes(1));
  ToolRun exported = Tool({"preset", "export", "--slots", "9", out_.path()}, emu);
  ASSERT_EQ(exported.status, 0) << exported.err;
  const std::string preset = Copy(exported.out.substr(0, exported.out.find('\n')), "P9-X.zv");
  for (const Args& args :
       {Args{"ir", "load", "--slot", "1", File("x.wav")},
        Args{"amp", "load", "--slot", "1", File("x.amp")}, Args{"preset", "import", preset}}) {
    Args with_wait = args;
    with_wait.insert(with_wait.begin() + 2, {"--wait", "0.5"});
    ToolRun run = Tool(with_wait, emu);
    EXPECT_EQ(run.status, 5) << args[0];
    EXPECT_NE(run.err.find("the device stopped answering"), std::string::npos) << run.err;
  }
}

}  // namespace
}  // namespace rq700
