// Edit-to-device latency against the virtual device: the editor's link (sequencer and
// reader threads) talks to an unpaced rq700-emu served in this process; the UI side writes
// one AMP parameter into the edit model and the clock stops when the device's working
// preset holds the new value. Edits come a few milliseconds apart, so each one finds the
// link as idle as a user's edit does.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "emulator/server.h"
#include "protocol/editor_session.h"
#include "protocol/preset_record.h"

namespace {

using Clock = std::chrono::steady_clock;

class QuietWindow : public rq700::WindowLink {
 public:
  void ImportResult(int) override {}
  void TransferResult(int) override {}
  void DeviceGone() override {}
  void WaitingProgress(int) override {}
};

// Byte 0 of the AMP parameters in a preset record: where the device keeps AMP parameter 1.
constexpr size_t kAmpParam1 = 46;

}  // namespace

int main(int argc, char** argv) {
  using namespace rq700;
  const int edits = argc > 1 ? std::max(100, std::atoi(argv[1])) : 1000;

  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("rq700-latency-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  setenv("RQ700_EMU_DIR", dir.c_str(), 1);
  emu::Options options;
  options.socket_path = (dir / "latency.sock").string();
  options.pacing = false;
  emu::EmulatorServer server(options);
  std::string error;
  if (!server.Start(&error)) {
    std::fprintf(stderr, "rq700-emu: %s\n", error.c_str());
    return 1;
  }
  std::thread serving([&server] { server.Run(); });

  auto state = std::make_unique<DeviceState>();
  ResetToDefaults(*state);
  CHidDevice device;
  QuietWindow window;
  EditorSession session(*state, device, window);
  int status = 0;
  std::vector<double> latency_us;
  if (!session.Start("emu:" + options.socket_path)) {
    std::fprintf(stderr, "could not open the virtual device\n");
    status = 1;
  } else {
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    while (state->load_complete.load() == 0 && Clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    // Past the end of the dump, so nothing but the edits is going on.
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    if (state->load_complete.load() == 0) {
      std::fprintf(stderr, "the dump did not complete\n");
      status = 1;
    }
    std::mt19937 random(17);
    std::uniform_int_distribution<int> gap_us(2000, 5000);
    latency_us.reserve(static_cast<size_t>(edits));
    for (int i = 0; i < edits && status == 0; ++i) {
      std::this_thread::sleep_for(std::chrono::microseconds(gap_us(random)));
      auto& param = state->module[kAmp].param[0];
      const uint8_t value = static_cast<uint8_t>((param.Get() + 1) % 100);
      const auto start = Clock::now();
      param.Set(value);
      bool arrived = false;
      while (Clock::now() - start < std::chrono::seconds(1)) {
        arrived = server.WithDevice(
            [&](emu::DeviceEmulator& d) { return d.state().working[kAmpParam1] == value; });
        if (arrived) break;
        std::this_thread::yield();
      }
      const auto end = Clock::now();
      if (!arrived) {
        std::fprintf(stderr, "edit %d never reached the device\n", i);
        status = 1;
        break;
      }
      latency_us.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
  }
  session.Shutdown();
  server.Stop();
  serving.join();
  std::filesystem::remove_all(dir);
  if (status != 0) return status;

  std::sort(latency_us.begin(), latency_us.end());
  const auto at = [&](double q) {
    return latency_us[std::min(latency_us.size() - 1, static_cast<size_t>(q * latency_us.size()))];
  };
  std::printf(
      "edit-to-device latency (rq700-emu, no pacing) over %zu edits: median %.0f us, p99 %.0f "
      "us, max %.0f us\n",
      latency_us.size(), at(0.5), at(0.99), latency_us.back());
  return 0;
}
