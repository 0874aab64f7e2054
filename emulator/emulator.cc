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

constexpr size_t kMaxQueuedReports = 16384;

size_t ReportsFor(size_t bytes) {
  constexpr size_t kMost = kReportPayload;
  return (bytes + kMost - 1) / kMost;
}

// Payload sizes of the host's commands, as the editor and launcher build them; a packet of
// another size is refused. The MOD packet is two bytes longer for model 10, the IR and
// AMP transfers and the restore chunk depend on their stage or item: those are checked
// where they are handled.
struct Exact {
  uint8_t command;
  size_t payload;
};
constexpr Exact kExactSizes[] = {
    {0x84, 2},  {0xE0, 0},  {0x82, 4},  {0xA0, 18}, {0xA1, 10},  {0xA2, 1},
    {0xA3, 7},  {0xA4, 12}, {0xA6, 1},  {0xA8, 16}, {0x83, 512}, {0xE5, 513},
    {0x87, 1},  {0x89, 1},  {0xE4, 1},  {0xAA, 3},  {0x90, 12},  {0x91, 10},
    {0x93, 16}, {0x94, 12}, {0x95, 10}, {0x96, 22}, {0x98, 16},  {0x99, 12},
};

}  // namespace

DeviceEmulator::DeviceEmulator(const Options& options)
    : options_(options), mode_(options.mode), version_(options.version) {
  FactoryReset(state_);
  tx_.resize(kTxPacketCapacity);
  seed_ = options.has_seed ? options.seed : std::random_device{}() & 0x7FFFFFFF;
  random_.seed(seed_);
}

void DeviceEmulator::Connect() {
  ring_ = RxRing{};
  parser_ = PacketParser{};
  outbox_.clear();
  outbox_packets_.clear();
  queued_reports_ = 0;
  disconnect_ = false;
  next_chatter_ms_ = 0;
  ir_transfer_ = Transfer{};
  amp_transfer_ = Transfer{};
  restore_slot_ = Transfer{};
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
      if (mode_ == Mode::kUpdate) OnLoaderRaw(payload, count);
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
  constexpr size_t kMost = kReportPayload;
  size_t count = std::min(kMost, outbox_packets_.front());
  if (options_.pack) {
    // Cut anywhere: a report may end inside a packet or hold the ends of several.
    count = std::min(outbox_.size(), std::uniform_int_distribution<size_t>(1, kMost)(random_));
  }
  std::memset(report, 0, kReportSize);
  report[1] = static_cast<uint8_t>(count);
  std::copy(outbox_.begin(), outbox_.begin() + static_cast<long>(count), report + 2);
  outbox_.erase(outbox_.begin(), outbox_.begin() + static_cast<long>(count));
  for (size_t left = count; left > 0;) {
    size_t& front = outbox_packets_.front();
    const size_t taken = std::min(left, front);
    queued_reports_ -= ReportsFor(front) - ReportsFor(front - taken);
    front -= taken;
    left -= taken;
    if (front == 0) outbox_packets_.pop_front();
  }
  return true;
}

void DeviceEmulator::Refuse(const std::string& reason) {
  ++refusals_;
  log_.Refused(reason);
}

bool DeviceEmulator::ExactSize(uint8_t command, size_t size, size_t wanted) {
  if (size == wanted) return true;
  char code[8];
  std::snprintf(code, sizeof(code), "%02X", command);
  Refuse(std::string(code) + ": payload of " + std::to_string(size) + " bytes, wants " +
         std::to_string(wanted));
  return false;
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
  if (PacketLength(packet) == 0) {
    Refuse("a packet without a command byte");
    return;
  }
  const uint8_t command = packet[kPacketCommandOffset];
  if (IsSilent(command)) return;
  const size_t payload_size = PacketLength(packet) - 1u;
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
  const size_t reports = ReportsFor(total);
  if (queued_reports_ + reports > kMaxQueuedReports) return;
  ++device_packets_;
  if (options_.faults.corrupt_crc == device_packets_) tx_[total - 1] ^= 0x5A;
  log_.Device(tx_.data(), total);
  outbox_.insert(outbox_.end(), tx_.begin(), tx_.begin() + static_cast<long>(total));
  outbox_packets_.push_back(total);
  queued_reports_ += reports;
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
  for (const Exact& exact : kExactSizes) {
    if (exact.command == command && !ExactSize(command, size, exact.payload)) return;
  }
  if (command == 0x97 && size >= 4 && !ExactSize(command, size, GetWord(p + 2) == 10 ? 14 : 12)) {
    return;  // MOD: the wide value follows for model 10 only
  }
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
      if (p[0] >= 1 && p[0] <= 9) state_.selected_module = p[0];
      state_.page = p[1];
      return;
    case 0xA0:
      OnChain(p, size);
      return;
    case 0xA1:
      std::memcpy(state_.system.data(), p, kSystemByteCount);
      state_changed_ = true;
      return;
    case 0xA2:
      rec[record::kVolume] = std::min<uint8_t>(p[0], 100);
      return;
    case 0xA3:
      if (p[1] > 8 || p[3] > 8) {
        Refuse("A3: no module " + std::to_string(std::max(p[1], p[3]) + 1));
        return;
      }
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
      const int tempo = GetWord(p) * 2;  // the host sends it halved
      state_.tempo = static_cast<uint16_t>(std::clamp(tempo, 40, 260));
      std::memcpy(rec.data() + record::kModuleSwitch, p + 2, 9);
      state_changed_ = true;
      return;
    }
    case 0xA6:
      if (p[0] >= record::kPresetCount) {
        Refuse("A6: no preset " + std::to_string(p[0]));
        return;
      }
      LoadWorking(p[0]);
      if (options_.record_echo) Answer(command, 0x86, state_.working.data(), record::kSize);
      return;
    case 0xA8: {
      if (p[0] >= record::kPresetCount) {
        Refuse("A8: no preset " + std::to_string(p[0]));
        return;
      }
      const int index = p[0];
      // The name takes record bytes 12-26; byte 27 stays what the preset holds.
      PresetRecord saved = state_.working;
      std::memcpy(saved.data() + record::kName, p + 1, 15);
      state_.presets[index] = saved;
      state_.working = saved;
      state_.current = index;
      state_changed_ = true;
      return;
    }
    case 0x83:  // the editor's import into the preset being edited: not stored yet
      std::memcpy(rec.data(), p, record::kSize);
      return;
    case 0xE5: {
      if (p[0] >= record::kPresetCount) {
        Refuse("E5: no preset " + std::to_string(p[0]));
        return;
      }
      const int index = p[0];
      std::memcpy(state_.presets[index].data(), p + 1, record::kSize);
      if (index == state_.current) state_.working = state_.presets[index];
      state_changed_ = true;
      const uint8_t ack[1] = {static_cast<uint8_t>(index)};
      Answer(command, 0xE5, ack, 1);
      return;
    }
    case 0x87:
      state_.exp_tab = p[0];
      return;
    case 0x89:
      state_.second_confirmation = p[0];
      return;
    case 0xE1:
    case 0xE2:
      OnSlotTransfer(command, p, size);
      return;
    case 0xE4:
      if (p[0] >= kUserSlotCount) {
        Refuse("E4: no IR slot " + std::to_string(p[0]));
        return;
      }
      state_.ir[p[0]] = UserSlot{};
      state_changed_ = true;
      return;
    case 0xAA:
      OnBackupRequest(p, size);
      return;
    case 0xAB:
      OnRestoreChunk(p, size);
      return;
    default: {
      char code[8];
      std::snprintf(code, sizeof(code), "%02X", command);
      Refuse(std::string(code) + ": not a command of this device");
      return;
    }
  }
}

void DeviceEmulator::SendDump() {
  struct Item {
    uint8_t command;
    std::vector<uint8_t> payload;
  };
  std::vector<Item> settings;  // may come anywhere, after record 199 too
  std::vector<uint8_t> payload;
  PutText(payload, version_, 5);
  settings.push_back({0x81, payload});
  for (const auto* slots : {&state_.ir, &state_.amp}) {
    payload.clear();
    for (const UserSlot& slot : *slots) {
      const auto name = SlotListName(slot);
      payload.insert(payload.end(), name.begin(), name.end());
    }
    settings.push_back({static_cast<uint8_t>(slots == &state_.ir ? 0x85 : 0xE3), payload});
  }
  settings.push_back({0xA1, {state_.system.begin(), state_.system.end()}});
  payload.clear();
  PutWord(payload, state_.tempo);
  payload.insert(payload.end(), state_.working.begin() + record::kModuleSwitch,
                 state_.working.begin() + record::kModuleSwitch + 9);
  settings.push_back({0xA4, payload});
  settings.push_back({0xBB, {state_.exp_merge.begin(), state_.exp_merge.end()}});
  settings.push_back({0x89, {state_.second_confirmation}});
  const PresetRecord& rec = state_.working;
  const std::vector<uint8_t> exp = {rec[record::kExpSwitch], rec[record::kExp1Module],
                                    rec[record::kExp1Param], rec[record::kExp2Module],
                                    rec[record::kExp2Param], state_.exp_low,
                                    state_.exp_high};

  // The current preset by number, then its working record (which may hold unsaved edits):
  // the record names no index, so it never comes before the number.
  std::vector<Item> before;
  before.push_back({0xA6, {static_cast<uint8_t>(state_.current)}});
  if (options_.record_echo) before.push_back({0x86, {rec.begin(), rec.end()}});
  std::vector<uint8_t> item(1 + record::kSize);
  auto record_item = [&](int index) {
    item[0] = static_cast<uint8_t>(index);
    std::memcpy(item.data() + 1, state_.presets[index].data(), record::kSize);
    return Item{0xA5, item};
  };

  std::vector<Item> order;
  if (options_.dump_order == DumpOrder::kFixed) {
    order = settings;
    order.insert(order.end(), before.begin(), before.end());
    order.push_back({0xA3, exp});
    for (int i = 0; i < record::kPresetCount; ++i) order.push_back(record_item(i));
  } else {
    // Records 0-198, the current preset and its record in any order (the record after the
    // number); each setting packet before or after record 199, in any order.
    settings.push_back({0xA3, exp});
    std::vector<Item> after;
    for (Item& setting : settings) {
      (random_() % 2 == 0 ? before : after).push_back(std::move(setting));
    }
    for (int i = 0; i + 1 < record::kPresetCount; ++i) before.push_back(record_item(i));
    std::shuffle(before.begin(), before.end(), random_);
    auto number =
        std::find_if(before.begin(), before.end(), [](const Item& i) { return i.command == 0xA6; });
    auto echo =
        std::find_if(before.begin(), before.end(), [](const Item& i) { return i.command == 0x86; });
    if (echo != before.end() && echo < number) std::iter_swap(echo, number);
    std::shuffle(after.begin(), after.end(), random_);
    order = std::move(before);
    order.push_back(record_item(record::kPresetCount - 1));
    order.insert(order.end(), after.begin(), after.end());
  }
  for (const Item& i : order) Answer(0xE0, i.command, i.payload.data(), i.payload.size());
}

void DeviceEmulator::SendRecordEcho() {
  if (options_.record_echo) Emit(0x86, state_.working.data(), record::kSize);
}

void DeviceEmulator::Tick(uint64_t now_ms) {
  if (options_.chatter_ms <= 0 || mode_ != Mode::kNormal) return;
  const auto interval = static_cast<uint64_t>(options_.chatter_ms);
  if (next_chatter_ms_ != 0 && now_ms >= next_chatter_ms_) Chatter();
  if (next_chatter_ms_ == 0 || now_ms >= next_chatter_ms_) {
    // Between half and one and a half intervals from now.
    next_chatter_ms_ = now_ms + interval / 2 + random_() % (interval + 1);
  }
}

// What a player does on the device while the host watches: turns a knob, steps through
// the pages, picks a preset.
void DeviceEmulator::Chatter() {
  std::string error;
  const uint64_t what = random_() % 10;
  if (what < 6) {
    const int module = 1 + static_cast<int>(random_() % 9);
    int param = 1 + static_cast<int>(random_() % (module == 8 ? 2 : kByteParams[module]));
    TurnKnob(module, param, static_cast<long>(random_() % 100), &error);
  } else if (what < 8) {
    state_.selected_module = static_cast<uint8_t>(1 + random_() % 9);
    const uint8_t page[3] = {state_.selected_module, static_cast<uint8_t>(random_() % 4), 0};
    Emit(0x82, page, sizeof(page));
  } else {
    SwitchPreset(static_cast<long>(random_() % record::kPresetCount), &error);
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

// User slot transfers, IR (0xE1) and AMP (0xE2): the plane stages carry slot, stage and a
// 512-byte plane (three for IR, four for AMP), the last stage slot, stage and the 15-byte
// name. A stage of another size, out of turn or for no slot is refused with
// acknowledgement 0, and the slot keeps its old content until the name completes it.
void DeviceEmulator::OnSlotTransfer(uint8_t command, const uint8_t* p, size_t size) {
  const bool ir = command == 0xE1;
  const int planes = ir ? kIrPlanes : kAmpPlanes;
  Transfer& t = ir ? ir_transfer_ : amp_transfer_;
  const int slot = size >= 1 ? p[0] : -1;
  const int stage = size >= 2 ? p[1] : 0;
  const std::string code = ir ? "E1" : "E2";
  bool fits = false;
  if (stage < 1 || stage > planes + 1) {
    Refuse(code + ": no stage " + std::to_string(stage));
  } else {
    fits = ExactSize(command, size, 2 + (stage <= planes ? kPlaneSize : kSlotNameSize));
  }
  if (fits && stage == 1) {
    t = Transfer{};
    t.slot = slot;
  }
  uint8_t ack = static_cast<uint8_t>(stage);
  if (!fits || slot >= kUserSlotCount || slot != t.slot || stage != t.next_stage) {
    if (fits) {
      Refuse(code + ": stage " + std::to_string(stage) + " for slot " + std::to_string(slot) +
             " out of turn");
    }
    ack = 0;  // the host does not move on
  } else if (stage <= planes) {
    std::memcpy(t.data.planes.data() + (stage - 1) * kPlaneSize, p + 2, kPlaneSize);
    ++t.next_stage;
  } else {
    std::memcpy(t.data.name.data(), p + 2, kSlotNameSize);
    t.data.present = true;
    (ir ? state_.ir : state_.amp)[slot] = t.data;
    state_changed_ = true;
    t = Transfer{};
  }
  Answer(command, command, &ack, 1);
}

// Backup: section 1 the amplifier slots (four planes and the name: five chunks), section 2
// the impulse-response slots (three planes and the name: four chunks), section 3 the one
// system chunk. Slots count from 1 here. An empty slot answers chunk 255 with no data.
void DeviceEmulator::OnBackupRequest(const uint8_t* p, size_t) {
  const int section = p[0], slot = p[1], chunk = p[2];
  std::vector<uint8_t> reply{p[0], p[1], p[2]};
  if (section == 1 || section == 2) {
    const int planes = section == 1 ? kAmpPlanes : kIrPlanes;
    if (slot < 1 || slot > kUserSlotCount || chunk < 1 || chunk > planes + 1) {
      Refuse("AA: section " + std::to_string(section) + " has no slot " + std::to_string(slot) +
             " chunk " + std::to_string(chunk));
      return;
    }
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
    if (slot != 1 || chunk != 1) {
      Refuse("AA: the system section has slot 1 chunk 1 only");
      return;
    }
    const auto chunk_data = EncodeSystemChunk(state_);
    reply.insert(reply.end(), chunk_data.begin(), chunk_data.end());
  } else {
    Refuse("AA: no section " + std::to_string(section));
    return;
  }
  if (++backup_answers_ == options_.faults.wrong_backup_chunk) {
    reply[2] = static_cast<uint8_t>(chunk + 1 == 255 ? 1 : chunk + 1);
  }
  Answer(0xAA, 0xAA, reply.data(), reply.size());
}

// Restore: record type 1 amplifier slots, 2 impulse-response slots, 3 system, 4 presets;
// the item number names the slot (1-10) or the preset (1-200). Every chunk has the size
// the device's own backup gave it: 512 bytes of a plane, the 15-byte name, the 64-byte
// system chunk, the 512-byte preset. A chunk the device cannot place, or of another size,
// is refused with record type 0, which ends the host's restore.
void DeviceEmulator::OnRestoreChunk(const uint8_t* p, size_t size) {
  if (size < 3) {
    Refuse("AB: payload of " + std::to_string(size) + " bytes, wants at least 3");
    const uint8_t ack[3] = {0, size > 1 ? p[1] : uint8_t{0}, 0};
    Answer(0xAB, 0xAB, ack, 3);
    return;
  }
  const int type = p[0], item = p[1], chunk = p[2];
  const uint8_t* data = p + 3;
  const size_t data_size = size - 3;
  std::string why;
  auto wants = [&](size_t wanted) {
    if (data_size == wanted) return true;
    why = "chunk of " + std::to_string(data_size) + " bytes, wants " + std::to_string(wanted);
    return false;
  };
  bool ok = false;
  if (type == 1 || type == 2) {
    const int planes = type == 1 ? kAmpPlanes : kIrPlanes;
    Transfer& t = restore_slot_;
    if (chunk == 1) {
      t = Transfer{};
      t.slot = item;
    }
    if (item < 1 || item > kUserSlotCount || t.slot != item || chunk != t.next_stage) {
      why = "slot " + std::to_string(item) + " chunk " + std::to_string(chunk) + " out of turn";
    } else if (chunk <= planes) {
      if (wants(kPlaneSize)) {
        std::memcpy(t.data.planes.data() + (chunk - 1) * kPlaneSize, data, kPlaneSize);
        ++t.next_stage;
        ok = true;
      }
    } else if (chunk == planes + 1 && wants(kSlotNameSize)) {
      std::memcpy(t.data.name.data(), data, kSlotNameSize);
      t.data.present = true;
      (type == 1 ? state_.amp : state_.ir)[item - 1] = t.data;
      t = Transfer{};
      state_changed_ = true;
      ok = true;
    }
    if (!ok) t = Transfer{};  // the slot must start again from chunk 1
  } else if (type == 3) {
    if (item != 1 || chunk != 1) {
      why = "the system record has item 1 chunk 1 only";
    } else if (wants(kSystemChunkSize)) {
      DecodeSystemChunk(data, data_size, state_);
      state_changed_ = true;
      ok = true;
    }
  } else if (type == 4) {
    if (item < 1 || item > record::kPresetCount || chunk != 1) {
      why = "no preset " + std::to_string(item) + " chunk " + std::to_string(chunk);
    } else if (wants(record::kSize)) {
      std::memcpy(state_.presets[item - 1].data(), data, record::kSize);
      if (item - 1 == state_.current) state_.working = state_.presets[item - 1];
      state_changed_ = true;
      ok = true;
    }
  } else {
    why = "no record type " + std::to_string(type);
  }
  if (!ok)
    Refuse("AB: type " + std::to_string(type) + " item " + std::to_string(item) + ": " + why);
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
  SendRecordEcho();
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
