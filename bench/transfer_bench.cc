// How close the transfers come to the time their reports need on the wire: an impulse
// response loaded into a user slot and 200 preset files imported, each against the paced
// virtual device (one report per millisecond each way, as a full-speed HID endpoint), run
// by the editor's protocol threads and the same jobs the window and rq700 use.
// Prints each run's time, the wire time and their ratio.
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "emulator/server.h"
#include "files/byte_order.h"
#include "files/ir_job.h"
#include "files/job_context.h"
#include "files/preset_export.h"
#include "files/preset_import.h"
#include "link/hid_device.h"
#include "protocol/editor_session.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

class QuietLink : public rq700::WindowLink {
 public:
  void ImportResult(int) override {}
  void TransferResult(int) override {}
  void DeviceGone() override { gone = true; }
  void WaitingProgress(int) override {}
  std::atomic<bool> gone{false};
};

// Reports of 63 payload bytes that a packet with `payload` bytes needs.
int Reports(int payload) { return (2 + 2 + 1 + payload + 2 + 62) / 63; }

// A 44.1 kHz mono 16-bit WAV file of `frames` samples.
std::vector<uint8_t> MonoWav(int frames) {
  std::vector<uint8_t> b(44 + 2 * frames);
  std::copy_n("RIFF", 4, b.begin());
  rq700::files::PutLe32(b.data() + 4, static_cast<uint32_t>(b.size() - 8));
  std::copy_n("WAVEfmt ", 8, b.begin() + 8);
  rq700::files::PutLe32(b.data() + 16, 16);
  rq700::files::PutLe16(b.data() + 20, 1);
  rq700::files::PutLe16(b.data() + 22, 1);
  rq700::files::PutLe32(b.data() + 24, 44100);
  rq700::files::PutLe32(b.data() + 28, 88200);
  rq700::files::PutLe16(b.data() + 32, 2);
  rq700::files::PutLe16(b.data() + 34, 16);
  std::copy_n("data", 4, b.begin() + 36);
  rq700::files::PutLe32(b.data() + 40, static_cast<uint32_t>(2 * frames));
  for (int i = 0; i < frames; ++i)
    rq700::files::PutLe16(b.data() + 44 + 2 * i, static_cast<uint16_t>(30000 - 50 * i));
  return b;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main() {
  const fs::path dir =
      fs::temp_directory_path() / ("rq700-transfer-bench-" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  setenv("RQ700_EMU_DIR", dir.c_str(), 1);

  rq700::emu::Options options;
  options.socket_path = (dir / "bench.sock").string();
  options.pacing = true;
  rq700::emu::EmulatorServer server(options);
  std::string error;
  if (!server.Start(&error)) {
    std::fprintf(stderr, "emulator: %s\n", error.c_str());
    return 1;
  }
  std::thread serving([&] { server.Run(); });

  auto state = std::make_unique<rq700::DeviceState>();
  rq700::ResetToDefaults(*state);
  rq700::CHidDevice device;
  QuietLink link;
  rq700::files::PresetImportList list;
  auto session = std::make_unique<rq700::EditorSession>(*state, device, link);
  session->sequencer().set_import_feed(&list);
  int status = 0;
  if (!session->Start("emu:" + options.socket_path)) {
    std::fprintf(stderr, "cannot open the virtual device\n");
    status = 1;
  }
  const auto dump_start = Clock::now();
  while (status == 0 && state->load_complete.load() == 0) {
    if (Clock::now() - dump_start > std::chrono::seconds(60)) status = 1;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }

  rq700::files::JobContext context;
  context.idle_limit = std::chrono::seconds(10);
  context.device_gone = [&] { return link.gone.load(); };

  if (status == 0) {
    // IR: three planes of 514 payload bytes and the 17-byte name, each answered by one
    // byte; the dialogue waits for each answer before the next stage.
    const std::string wav = (dir / "bench cab.wav").string();
    const std::vector<uint8_t> bytes = MonoWav(512);
    FILE* f = std::fopen(wav.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    const double wire_ms = 3 * (Reports(514) + Reports(1)) + Reports(17) + Reports(1);
    // The transfer itself, looked at every 0.2 ms, and as rq700 waits for it (RunJob looks
    // every 10 ms, which rounds its end up).
    std::vector<double> runs, cli_runs;
    for (int run = 0; run < 18 && status == 0; ++run) {
      rq700::files::IrLoadJob job(*state, run % 10);
      if (!job.Prepare(wav) || !job.Start()) {
        status = 1;
        break;
      }
      const auto start = Clock::now();
      std::optional<rq700::files::JobResult> result;
      if (run % 2 == 0) {
        while (!(result = job.Result()) && Clock::now() - start < std::chrono::seconds(10))
          std::this_thread::sleep_for(std::chrono::microseconds(200));
      } else {
        result = rq700::files::RunJob(job, context);
      }
      if (result != rq700::files::JobResult::kDone) {
        job.Abandon(rq700::files::JobResult::kTimedOut);
        status = 1;
        break;
      }
      (run % 2 == 0 ? runs : cli_runs)
          .push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    if (status == 0) {
      std::printf(
          "ir load: %.1f ms (median of %zu), wire %.0f ms, ratio %.2f; as rq700 waits: "
          "%.1f ms, ratio %.2f\n",
          Median(runs), runs.size(), wire_ms, Median(runs) / wire_ms, Median(cli_runs),
          Median(cli_runs) / wire_ms);
    }
  }

  if (status == 0) {
    // 200 presets: one 513-byte record each, each answered by one byte.
    std::vector<std::string> paths;
    for (int i = 0; i < rq700::kPresetCount; ++i) {
      uint8_t rec[rq700::record::kSize];
      rq700::ReadRecord(*state, i, rec);
      paths.push_back((dir / ("P" + std::to_string(i + 1) + "-BENCH.zv")).string());
      if (!rq700::files::WritePresetFile(paths.back(), rec)) status = 1;
    }
    const double wire_ms = rq700::kPresetCount * (Reports(513) + Reports(1));
    std::vector<double> runs;
    for (int run = 0; run < 3 && status == 0; ++run) {
      rq700::files::PresetImportJob job(*state, list);
      const auto start = Clock::now();
      if (list.Set(paths) == 0 && job.Start() &&
          rq700::files::RunJob(job, context) == rq700::files::JobResult::kDone) {
        runs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
      } else {
        status = 1;
      }
    }
    if (status == 0) {
      std::printf("preset import, 200 files: %.0f ms (median of %zu), wire %.0f ms, ratio %.2f\n",
                  Median(runs), runs.size(), wire_ms, Median(runs) / wire_ms);
    }
  }
  if (status != 0) std::fprintf(stderr, "a transfer failed\n");

  session->Shutdown();
  server.Stop();
  serving.join();
  fs::remove_all(dir);
  return status;
}
