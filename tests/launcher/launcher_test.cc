#include "launcher/launcher.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <thread>
#include <vector>

#include "link/socket_port.h"

namespace rq700 {
namespace {

namespace fs = std::filesystem;
using Report = std::vector<uint8_t>;

// A device end on a local socket that records every report the host writes and answers
// each one through `answer` (an empty reply sends nothing). Serves connections until it
// is destroyed.
class FakeDevice {
 public:
  using Answer = std::function<Report(const Report& received, int index)>;

  FakeDevice(const std::string& socket_path, Answer answer) : answer_(std::move(answer)) {
    EXPECT_TRUE(listener_.Listen(socket_path));
    thread_ = std::thread([this] { Serve(); });
  }
  ~FakeDevice() {
    stop_ = true;
    thread_.join();
  }

  std::vector<Report> Received() {
    std::lock_guard lock(mutex_);
    return received_;
  }
  int connections() const { return connections_; }

 private:
  void Serve() {
    while (!stop_) {
      auto port = listener_.Accept(20);
      if (!port) continue;
      ++connections_;
      uint8_t report[kReportSize];
      for (;;) {
        const ReadResult got = port->ReadReport(report, 20);
        if (got == ReadResult::kDisconnected) break;
        if (stop_) break;
        if (got == ReadResult::kNothing) continue;
        Report received(report, report + kReportSize);
        int index;
        {
          std::lock_guard lock(mutex_);
          received_.push_back(received);
          index = static_cast<int>(received_.size()) - 1;
        }
        Report reply = answer_(received, index);
        if (!reply.empty()) port->WriteReport(reply.data(), 100);
      }
    }
  }

  Answer answer_;
  SocketListener listener_;
  std::atomic<bool> stop_{false};
  std::atomic<int> connections_{0};
  std::mutex mutex_;
  std::vector<Report> received_;
  std::thread thread_;
};

Report NormalAnswer(const char* version, const char* model) {
  Report reply(kReportSize, 0);
  reply[1] = 63;
  std::memcpy(reply.data() + 2, "\xAA\x55\x17\x00\x84", 5);
  std::memcpy(reply.data() + 8, version, 5);
  std::memcpy(reply.data() + 13, model, std::strlen(model));
  return reply;
}

class QueryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("rq700-query-test-" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Socket(const char* name) { return (dir_ / name).string(); }

  fs::path dir_;
};

TEST_F(QueryTest, NormalModeQueryWritesTwiceAndReadsOneAnswer) {
  // The device answers only the second query, as a device waking up might.
  FakeDevice device(Socket("n.sock"), [](const Report&, int index) {
    return index == 1 ? NormalAnswer("2.0.0", "ZORVA_RQ700") : Report{};
  });
  HidDeviceQueries queries;
  DeviceRecord record;
  EXPECT_EQ(queries.NormalModeQuery("emu:" + Socket("n.sock"), &record), QueryResult::kAnswered);
  EXPECT_EQ(record.Version(), "2.0.0");
  EXPECT_EQ(record.Model(), "ZORVA_RQ700");

  uint8_t expected[kReportSize];
  BuildNormalQueryReport(expected);
  const auto received = device.Received();
  ASSERT_EQ(received.size(), 2u);
  for (const Report& report : received) EXPECT_EQ(Report(expected, expected + 65), report);
}

TEST_F(QueryTest, NormalModeQueryFailsOnSilenceAndOnAnotherModel) {
  FakeDevice silent(Socket("s.sock"), [](const Report&, int) { return Report{}; });
  FakeDevice other(Socket("o.sock"),
                   [](const Report&, int) { return NormalAnswer("2.0.0", "ZORVA_RQ500"); });
  HidDeviceQueries queries;
  DeviceRecord record;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(queries.NormalModeQuery("emu:" + Socket("s.sock"), &record), QueryResult::kFailed);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
  EXPECT_EQ(queries.NormalModeQuery("emu:" + Socket("o.sock"), &record), QueryResult::kFailed);
  EXPECT_EQ(queries.NormalModeQuery("emu:" + Socket("missing.sock"), &record),
            QueryResult::kFailed);
}

TEST_F(QueryTest, UpdateModeQueryWakesTheDeviceAndTakesItsIdentity) {
  FakeDevice device(Socket("u.sock"), [](const Report& received, int) {
    Report reply;
    if (received[2] != 0xAA) return reply;  // the wake-up report gets no answer
    reply.assign(kReportSize, 0);
    reply[1] = 63;
    std::memcpy(reply.data() + 2, "\xAA\x55\x3D\x00\x01", 5);
    std::memcpy(reply.data() + 7, "ZORVA_RQ700_V1.9.9", 18);
    return reply;
  });
  HidDeviceQueries queries;
  DeviceRecord record;
  EXPECT_EQ(queries.UpdateModeQuery("emu:" + Socket("u.sock"), &record), QueryResult::kAnswered);
  EXPECT_EQ(record.Model(), "ZORVA_RQ700_V1.9.9");
  EXPECT_EQ(record.Version(), "1.9.9");
  const auto received = device.Received();
  ASSERT_EQ(received.size(), 2u);
  uint8_t wake_up[kReportSize], request[kReportSize];
  BuildWakeUpReport(wake_up);
  BuildIdentityRequestReport(request);
  EXPECT_EQ(received[0], Report(wake_up, wake_up + 65));
  EXPECT_EQ(received[1], Report(request, request + 65));
}

// Records what the launcher shows and starts.
class RecordingShell : public LauncherShell, public ProcessStarter {
 public:
  void ShowNotice(const std::string& text) override { notices.push_back(text); }
  void RunUpdater(LauncherDevice& device, DeviceRecord& record) override {
    updater_model = record.Model();
    updater_link_active = device.link_active();
  }
  bool StartDetached(const std::string& program, const std::vector<std::string>& args,
                     const std::string& folder) override {
    started.push_back({program, args, folder});
    return false;  // a failure to start must not change the outcome
  }

  struct Start {
    std::string program;
    std::vector<std::string> args;
    std::string folder;
  };
  std::vector<std::string> notices;
  std::vector<Start> started;
  std::string updater_model;
  int updater_link_active = -1;
};

DeviceEntry Entry(const std::string& socket, uint16_t product) {
  return DeviceEntry{"emu:" + socket, 0x0483, product, 0x00C8};
}

TEST_F(QueryTest, LauncherOutcomes) {
  FakeDevice good(Socket("good.sock"),
                  [](const Report&, int) { return NormalAnswer("2.0.0", "ZORVA_RQ700"); });
  FakeDevice newer(Socket("newer.sock"),
                   [](const Report&, int) { return NormalAnswer("2.0.1", "ZORVA_RQ700"); });
  HidDeviceQueries queries;
  LauncherDevice device;

  {
    RecordingShell shell;
    EXPECT_EQ(RunLauncher({}, queries, shell, shell, device), LauncherOutcome::kNoDevice);
    EXPECT_EQ(shell.notices, std::vector<std::string>{"No device detected!!!"});
    EXPECT_TRUE(shell.started.empty());
  }
  {
    RecordingShell shell;
    EXPECT_EQ(RunLauncher({Entry(Socket("newer.sock"), 0x5703)}, queries, shell, shell, device),
              LauncherOutcome::kVersionRefused);
    EXPECT_EQ(shell.notices, std::vector<std::string>{
                                 "Equipment version is too low, Please update the firmware!"});
    EXPECT_TRUE(shell.started.empty());
  }
  {
    RecordingShell shell;
    EXPECT_EQ(RunLauncher({Entry(Socket("good.sock"), 0x5703)}, queries, shell, shell, device),
              LauncherOutcome::kEditorStarted);
    EXPECT_TRUE(shell.notices.empty());
    ASSERT_EQ(shell.started.size(), 1u);
    EXPECT_EQ(shell.started[0].program, "./ZORVA_RQ700/ZORVA_RQ700");
    EXPECT_EQ(shell.started[0].args, std::vector<std::string>{"emu:" + Socket("good.sock")});
    EXPECT_EQ(shell.started[0].folder, "./ZORVA_RQ700");
  }
}

TEST_F(QueryTest, UpdateModeDeviceGetsTheUpdaterWithTheLinkActive) {
  FakeDevice loader(Socket("loader.sock"), [](const Report& received, int) {
    Report reply;
    if (received[2] != 0xAA) return reply;
    reply.assign(kReportSize, 0);
    reply[1] = 63;
    std::memcpy(reply.data() + 2, "\xAA\x55\x3D\x00\x01", 5);
    std::memcpy(reply.data() + 7, "ZORVA_RQ700_V1.0.0", 18);
    return reply;
  });
  HidDeviceQueries queries;
  LauncherDevice device;
  RecordingShell shell;
  EXPECT_EQ(RunLauncher({Entry(Socket("loader.sock"), 0x5750)}, queries, shell, shell, device),
            LauncherOutcome::kUpdaterShown);
  EXPECT_EQ(shell.updater_model, "ZORVA_RQ700_V1.0.0");
  EXPECT_EQ(shell.updater_link_active, 1);
  EXPECT_TRUE(shell.notices.empty());
  device.Close();
}

TEST(NoDeviceMessageTest, NamesTheFixWhenAccessWasDenied) {
  EXPECT_EQ(NoDeviceMessage(""), "No device detected!!!");
  const std::string text = NoDeviceMessage("/dev/hidraw7");
  EXPECT_EQ(text.rfind("No device detected!!!", 0), 0u);
  EXPECT_NE(text.find("/dev/hidraw7"), std::string::npos);
  EXPECT_NE(text.find("udev rule"), std::string::npos);
}

}  // namespace
}  // namespace rq700
