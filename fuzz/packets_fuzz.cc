// The device's packet stream: the receive ring, the parser, the dispatcher and every
// handler on a live DeviceState, the staged-job handlers with their jobs in flight, then a
// painted frame of whatever the packets left in the state.
#include <stdlib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>

#include "emulator/emulator.h"
#include "files/backup_reader.h"
#include "files/backup_restore_job.h"
#include "files/backup_writer.h"
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

// The first input byte sets the scene: which staged jobs are in flight, and how the
// stream is cut into reads (bits 6-7: 1..4 reads of up to 63 bytes between quiet reads).
constexpr uint8_t kImportInFlight = 0x01;
constexpr uint8_t kIrTransfer = 0x02;
constexpr uint8_t kAmpTransfer = 0x04;
constexpr uint8_t kDumpRunning = 0x08;
constexpr uint8_t kBackupRunning = 0x10;
constexpr uint8_t kRestoreRunning = 0x20;

// What the sequencer's backup and restore channels do on their turn; `sent` gets the
// command and payload of the request made, if any.
void SendJobRequests(files::BackupRestoreJob& job, Input* sent = nullptr) {
  uint8_t payload[kTxPacketCapacity];
  for (const uint8_t command : {0xAA, 0xAB}) {
    const size_t n = command == 0xAA ? job.EncodeBackupRequest(payload, sizeof(payload))
                                     : job.EncodeRestoreChunk(payload, sizeof(payload));
    FUZZ_CHECK(n <= sizeof(payload));
    if (n > 0 && sent != nullptr) {
      sent->assign(1, command);
      sent->insert(sent->end(), payload, payload + n);
    }
  }
}

// Runs a started job against the virtual device: the job's requests go to the device, the
// device's answers back to the job through the dispatcher, until the job asks for nothing
// more or `limit` bytes of answers have come. Returns the answers as one stream.
Input Converse(emu::DeviceEmulator& device, files::BackupRestoreJob& job, DeviceState& state,
               size_t limit) {
  QuietWindow window;
  Dispatcher dispatcher(state, window);
  dispatcher.set_backup_restore_jobs(&job);
  RxRing ring;
  PacketParser parser;
  Input stream;
  while (stream.size() < limit) {
    Input sent;
    SendJobRequests(job, &sent);
    if (sent.empty()) break;
    uint8_t packet[kTxPacketCapacity];
    const size_t size =
        BuildPacket(sent[0], sent.data() + 1, sent.size() - 1, packet, sizeof(packet));
    for (size_t at = 0; at < size; at += kReportPayload) {
      uint8_t report[kReportSize] = {};
      report[1] = static_cast<uint8_t>(std::min<size_t>(size - at, kReportPayload));
      std::memcpy(report + 2, packet + at, report[1]);
      device.OnHostReport(report);
    }
    uint8_t report[kReportSize];
    while (device.PopReport(report)) {
      const int count = std::min<int>(report[1], kReportPayload);
      FUZZ_CHECK(ring.Push(report + 2, static_cast<size_t>(count)));
      stream.insert(stream.end(), report + 2, report + 2 + count);
      parser.Run(ring, dispatcher);
    }
  }
  return stream;
}

emu::Options QuickDevice() {
  emu::Options options;
  options.pacing = false;
  return options;
}

// A folder in memory where one exists, for the backup the job writes and the file a
// restore sends; removed at exit.
class JobFiles {
 public:
  JobFiles() {
    const std::filesystem::path shm = "/dev/shm";
    std::error_code ec;
    const auto base = std::filesystem::is_directory(shm, ec) && ::access("/dev/shm", W_OK) == 0
                          ? shm
                          : std::filesystem::temp_directory_path();
    std::string pattern = (base / "rq700-fuzz-XXXXXX").string();
    FUZZ_CHECK(::mkdtemp(pattern.data()) != nullptr);
    dir_ = pattern;
    // The file a restore sends: a whole backup of the virtual device, made by the job.
    auto state = std::make_unique<DeviceState>();
    ResetToDefaults(*state);
    emu::DeviceEmulator device(QuickDevice());
    device.Connect();
    files::BackupRestoreJob job(*state);
    const std::string whole = dir_ + "/whole.zbf";
    FUZZ_CHECK(job.StartBackup(whole) == files::JobResult::kDone);
    state->backup_request = 1;
    Converse(device, job, *state, SIZE_MAX);
    FUZZ_CHECK(job.Result() == files::JobResult::kDone);
    // Two of its presets are enough: a restore checks the whole file on every input.
    files::BackupReader reader;
    files::BackupWriter writer;
    FUZZ_CHECK(reader.Open(whole) && writer.Create(restore_file()));
    for (int r = 0; r < reader.record_count(); ++r) {
      files::BackupRecordHeader header;
      FUZZ_CHECK(reader.ReadRecordHeader(r, &header));
      files::BackupRecord record{header.name, header.type, {}};
      const uint32_t items = header.type == files::kRecordPresets ? 2 : header.item_count;
      for (uint32_t k = 0; k < items && k < header.item_count; ++k) {
        record.items.emplace_back();
        FUZZ_CHECK(reader.ReadItem(header, k, &record.items.back()));
      }
      FUZZ_CHECK(writer.WriteRecord(record));
    }
    FUZZ_CHECK(writer.Finish());
  }
  ~JobFiles() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  std::string backup_file() const { return dir_ + "/backup.zbf"; }
  std::string restore_file() const { return dir_ + "/restore.zbf"; }

 private:
  std::string dir_;
};

struct Scene {
  Scene() { ResetToDefaults(*state); }
  std::unique_ptr<DeviceState> state = std::make_unique<DeviceState>();
  JobFiles files;
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

  QuietWindow window;
  files::BackupRestoreJob job(s);
  if (setup & kBackupRunning) {
    FUZZ_CHECK(job.StartBackup(scene.files.backup_file()) == files::JobResult::kDone);
    s.backup_request = 1;
  } else if (setup & kRestoreRunning) {
    FUZZ_CHECK(job.StartRestore(scene.files.restore_file()) == files::JobResult::kDone);
    s.restore_request = 1;
  }
  SendJobRequests(job);
  Dispatcher dispatcher(s, window);
  dispatcher.set_backup_restore_jobs(&job);
  RxRing ring;
  PacketParser parser;
  const int reads_per_quiet = 1 + (setup >> 6);
  int reads = 0;
  while (size > 0) {
    const size_t n = std::min<size_t>(size, kReportPayload);
    FUZZ_CHECK(ring.Push(data, n) || ring.free_space() < n);
    parser.Run(ring, dispatcher);
    FUZZ_CHECK(parser.held() <= kMaxReceivedPacket);
    SendJobRequests(job);
    data += n;
    size -= n;
    if (++reads % reads_per_quiet == 0) dispatcher.OnQuiet();
  }
  dispatcher.OnQuiet();

  FUZZ_CHECK(s.current_preset.load() >= 0 && s.current_preset.load() < kPresetCount);
  FUZZ_CHECK(job.Percent() >= 0 && job.Percent() <= 100);
  FUZZ_CHECK(!job.running() || !job.Result().has_value());
  ViewState view;
  EditorViewPainter painter(s, view);
  NullCanvas canvas;
  painter.Paint(canvas);
}

std::vector<Input> PacketSeeds() {
  // What the virtual device says: its whole answer to the dump request cut into pieces of
  // a few packets, its knobs, preset switches and the job acknowledgements.
  std::vector<Input> seeds;
  emu::DeviceEmulator device(QuickDevice());
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
      {kImportInFlight, 0xE5, {1}},    {kBackupRunning, 0xAA, {1, 1, 1, 0, 0, 0, 4, 1, 2, 3, 4}},
      {kRestoreRunning, 0xAB, {1, 1}},
  };
  for (const auto& ack : acks) {
    Input seed = {ack.setup, 0x06};
    device.SendRaw(ack.command, ack.payload, &error);
    drain(&seed);
    seeds.push_back(std::move(seed));
  }

  // The start of a backup and of a restore as the virtual device answers the job itself.
  JobFiles job_files;
  for (const uint8_t setup : {kBackupRunning, kRestoreRunning}) {
    auto state = std::make_unique<DeviceState>();
    ResetToDefaults(*state);
    files::BackupRestoreJob job(*state);
    if (setup == kBackupRunning) {
      FUZZ_CHECK(job.StartBackup(job_files.backup_file()) == files::JobResult::kDone);
      state->backup_request = 1;
    } else {
      FUZZ_CHECK(job.StartRestore(job_files.restore_file()) == files::JobResult::kDone);
      state->restore_request = 1;
    }
    Input seed = {setup, 0x00};
    const Input answers = Converse(device, job, *state, 3500);
    seed.insert(seed.end(), answers.begin(), answers.end());
    seeds.push_back(std::move(seed));
  }
  return seeds;
}

}  // namespace rq700::fuzz
