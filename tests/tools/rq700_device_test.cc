// The rq700 tool's device commands against the virtual device, run as a user would.
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>

#include "tests/files/temp_dir.h"
#include "tests/support/emulator_process.h"
#include "tests/tools/tool_runner.h"

namespace rq700 {
namespace {

using testing::EmulatorProcess;
using testing::ToolRun;

class DeviceCommandTest : public ::testing::Test {
 protected:
  ToolRun Tool(const std::vector<std::string>& args) {
    return testing::RunTool(RQ700_TOOL, args, out_, {"RQ700_EMU_DIR=" + emu_dir_.path()});
  }
  std::string Device(const EmulatorProcess& emu) { return "emu:" + emu.socket_path(); }

  files::TempDir emu_dir_;
  files::TempDir out_;
};

TEST_F(DeviceCommandTest, DevicesListsEachModeWithItsFirmware) {
  ToolRun none = Tool({"devices"});
  EXPECT_EQ(none.status, 4);
  EXPECT_NE(none.err.find("no RQ700 found"), std::string::npos);

  EmulatorProcess normal(RQ700_EMU_BINARY, emu_dir_.path(), {"--version", "2.0.0"});
  EmulatorProcess update(RQ700_EMU_BINARY, emu_dir_.path(),
                         {"--mode", "update", "--version", "1.9.9"});
  EmulatorProcess old_release(RQ700_EMU_BINARY, emu_dir_.path(), {"--release", "0x00C7"});
  ASSERT_TRUE(normal.ready() && update.ready() && old_release.ready());
  ToolRun run = Tool({"devices"});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find(Device(normal) + "\tnormal\trelease 0x00C8\tfirmware 2.0.0\n"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find(Device(update) + "\tupdate\trelease 0x00C8\tfirmware 1.9.9\n"),
            std::string::npos)
      << run.out;
  // A release the launcher passes over is listed, but not asked.
  EXPECT_NE(run.out.find(Device(old_release) + "\tnormal\trelease 0x00C7\tfirmware -\n"),
            std::string::npos)
      << run.out;
}

TEST_F(DeviceCommandTest, PresetListReadsTheWholeDevice) {
  EmulatorProcess emu(RQ700_EMU_BINARY, emu_dir_.path(), {});
  ASSERT_TRUE(emu.ready());
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"preset", "list", "--device", Device(emu)},
        std::vector<std::string>{"preset", "list"}}) {  // found by detection
    ToolRun run = Tool(args);
    ASSERT_EQ(run.status, 0) << run.err;
    std::istringstream lines(run.out);
    std::string line;
    int n = 0;
    while (std::getline(lines, line)) {
      char expected[16];
      std::snprintf(expected, sizeof(expected), "P%03d: ", ++n);
      EXPECT_EQ(line.rfind(expected, 0), 0u) << line;
    }
    EXPECT_EQ(n, 200);
  }
}

TEST_F(DeviceCommandTest, DeviceFailuresEndWithTheirStatusAndMessage) {
  EmulatorProcess silent(RQ700_EMU_BINARY, emu_dir_.path(), {"--silent", "0xE0"});
  ASSERT_TRUE(silent.ready());
  const auto start = std::chrono::steady_clock::now();
  ToolRun quiet = Tool({"preset", "list", "--device", Device(silent), "--wait", "0.6"});
  const auto took = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(quiet.status, 5);
  EXPECT_NE(quiet.err.find("the device stopped answering"), std::string::npos) << quiet.err;
  EXPECT_LT(took, std::chrono::seconds(20));  // ended by its own limit, not hung

  ToolRun missing = Tool({"preset", "list", "--device", "emu:" + emu_dir_.Path("none.sock")});
  EXPECT_EQ(missing.status, 4);
  EXPECT_NE(missing.err.find("the device is gone"), std::string::npos) << missing.err;

  ToolRun bad_wait = Tool({"preset", "list", "--wait", "soon"});
  EXPECT_EQ(bad_wait.status, 1);
  EXPECT_NE(bad_wait.err.find("--wait takes a number"), std::string::npos);
}

}  // namespace
}  // namespace rq700
