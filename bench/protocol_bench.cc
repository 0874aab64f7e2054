// Edit-to-wire latency: the UI thread writes one AMP parameter; the time until the 0x93
// packet has reached the device end of the virtual-device socket. Then the CPU time the
// idle sequencer and reader threads use per second.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

#include "protocol/editor_session.h"
#include "tests/protocol/scripted_peer.h"

namespace {

using Clock = std::chrono::steady_clock;

double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace rq700;
  const int edits = argc > 1 ? std::max(1000, std::atoi(argv[1])) : 2000;

  auto state = std::make_unique<DeviceState>();
  ResetToDefaults(*state);
  CHidDevice device;
  testing::RecordingWindow window;
  testing::ScriptedPeer peer;
  EditorSession session(*state, device, window);
  if (!session.Start(peer.host_path()) || !peer.Accept()) {
    std::fprintf(stderr, "could not connect the editor to the scripted device\n");
    return 1;
  }
  peer.NextReport(1000);
  peer.NextReport(1000);
  peer.NextPacket(1000);  // the dump request

  std::vector<double> latency_us;
  latency_us.reserve(edits);
  for (int i = 0; i < edits; ++i) {
    const uint8_t value = static_cast<uint8_t>(i & 0x7F);
    const auto start = Clock::now();
    state->module[kAmp].param[0].Set(
        value == state->module[kAmp].param[0].Get() ? static_cast<uint8_t>(value + 1) : value);
    std::optional<testing::Bytes> packet;
    do {
      packet = peer.NextPacket(1000);
    } while (packet && testing::CommandOf(*packet) != 0x93);
    const auto end = Clock::now();
    if (!packet) {
      std::fprintf(stderr, "edit %d never reached the device\n", i);
      return 1;
    }
    latency_us.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    peer.NextPacket(100);  // the page sync that follows
  }
  std::sort(latency_us.begin(), latency_us.end());
  const auto at = [&](double q) {
    return latency_us[std::min(latency_us.size() - 1, static_cast<size_t>(q * latency_us.size()))];
  };
  std::printf("edit-to-wire latency over %d edits: median %.0f us, p99 %.0f us, max %.0f us\n",
              edits, at(0.5), at(0.99), latency_us.back());

  // Idle: nothing to send, nothing arriving. The main thread sleeps, so the process's CPU
  // time is the two worker threads'.
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  const double seconds = 3.0;
  const double cpu_start = ProcessCpuSeconds();
  const auto wall_start = Clock::now();
  std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
  const double cpu = ProcessCpuSeconds() - cpu_start;
  const double wall = std::chrono::duration<double>(Clock::now() - wall_start).count();
  std::printf("idle sequencer + reader threads: %.1f ms CPU per second (%.2f%% of one core)\n",
              1000.0 * cpu / wall, 100.0 * cpu / wall);
  session.Shutdown();
  return 0;
}
