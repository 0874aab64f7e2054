// rq700 backup and restore against the virtual device, run as a user would: what a backup
// holds, a restore into a device in another state, the chunks on the wire, and every
// failure ending with its status and message while an earlier file stays whole.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <sstream>

#include "emulator/device_state.h"
#include "files/backup_reader.h"
#include "files/backup_writer.h"
#include "tests/files/temp_dir.h"
#include "tests/support/emulator_process.h"
#include "tests/tools/tool_runner.h"

namespace rq700 {
namespace {

using files::ReadBytes;
using testing::EmulatorProcess;
using testing::ToolRun;

class BackupCommandTest : public ::testing::Test {
 protected:
  ToolRun Tool(const std::vector<std::string>& args) {
    return testing::RunTool(RQ700_TOOL, args, out_, {"RQ700_EMU_DIR=" + emu_dir_.path()});
  }
  std::string Device(const EmulatorProcess& emu) { return "emu:" + emu.socket_path(); }

  // A device state file: the factory state with two impulse responses, the user amplifiers
  // in `amps`, and presets and settings marked by `mark`.
  std::string StateFile(const std::string& name, uint8_t mark, std::vector<int> amps = {}) {
    emu::DeviceState s;
    emu::FactoryReset(s);
    for (auto& slot : s.amp) slot.present = false;
    for (auto& slot : s.ir) slot.present = false;
    for (int k : {1, 6}) {
      s.ir[k].present = true;
      s.ir[k].name.fill(static_cast<uint8_t>('A' + mark + k));
      for (size_t i = 0; i < s.ir[k].planes.size(); ++i)
        s.ir[k].planes[i] = static_cast<uint8_t>(i * (mark + 3) + k);
      // Only three planes travel; the fourth stays as a restore leaves it.
      std::fill(s.ir[k].planes.begin() + emu::kIrPlanes * emu::kPlaneSize, s.ir[k].planes.end(), 0);
    }
    for (int k : amps) {
      s.amp[k].present = true;
      s.amp[k].name.fill(static_cast<uint8_t>('a' + mark + k));
      for (size_t i = 0; i < s.amp[k].planes.size(); ++i)
        s.amp[k].planes[i] = static_cast<uint8_t>(i * (mark + 5) + k);
    }
    for (size_t p = 0; p < s.presets.size(); ++p) s.presets[p][40] = static_cast<uint8_t>(p + mark);
    s.system[1] = mark;
    s.tempo = static_cast<uint16_t>(100 + mark);
    const std::string path = out_.Path(name);
    std::string error;
    EXPECT_TRUE(emu::SaveStateFile(path, s, &error)) << error;
    return path;
  }

  static emu::DeviceState Load(const std::string& path) {
    emu::DeviceState s;
    std::string error;
    EXPECT_TRUE(emu::LoadStateFile(path, s, &error)) << error;
    return s;
  }

  files::TempDir emu_dir_;
  files::TempDir out_;
};

// The data sizes of the restore chunks of one item, from the device's packet log.
std::vector<int> ChunkSizes(const std::string& log, int type, int item) {
  std::vector<int> sizes;
  std::istringstream lines(log);
  std::string line;
  while (std::getline(lines, line)) {
    unsigned b[8];
    if (std::sscanf(line.c_str(), "H>D %x %x %x %x %x %x %x %x", &b[0], &b[1], &b[2], &b[3], &b[4],
                    &b[5], &b[6], &b[7]) != 8 ||
        b[4] != 0xAB || static_cast<int>(b[5]) != type || static_cast<int>(b[6]) != item)
      continue;
    sizes.push_back(static_cast<int>(b[2] | b[3] << 8) - 4);
  }
  return sizes;
}

TEST_F(BackupCommandTest, BackupHoldsTheDeviceAndRestoresItIntoAnother) {
  const std::string file = out_.Path("whole.zbf");
  const std::string a_state = StateFile("a.state", 1, {3, 8});
  const std::string b_state = StateFile("b.state", 2);
  const emu::DeviceState a = Load(a_state);
  // An empty slot gives no item; no amplifier record at all when every amplifier slot is
  // empty (device B, before the restore).
  const std::vector<std::pair<std::string, std::string>> devices = {
      {a_state,
       "RQ700_NR 1 2 2063\nRQ700_IR 2 2 1551\nRQ700_SYSTEM 3 1 64\nRQ700_PRESET 4 200 512\n"
       "RQ700_NR 4\nRQ700_NR 9\nRQ700_IR 2\nRQ700_IR 7\n"},
      {b_state,
       "RQ700_IR 2 2 1551\nRQ700_SYSTEM 3 1 64\nRQ700_PRESET 4 200 512\nRQ700_IR 2\nRQ700_IR 7\n"}};
  for (const auto& [state, held] : devices) {
    const std::string out = state == a_state ? file : out_.Path("b.zbf");
    {
      EmulatorProcess emu(RQ700_EMU_BINARY, emu_dir_.path(), {"--state", state});
      ASSERT_TRUE(emu.ready());
      ToolRun run = Tool({"backup", "--device", Device(emu), out});
      ASSERT_EQ(run.status, 0) << run.err;
      EXPECT_NE(run.err.find("backup 100 %"), std::string::npos) << run.err;
    }
    EXPECT_EQ(Tool({"backup", "check", out}).out, "ok\n");
    EXPECT_EQ(Tool({"backup", "list", out}).out.substr(0, held.size()), held);
  }

  const std::string log = out_.Path("b.log");
  {
    EmulatorProcess emu(RQ700_EMU_BINARY, emu_dir_.path(), {"--state", b_state, "--log", log});
    ASSERT_TRUE(emu.ready());
    ToolRun run = Tool({"restore", "--device", Device(emu), file});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("restore 100 %"), std::string::npos) << run.err;
    EXPECT_GE(std::count(run.err.begin(), run.err.end(), '%'), 5) << run.err;
  }  // the emulator keeps its state file on the way out
  const emu::DeviceState b = Load(b_state);
  EXPECT_EQ(b.presets, a.presets);
  EXPECT_EQ(b.system, a.system);
  EXPECT_EQ(b.tempo, a.tempo);
  for (int k = 0; k < emu::kUserSlotCount; ++k) {
    EXPECT_EQ(b.ir[k].present, a.ir[k].present) << k;
    EXPECT_EQ(b.ir[k].name, a.ir[k].name) << k;
    EXPECT_EQ(b.ir[k].planes, a.ir[k].planes) << k;
    EXPECT_EQ(b.amp[k].present, a.amp[k].present) << k;
    if (a.amp[k].present) {
      EXPECT_EQ(b.amp[k].name, a.amp[k].name) << k;
      EXPECT_EQ(b.amp[k].planes, a.amp[k].planes) << k;
    }
  }
  const std::string wire = testing::Slurp(log);
  EXPECT_EQ(ChunkSizes(wire, 2, 7), (std::vector<int>{512, 512, 512, 15}));
  EXPECT_EQ(wire.find("REFUSED"), std::string::npos);
}

TEST_F(BackupCommandTest, EveryFailureEndsWithItsMessageAndKeepsTheEarlierFile) {
  const std::string file = out_.Path("kept.zbf");
  {
    EmulatorProcess emu(RQ700_EMU_BINARY, emu_dir_.path(), {});
    ASSERT_TRUE(emu.ready());
    ASSERT_EQ(Tool({"backup", "--device", Device(emu), file}).status, 0);
  }
  const std::vector<uint8_t> good = ReadBytes(file);
  // A good file to restore from that is not the one the failing backups aim at.
  const std::string source = out_.Path("source.zbf");
  files::WriteBytes(source, good);
  // An impulse response of a length the device does not take: its third chunk is refused.
  const std::string odd = out_.Path("odd.zbf");
  files::BackupWriter writer;
  ASSERT_TRUE(writer.Create(odd));
  ASSERT_TRUE(writer.WriteRecord({"RQ700_IR", 2, {{1, std::vector<uint8_t>(1500, 7)}}}));
  ASSERT_TRUE(writer.Finish());
  struct Case {
    const char* what;
    std::vector<std::string> emulator;
    const char* command;
    const std::string* restore_from;
    int status;
    const char* message;
  };
  const Case cases[] = {
      {"wrong chunk", {"--wrong-backup-chunk", "3"}, "backup", &file, 6, "the device refused"},
      {"unplugged in a backup",
       {"--disconnect-after", "6"},
       "backup",
       &file,
       4,
       "the device is gone"},
      {"silent in a backup",
       {"--silent", "0xAA"},
       "backup",
       &file,
       5,
       "the device stopped answering"},
      {"unplugged in a restore",
       {"--disconnect-after", "30"},
       "restore",
       &source,
       4,
       "the device is gone"},
      {"silent in a restore",
       {"--silent", "0xAB"},
       "restore",
       &source,
       5,
       "the device stopped answering"},
      {"lost acknowledgement",
       {"--drop-ack", "0xAB:5"},
       "restore",
       &source,
       5,
       "the device stopped answering"},
      {"refused chunk", {}, "restore", &odd, 6, "the device refused"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EmulatorProcess emu(RQ700_EMU_BINARY, emu_dir_.path(), c.emulator);
    ASSERT_TRUE(emu.ready());
    const auto start = std::chrono::steady_clock::now();
    ToolRun run = Tool({c.command, "--device", Device(emu), "--wait", "1.5", *c.restore_from});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));  // not hung
    EXPECT_EQ(run.status, c.status) << run.err;
    // Told by the job itself, not by the start-up dump before it.
    EXPECT_NE(run.err.find(std::string(c.command) + ": " + c.message), std::string::npos)
        << run.err;
    EXPECT_EQ(ReadBytes(file), good);
    EXPECT_EQ(out_.Names().size(), 5u);  // nothing left beside it: stdout, stderr, three files
  }

  // Files that cannot be read or written are told before the device is touched.
  std::vector<uint8_t> broken = good;
  broken[2000] ^= 1;
  files::WriteBytes(out_.Path("broken.zbf"), broken);
  ToolRun wrong =
      Tool({"restore", "--device", "emu:" + out_.Path("none"), out_.Path("broken.zbf")});
  EXPECT_EQ(wrong.status, 2);
  EXPECT_NE(wrong.err.find("Wrong file format!"), std::string::npos);
  ToolRun unwritable =
      Tool({"backup", "--device", "emu:" + out_.Path("none"), out_.Path("no/such/dir.zbf")});
  EXPECT_EQ(unwritable.status, 3);
}

}  // namespace
}  // namespace rq700
