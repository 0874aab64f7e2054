// The update worker and reader against rq700-emu in update mode.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "files/firmware_builder.h"
#include "launcher/detect.h"
#include "link/device_enum.h"
#include "tests/support/emulator_process.h"
#include "updater/update_worker.h"
#include "updater/updater_view.h"

namespace rq700 {
namespace {

namespace fs = std::filesystem;
using testing::EmulatorProcess;

class RecordingSink : public UpdateStatusSink {
 public:
  void PostStatus(int code, int value) override {
    std::lock_guard lock(mutex_);
    posts_.emplace_back(code, value);
  }
  std::vector<std::pair<int, int>> posts() {
    std::lock_guard lock(mutex_);
    return posts_;
  }
  std::vector<int> Progress() {
    std::vector<int> values;
    for (const auto& [code, value] : posts()) {
      if (code == kStatusProgress) values.push_back(value);
    }
    return values;
  }
  int Final() {
    const auto all = posts();
    return all.empty() ? -1 : all.back().first;
  }

 private:
  std::mutex mutex_;
  std::vector<std::pair<int, int>> posts_;
};

class EmulatorUpdateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("rq700-emu-update-" + std::to_string(getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_ / "Firmware");
    socket_ = (dir_ / "loader.sock").string();
    log_file_ = (dir_ / "packets.log").string();

    // One segment of 1024 bytes that names the firmware it carries.
    files::FirmwareImagePlan plan;
    plan.apply_command = 0x20;
    plan.apply_reply = 0x21;
    plan.apply_timeout = 500;
    plan.segments.push_back({0x30, 0x31, 500, 0x0100, std::vector<uint8_t>(1024, 0)});
    const char tag[] = "ZORVA_RQ700_V2.0.0";
    std::memcpy(plan.segments[0].data.data() + 16, tag, sizeof(tag));
    const std::vector<uint8_t> bytes = files::BuildFirmwareImage(plan);
    std::ofstream out(dir_ / "Firmware" / "ZORVA_RQ700_V2.0.0.zr", std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
  }
  void TearDown() override {
    emulator_.reset();
    fs::remove_all(dir_);
  }

  // Starts the loader, identifies it as detection does, and runs the update.
  int RunUpdate(std::vector<std::string> faults) {
    std::vector<std::string> args = {"--socket",  socket_, "--mode", "update",
                                     "--version", "1.9.9", "--log",  log_file_};
    args.insert(args.end(), faults.begin(), faults.end());
    emulator_ = std::make_unique<EmulatorProcess>(RQ700_EMU_BINARY, dir_.string(), args);
    EXPECT_TRUE(emulator_->ready());

    DeviceRecord record;
    const std::string model = "ZORVA_RQ700_V1.9.9";
    std::copy(model.begin(), model.end(), record.model_text.begin());
    EXPECT_TRUE(device_.Open("emu:" + socket_));
    device_.set_link_active(1);
    UpdateSession session(device_, record, sink_);
    session.firmware_folder = (dir_ / "Firmware").string() + "/";
    // Delay units are counted here, not timed: one real millisecond each keeps it quick.
    session.delay = [](int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); };
    auto reader = std::async(std::launch::async, [&] { return UpdateReader(session); });
    const int result = UpdateWorker(session);
    EXPECT_EQ(reader.get(), 170);
    return result;
  }

  // Host packets of the log, as their hex text from the command byte on.
  std::vector<std::string> HostCommands() {
    std::vector<std::string> commands;
    std::ifstream in(log_file_);
    for (std::string line; std::getline(in, line);) {
      if (line.rfind("H>D AA 55", 0) != 0) continue;
      commands.push_back(line.substr(16, 2) + (line.size() > 25 && line.substr(10, 5) == "03 02"
                                                   ? " " + line.substr(19, 2) + line.substr(22, 2)
                                                   : ""));
    }
    return commands;
  }

  fs::path dir_;
  std::string socket_;
  std::string log_file_;
  std::unique_ptr<EmulatorProcess> emulator_;
  LauncherDevice device_;
  RecordingSink sink_;
};

TEST_F(EmulatorUpdateTest, SuccessSendsBothBlocksAndTheDeviceComesBackWithTheNewVersion) {
  EXPECT_EQ(RunUpdate({}), 1);
  EXPECT_EQ(sink_.Final(), kStatusSuccess);
  EXPECT_STREQ(UpdaterStatusText(sink_.Final()), "Update Successful");
  EXPECT_EQ(sink_.Progress(), (std::vector<int>{2, 50, 100}));
  EXPECT_EQ(HostCommands(),
            (std::vector<std::string>{"AA", "00", "20", "30 0100", "30 0101", "FF"}));

  // The device reboots into normal mode and reports the firmware it was given.
  DeviceRecord record;
  DetectOutcome found;
  HidDeviceQueries queries;
  for (int i = 0; i < 200 && found.result != Detection::kNormalMode; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    found = Detect(EnumerateVirtualDevices(dir_.string()), queries, &record);
  }
  EXPECT_EQ(found.result, Detection::kNormalMode);
  EXPECT_EQ(record.Version(), "2.0.0");
  EXPECT_TRUE(VersionAccepted(record));
}

TEST_F(EmulatorUpdateTest, NoIdentityReplyTimesOut) {
  EXPECT_EQ(RunUpdate({"--silent", "0x00"}), 0);
  EXPECT_EQ(sink_.Final(), kStatusTimeout);
  EXPECT_STREQ(UpdaterStatusText(sink_.Final()), "MCU returned timeout");
  EXPECT_EQ(HostCommands(), (std::vector<std::string>{"AA", "00"}));
}

TEST_F(EmulatorUpdateTest, RefusedApplyEndsTheUpdate) {
  EXPECT_EQ(RunUpdate({"--refuse-update"}), 0);
  EXPECT_EQ(sink_.Final(), kStatusApplyRefused);
  EXPECT_STREQ(UpdaterStatusText(sink_.Final()), "apply for update firware error");
  EXPECT_EQ(HostCommands(), (std::vector<std::string>{"AA", "00", "20"}));
}

TEST_F(EmulatorUpdateTest, MissingLastAcknowledgementFailsWithoutFinish) {
  EXPECT_EQ(RunUpdate({"--drop-ack", "0x30:2"}), 0);
  EXPECT_EQ(sink_.Final(), kStatusBlockFailed);
  EXPECT_STREQ(UpdaterStatusText(sink_.Final()), "update error [ 0 ]");
  EXPECT_EQ(HostCommands(), (std::vector<std::string>{"AA", "00", "20", "30 0100", "30 0101"}));
  EXPECT_EQ(sink_.Progress(), (std::vector<int>{2, 50, 100}));
}

}  // namespace
}  // namespace rq700
