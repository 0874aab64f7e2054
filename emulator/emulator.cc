#include "emulator/emulator.h"

#include <algorithm>
#include <cstring>
#include <sstream>
#include <utility>

#include "link/packet.h"

namespace rq700::emu {
namespace {

using record::kSlotEnable;
using record::kSlotModel;
using record::kSlotParams;
using record::ModuleSlot;

// Parameter bytes of each module type's slot, in parameter order (DELAY is special).
constexpr int kByteParams[10] = {0, 4, 3, 6, 4, 3, 6, 4, 0, 4};

constexpr uint8_t ModuleCommand(int module) {
  return static_cast<uint8_t>(module <= 2 ? 0x8F + module : 0x90 + module);
}

// Module type of a module command, 0 for any other code.
int ModuleOfCommand(uint8_t command) {
  if (command == 0x90) return 1;
  if (command == 0x91) return 2;
  if (command >= 0x93 && command <= 0x99) return command - 0x90;
  return 0;
}

void PutWord(std::vector<uint8_t>& out, unsigned value) {
  out.push_back(static_cast<uint8_t>((value >> 8) & 0xFF));
  out.push_back(static_cast<uint8_t>(value & 0xFF));
}

uint16_t GetWord(const uint8_t* bytes) { return static_cast<uint16_t>((bytes[0] << 8) | bytes[1]); }

// A text as a fixed field: cut or padded with NUL.
void PutText(std::vector<uint8_t>& out, const std::string& text, size_t width) {
  for (size_t i = 0; i < width; ++i) out.push_back(i < text.size() ? text[i] : 0);
}

constexpr size_t kMaxFirmware = 16 * 1024 * 1024;
constexpr size_t kMaxQueuedReports = 16384;

}  // namespace

DeviceEmulator::DeviceEmulator(const Options& options)
    : options_(options), mode_(options.mode), version_(options.version) {
  FactoryReset(state_);
  tx_.resize(kTxPacketCapacity);
}

void DeviceEmulator::Connect() {
  ring_ = RxRing{};
  parser_ = PacketParser{};
  outbox_.clear();
  disconnect_ = false;
  ir_transfer_ = Transfer{};
  amp_transfer_ = Transfer{};
  restore_slot_ = Transfer{};
  loader_started_ = false;
  identified_ = false;
  apply_accepted_ = false;
  blocks_received_ = 0;
  firmware_.clear();
}

bool DeviceEmulator::TakeDisconnect() { return std::exchange(disconnect_, false); }
bool DeviceEmulator::TakeModeChange() { return std::exchange(mode_changed_, false); }
bool DeviceEmulator::TakeStateChange() { return std::exchange(state_changed_, false); }

void DeviceEmulator::OnHostReport(const uint8_t* report) {
  const size_t count = std::min<size_t>(report[1], kReportPayload);
  if (count == 0) return;
  const uint8_t* payload = report + 2;
  // A report that arrives between packets and holds no start mark is not part of any
  // packet (the editor's start-up report, the loader's wake-up report): log it whole.
  if (parser_.state() == PacketParser::kStartMark1 && parser_.held() == 0) {
    bool has_start = false;
    for (size_t i = 0; i + 1 < count && !has_start; ++i) {
      has_start = payload[i] == kStartMark1 && payload[i + 1] == kStartMark2;
    }
    if (!has_start) {
      log_.Raw(payload, count);
      return;
    }
  }
  if (!ring_.Push(payload, count)) return;  // the device is swamped: the report is lost
  // The parser drops one stray byte per run; run it until it waits for more bytes, so a
  // packet behind stray bytes is not left waiting for the host's next report.
  for (uint32_t before = ring_.count() + 1; ring_.count() > 0 && ring_.count() < before;) {
    before = ring_.count();
    parser_.Run(ring_, *this);
  }
}

bool DeviceEmulator::PopReport(uint8_t* report) {
  if (outbox_.empty()) return false;
  std::memcpy(report, outbox_.front().data(), kReportSize);
  outbox_.pop_front();
  return true;
}

bool DeviceEmulator::IsSilent(uint8_t command) const {
  const auto& silent = options_.faults.silent;
  return std::find(silent.begin(), silent.end(), command) != silent.end();
}

void DeviceEmulator::OnPacket(const uint8_t* packet, size_t size) {
  if (disconnect_) return;  // the cable is already out
  log_.Host(packet, size);
  ++host_packets_;
  if (options_.faults.disconnect_after > 0 && host_packets_ == options_.faults.disconnect_after) {
    outbox_.clear();
    disconnect_ = true;
    return;
  }
  const uint8_t command = packet[kPacketCommandOffset];
  if (IsSilent(command)) return;
  const size_t payload_size = PacketLength(packet) - 1;
  const uint8_t* payload = packet + kPacketPayloadOffset;
  if (mode_ == Mode::kNormal) {
    HandleNormal(command, payload, payload_size);
  } else {
    HandleUpdate(command, payload, payload_size);
  }
}

void DeviceEmulator::Emit(uint8_t command, const uint8_t* payload, size_t size) {
  // A host that asks and never reads would make the queue grow without end; a real
  // device would stall instead. Beyond a few dumps' worth the packet is not queued.
  const size_t total = BuildPacket(command, payload, size, tx_.data(), tx_.size());
  if (total == 0) return;
  const size_t reports = (total + kReportPayload - 1) / kReportPayload;
  if (outbox_.size() + reports > kMaxQueuedReports) return;
  ++device_packets_;
  if (options_.faults.corrupt_crc == device_packets_) tx_[total - 1] ^= 0x5A;
  log_.Device(tx_.data(), total);
  // A packet starts a report of its own, as the device's USB stack sends it.
  for (size_t offset = 0; offset < total; offset += kReportPayload) {
    Report report{};
    const size_t count = std::min<size_t>(kReportPayload, total - offset);
    report[1] = static_cast<uint8_t>(count);
    std::memcpy(report.data() + 2, tx_.data() + offset, count);
    outbox_.push_back(report);
  }
}

void DeviceEmulator::Answer(uint8_t request, uint8_t command, const uint8_t* payload, size_t size) {
  const int nth = ++answers_[request];
  for (const Faults::Drop& drop : options_.faults.drops) {
    if (drop.command == request && drop.nth == nth) return;
  }
  Emit(command, payload, size);
}

// ---------------------------------------------------------------------------------------
// Normal mode

void DeviceEmulator::HandleNormal(uint8_t command, const uint8_t* p, size_t size) {
  if (const int module = ModuleOfCommand(command)) {
    OnModule(module, p, size);
    return;
  }
  PresetRecord& rec = state_.working;
  switch (command) {
    case 0x84: {  // who are you: status, version (5), model text (16)
      std::vector<uint8_t> reply{0};
      PutText(reply, version_, 5);
      PutText(reply, options_.model, 16);
      Answer(command, 0x84, reply.data(), reply.size());
      return;
    }
    case 0xE0:
      SendDump();
      return;
    case 0x82:
      if (size < 2) return;
      if (p[0] >= 1 && p[0] <= 9) state_.selected_module = p[0];
      state_.page = p[1];
      return;
    case 0xA0:
      OnChain(p, size);
      return;
    case 0xA1:
      if (size < kSystemByteCount) return;
      std::memcpy(state_.system.data(), p, kSystemByteCount);
      state_changed_ = true;
      return;
    case 0xA2:
      if (size < 1) return;
      rec[record::kVolume] = std::min<uint8_t>(p[0], 100);
      return;
    case 0xA3:
      if (size < 7 || p[1] > 8 || p[3] > 8) return;
      rec[record::kExpSwitch] = p[0];
      rec[record::kExp1Module] = p[1];
      rec[record::kExp1Param] = p[2];
      rec[record::kExp2Module] = p[3];
      rec[record::kExp2Param] = p[4];
      state_.exp_low = p[5];
      state_.exp_high = p[6];
      state_changed_ = true;
      return;
    case 0xA4: {
      if (size < 11) return;
      const int tempo = GetWord(p) * 2;  // the host sends it halved
      state_.tempo = static_cast<uint16_t>(std::clamp(tempo, 40, 260));
      std::memcpy(rec.data() + record::kModuleSwitch, p + 2, 9);
      state_changed_ = true;
      return;
    }
    case 0xA6:
      if (size < 1 || p[0] >= record::kPresetCount) return;
      LoadWorking(p[0]);
      Answer(command, 0x86, state_.working.data(), record::kSize);
      return;
    case 0xA8: {
      if (size < 16 || p[0] >= record::kPresetCount) return;
      const int index = p[0];
      PresetRecord saved = state_.working;
      std::memcpy(saved.data() + record::kName, p + 1, 15);
      saved[record::kName + 15] = 0;
      state_.presets[index] = saved;
      state_.working = saved;
      state_.current = index;
      state_changed_ = true;
      return;
    }
    case 0x83:  // the editor's import into the preset being edited: not stored yet
      if (size < record::kSize) return;
      std::memcpy(rec.data(), p, record::kSize);
      return;
    case 0xE5: {
      if (size < 1 + record::kSize || p[0] >= record::kPresetCount) return;
      const int index = p[0];
      std::memcpy(state_.presets[index].data(), p + 1, record::kSize);
      if (index == state_.current) state_.working = state_.presets[index];
      state_changed_ = true;
      const uint8_t ack[1] = {static_cast<uint8_t>(index)};
      Answer(command, 0xE5, ack, 1);
      return;
    }
    case 0x87:
      if (size >= 1) state_.exp_tab = p[0];
      return;
    case 0x89:
      if (size >= 1) state_.second_confirmation = p[0];
      return;
    case 0xE1:
      OnIrTransfer(p, size);
      return;
    case 0xE2:
      OnAmpTransfer(p, size);
      return;
    case 0xE4:
      if (size < 1 || p[0] >= kUserSlotCount) return;
      state_.ir[p[0]] = UserSlot{};
      state_changed_ = true;
      return;
    case 0xAA:
      OnBackupRequest(p, size);
      return;
    case 0xAB:
      OnRestoreChunk(p, size);
      return;
    default:
      return;  // not a command of this device
  }
}

void DeviceEmulator::SendDump() {
  const uint8_t request = 0xE0;
  std::vector<uint8_t> payload;
  PutText(payload, version_, 5);
  Answer(request, 0x81, payload.data(), payload.size());

  for (const auto* slots : {&state_.ir, &state_.amp}) {
    payload.clear();
    for (const UserSlot& slot : *slots) {
      const auto name = SlotListName(slot);
      payload.insert(payload.end(), name.begin(), name.end());
    }
    Answer(request, slots == &state_.ir ? 0x85 : 0xE3, payload.data(), payload.size());
  }
  Answer(request, 0xA1, state_.system.data(), kSystemByteCount);

  payload.clear();
  PutWord(payload, state_.tempo);
  payload.insert(payload.end(), state_.working.begin() + record::kModuleSwitch,
                 state_.working.begin() + record::kModuleSwitch + 9);
  Answer(request, 0xA4, payload.data(), payload.size());
  Answer(request, 0xBB, state_.exp_merge.data(), 2);
  const uint8_t second[1] = {state_.second_confirmation};
  Answer(request, 0x89, second, 1);

  // The current preset first by number, then its working record (which may hold unsaved
  // edits), so the host has the right edit model whatever its store holds yet.
  const uint8_t current[1] = {static_cast<uint8_t>(state_.current)};
  Answer(request, 0xA6, current, 1);
  Answer(request, 0x86, state_.working.data(), record::kSize);
  const PresetRecord& rec = state_.working;
  const uint8_t exp[7] = {rec[record::kExpSwitch], rec[record::kExp1Module],
                          rec[record::kExp1Param], rec[record::kExp2Module],
                          rec[record::kExp2Param], state_.exp_low,
                          state_.exp_high};
  Answer(request, 0xA3, exp, sizeof(exp));

  // The records, index 199 last: the host takes that one as the end of the dump.
  std::vector<uint8_t> item(1 + record::kSize);
  for (int i = 0; i < record::kPresetCount; ++i) {
    item[0] = static_cast<uint8_t>(i);
    std::memcpy(item.data() + 1, state_.presets[i].data(), record::kSize);
    Answer(request, 0xA5, item.data(), item.size());
  }
}

void DeviceEmulator::LoadWorking(int index) {
  state_.current = index;
  state_.working = state_.presets[index];
  state_changed_ = true;
}

void DeviceEmulator::SyncOffFlag(int module) {
  PresetRecord& rec = state_.working;
  for (int position = 0; position < 9; ++position) {
    if (rec[record::kChainOrder + position] == module) {
      rec[record::kChainOff + position] = rec[ModuleSlot(module) + kSlotEnable] == 1 ? 0 : 1;
      return;
    }
  }
}

void DeviceEmulator::OnModule(int module, const uint8_t* p, size_t size) {
  if (size < 4) return;
  const uint8_t model = p[3] == 0 ? 1 : p[3];
  const size_t values = (size - 4) / 2;
  auto value = [&](size_t i) { return GetWord(p + 4 + 2 * i); };
  PresetRecord& rec = state_.working;
  uint8_t* slot = rec.data() + ModuleSlot(module);

  if (module == 8) {  // DELAY: six values, with the model-9 fifth value kept apart
    if (values < 6) return;
    slot[kSlotModel] = model;
    slot[kSlotEnable] = p[1];
    rec[record::kDelayWord1] = static_cast<uint8_t>(value(0));
    rec[record::kDelayWord2] = static_cast<uint8_t>(value(1));
    record::WriteWord(rec.data(), record::kDelayTimeWord, value(2));
    rec[record::kDelayWord4] = static_cast<uint8_t>(value(3));
    if (model == 9) {
      record::WriteWord(rec.data(), record::kDelayTimeBWord, value(4));
      rec[record::kDelayWord6] = static_cast<uint8_t>(value(5));
    } else {
      rec[record::kDelayWord5] = static_cast<uint8_t>(value(4));
    }
  } else {
    const size_t bytes = static_cast<size_t>(kByteParams[module]);
    const size_t words = module == 6 ? 3 : 0;
    if (values < bytes + words) return;  // short packet: not a whole module
    slot[kSlotModel] = model;
    slot[kSlotEnable] = p[1];
    for (size_t i = 0; i < bytes; ++i) slot[kSlotParams + i] = static_cast<uint8_t>(value(i));
    for (size_t i = 0; i < words; ++i) {
      record::WriteWord(rec.data(), record::kEqWords + 2 * i, value(bytes + i));
    }
    if (module == 7 && model == 10 && values >= 5) {
      record::WriteWord(rec.data(), record::kModWord, value(4));
    }
  }
  SyncOffFlag(module);
}

void DeviceEmulator::OnChain(const uint8_t* p, size_t size) {
  if (size < 18) return;
  // Only a complete order of the nine modules makes a signal chain.
  bool seen[10] = {};
  for (int i = 0; i < 9; ++i) {
    if (p[i] < 1 || p[i] > 9 || seen[p[i]]) return;
    seen[p[i]] = true;
  }
  PresetRecord& rec = state_.working;
  for (int i = 0; i < 9; ++i) {
    rec[record::kChainOrder + i] = p[i];
    rec[record::kChainOff + i] = p[9 + i] ? 1 : 0;
    rec[ModuleSlot(p[i]) + kSlotEnable] = p[9 + i] ? 0 : 1;
  }
}

void DeviceEmulator::SendModule(int module) {
  const PresetRecord& rec = state_.working;
  const uint8_t* slot = rec.data() + ModuleSlot(module);
  std::vector<uint8_t> payload;
  PutWord(payload, slot[kSlotEnable]);
  PutWord(payload, slot[kSlotModel] == 0 ? 1 : slot[kSlotModel]);
  if (module == 8) {
    PutWord(payload, rec[record::kDelayWord1]);
    PutWord(payload, rec[record::kDelayWord2]);
    PutWord(payload, record::ReadWord(rec.data(), record::kDelayTimeWord));
    PutWord(payload, rec[record::kDelayWord4]);
    if (slot[kSlotModel] == 9) {
      PutWord(payload, record::ReadWord(rec.data(), record::kDelayTimeBWord));
    } else {
      PutWord(payload, rec[record::kDelayWord5]);
    }
    PutWord(payload, rec[record::kDelayWord6]);
  } else {
    for (int i = 0; i < kByteParams[module]; ++i) PutWord(payload, slot[kSlotParams + i]);
    if (module == 6) {
      for (int i = 0; i < 3; ++i)
        PutWord(payload, record::ReadWord(rec.data(), record::kEqWords + 2 * i));
    }
    if (module == 7) PutWord(payload, record::ReadWord(rec.data(), record::kModWord));
  }
  Emit(ModuleCommand(module), payload.data(), payload.size());
}

void DeviceEmulator::OnIrTransfer(const uint8_t* p, size_t size) {
  if (size < 2) return;
  const int slot = p[0];
  const int stage = p[1];
  Transfer& t = ir_transfer_;
  if (stage == 1) {
    t = Transfer{};
    t.slot = slot;
  }
  const bool fits = stage <= kIrPlanes ? size >= 2 + kPlaneSize : size >= 2 + kSlotNameSize;
  uint8_t ack = static_cast<uint8_t>(stage);
  if (slot >= kUserSlotCount || slot != t.slot || stage != t.next_stage || stage > 4 || !fits) {
    ack = 0;  // out of turn: the stage is refused and the host does not move on
  } else if (stage <= kIrPlanes) {
    std::memcpy(t.data.planes.data() + (stage - 1) * kPlaneSize, p + 2, kPlaneSize);
    ++t.next_stage;
  } else {
    std::memcpy(t.data.name.data(), p + 2, kSlotNameSize);
    t.data.present = true;
    state_.ir[slot] = t.data;
    state_changed_ = true;
    t = Transfer{};
  }
  Answer(0xE1, 0xE1, &ack, 1);
}

void DeviceEmulator::OnAmpTransfer(const uint8_t* p, size_t size) {
  if (size < 2) return;
  const int slot = p[0];
  const int stage = p[1];
  Transfer& t = amp_transfer_;
  if (stage == 1) {
    t = Transfer{};
    t.slot = slot;
  }
  const bool fits = stage <= kAmpPlanes ? size >= 2 + kPlaneSize : size >= 2 + kSlotNameSize;
  uint8_t ack = static_cast<uint8_t>(stage);
  if (slot >= kUserSlotCount || slot != t.slot || stage != t.next_stage || stage > 5 || !fits) {
    ack = 0;
  } else if (stage <= kAmpPlanes) {
    std::memcpy(t.data.planes.data() + (stage - 1) * kPlaneSize, p + 2, kPlaneSize);
    ++t.next_stage;
  } else {
    std::memcpy(t.data.name.data(), p + 2, kSlotNameSize);
    t.data.present = true;
    state_.amp[slot] = t.data;
    state_changed_ = true;
    t = Transfer{};
  }
  Answer(0xE2, 0xE2, &ack, 1);
}

// Backup: section 1 the amplifier slots (four planes and the name: five chunks), section 2
// the impulse-response slots (three planes and the name: four chunks), section 3 the one
// system chunk. Slots count from 1 here. An empty slot answers chunk 255 with no data.
void DeviceEmulator::OnBackupRequest(const uint8_t* p, size_t size) {
  if (size < 3) return;
  const int section = p[0], slot = p[1], chunk = p[2];
  std::vector<uint8_t> reply{p[0], p[1], p[2]};
  if (section == 1 || section == 2) {
    const int planes = section == 1 ? kAmpPlanes : kIrPlanes;
    if (slot < 1 || slot > kUserSlotCount || chunk < 1 || chunk > planes + 1) return;
    const UserSlot& user = (section == 1 ? state_.amp : state_.ir)[slot - 1];
    if (!user.present) {
      reply[2] = 255;
    } else if (chunk <= planes) {
      const uint8_t* plane = user.planes.data() + (chunk - 1) * kPlaneSize;
      reply.insert(reply.end(), plane, plane + kPlaneSize);
    } else {
      reply.insert(reply.end(), user.name.begin(), user.name.end());
    }
  } else if (section == 3) {
    if (slot != 1 || chunk != 1) return;
    const auto chunk_data = EncodeSystemChunk(state_);
    reply.insert(reply.end(), chunk_data.begin(), chunk_data.end());
  } else {
    return;
  }
  if (++backup_answers_ == options_.faults.wrong_backup_chunk) {
    reply[2] = static_cast<uint8_t>(chunk + 1 == 255 ? 1 : chunk + 1);
  }
  Answer(0xAA, 0xAA, reply.data(), reply.size());
}

// Restore: record type 1 amplifier slots, 2 impulse-response slots, 3 system, 4 presets;
// the item number names the slot (1-10) or the preset (1-200). A chunk the device cannot
// place is refused with record type 0, which ends the host's restore.
void DeviceEmulator::OnRestoreChunk(const uint8_t* p, size_t size) {
  if (size < 3) return;
  const int type = p[0], item = p[1], chunk = p[2];
  const uint8_t* data = p + 3;
  const size_t data_size = size - 3;
  bool ok = false;
  if (type == 1 || type == 2) {
    const int planes = type == 1 ? kAmpPlanes : kIrPlanes;
    Transfer& t = restore_slot_;
    if (chunk == 1) {
      t = Transfer{};
      t.slot = item;
    }
    if (item >= 1 && item <= kUserSlotCount && t.slot == item && chunk == t.next_stage) {
      if (chunk <= planes && data_size == kPlaneSize) {
        std::memcpy(t.data.planes.data() + (chunk - 1) * kPlaneSize, data, kPlaneSize);
        ++t.next_stage;
        ok = true;
      } else if (chunk == planes + 1 && data_size >= 1) {
        std::memcpy(t.data.name.data(), data, std::min(data_size, kSlotNameSize));
        t.data.present = true;
        (type == 1 ? state_.amp : state_.ir)[item - 1] = t.data;
        t = Transfer{};
        state_changed_ = true;
        ok = true;
      }
    }
  } else if (type == 3) {
    if (chunk == 1) {
      DecodeSystemChunk(data, data_size, state_);
      state_changed_ = true;
      ok = true;
    }
  } else if (type == 4) {
    if (item >= 1 && item <= record::kPresetCount && chunk == 1 && data_size == record::kSize) {
      std::memcpy(state_.presets[item - 1].data(), data, record::kSize);
      if (item - 1 == state_.current) state_.working = state_.presets[item - 1];
      state_changed_ = true;
      ok = true;
    }
  }
  const uint8_t ack[3] = {static_cast<uint8_t>(ok ? type : 0), p[1], p[2]};
  Answer(0xAB, 0xAB, ack, 3);
}

// ---------------------------------------------------------------------------------------
// Control by the player

bool DeviceEmulator::TurnKnob(int module, int param, long value, std::string* error) {
  if (mode_ != Mode::kNormal) {
    *error = "the update loader has no knobs";
    return false;
  }
  if (module < 1 || module > 9) {
    *error = "module type must be 1 to 9";
    return false;
  }
  PresetRecord& rec = state_.working;
  uint8_t* slot = rec.data() + ModuleSlot(module);
  int byte_params = kByteParams[module];
  int word_params = module == 6 ? 3 : module == 7 ? 1 : 0;
  if (module == 8) byte_params = 0, word_params = 6;
  if (param < 1 || param > byte_params + word_params) {
    *error = "module " + std::to_string(module) + " has parameters 1 to " +
             std::to_string(byte_params + word_params);
    return false;
  }
  const bool wide =
      param > byte_params && (module != 8 || param == 3 || (param == 5 && slot[kSlotModel] == 9));
  const long high = wide ? 0xFFFF : 0xFF;
  if (value < 0 || value > high) {
    *error = "value must be 0 to " + std::to_string(high);
    return false;
  }
  if (param <= byte_params) {
    slot[kSlotParams + param - 1] = static_cast<uint8_t>(value);
  } else if (module == 6) {
    record::WriteWord(rec.data(), record::kEqWords + 2 * (param - 7), static_cast<uint16_t>(value));
  } else if (module == 7) {
    record::WriteWord(rec.data(), record::kModWord, static_cast<uint16_t>(value));
  } else {  // DELAY
    const uint8_t byte = static_cast<uint8_t>(value);
    switch (param) {
      case 1:
        rec[record::kDelayWord1] = byte;
        break;
      case 2:
        rec[record::kDelayWord2] = byte;
        break;
      case 3:
        record::WriteWord(rec.data(), record::kDelayTimeWord, static_cast<uint16_t>(value));
        break;
      case 4:
        rec[record::kDelayWord4] = byte;
        break;
      case 5:
        if (slot[kSlotModel] == 9) {
          record::WriteWord(rec.data(), record::kDelayTimeBWord, static_cast<uint16_t>(value));
        } else {
          rec[record::kDelayWord5] = byte;
        }
        break;
      default:
        rec[record::kDelayWord6] = byte;
        break;
    }
  }
  SendModule(module);
  return true;
}

bool DeviceEmulator::SwitchPreset(long index, std::string* error) {
  if (mode_ != Mode::kNormal) {
    *error = "the update loader has no presets";
    return false;
  }
  if (index < 0 || index >= record::kPresetCount) {
    *error = "preset must be 0 to 199";
    return false;
  }
  LoadWorking(static_cast<int>(index));
  const uint8_t number[1] = {static_cast<uint8_t>(index)};
  Emit(0xA6, number, 1);
  Emit(0x86, state_.working.data(), record::kSize);
  return true;
}

bool DeviceEmulator::SetSystemByte(long byte, long value, std::string* error) {
  if (mode_ != Mode::kNormal) {
    *error = "the update loader has no settings";
    return false;
  }
  if (byte < 0 || byte >= kSystemByteCount || value < 0 || value > 255) {
    *error = "system byte must be 0 to 9 and its value 0 to 255";
    return false;
  }
  state_.system[byte] = static_cast<uint8_t>(value);
  state_changed_ = true;
  Emit(0xA1, state_.system.data(), kSystemByteCount);
  return true;
}

bool DeviceEmulator::SendRaw(long command, const std::vector<long>& payload, std::string* error) {
  if (command < 0 || command > 255) {
    *error = "command must be 0 to 255";
    return false;
  }
  if (payload.size() > kMaxReceivedLength - 1) {
    *error = "at most " + std::to_string(kMaxReceivedLength - 1) + " payload bytes";
    return false;
  }
  std::vector<uint8_t> bytes;
  for (long value : payload) {
    if (value < 0 || value > 255) {
      *error = "payload bytes must be 0 to 255";
      return false;
    }
    bytes.push_back(static_cast<uint8_t>(value));
  }
  Emit(static_cast<uint8_t>(command), bytes.data(), bytes.size());
  return true;
}

void DeviceEmulator::Reboot(Mode mode) {
  // May run inside the parser's delivery: the parser itself is reset by the next Connect.
  mode_ = mode;
  outbox_.clear();
  loader_started_ = false;
  identified_ = false;
  apply_accepted_ = false;
  blocks_received_ = 0;
  firmware_.clear();
  disconnect_ = true;
  mode_changed_ = true;
}

// ---------------------------------------------------------------------------------------
// Update loader

void DeviceEmulator::SendIdentityReply() {
  std::vector<uint8_t> reply;
  PutText(reply, options_.model + "_V" + version_, 32);  // packet bytes 5-36
  PutWord(reply, options_.release);                      // 37-38
  PutText(reply, "BL1.0", 5);                            // 39-43: loader version
  PutText(reply, version_, 7);                           // 44-50
  PutText(reply, "", 9);                                 // 51-59
  Answer(0x00, 0x01, reply.data(), reply.size());
}

void DeviceEmulator::HandleUpdate(uint8_t command, const uint8_t* p, size_t size) {
  if (size == 2 + 512) {           // a data block: block number, then 512 bytes
    if (!apply_accepted_) return;  // nothing was applied for: the block is not taken
    if (firmware_.size() + 512 <= kMaxFirmware) firmware_.insert(firmware_.end(), p + 2, p + 514);
    ++blocks_received_;
    const uint8_t reply =
        static_cast<uint8_t>(options_.block_reply >= 0 ? options_.block_reply : command + 1);
    Answer(command, reply, p, 2);
    return;
  }
  if (size == 4) {  // the apply request with its four-byte parameter
    apply_accepted_ = !options_.faults.refuse_update;
    firmware_.clear();
    blocks_received_ = 0;
    const uint8_t reply =
        static_cast<uint8_t>(options_.apply_reply >= 0 ? options_.apply_reply : command + 1);
    const uint8_t answer[1] = {static_cast<uint8_t>(apply_accepted_ ? 1 : 0)};
    Answer(command, reply, answer, 1);
    return;
  }
  switch (command) {
    case 0xAA:
      loader_started_ = true;
      return;
    case 0x00:
      identified_ = true;
      SendIdentityReply();
      return;
    case 0xFF: {
      if (!apply_accepted_ || blocks_received_ == 0) return;  // nothing new to start
      // The new firmware names itself: the model text, "_V" and the version.
      const std::string tag = options_.model + "_V";
      const auto found = std::search(firmware_.begin(), firmware_.end(), tag.begin(), tag.end());
      if (found != firmware_.end()) {
        std::string version;
        for (auto it = found + static_cast<long>(tag.size());
             it != firmware_.end() && version.size() < 5 && *it >= 0x21 && *it <= 0x7E; ++it) {
          version.push_back(static_cast<char>(*it));
        }
        if (!version.empty()) version_ = version;
      }
      Reboot(Mode::kNormal);
      return;
    }
    default:
      return;
  }
}

bool ApplyDeviceControl(DeviceEmulator& device, const std::string& line, std::string* error) {
  std::istringstream in(line);
  std::string word;
  in >> word;
  std::vector<std::string> args;
  for (std::string arg; in >> arg;) args.push_back(arg);
  std::vector<long> numbers(args.size());
  for (size_t i = 0; i < args.size(); ++i) {
    if (!ParseNumber(args[i], -1000000, 1000000, &numbers[i])) {
      *error = "'" + args[i] + "' is not a number";
      return false;
    }
  }
  auto need = [&](size_t n, const char* usage) {
    if (args.size() == n) return true;
    *error = std::string("usage: ") + usage;
    return false;
  };
  if (word == "knob") {
    return need(3, "knob M P V") &&
           device.TurnKnob(static_cast<int>(numbers[0]), static_cast<int>(numbers[1]), numbers[2],
                           error);
  }
  if (word == "preset") return need(1, "preset N") && device.SwitchPreset(numbers[0], error);
  if (word == "system") {
    return need(2, "system B V") && device.SetSystemByte(numbers[0], numbers[1], error);
  }
  if (word == "send") {
    if (numbers.empty()) {
      *error = "usage: send CMD [BYTE...]";
      return false;
    }
    return device.SendRaw(numbers[0], std::vector<long>(numbers.begin() + 1, numbers.end()), error);
  }
  *error =
      "unknown command '" + word + "' (knob, preset, system, send, unplug, plug, reboot, quit)";
  return false;
}

}  // namespace rq700::emu
