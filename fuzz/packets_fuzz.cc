// The device's packet stream: the receive ring, the parser, the dispatcher and every
// handler on a live DeviceState, the staged-job handlers with their jobs in flight, then a
// painted frame of whatever the packets left in the state.
#include <algorithm>
#include <cstring>
#include <memory>

#include "emulator/emulator.h"
#include "fuzz/fuzz_targets.h"
#include "fuzz/null_canvas.h"
#include "link/rx_ring.h"
#include "protocol/dispatcher.h"
#include "skin/view_painter.h"

namespace rq700::fuzz {
namespace {

class QuietWindow : public WindowLink {
 public:
  void ImportResult(int code) override { FUZZ_CHECK(code >= 0 && code <= 8); }
  void TransferResult(int code) override { FUZZ_CHECK(code >= 0 && code <= 2); }
  void DeviceGone() override {}
  void WaitingProgress(int preset_index) override {
    FUZZ_CHECK(preset_index >= 0 && preset_index < kPresetCount);
  }
};

// Backup and restore hooks that read every byte they are given, as a job would.
class TouchingJobs : public BackupRestoreJobs {
 public:
  size_t EncodeBackupRequest(uint8_t*, size_t) override { return 0; }
  size_t EncodeRestoreChunk(uint8_t*, size_t) override { return 0; }
  void OnBackupData(const uint8_t* packet, size_t size) override {
    FUZZ_CHECK(size >= kPacketOverhead + 1 && packet[kPacketCommandOffset] == 0xAA);
    for (size_t i = 0; i < size; ++i) sum += packet[i];
  }
  void OnRestoreAck(const uint8_t* payload, size_t size) override {
    for (size_t i = 0; i < size; ++i) sum += payload[i];
  }
  unsigned sum = 0;
};

// The first input byte sets the scene: which staged jobs are in flight, and how the
// stream is cut into reads (bits 5-7: 1..8 reads of up to 63 bytes between quiet reads).
constexpr uint8_t kImportInFlight = 0x01;
constexpr uint8_t kIrTransfer = 0x02;
constexpr uint8_t kAmpTransfer = 0x04;
constexpr uint8_t kDumpRunning = 0x08;
constexpr uint8_t kRestoreRunning = 0x10;

struct Scene {
  Scene() { ResetToDefaults(*state); }
  std::unique_ptr<DeviceState> state = std::make_unique<DeviceState>();
};

}  // namespace

void FuzzPackets(const uint8_t* data, size_t size) {
  if (size < 2) return;
  // One state for the whole run, put back to its start values per input: a fresh one per
  // input costs more than the packets.
  static Scene scene;
  DeviceState& s = *scene.state;
  ResetToDefaults(s);
  const uint8_t setup = data[0];
  const uint8_t target = data[1];
  data += 2;
  size -= 2;

  if (setup & kImportInFlight) {
    s.import_mode = kImportMulti;
    s.in_flight = 1;
    s.import_target = target % (kPresetCount + 2) - 1;  // -1..200
    s.import_total = 3;
    s.import_remaining = 2;
  }
  if (setup & kIrTransfer) {
    s.ir.slot = target % 12;
    s.ir.stage = 1 + target % 4;
    s.ir.active = 1;
  }
  if (setup & kAmpTransfer) {
    s.amp.slot = target % 12;
    s.amp.stage = 1 + target % 5;
    s.amp.active = 1;
  }
  if (setup & kDumpRunning) s.dump_running = 1;
  if (setup & kRestoreRunning) s.restore_request = 1;

  QuietWindow window;
  TouchingJobs jobs;
  Dispatcher dispatcher(s, window);
  dispatcher.set_backup_restore_jobs(&jobs);
  RxRing ring;
  PacketParser parser;
  const int reads_per_quiet = 1 + (setup >> 5);
  int reads = 0;
  while (size > 0) {
    const size_t n = std::min<size_t>(size, kReportPayload);
    FUZZ_CHECK(ring.Push(data, n) || ring.free_space() < n);
    parser.Run(ring, dispatcher);
    FUZZ_CHECK(parser.held() <= kMaxReceivedPacket);
    data += n;
    size -= n;
    if (++reads % reads_per_quiet == 0) dispatcher.OnQuiet();
  }
  dispatcher.OnQuiet();

  FUZZ_CHECK(s.current_preset.load() >= 0 && s.current_preset.load() < kPresetCount);
  ViewState view;
  EditorViewPainter painter(s, view);
  NullCanvas canvas;
  painter.Paint(canvas);
}

std::vector<Input> PacketSeeds() {
  // What the virtual device says: its whole answer to the dump request cut into pieces of
  // a few packets, its knobs, preset switches and the job acknowledgements.
  std::vector<Input> seeds;
  emu::Options options;
  options.pacing = false;
  emu::DeviceEmulator device(options);
  device.Connect();
  auto drain = [&device](Input* stream) {
    uint8_t report[kReportSize];
    while (device.PopReport(report)) {
      const int count = std::min<int>(report[1], kReportPayload);
      stream->insert(stream->end(), report + 2, report + 2 + count);
    }
  };
  uint8_t request[kReportSize] = {};
  const uint8_t dump_packet[] = {0xAA, 0x55, 0x01, 0x00, 0xE0, 0x35, 0xE1};
  request[1] = sizeof(dump_packet);
  std::memcpy(request + 2, dump_packet, sizeof(dump_packet));
  device.OnHostReport(request);
  Input dump;
  drain(&dump);
  // The head of the dump (settings, current preset, first records) and its tail (record
  // 199 and the settings after it), in pieces that may cut a packet anywhere.
  constexpr size_t kPiece = 3000;
  std::vector<size_t> starts;
  for (size_t at = 0; at < dump.size() && starts.size() < 6; at += kPiece) starts.push_back(at);
  if (dump.size() > 8 * kPiece) {
    starts.push_back(dump.size() - 2 * kPiece);
    starts.push_back(dump.size() - kPiece);
  }
  for (size_t at : starts) {
    Input seed = {0x00, 0x00};
    seed.insert(seed.end(), dump.begin() + at, dump.begin() + std::min(dump.size(), at + kPiece));
    seeds.push_back(std::move(seed));
  }
  std::string error;
  Input live = {0x00, 0x05};
  for (int module = 1; module <= kModuleTypes; ++module) {
    device.TurnKnob(module, 1, 3, &error);
  }
  device.SwitchPreset(7, &error);
  device.SetSystemByte(2, 1, &error);
  drain(&live);
  seeds.push_back(live);
  const struct {
    uint8_t setup;
    long command;
    std::vector<long> payload;
  } acks[] = {
      {kIrTransfer, 0xE1, {1}},        {kAmpTransfer, 0xE2, {2}},
      {kImportInFlight, 0xE5, {1}},    {0x00, 0xAA, {1, 0, 1, 0, 0, 0, 4, 1, 2, 3, 4}},
      {kRestoreRunning, 0xAB, {1, 1}},
  };
  for (const auto& ack : acks) {
    Input seed = {ack.setup, 0x06};
    device.SendRaw(ack.command, ack.payload, &error);
    drain(&seed);
    seeds.push_back(std::move(seed));
  }
  return seeds;
}

}  // namespace rq700::fuzz
