// Whole-device backup and restore against the paced virtual device (one report per
// millisecond each way, as a full-speed HID endpoint), with the editor's own threads and
// job. Each run is set against the time its packets need on the wire: every report of
// every 0xAA and 0xAB packet in the device's log, one millisecond each, since the
// dialogue waits for each answer before the next request. Prints the figures of each run
// and the median ratio (time taken / wire time).
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "emulator/server.h"
#include "files/backup_restore_job.h"
#include "link/hid_device.h"
#include "protocol/editor_session.h"

namespace {

using namespace rq700;
using Clock = std::chrono::steady_clock;

class QuietLink : public WindowLink {
 public:
  void ImportResult(int) override {}
  void TransferResult(int) override {}
  void DeviceGone() override { gone = true; }
  void WaitingProgress(int) override {}
  std::atomic<bool> gone{false};
};

std::vector<std::string> LogLines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Milliseconds the 0xAA and 0xAB packets logged from line `from` on take on a line that
// carries one report (up to 63 packet bytes) per millisecond.
double WireMs(const std::vector<std::string>& lines, size_t from) {
  long reports = 0;
  for (size_t i = from; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line.rfind("H>D AA 55 ", 0) != 0 && line.rfind("D>H AA 55 ", 0) != 0) continue;
    std::istringstream hex(line.substr(4));
    std::vector<unsigned> bytes;
    for (unsigned b; hex >> std::hex >> b;) bytes.push_back(b);
    if (bytes.size() < 7 || (bytes[4] != 0xAA && bytes[4] != 0xAB)) continue;
    reports += static_cast<long>((bytes.size() + 62) / 63);
  }
  return static_cast<double>(reports);
}

struct Run {
  double took_ms = 0;
  double wire_ms = 0;
  bool ok = false;
};

Run RunOnce(const std::string& device_path, const std::string& log, const std::string& file,
            bool restore) {
  Run run;
  auto state = std::make_unique<DeviceState>();
  ResetToDefaults(*state);
  files::BackupRestoreJob job(*state);
  QuietLink link;
  CHidDevice device;
  EditorSession session(*state, device, link);
  session.sequencer().set_backup_restore_jobs(&job);
  session.dispatcher().set_backup_restore_jobs(&job);
  if (!session.Start(device_path)) return run;
  const auto deadline = Clock::now() + std::chrono::seconds(20);
  while (state->load_complete.load() == 0 && Clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the dump's tail
  const size_t from = LogLines(log).size();
  if ((restore ? job.StartRestore(file) : job.StartBackup(file)) != files::JobResult::kDone) {
    session.Shutdown();
    return run;
  }
  files::JobContext context;
  context.device_gone = [&link] { return link.gone.load(); };
  const auto start = Clock::now();
  (restore ? state->restore_request : state->backup_request).store(1);
  const files::JobResult result = files::RunJob(job, context);
  run.took_ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  session.Shutdown();
  run.ok = result == files::JobResult::kDone;
  run.wire_ms = WireMs(LogLines(log), from);
  return run;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() / ("rq700-backup-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  setenv("RQ700_EMU_DIR", dir.c_str(), 1);
  emu::Options options;
  options.socket_path = (dir / "bench.sock").string();
  options.log_file = (dir / "packets.log").string();
  options.pacing = true;
  emu::EmulatorServer server(options);
  std::string error;
  if (!server.Start(&error)) {
    std::fprintf(stderr, "bench_backup: %s\n", error.c_str());
    return 1;
  }
  std::thread serving([&server] { server.Run(); });
  const std::string file = (dir / "bench.zbf").string();
  int status = 0;
  for (const bool restore : {false, true}) {
    std::vector<double> ratios;
    for (int i = 0; i < rounds; ++i) {
      const Run run = RunOnce("emu:" + options.socket_path, options.log_file, file, restore);
      if (!run.ok || run.wire_ms <= 0) {
        std::fprintf(stderr, "bench_backup: %s failed\n", restore ? "restore" : "backup");
        status = 1;
        break;
      }
      ratios.push_back(run.took_ms / run.wire_ms);
      std::printf("%-7s took %7.1f ms, wire %7.1f ms, ratio %.3f\n", restore ? "restore" : "backup",
                  run.took_ms, run.wire_ms, ratios.back());
    }
    if (ratios.empty()) continue;
    std::sort(ratios.begin(), ratios.end());
    std::printf("%-7s median ratio %.3f over %zu runs (goal <= 1.3)\n",
                restore ? "restore" : "backup", ratios[ratios.size() / 2], ratios.size());
  }
  server.Stop();
  serving.join();
  std::filesystem::remove_all(dir);
  return status;
}
