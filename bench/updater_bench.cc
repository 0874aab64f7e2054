// How long a firmware update and a detection take against the virtual device: an image
// of 64 blocks (32 KiB) sent block by block with the update worker and reader, with the
// device paced like a full-speed USB endpoint and unpaced; and the launcher's detection
// of one device in normal mode.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "files/firmware_builder.h"
#include "launcher/detect.h"
#include "link/device_enum.h"
#include "tests/support/emulator_process.h"
#include "updater/update_worker.h"

namespace {

namespace fs = std::filesystem;
using rq700::testing::EmulatorProcess;

constexpr int kBlocks = 64;

class NullSink : public rq700::UpdateStatusSink {
 public:
  void PostStatus(int code, int) override { last = code; }
  int last = 0;
};

fs::path Scratch(const char* name) {
  const fs::path dir = fs::temp_directory_path() /
                       (std::string("rq700-bench-") + name + "-" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir / "Firmware");
  return dir;
}

void BM_Update64Blocks(benchmark::State& state) {
  const bool paced = state.range(0) != 0;
  const fs::path dir = Scratch("update");
  rq700::files::FirmwareImagePlan plan;
  plan.apply_command = 0xA0;
  plan.apply_reply = 0xA1;
  plan.apply_timeout = 3000;
  plan.segments.push_back({0xB0, 0xB1, 1000, 0, std::vector<uint8_t>(kBlocks * 512, 0x3C)});
  {
    const std::vector<uint8_t> bytes = rq700::files::BuildFirmwareImage(plan);
    std::ofstream out(dir / "Firmware" / "ZORVA_RQ700_V2.0.0.zr", std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<long>(bytes.size()));
  }
  const std::string socket = (dir / "loader.sock").string();
  int failures = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::vector<std::string> args = {
        "--socket",  socket,  "--mode",     "update",
        "--version", "1.9.9", "--firmware", (dir / "Firmware" / "ZORVA_RQ700_V2.0.0.zr").string()};
    auto emulator = std::make_unique<EmulatorProcess>(RQ700_EMU_BINARY, dir.string(), args, paced);
    // Detection wakes the loader and takes its identity, as the launcher does.
    rq700::DeviceRecord record;
    rq700::HidDeviceQueries queries;
    if (queries.UpdateModeQuery("emu:" + socket, &record) != rq700::QueryResult::kAnswered) {
      ++failures;
    }
    rq700::LauncherDevice device;
    device.Open("emu:" + socket);
    device.set_link_active(1);
    NullSink sink;
    rq700::UpdateSession session(device, record, sink);
    session.firmware_folder = (dir / "Firmware").string() + "/";
    state.ResumeTiming();

    auto reader = std::async(std::launch::async, [&] { return rq700::UpdateReader(session); });
    if (rq700::UpdateWorker(session) != 1) ++failures;
    reader.get();

    state.PauseTiming();
    emulator.reset();
    state.ResumeTiming();
  }
  state.counters["s_per_block"] = benchmark::Counter(
      static_cast<double>(kBlocks),
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.counters["failures"] = failures;
  fs::remove_all(dir);
}
BENCHMARK(BM_Update64Blocks)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

void BM_DetectOneDevice(benchmark::State& state) {
  const fs::path dir = Scratch("detect");
  EmulatorProcess emulator(RQ700_EMU_BINARY, dir.string(),
                           {"--socket", (dir / "rq700.sock").string()}, true);
  rq700::HidDeviceQueries queries;
  int found = 0;
  for (auto _ : state) {
    rq700::DeviceRecord record;
    const auto outcome =
        rq700::Detect(rq700::EnumerateVirtualDevices(dir.string()), queries, &record);
    if (outcome.result == rq700::Detection::kNormalMode) ++found;
  }
  state.counters["found"] = benchmark::Counter(found, benchmark::Counter::kAvgIterations);
  fs::remove_all(dir);
}
BENCHMARK(BM_DetectOneDevice)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
