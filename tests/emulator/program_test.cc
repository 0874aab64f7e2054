// rq700-emu as a program: its help, its start-up line, its control input, its exit.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "emulator/server.h"
#include "link/device_enum.h"

namespace rq700::emu {
namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string RunCommand(const std::string& command, int* status) {
  std::FILE* pipe = popen(command.c_str(), "r");
  std::string out;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0) out.append(buffer, n);
  *status = pclose(pipe);
  return out;
}

bool WaitFor(const std::function<bool()>& condition) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < end) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("rq700-emu-prog-" + std::to_string(getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    announce_ = dir_ / "announce";
    socket_ = (dir_ / "emu.sock").string();
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Starts the emulator with its input on a pipe we hold; its pid goes to a file.
  std::FILE* Start(const std::string& extra) {
    const std::string command = "echo $$ > '" + (dir_ / "pid").string() + "'; RQ700_EMU_DIR='" +
                                announce_.string() + "' exec '" RQ700_EMU_PATH "' --socket '" +
                                socket_ + "' --no-pacing " + extra + " > '" +
                                (dir_ / "out").string() + "' 2> '" + (dir_ / "err").string() + "'";
    return popen(command.c_str(), "w");
  }
  bool Ready() { return ReadFile(dir_ / "out") == "ready " + socket_ + "\n"; }

  fs::path dir_, announce_;
  std::string socket_;
};

TEST_F(ProgramTest, HelpDocumentsEveryOptionAndControlCommand) {
  int status = 0;
  const std::string help = RunCommand("'" RQ700_EMU_PATH "' --help", &status);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  for (const char* word : {"--socket PATH",
                           "--mode normal|update",
                           "--version TEXT",
                           "--model TEXT",
                           "--release N",
                           "--no-pacing",
                           "--log FILE",
                           "--state FILE",
                           "--backup FILE",
                           "save-backup FILE",
                           "unsaved",
                           "store",
                           "--silent",
                           "--drop-ack",
                           "--corrupt-crc",
                           "--wrong-backup-chunk",
                           "--refuse-update",
                           "--disconnect-after",
                           "--apply-reply",
                           "--block-reply",
                           "knob M P V",
                           "preset N",
                           "system B V",
                           "unplug",
                           "quit",
                           "ready"}) {
    EXPECT_NE(help.find(word), std::string::npos) << word;
  }
  const std::string error = RunCommand("'" RQ700_EMU_PATH "' --mode sideways 2>&1", &status);
  EXPECT_NE(WEXITSTATUS(status), 0);
  EXPECT_NE(error.find("--mode"), std::string::npos) << error;
}

TEST_F(ProgramTest, AnnouncesWhenReadyAndWithdrawsOnQuit) {
  std::FILE* input = Start("--release 0x00C9");
  ASSERT_NE(input, nullptr);
  ASSERT_TRUE(WaitFor([&] { return Ready(); })) << ReadFile(dir_ / "err");
  std::vector<DeviceEntry> devices = EnumerateVirtualDevices(announce_.string());
  ASSERT_EQ(devices.size(), 1u);
  EXPECT_EQ(devices[0].path, "emu:" + socket_);
  EXPECT_EQ(devices[0].release_number, 0x00C9);

  std::fputs("knob 12 1 1\nquit\n", input);
  std::fflush(input);
  const int status = pclose(input);
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_TRUE(EnumerateVirtualDevices(announce_.string()).empty());
  EXPECT_TRUE(fs::is_empty(announce_));
  EXPECT_FALSE(fs::exists(socket_));
  EXPECT_NE(ReadFile(dir_ / "err").find("module type must be 1 to 9"), std::string::npos);
}

TEST_F(ProgramTest, WithdrawsOnTerminationSignal) {
  std::FILE* input = Start("--mode update");
  ASSERT_NE(input, nullptr);
  ASSERT_TRUE(WaitFor([&] { return Ready(); })) << ReadFile(dir_ / "err");
  ASSERT_EQ(EnumerateVirtualDevices(announce_.string()).at(0).product_id, 0x5750);
  const pid_t pid = std::stoi(ReadFile(dir_ / "pid"));
  ASSERT_EQ(kill(pid, SIGTERM), 0);
  // The program ends while its input is still open and idle, as when a script holds it.
  int status = 0;
  EXPECT_TRUE(WaitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; }));
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_TRUE(fs::is_empty(announce_));
  pclose(input);
}

TEST_F(ProgramTest, EndsWithItsInputOnlyWhenAsked) {
  std::FILE* input = Start("--exit-with-input");
  ASSERT_NE(input, nullptr);
  ASSERT_TRUE(WaitFor([&] { return Ready(); })) << ReadFile(dir_ / "err");
  const pid_t pid = std::stoi(ReadFile(dir_ / "pid"));
  close(fileno(input));  // the program that ran it is gone
  int status = 0;
  const bool ended = WaitFor([&] { return waitpid(pid, &status, WNOHANG) == pid; });
  EXPECT_TRUE(ended);
  if (!ended) kill(pid, SIGKILL);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_TRUE(fs::is_empty(announce_));
  pclose(input);
}

TEST_F(ProgramTest, RefusesAStateFileItCannotRead) {
  const fs::path state = dir_ / "state.bin";
  { std::ofstream(state) << "not a state file"; }
  std::FILE* input = Start("--state '" + state.string() + "'");
  const int status = pclose(input);
  EXPECT_NE(WEXITSTATUS(status), 0);
  EXPECT_EQ(ReadFile(state), "not a state file") << "the user's file is left alone";
  EXPECT_NE(ReadFile(dir_ / "err").find("state.bin"), std::string::npos);
}

TEST_F(ProgramTest, RelativeSocketIsAnnouncedByItsAbsolutePath) {
  const std::string command = "cd '" + dir_.string() + "' && RQ700_EMU_DIR='" + announce_.string() +
                              "' exec '" RQ700_EMU_PATH "' --socket rel.sock > out 2> err";
  std::FILE* input = popen(command.c_str(), "w");
  ASSERT_NE(input, nullptr);
  const std::string absolute = (dir_ / "rel.sock").string();
  EXPECT_TRUE(WaitFor([&] { return ReadFile(dir_ / "out") == "ready " + absolute + "\n"; }))
      << ReadFile(dir_ / "out") << ReadFile(dir_ / "err");
  const std::vector<DeviceEntry> devices = EnumerateVirtualDevices(announce_.string());
  ASSERT_EQ(devices.size(), 1u);
  EXPECT_EQ(devices[0].path, "emu:" + absolute);
  std::fputs("quit\n", input);
  pclose(input);
}

// The state file through the server: a change survives a restart.
TEST(StateFile, ChangesSurviveARestart) {
  const fs::path dir = fs::temp_directory_path() / ("rq700-emu-state-" + std::to_string(getpid()));
  fs::create_directories(dir);
  setenv("RQ700_EMU_DIR", (dir / "announce").c_str(), 1);
  Options options;
  options.socket_path = (dir / "s.sock").string();
  options.state_file = (dir / "state.bin").string();
  {
    EmulatorServer server(options);
    std::string error;
    ASSERT_TRUE(server.Start(&error)) << error;
    server.WithDevice([](DeviceEmulator& device) {
      device.state().presets[120][record::kVolume] = 3;
      device.state().amp[7].present = true;
      device.state().amp[7].name[0] = 'Z';
      return 0;
    });
    server.Post("system 4 44");
    server.Post("preset 120");
    server.Post("quit");
    server.Run();
  }
  EmulatorServer again(options);
  std::string error;
  ASSERT_TRUE(again.Start(&error)) << error;
  again.WithDevice([](DeviceEmulator& device) {
    EXPECT_EQ(device.state().system[4], 44);
    EXPECT_EQ(device.state().current, 120);
    EXPECT_EQ(device.state().working[record::kVolume], 3);
    EXPECT_TRUE(device.state().amp[7].present);
    EXPECT_EQ(device.state().amp[7].name[0], 'Z');
    return 0;
  });
  fs::remove_all(dir);
}

}  // namespace
}  // namespace rq700::emu
