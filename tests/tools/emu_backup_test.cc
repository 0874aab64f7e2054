// The virtual device started from a player's backup and writing its state back, as
// processes: what the host reads from it is what the backup held.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include "emulator/backup_image.h"
#include "tests/files/temp_dir.h"
#include "tests/support/emulator_process.h"
#include "tests/tools/tool_runner.h"

namespace rq700 {
namespace {

using testing::EmulatorProcess;
using testing::ToolRun;

bool WaitForFile(const std::string& path) {
  for (int i = 0; i < 1000 && !std::filesystem::exists(path); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return std::filesystem::exists(path);
}

TEST(EmulatorBackup, StartsFromABackupAndWritesTheSameBack) {
  files::TempDir emu_dir, dir;
  emu::DeviceState state;
  emu::FactoryReset(state);
  std::memcpy(state.presets[5].data() + record::kName, "OFFLINE TEST\0\0\0", 15);
  state.amp[4] = state.amp[0];
  state.ir = {};
  std::string error;
  ASSERT_TRUE(emu::SaveBackupFile(dir.Path("mine.zbf"), state, &error)) << error;

  EmulatorProcess device(RQ700_EMU_BINARY, emu_dir.path(), {"--backup", dir.Path("mine.zbf")});
  ASSERT_TRUE(device.ready());
  ToolRun list = testing::RunTool(
      RQ700_TOOL, {"preset", "list", "--device", "emu:" + device.socket_path()}, dir);
  ASSERT_EQ(list.status, 0) << list.err;
  EXPECT_NE(list.out.find("\nP006: OFFLINE TEST\n"), std::string::npos) << list.out;

  ASSERT_TRUE(device.Control("save-backup " + dir.Path("again.zbf")));
  ASSERT_TRUE(WaitForFile(dir.Path("again.zbf")));
  device.Stop();
  ToolRun check = testing::RunTool(RQ700_TOOL, {"backup", "check", dir.Path("again.zbf")}, dir);
  EXPECT_EQ(check.status, 0) << check.err;
  EXPECT_EQ(files::ReadBytes(dir.Path("again.zbf")), files::ReadBytes(dir.Path("mine.zbf")));

  // One byte changed: refused with the restore's message and its own exit status.
  auto bytes = files::ReadBytes(dir.Path("mine.zbf"));
  bytes[bytes.size() - 7] ^= 0x10;
  files::WriteBytes(dir.Path("broken.zbf"), bytes);
  ToolRun broken = testing::RunTool(RQ700_EMU_BINARY, {"--backup", dir.Path("broken.zbf")}, dir,
                                    {"RQ700_EMU_DIR=" + emu_dir.path()});
  EXPECT_EQ(broken.status, 3);
  EXPECT_NE(broken.err.find("Wrong file format!\nPlease check compatibility of file type"),
            std::string::npos)
      << broken.err;
  EXPECT_EQ(broken.out, "");
}

// With the host's own backup and restore: a device started from a backup is that device
// to the host, and what it writes is what the host's backup of it holds.
TEST(EmulatorBackup, TheHostBacksUpAndRestoresTheSameDevice) {
  files::TempDir emu_dir, dir;
  const std::vector<std::string> env = {"RQ700_EMU_DIR=" + emu_dir.path()};
  auto tool = [&](const std::vector<std::string>& args) {
    return testing::RunTool(RQ700_TOOL, args, dir, env);
  };
  EmulatorProcess first(RQ700_EMU_BINARY, emu_dir.path(), {});
  ASSERT_TRUE(first.ready());
  ToolRun backup = tool({"backup", "--device", "emu:" + first.socket_path(), dir.Path("a.zbf")});
  ASSERT_EQ(backup.status, 0) << backup.err;
  ASSERT_TRUE(first.Control("save-backup " + dir.Path("own.zbf")));
  ASSERT_TRUE(WaitForFile(dir.Path("own.zbf")));
  EXPECT_EQ(files::ReadBytes(dir.Path("own.zbf")), files::ReadBytes(dir.Path("a.zbf")));

  EmulatorProcess loaded(RQ700_EMU_BINARY, emu_dir.path(), {"--backup", dir.Path("a.zbf")});
  ASSERT_TRUE(loaded.ready());
  backup = tool({"backup", "--device", "emu:" + loaded.socket_path(), dir.Path("b.zbf")});
  ASSERT_EQ(backup.status, 0) << backup.err;
  EXPECT_EQ(files::ReadBytes(dir.Path("b.zbf")), files::ReadBytes(dir.Path("a.zbf")));

  // An edited backup restored into a device gives it the edited preset.
  emu::DeviceState edited;
  std::string error;
  ASSERT_TRUE(emu::LoadBackupFile(dir.Path("a.zbf"), edited, &error)) << error;
  std::memcpy(edited.presets[42].data() + record::kName, "RESTORED\0", 9);
  ASSERT_TRUE(emu::SaveBackupFile(dir.Path("a-edited.zbf"), edited, &error)) << error;
  EmulatorProcess target(RQ700_EMU_BINARY, emu_dir.path(), {});
  ASSERT_TRUE(target.ready());
  ToolRun restore =
      tool({"restore", "--device", "emu:" + target.socket_path(), dir.Path("a-edited.zbf")});
  ASSERT_EQ(restore.status, 0) << restore.err;
  ToolRun list = tool({"preset", "list", "--device", "emu:" + target.socket_path()});
  ASSERT_EQ(list.status, 0) << list.err;
  EXPECT_NE(list.out.find("\nP043: RESTORED\n"), std::string::npos) << list.out;
}

}  // namespace
}  // namespace rq700
