// Detection, the version gate and the launch against real rq700-emu processes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "launcher/detect.h"
#include "launcher/launcher.h"
#include "link/device_enum.h"
#include "tests/support/emulator_process.h"

namespace rq700 {
namespace {

namespace fs = std::filesystem;
using testing::EmulatorProcess;

class RecordingShell : public LauncherShell, public ProcessStarter {
 public:
  void ShowNotice(const std::string& text) override { notices.push_back(text); }
  void RunUpdater(LauncherDevice&, DeviceRecord& record) override {
    updater_models.push_back(record.Model());
  }
  bool StartDetached(const std::string& program, const std::vector<std::string>& args,
                     const std::string& folder) override {
    started.push_back(program + " | " + (args.empty() ? "" : args[0]) + " | " + folder);
    return true;
  }
  std::vector<std::string> notices, started, updater_models;
};

class EmulatorDetectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("rq700-emu-detect-" + std::to_string(getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override {
    emulators_.clear();
    fs::remove_all(dir_);
  }

  // Starts an emulator whose announcement sorts by `name`.
  std::string Start(const std::string& name, std::vector<std::string> args) {
    const std::string socket = (dir_ / (name + ".sock")).string();
    args.insert(args.begin(), {"--socket", socket});
    emulators_.push_back(std::make_unique<EmulatorProcess>(RQ700_EMU_BINARY, dir_.string(), args));
    EXPECT_TRUE(emulators_.back()->ready()) << name;
    return "emu:" + socket;
  }

  LauncherOutcome Run(RecordingShell& shell) {
    HidDeviceQueries queries;
    LauncherDevice device;
    return RunLauncher(EnumerateVirtualDevices(dir_.string()), queries, shell, shell, device);
  }

  fs::path dir_;
  std::vector<std::unique_ptr<EmulatorProcess>> emulators_;
};

TEST_F(EmulatorDetectTest, NoDeviceGivesTheNoDeviceNotice) {
  RecordingShell shell;
  EXPECT_EQ(Run(shell), LauncherOutcome::kNoDevice);
  EXPECT_EQ(shell.notices, std::vector<std::string>{"No device detected!!!"});
}

TEST_F(EmulatorDetectTest, SilentFirstDeviceIsPassedOverAndTheEditorStartsOnTheSecond) {
  Start("a-silent", {"--silent", "0x84"});
  const std::string good = Start("b-good", {});
  RecordingShell shell;
  EXPECT_EQ(Run(shell), LauncherOutcome::kEditorStarted);
  EXPECT_TRUE(shell.notices.empty());
  EXPECT_EQ(shell.started,
            std::vector<std::string>{"./ZORVA_RQ700/ZORVA_RQ700 | " + good + " | ./ZORVA_RQ700"});
}

TEST_F(EmulatorDetectTest, SilentUpdateModeDeviceEndsDetection) {
  Start("a-loader", {"--mode", "update", "--silent", "0x00"});
  Start("b-good", {});
  RecordingShell shell;
  EXPECT_EQ(Run(shell), LauncherOutcome::kNoDevice);
  EXPECT_EQ(shell.notices, std::vector<std::string>{"No device detected!!!"});
  EXPECT_TRUE(shell.started.empty());
}

TEST_F(EmulatorDetectTest, OtherReleaseNumberIsIgnoredInBothModes) {
  Start("a-normal", {"--release", "0x00C9"});
  Start("b-loader", {"--mode", "update", "--release", "0x0100"});
  RecordingShell shell;
  EXPECT_EQ(Run(shell), LauncherOutcome::kNoDevice);
  EXPECT_TRUE(shell.updater_models.empty());
}

TEST_F(EmulatorDetectTest, OnlyVersion200PassesTheGate) {
  for (const char* version : {"2.0.1", "1.9.9"}) {
    Start(std::string("v") + version, {"--version", version});
    RecordingShell shell;
    EXPECT_EQ(Run(shell), LauncherOutcome::kVersionRefused) << version;
    EXPECT_EQ(shell.notices, std::vector<std::string>{
                                 "Equipment version is too low, Please update the firmware!"});
    EXPECT_TRUE(shell.started.empty());
    emulators_.clear();
  }
}

// A device that talks unasked (a player turning knobs while the launcher asks), also with
// its packets packed into shared reports, is still found: the query reads past the
// chatter until its answer comes.
TEST_F(EmulatorDetectTest, ChatteringDeviceIsFound) {
  for (const bool pack : {false, true}) {
    std::vector<std::string> args = {"--chatter", "1", "--seed", "3"};
    if (pack) args.push_back("--pack");
    const std::string path = Start(pack ? "packed" : "plain", args);
    HidDeviceQueries queries;
    for (int i = 0; i < 10; ++i) {
      DeviceRecord record;
      EXPECT_EQ(Detect(EnumerateVirtualDevices(dir_.string()), queries, &record).result,
                Detection::kNormalMode)
          << "pack " << pack << " try " << i;
      EXPECT_EQ(record.Version(), "2.0.0");
      EXPECT_EQ(record.device_path, path);
    }
    emulators_.clear();
  }
}

TEST_F(EmulatorDetectTest, AnsweringUpdateModeDeviceGetsTheUpdater) {
  Start("a-loader", {"--mode", "update", "--version", "1.9.9"});
  RecordingShell shell;
  EXPECT_EQ(Run(shell), LauncherOutcome::kUpdaterShown);
  EXPECT_EQ(shell.updater_models, std::vector<std::string>{"ZORVA_RQ700_V1.9.9"});
}

}  // namespace
}  // namespace rq700
