// How fast the virtual device answers: the dump produced in memory, and the dump carried
// over the socket to a host reading with the editor's link code, unpaced and paced.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "emulator/emulator.h"
#include "emulator/server.h"
#include "link/hid_device.h"
#include "link/packet.h"
#include "link/packet_parser.h"

namespace {

using rq700::emu::DeviceEmulator;
using rq700::emu::EmulatorServer;
using rq700::emu::Options;

const uint8_t kDumpRequest[] = {0xAA, 0x55, 0x01, 0x00, 0xE0, 0x35, 0xE1};

void BM_DumpInMemory(benchmark::State& state) {
  Options options;
  DeviceEmulator device(options);
  device.Connect();
  uint8_t report[65] = {0, sizeof(kDumpRequest)};
  std::memcpy(report + 2, kDumpRequest, sizeof(kDumpRequest));
  size_t reports = 0;
  for (auto _ : state) {
    device.OnHostReport(report);
    uint8_t out[65];
    while (device.PopReport(out)) ++reports;
  }
  state.counters["reports_per_dump"] =
      benchmark::Counter(static_cast<double>(reports) / state.iterations());
}
BENCHMARK(BM_DumpInMemory)->Unit(benchmark::kMicrosecond);

class CountLast : public rq700::PacketSink {
 public:
  void OnPacket(const uint8_t* packet, size_t) override {
    done = packet[4] == 0xA5 && packet[5] == 199;
  }
  bool done = false;
};

void DumpOverSocket(benchmark::State& state, bool pacing) {
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("rq700-emu-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  setenv("RQ700_EMU_DIR", dir.c_str(), 1);
  Options options;
  options.socket_path = (dir / "bench.sock").string();
  options.pacing = pacing;
  EmulatorServer server(options);
  std::string error;
  if (!server.Start(&error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  std::thread serving([&server] { server.Run(); });
  rq700::CHidDevice host;
  host.Open("emu:" + options.socket_path);
  for (auto _ : state) {
    rq700::RxRing ring;
    rq700::PacketParser parser;
    CountLast sink;
    host.Send(kDumpRequest, sizeof(kDumpRequest));
    uint8_t buffer[64];
    while (!sink.done) {
      const int n = host.Read(buffer, sizeof(buffer));
      if (n < 0) break;
      ring.Push(buffer, static_cast<size_t>(n));
      parser.Run(ring, sink);
    }
  }
  host.Close();
  server.Stop();
  serving.join();
  std::filesystem::remove_all(dir);
}

void BM_DumpOverSocketUnpaced(benchmark::State& state) { DumpOverSocket(state, false); }
BENCHMARK(BM_DumpOverSocketUnpaced)->Unit(benchmark::kMillisecond);

void BM_DumpOverSocketPaced(benchmark::State& state) { DumpOverSocket(state, true); }
BENCHMARK(BM_DumpOverSocketPaced)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace

BENCHMARK_MAIN();
