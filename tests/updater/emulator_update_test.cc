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

    // Two segments that name the firmware they carry; no reply code is its command plus
    // one, so a host that guessed the codes instead of reading them would fail. The
    // second segment's last 100 bytes make no whole block and are not sent.
    plan_.apply_command = 0x20;
    plan_.apply_reply = 0x6A;
    plan_.apply_timeout = 500;
    plan_.apply_param[0] = 0xC0;
    plan_.apply_param[3] = 0x0D;
    plan_.segments.push_back({0x30, 0x47, 500, 0x0100, std::vector<uint8_t>(1024, 0)});
    plan_.segments.push_back({0x52, 0x19, 500, 0x0040, std::vector<uint8_t>(612, 0x77)});
    const char tag[] = "ZORVA_RQ700_V2.0.0";
    std::memcpy(plan_.segments[0].data.data() + 16, tag, sizeof(tag));
    for (size_t i = 0; i < 612; ++i) plan_.segments[1].data[i] = static_cast<uint8_t>(i * 7);
    WriteImage(dir_ / "Firmware" / "ZORVA_RQ700_V2.0.0.zr", plan_);
    loader_image_ = (dir_ / "loader.zr").string();
    WriteImage(loader_image_, plan_);
  }
  static void WriteImage(const fs::path& path, const files::FirmwareImagePlan& plan) {
    const std::vector<uint8_t> bytes = files::BuildFirmwareImage(plan);
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
  }
  void TearDown() override {
    emulator_.reset();
    fs::remove_all(dir_);
  }

  // Starts the loader built for the image at `loader_image_`, wakes and identifies it as
  // detection does, and runs the update.
  int RunUpdate(std::vector<std::string> faults) {
    std::vector<std::string> args = {"--socket",    socket_,          "--mode",
                                     "update",      "--version",      "1.9.9",
                                     "--log",       log_file_,        "--firmware",
                                     loader_image_, "--received-dir", (dir_ / "received").string()};
    args.insert(args.end(), faults.begin(), faults.end());
    emulator_ = std::make_unique<EmulatorProcess>(RQ700_EMU_BINARY, dir_.string(), args);
    EXPECT_TRUE(emulator_->ready());

    DeviceRecord record;
    HidDeviceQueries queries;
    if (queries.UpdateModeQuery("emu:" + socket_, &record) != QueryResult::kAnswered) {
      const std::string model = "ZORVA_RQ700_V1.9.9";  // a loader that does not answer
      std::copy(model.begin(), model.end(), record.model_text.begin());
    }
    EXPECT_EQ(record.Model(), "ZORVA_RQ700_V1.9.9");
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

  std::vector<uint8_t> Received(int segment) {
    std::ifstream in(dir_ / "received" / ("segment-" + std::to_string(segment) + ".bin"),
                     std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  std::string Log() {
    std::ifstream in(log_file_);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  fs::path dir_;
  files::FirmwareImagePlan plan_;
  std::string loader_image_;
  std::string socket_;
  std::string log_file_;
  std::unique_ptr<EmulatorProcess> emulator_;
  LauncherDevice device_;
  RecordingSink sink_;
};

TEST_F(EmulatorUpdateTest, SuccessSendsEveryBlockAndTheDeviceComesBackWithTheNewVersion) {
  EXPECT_EQ(RunUpdate({}), 1);
  EXPECT_EQ(sink_.Final(), kStatusSuccess);
  EXPECT_STREQ(UpdaterStatusText(sink_.Final()), "Update Successful");
  EXPECT_EQ(sink_.Progress(), (std::vector<int>{2, 33, 66, 100}));
  EXPECT_EQ(HostCommands(), (std::vector<std::string>{"00", "AA", "00", "20", "30 0100", "30 0101",
                                                      "52 0040", "FF"}));
  EXPECT_EQ(Log().find("REFUSED"), std::string::npos) << Log();
  // What the loader took is each segment's whole blocks.
  EXPECT_EQ(Received(1), plan_.segments[0].data);
  EXPECT_EQ(Received(2), std::vector<uint8_t>(plan_.segments[1].data.begin(),
                                              plan_.segments[1].data.begin() + 512));

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
  EXPECT_EQ(HostCommands(), (std::vector<std::string>{"00", "AA", "00"}));
}

TEST_F(EmulatorUpdateTest, RefusedApplyEndsTheUpdate) {
  EXPECT_EQ(RunUpdate({"--refuse-update"}), 0);
  EXPECT_EQ(sink_.Final(), kStatusApplyRefused);
  EXPECT_STREQ(UpdaterStatusText(sink_.Final()), "apply for update firware error");
  EXPECT_EQ(HostCommands(), (std::vector<std::string>{"00", "AA", "00", "20"}));
}

TEST_F(EmulatorUpdateTest, MissingAcknowledgementFailsWithoutFinish) {
  EXPECT_EQ(RunUpdate({"--drop-ack", "0x30:2"}), 0);
  EXPECT_EQ(sink_.Final(), kStatusBlockFailed);
  EXPECT_STREQ(UpdaterStatusText(sink_.Final()), "update error [ 0 ]");
  EXPECT_EQ(HostCommands(),
            (std::vector<std::string>{"00", "AA", "00", "20", "30 0100", "30 0101"}));
  EXPECT_EQ(sink_.Progress(), (std::vector<int>{2, 33, 66}));
}

// The loader expects other data in the last block than the image the updater sends: it
// refuses that block, and the update fails there with the device left in update mode.
TEST_F(EmulatorUpdateTest, ABlockWithOtherContentsIsRefusedAndTheUpdateFails) {
  files::FirmwareImagePlan other = plan_;
  other.segments[1].data[300] ^= 0xFF;
  WriteImage(loader_image_, other);
  EXPECT_EQ(RunUpdate({}), 0);
  EXPECT_EQ(sink_.Final(), kStatusBlockFailed);
  EXPECT_EQ(HostCommands(),
            (std::vector<std::string>{"00", "AA", "00", "20", "30 0100", "30 0101", "52 0040"}));
  EXPECT_NE(Log().find("REFUSED 52: the data of segment 2 block 0 differs from the image"),
            std::string::npos)
      << Log();
  EXPECT_FALSE(fs::exists(dir_ / "received"));
  EXPECT_EQ(EnumerateVirtualDevices(dir_.string()).at(0).product_id, kRq700UpdateProductId);
}

}  // namespace
}  // namespace rq700
