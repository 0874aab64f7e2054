#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <set>
#include <string>

#include "emulator/emulator.h"
#include "host_harness.h"
#include "protocol/preset_record.h"

namespace rq700::emu {
namespace {

using testing::Bytes;
using testing::Host;
using testing::Packet;

std::string Text(const Bytes& bytes, size_t from, size_t size) {
  std::string text(bytes.begin() + from, bytes.begin() + from + size);
  return text.substr(0, text.find('\0'));
}

const Packet* Find(const std::vector<Packet>& packets, uint8_t command) {
  for (const Packet& p : packets) {
    if (p.command == command) return &p;
  }
  return nullptr;
}

class NormalModeTest : public ::testing::Test {
 protected:
  Options options_;
  DeviceEmulator device_{options_};
  Host host_{device_};
  PresetRecord& working() { return device_.state().working; }
};

// ---- the dump -----------------------------------------------------------------------

TEST_F(NormalModeTest, StartUpReportIsIgnoredAndDumpEndsWithPreset199) {
  Bytes startup(65, 0);
  for (int i = 0; i < 5; ++i) startup[i] = static_cast<uint8_t>(i);
  host_.SendReportBytes(startup.data(), startup.size());
  EXPECT_TRUE(host_.Receive().empty());

  const std::vector<Packet> dump = host_.Ask(0xE0);
  ASSERT_FALSE(dump.empty());
  EXPECT_EQ(dump.back().command, 0xA5);
  EXPECT_EQ(dump.back().payload[0], 199);

  std::vector<int> indices;
  for (const Packet& p : dump) {
    if (p.command != 0xA5) continue;
    ASSERT_EQ(p.payload.size(), 513u);
    indices.push_back(p.payload[0]);
    EXPECT_TRUE(std::equal(p.payload.begin() + 1, p.payload.end(),
                           device_.state().presets[p.payload[0]].begin()));
  }
  ASSERT_EQ(indices.size(), 200u);
  for (int i = 0; i < 200; ++i) EXPECT_EQ(indices[i], i);

  const Packet* version = Find(dump, 0x81);
  ASSERT_NE(version, nullptr);
  EXPECT_EQ(version->payload, Bytes({'2', '.', '0', '.', '0'}));
  ASSERT_NE(Find(dump, 0x85), nullptr);
  EXPECT_EQ(Find(dump, 0x85)->payload.size(), 150u);
  ASSERT_NE(Find(dump, 0xE3), nullptr);
  EXPECT_EQ(Find(dump, 0xE3)->payload.size(), 150u);
  ASSERT_NE(Find(dump, 0xA1), nullptr);
  EXPECT_EQ(Find(dump, 0xA1)->payload.size(), 10u);
  ASSERT_NE(Find(dump, 0xBB), nullptr);
  EXPECT_EQ(Find(dump, 0xBB)->payload.size(), 2u);
  const Packet* tempo = Find(dump, 0xA4);
  ASSERT_NE(tempo, nullptr);
  ASSERT_EQ(tempo->payload.size(), 11u);
  EXPECT_EQ((tempo->payload[0] << 8) | tempo->payload[1], 120) << "reported unhalved";
  const Packet* current = Find(dump, 0xA6);
  ASSERT_NE(current, nullptr);
  EXPECT_EQ(current->payload, Bytes({0}));
  // The working record follows the current preset number, so the host's edit model is
  // right even though its store fills only later.
  const Packet* record = Find(dump, 0x86);
  ASSERT_NE(record, nullptr);
  EXPECT_TRUE(record < &dump.back() && record > current);
  EXPECT_TRUE(std::equal(record->payload.begin(), record->payload.end(), working().begin()));
}

TEST_F(NormalModeTest, SlotNameListsShowFilledSlotsAndEmptyOnes) {
  const std::vector<Packet> dump = host_.Ask(0xE0);
  const Bytes& ir = Find(dump, 0x85)->payload;
  const Bytes& amp = Find(dump, 0xE3)->payload;
  int filled_ir = 0, filled_amp = 0;
  for (int i = 0; i < 10; ++i) {
    const std::string ir_name = Text(ir, 15 * i, 15);
    const std::string amp_name = Text(amp, 15 * i, 15);
    EXPECT_FALSE(ir_name.empty());
    EXPECT_FALSE(amp_name.empty());
    filled_ir += ir_name != "EMPTY";
    filled_amp += amp_name != "EMPTY";
  }
  EXPECT_GT(filled_ir, 0);
  EXPECT_LT(filled_ir, 10);
  EXPECT_GT(filled_amp, 0);
}

TEST(FactoryPresets, AreDistinctAndWithinTheDeviceRanges) {
  DeviceState state;
  FactoryReset(state);
  const int model_counts[10] = {0, 8, 20, 55, 26, 3, 4, 20, 9, 7};  // built-in models
  std::set<std::string> names;
  const std::regex name_rule("^[A-Z0-9 ]+$");
  for (int i = 0; i < record::kPresetCount; ++i) {
    const PresetRecord& rec = state.presets[i];
    const std::string name = PresetName(rec);
    EXPECT_TRUE(std::regex_match(name, name_rule)) << i << " '" << name << "'";
    EXPECT_LE(name.size(), 15u);
    names.insert(name);
    std::set<int> chain(rec.begin(), rec.begin() + 9);
    EXPECT_EQ(chain, std::set<int>({1, 2, 3, 4, 5, 6, 7, 8, 9})) << i;
    EXPECT_LE(rec[record::kVolume], 100);
    for (int module = 1; module <= 9; ++module) {
      const size_t slot = record::ModuleSlot(module);
      EXPECT_GE(rec[slot], 1) << i << " module " << module;
      EXPECT_LE(rec[slot], model_counts[module]) << i << " module " << module;
      EXPECT_LE(rec[slot + 1], 1);
    }
    for (int position = 0; position < 9; ++position) {
      const size_t slot = record::ModuleSlot(rec[position]);
      EXPECT_EQ(rec[record::kChainOff + position], rec[slot + 1] ? 0 : 1) << i;
    }
    for (int band = 0; band < 6; ++band) EXPECT_LE(rec[record::ModuleSlot(6) + 2 + band], 24);
    for (int word = 0; word < 3; ++word) {
      const uint16_t hz = record::ReadWord(rec.data(), record::kEqWords + 2 * word);
      EXPECT_GE(hz, 60);
      EXPECT_LE(hz, 18000);
    }
    const uint16_t time = record::ReadWord(rec.data(), record::kDelayTimeWord);
    EXPECT_GE(time, 40);
    EXPECT_LE(time, 2500);
    EXPECT_LE(rec[record::kExp1Module], 8);
    EXPECT_LE(rec[record::kExp2Module], 8);
  }
  EXPECT_EQ(names.size(), 200u);
  EXPECT_EQ(state.working, state.presets[state.current]);
  EXPECT_NE(state.system[7], 2) << "system byte 7 = 2 would close the editor";
}

// ---- the launcher's question ----------------------------------------------------------

TEST(Identity, AnswersVersionAndModelAtTheBytesTheLauncherReads) {
  Options options;
  options.version = "1.9.9";
  DeviceEmulator device(options);
  device.Connect();
  const uint8_t query[] = {0xAA, 0x55, 0x03, 0x00, 0x84, 0x00, 0x00, 0xF6, 0xB7};
  uint8_t report[65] = {0, sizeof(query)};
  std::memcpy(report + 2, query, sizeof(query));
  device.OnHostReport(report);
  uint8_t reply[65];
  ASSERT_TRUE(device.PopReport(reply));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(reply + 8), 5), "1.9.9");
  EXPECT_EQ(std::string(reinterpret_cast<char*>(reply + 13), 11), "ZORVA_RQ700");
  EXPECT_EQ(reply[2], 0xAA);
  EXPECT_EQ(reply[6], 0x84);
  EXPECT_FALSE(device.PopReport(reply)) << "the reply fits in one report";

  Options other;
  other.model = "ZORVA_RQ600";
  DeviceEmulator impostor(other);
  impostor.Connect();
  impostor.OnHostReport(report);
  ASSERT_TRUE(impostor.PopReport(reply));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(reply + 13), 11), "ZORVA_RQ600");
}

// ---- edits from the editor ------------------------------------------------------------

TEST_F(NormalModeTest, ModuleEditsLandInTheWorkingPreset) {
  const size_t amp = record::ModuleSlot(3);
  EXPECT_TRUE(host_.Ask(0x93, {0, 1, 0, 5, 0, 10, 0, 20, 0, 30, 0, 40, 0, 50, 0, 60}).empty());
  EXPECT_EQ(working()[amp], 5);
  EXPECT_EQ(working()[amp + 1], 1);
  EXPECT_EQ(Bytes(working().begin() + amp + 2, working().begin() + amp + 8),
            Bytes({10, 20, 30, 40, 50, 60}));

  // Model 0 is taken as 1; a disabled module turns its chain position off.
  host_.Send(0x93, {0, 0, 0, 0, 0, 10, 0, 20, 0, 30, 0, 40, 0, 50, 0, 60});
  EXPECT_EQ(working()[amp], 1);
  const int position =
      static_cast<int>(std::find(working().begin(), working().begin() + 9, 3) - working().begin());
  EXPECT_EQ(working()[record::kChainOff + position], 1);

  // EQ words, MOD model 10 word.
  host_.Send(0x96,
             {0, 1, 0, 4, 0, 1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6, 0x00, 0x64, 0x03, 0x20, 0x46, 0x50});
  EXPECT_EQ(working()[record::ModuleSlot(6)], 4);
  EXPECT_EQ(record::ReadWord(working().data(), record::kEqWords + 2), 800);
  EXPECT_EQ(record::ReadWord(working().data(), record::kEqWords + 4), 18000);
  host_.Send(0x97, {0, 1, 0, 10, 0, 7, 0, 8, 0, 9, 0, 11, 0x01, 0x90});
  EXPECT_EQ(record::ReadWord(working().data(), record::kModWord), 400);
  EXPECT_EQ(working()[record::ModuleSlot(7) + 5], 11);

  // DELAY: model 9 keeps TIME B apart from THRE.
  working()[record::kDelayWord5] = 33;
  host_.Send(0x98, {0, 1, 0, 9, 0, 50, 0, 40, 0x01, 0xF4, 0, 3, 0x03, 0xE8, 0, 4});
  EXPECT_EQ(record::ReadWord(working().data(), record::kDelayTimeWord), 500);
  EXPECT_EQ(record::ReadWord(working().data(), record::kDelayTimeBWord), 1000);
  EXPECT_EQ(working()[record::kDelayWord5], 33);
  EXPECT_EQ(working()[record::kDelayWord6], 4);
  host_.Send(0x98, {0, 1, 0, 3, 0, 50, 0, 40, 0x01, 0xF4, 0, 3, 0, 77, 0, 2});
  EXPECT_EQ(working()[record::kDelayWord5], 77);
  EXPECT_EQ(record::ReadWord(working().data(), record::kDelayTimeBWord), 1000);
}

TEST_F(NormalModeTest, ShortOrMalformedEditsChangeNothing) {
  const PresetRecord before = working();
  host_.Send(0x93, {0, 1, 0, 5, 0, 10});                                 // three values of six
  Bytes chain = {1, 2, 3, 4, 5, 6, 7, 8, 8, 0, 0, 0, 0, 0, 0, 0, 0, 0};  // 9 missing
  host_.Send(0xA0, chain);
  host_.Send(0xA6, {200});
  host_.Send(0xA3, {1, 9, 0, 0, 0, 0, 100});  // module 10 does not exist
  EXPECT_EQ(working(), before);
  EXPECT_TRUE(host_.Receive().empty());
}

TEST_F(NormalModeTest, ChainVolumeSystemExpAndTempoEdits) {
  Bytes chain = {1, 3, 2, 4, 5, 6, 7, 8, 9, 0, 0, 1, 0, 0, 0, 0, 0, 0};
  host_.Send(0xA0, chain);
  EXPECT_EQ(Bytes(working().begin(), working().begin() + 9), Bytes({1, 3, 2, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(working()[record::kChainOff + 2], 1);
  EXPECT_EQ(working()[record::ModuleSlot(2) + 1], 0) << "DS/OD sits at position 2, now off";

  host_.Send(0xA2, {42});
  EXPECT_EQ(working()[record::kVolume], 42);
  host_.Send(0xA1, {1, 2, 3, 4, 5, 6, 7, 0, 9, 10});
  EXPECT_EQ(device_.state().system[9], 10);
  host_.Send(0xA3, {1, 5, 3, 7, 1, 10, 90});
  EXPECT_EQ(working()[record::kExpSwitch], 1);
  EXPECT_EQ(working()[record::kExp1Module], 5);
  EXPECT_EQ(working()[record::kExp1Param], 3);
  EXPECT_EQ(working()[record::kExp2Module], 7);
  EXPECT_EQ(device_.state().exp_high, 90);
  host_.Send(0xA4, {0x00, 0x3C, 1, 0, 1, 0, 1, 0, 1, 0, 1, 2});
  EXPECT_EQ(device_.state().tempo, 120) << "the host sends the tempo halved";
  EXPECT_EQ(working()[record::kModuleSwitch + 8], 1);
  host_.Send(0x89, {1});
  EXPECT_EQ(device_.state().second_confirmation, 1);
  host_.Send(0x82, {3, 0, 0, 0});
  EXPECT_EQ(device_.state().selected_module, 3);
  // The dump reports the edits back.
  const std::vector<Packet> dump = host_.Ask(0xE0);
  EXPECT_EQ(Find(dump, 0xA1)->payload, Bytes({1, 2, 3, 4, 5, 6, 7, 0, 9, 10}));
  EXPECT_EQ(Find(dump, 0xA3)->payload, Bytes({1, 5, 3, 7, 1, 10, 90}));
}

TEST_F(NormalModeTest, SelectSaveAndWritePresets) {
  std::vector<Packet> reply = host_.Ask(0xA6, {17});
  ASSERT_EQ(reply.size(), 1u);
  EXPECT_EQ(reply[0].command, 0x86);
  EXPECT_EQ(device_.state().current, 17);
  EXPECT_TRUE(std::equal(reply[0].payload.begin(), reply[0].payload.end(),
                         device_.state().presets[17].begin()));

  // Edit, then save under slot 3 with a new name; the stored preset of slot 17 is untouched.
  const PresetRecord stored17 = device_.state().presets[17];
  host_.Send(0xA2, {11});
  working()[record::kName + 15] = 0x5A;  // byte 27: the name takes bytes 12-26 only
  Bytes save = {3};
  const std::string name = "MY NEW TONE";
  save.insert(save.end(), name.begin(), name.end());
  save.resize(16, 0);
  host_.Send(0xA8, save);
  EXPECT_EQ(device_.state().presets[3][record::kVolume], 11);
  EXPECT_EQ(std::string(device_.state().presets[3].begin() + record::kName,
                        device_.state().presets[3].begin() + record::kName + name.size()),
            name);
  EXPECT_EQ(device_.state().presets[3][record::kName + 15], 0x5A) << "byte 27 kept";
  EXPECT_EQ(device_.state().presets[17], stored17);

  // 0x83 loads the working preset only; 0xE5 stores and acknowledges.
  PresetRecord imported{};
  imported[record::kVolume] = 77;
  host_.Send(0x83, Bytes(imported.begin(), imported.end()));
  EXPECT_EQ(working()[record::kVolume], 77);
  EXPECT_EQ(device_.state().presets[3][record::kVolume], 11);

  Bytes import = {150};
  imported[record::kVolume] = 66;
  import.insert(import.end(), imported.begin(), imported.end());
  reply = host_.Ask(0xE5, import);
  ASSERT_EQ(reply.size(), 1u);
  EXPECT_EQ(reply[0].command, 0xE5);
  EXPECT_EQ(device_.state().presets[150][record::kVolume], 66);
}

// Each command with one payload byte more or less than the host programs send: refused
// as the protocol refuses it, nothing changes, and the refusal is counted.
TEST_F(NormalModeTest, PacketsOfAnotherLengthAreRefused) {
  const struct {
    uint8_t command;
    size_t size;
    int answer;  // -1 none, else the answer's command, whose first byte must be 0
  } cases[] = {{0x84, 2, -1},  {0xE0, 0, -1},     {0x82, 4, -1},     {0xA0, 18, -1},
               {0xA1, 10, -1}, {0xA2, 1, -1},     {0xA3, 7, -1},     {0xA4, 12, -1},
               {0xA6, 1, -1},  {0xA8, 16, -1},    {0x83, 512, -1},   {0xE5, 513, -1},
               {0x87, 1, -1},  {0x89, 1, -1},     {0xE4, 1, -1},     {0xAA, 3, -1},
               {0x90, 12, -1}, {0x91, 10, -1},    {0x93, 16, -1},    {0x94, 12, -1},
               {0x95, 10, -1}, {0x96, 22, -1},    {0x97, 12, -1},    {0x98, 16, -1},
               {0x99, 12, -1}, {0xE1, 514, 0xE1}, {0xE2, 514, 0xE2}, {0xAB, 515, 0xAB}};
  const DeviceState before = device_.state();
  int refused = 0;
  for (const auto& c : cases) {
    for (const size_t size : {c.size + 1, c.size - 1}) {
      if (size > c.size + 1) continue;  // no size below 0
      Bytes payload(size, 1);
      const std::vector<Packet> reply = host_.Ask(c.command, payload);
      ++refused;
      if (c.answer < 0) {
        EXPECT_TRUE(reply.empty()) << std::hex << int{c.command} << " size " << std::dec << size;
      } else {
        ASSERT_EQ(reply.size(), 1u) << std::hex << int{c.command};
        EXPECT_EQ(reply[0].command, c.answer);
        EXPECT_EQ(reply[0].payload.at(0), 0) << "acknowledgement 0 or record type 0";
      }
    }
  }
  // The MOD packet is two bytes longer for model 10, and only then; stage 4 is the name.
  EXPECT_TRUE(host_.Ask(0x97, {0, 1, 0, 10, 0, 7, 0, 8, 0, 9, 0, 11}).empty());
  EXPECT_TRUE(host_.Ask(0x97, {0, 1, 0, 3, 0, 7, 0, 8, 0, 9, 0, 11, 0, 1}).empty());
  EXPECT_EQ(host_.Ask(0xE1, Bytes(514, 4)).at(0).payload, Bytes({0})) << "a name stage of 514";
  EXPECT_EQ(host_.Ask(0xAB, Bytes{3, 1, 1, 0}).at(0).payload[0], 0) << "system chunk of 1";
  refused += 4;
  EXPECT_EQ(device_.refusals(), refused);
  EXPECT_EQ(device_.state().working, before.working);
  EXPECT_EQ(device_.state().presets, before.presets);
  EXPECT_EQ(device_.state().system, before.system);
  EXPECT_EQ(device_.state().tempo, before.tempo);
  EXPECT_EQ(device_.state().current, before.current);
}

// ---- device-side variety --------------------------------------------------------------

std::vector<Packet> DumpOf(const Options& options) {
  DeviceEmulator device(options);
  Host host(device);
  return host.Ask(0xE0);
}

std::multiset<Bytes> RawPackets(const std::vector<Packet>& packets) {
  std::multiset<Bytes> raw;
  for (const Packet& p : packets) raw.insert(p.raw);
  return raw;
}

TEST(DumpOrder, ShuffledKeepsRecord199LastAndTheRecordEchoAfterItsNumber) {
  const std::vector<Packet> fixed = DumpOf(Options{});
  std::set<std::vector<uint8_t>> orders;
  bool settings_after_199 = false;
  for (uint64_t seed = 1; seed <= 12; ++seed) {
    Options options;
    options.dump_order = DumpOrder::kShuffled;
    options.has_seed = true;
    options.seed = seed;
    const std::vector<Packet> dump = DumpOf(options);
    EXPECT_EQ(RawPackets(dump), RawPackets(fixed)) << "seed " << seed;
    std::vector<uint8_t> commands;
    size_t last_record = 0, number = 0, echo = 0;
    for (size_t i = 0; i < dump.size(); ++i) {
      commands.push_back(dump[i].command);
      if (dump[i].command == 0xA5) last_record = i;
      if (dump[i].command == 0xA6) number = i;
      if (dump[i].command == 0x86) echo = i;
    }
    EXPECT_EQ(dump[last_record].payload[0], 199) << "seed " << seed;
    EXPECT_LT(number, echo);
    EXPECT_LT(echo, last_record);
    settings_after_199 |= last_record + 1 < dump.size();
    orders.insert(commands);
  }
  EXPECT_TRUE(settings_after_199);
  EXPECT_GT(orders.size(), 10u);

  Options quiet;
  quiet.record_echo = false;
  const std::vector<Packet> no_echo = DumpOf(quiet);
  EXPECT_EQ(no_echo.size(), fixed.size() - 1);
  EXPECT_EQ(Find(no_echo, 0x86), nullptr);
  DeviceEmulator device(quiet);
  Host host(device);
  EXPECT_TRUE(host.Ask(0xA6, {5}).empty()) << "no record after the host's 0xA6";
  std::string error;
  ASSERT_TRUE(device.SwitchPreset(9, &error));
  const std::vector<Packet> switched = host.Receive();
  ASSERT_EQ(switched.size(), 1u);
  EXPECT_EQ(switched[0].command, 0xA6);
}

TEST(Packing, ReportsHoldSeveralPacketsAndEndInsideThem) {
  Options options;
  options.pack = true;
  options.has_seed = true;
  options.seed = 5;
  DeviceEmulator device(options);
  device.Connect();
  Host host(device);
  host.Send(0xE0);
  // Where each packet ends in the byte stream.
  const std::vector<Packet> fixed = DumpOf(Options{});
  std::set<size_t> ends;
  Bytes stream;
  for (const Packet& p : fixed) {
    stream.insert(stream.end(), p.raw.begin(), p.raw.end());
    ends.insert(stream.size());
  }
  Bytes received;
  int holding_a_start = 0, ending_inside = 0;
  uint8_t report[65];
  while (device.PopReport(report)) {
    ASSERT_GE(report[1], 1);
    ASSERT_LE(report[1], 63);
    const size_t begin = received.size();
    received.insert(received.end(), report + 2, report + 2 + report[1]);
    const auto next = ends.upper_bound(begin);
    holding_a_start += next != ends.end() && *next < received.size();
    ending_inside += ends.count(received.size()) == 0;
  }
  EXPECT_EQ(received, stream) << "the same bytes, cut elsewhere";
  EXPECT_GT(holding_a_start, 100) << "reports that carry the end of one packet and more";
  EXPECT_GT(ending_inside, 100) << "reports that end inside a packet";
}

TEST(Chatter, UnaskedKnobPageAndPresetPacketsAtRandomTimes) {
  Options options;
  options.chatter_ms = 20;
  options.has_seed = true;
  options.seed = 11;
  DeviceEmulator device(options);
  Host host(device);
  std::vector<uint64_t> times;
  std::set<uint8_t> kinds;
  for (uint64_t now = 5000; now < 25000; ++now) {
    device.Tick(now);
    const std::vector<Packet> sent = host.Receive();
    if (sent.empty()) continue;
    times.push_back(now);
    for (const Packet& p : sent) kinds.insert(p.command);
  }
  ASSERT_GT(times.size(), 20000u / 30);
  EXPECT_LT(times.size(), 20000u / 10 + 1);
  for (size_t i = 1; i < times.size(); ++i) {
    EXPECT_GE(times[i] - times[i - 1], 10u);
    EXPECT_LE(times[i] - times[i - 1], 30u);
  }
  EXPECT_TRUE(kinds.count(0x82) && kinds.count(0xA6) && kinds.count(0x86));
  EXPECT_GE(
      std::count_if(kinds.begin(), kinds.end(), [](uint8_t c) { return c >= 0x90 && c <= 0x99; }),
      5);

  options.mode = Mode::kUpdate;
  DeviceEmulator loader(options);
  Host loader_host(loader);
  for (uint64_t now = 5000; now < 6000; ++now) loader.Tick(now);
  EXPECT_TRUE(loader_host.Receive().empty()) << "the loader never talks unasked";
}

// ---- user slot transfers --------------------------------------------------------------

Bytes Stage(int slot, int stage, uint8_t fill, size_t size) {
  Bytes payload = {static_cast<uint8_t>(slot), static_cast<uint8_t>(stage)};
  payload.resize(2 + size, fill);
  return payload;
}

TEST_F(NormalModeTest, ImpulseResponseTransferIsAcknowledgedStageByStage) {
  for (int stage = 1; stage <= 3; ++stage) {
    const std::vector<Packet> reply = host_.Ask(0xE1, Stage(5, stage, 0x10 * stage, 512));
    ASSERT_EQ(reply.size(), 1u) << stage;
    EXPECT_EQ(reply[0].command, 0xE1);
    EXPECT_EQ(reply[0].payload, Bytes({static_cast<uint8_t>(stage)}));
    EXPECT_FALSE(device_.state().ir[5].present) << "not before the name arrives";
  }
  Bytes name = {5, 4, 'm', 'y', ' ', 'c', 'a', 'b'};
  name.resize(17, 0);
  const std::vector<Packet> last = host_.Ask(0xE1, name);
  ASSERT_EQ(last.size(), 1u);
  EXPECT_EQ(last[0].payload, Bytes({4}));
  const UserSlot& slot = device_.state().ir[5];
  EXPECT_TRUE(slot.present);
  EXPECT_EQ(slot.planes[0], 0x10);
  EXPECT_EQ(slot.planes[1024 + 511], 0x30);
  EXPECT_EQ(Text(Find(host_.Ask(0xE0), 0x85)->payload, 75, 15), "my cab");

  // Deleting empties it again.
  EXPECT_TRUE(host_.Ask(0xE4, {5}).empty());
  EXPECT_FALSE(device_.state().ir[5].present);
}

TEST_F(NormalModeTest, TransferStagesOutOfTurnAreRefusedAndKeepTheSlot) {
  const UserSlot before = device_.state().ir[0];
  std::vector<Packet> reply = host_.Ask(0xE1, Stage(0, 2, 1, 512));  // no stage 1 first
  ASSERT_EQ(reply.size(), 1u);
  EXPECT_EQ(reply[0].payload, Bytes({0}));
  host_.Ask(0xE1, Stage(0, 1, 1, 512));
  reply = host_.Ask(0xE1, Stage(0, 3, 1, 512));  // stage 2 skipped
  EXPECT_EQ(reply[0].payload, Bytes({0}));
  reply = host_.Ask(0xE1, Stage(12, 1, 1, 512));  // no slot 12
  EXPECT_EQ(reply[0].payload, Bytes({0}));
  EXPECT_EQ(device_.state().ir[0].planes, before.planes);
  EXPECT_EQ(device_.state().ir[0].name, before.name);
}

TEST_F(NormalModeTest, AmplifierTransferTakesFourPlanesAndAName) {
  for (int stage = 1; stage <= 4; ++stage) {
    const std::vector<Packet> reply = host_.Ask(0xE2, Stage(9, stage, stage, 512));
    ASSERT_EQ(reply.size(), 1u);
    EXPECT_EQ(reply[0].command, 0xE2);
    EXPECT_EQ(reply[0].payload, Bytes({static_cast<uint8_t>(stage)}));
  }
  const std::vector<Packet> reply = host_.Ask(0xE2, Stage(9, 5, 'A', 15));
  EXPECT_EQ(reply[0].payload, Bytes({5}));
  EXPECT_TRUE(device_.state().amp[9].present);
  EXPECT_EQ(device_.state().amp[9].planes[3 * 512], 4);
}

// ---- backup and restore ---------------------------------------------------------------

struct BackupItem {
  int section, slot;
  Bytes data;
};

// Walks the backup as the editor does: every chunk of every slot, 255 skips a slot.
std::vector<BackupItem> WalkBackup(Host& host, std::vector<size_t>* chunk_sizes) {
  std::vector<BackupItem> items;
  const int chunks[3] = {5, 4, 1};
  for (int section = 1; section <= 3; ++section) {
    const int slots = section == 3 ? 1 : 10;
    for (int slot = 1; slot <= slots; ++slot) {
      BackupItem item{section, slot, {}};
      for (int chunk = 1; chunk <= chunks[section - 1]; ++chunk) {
        const std::vector<Packet> reply =
            host.Ask(0xAA, {static_cast<uint8_t>(section), static_cast<uint8_t>(slot),
                            static_cast<uint8_t>(chunk)});
        EXPECT_EQ(reply.size(), 1u);
        if (reply.size() != 1) return items;
        const Bytes& p = reply[0].payload;
        EXPECT_EQ(p[0], section);
        EXPECT_EQ(p[1], slot);
        if (p[2] == 255) {
          item.data.clear();
          break;
        }
        EXPECT_EQ(p[2], chunk);
        chunk_sizes->push_back(p.size() - 3);
        item.data.insert(item.data.end(), p.begin() + 3, p.end());
      }
      if (!item.data.empty()) items.push_back(item);
    }
  }
  return items;
}

TEST_F(NormalModeTest, BackupWalkReturnsTheChunkSizes) {
  std::vector<size_t> sizes;
  const std::vector<BackupItem> items = WalkBackup(host_, &sizes);
  int amp = 0, ir = 0, system = 0;
  for (const BackupItem& item : items) {
    if (item.section == 1) {
      ++amp;
      EXPECT_EQ(item.data.size(), 4 * 512 + 15u);
    } else if (item.section == 2) {
      ++ir;
      EXPECT_EQ(item.data.size(), 3 * 512 + 15u);
    } else {
      ++system;
      EXPECT_EQ(item.data.size(), kSystemChunkSize);
    }
  }
  int present_amp = 0, present_ir = 0;
  for (const UserSlot& s : device_.state().amp) present_amp += s.present;
  for (const UserSlot& s : device_.state().ir) present_ir += s.present;
  EXPECT_EQ(amp, present_amp);
  EXPECT_EQ(ir, present_ir);
  EXPECT_EQ(system, 1);
  EXPECT_EQ(std::count(sizes.begin(), sizes.end(), 15u), amp + ir);
  EXPECT_EQ(std::count(sizes.begin(), sizes.end(), 512u), 4 * amp + 3 * ir);

  // Requests outside the device's sections get no answer.
  EXPECT_TRUE(host_.Ask(0xAA, {4, 1, 1}).empty());
  EXPECT_TRUE(host_.Ask(0xAA, {1, 11, 1}).empty());
  EXPECT_TRUE(host_.Ask(0xAA, {2, 1, 5}).empty());
}

TEST_F(NormalModeTest, RestoreOfABackupRebuildsAnotherDevice) {
  std::vector<size_t> sizes;
  device_.state().system[3] = 9;
  device_.state().presets[42][record::kVolume] = 13;
  const std::vector<BackupItem> items = WalkBackup(host_, &sizes);

  Options options;
  DeviceEmulator target(options);
  Host restorer(target);
  target.state().ir = {};
  target.state().amp = {};
  const uint8_t types[4] = {0, 1, 2, 3};
  for (const BackupItem& item : items) {
    for (size_t offset = 0, chunk = 1; offset < item.data.size(); offset += 512, ++chunk) {
      Bytes payload = {types[item.section], static_cast<uint8_t>(item.slot),
                       static_cast<uint8_t>(chunk)};
      const size_t n = std::min<size_t>(512, item.data.size() - offset);
      payload.insert(payload.end(), item.data.begin() + offset, item.data.begin() + offset + n);
      const std::vector<Packet> ack = restorer.Ask(0xAB, payload);
      ASSERT_EQ(ack.size(), 1u);
      EXPECT_EQ(ack[0].payload, Bytes({payload[0], payload[1], payload[2]}));
    }
  }
  for (int i = 0; i < 200; ++i) {
    Bytes payload = {4, static_cast<uint8_t>(i + 1), 1};
    payload.insert(payload.end(), device_.state().presets[i].begin(),
                   device_.state().presets[i].end());
    ASSERT_EQ(restorer.Ask(0xAB, payload).at(0).payload[0], 4);
  }
  for (int s = 0; s < 10; ++s) {
    EXPECT_EQ(target.state().ir[s].present, device_.state().ir[s].present);
    EXPECT_EQ(target.state().amp[s].present, device_.state().amp[s].present);
    if (device_.state().amp[s].present) {
      EXPECT_EQ(target.state().amp[s].planes, device_.state().amp[s].planes);
      EXPECT_EQ(target.state().amp[s].name, device_.state().amp[s].name);
    }
  }
  EXPECT_EQ(target.state().system[3], 9);
  EXPECT_EQ(target.state().presets[42][record::kVolume], 13);

  // A chunk the device cannot place is refused with record type 0.
  EXPECT_EQ(restorer.Ask(0xAB, {1, 3, 2, 0}).at(0).payload[0], 0);  // chunk 2 before 1
  EXPECT_EQ(restorer.Ask(0xAB, {4, 201, 1, 0}).at(0).payload[0], 0);
  EXPECT_EQ(restorer.Ask(0xAB, {9, 1, 1, 0}).at(0).payload[0], 0);
}

// ---- the player's controls ------------------------------------------------------------

TEST_F(NormalModeTest, KnobSendsTheModulePacketTheHostReads) {
  std::string error;
  ASSERT_TRUE(ApplyDeviceControl(device_, "knob 3 1 80", &error)) << error;
  std::vector<Packet> sent = host_.Receive();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].command, 0x93);
  const Bytes& p = sent[0].payload;
  ASSERT_EQ(p.size(), 16u);
  const size_t amp = record::ModuleSlot(3);
  EXPECT_EQ(p[1], working()[amp + 1]);
  EXPECT_EQ(p[3], working()[amp]);
  EXPECT_EQ(p[5], 80);
  EXPECT_EQ(working()[amp + 2], 80);

  // DELAY TIME is the wide third value; the packet carries it big-endian at bytes 8-9.
  working()[record::ModuleSlot(8)] = 3;
  ASSERT_TRUE(ApplyDeviceControl(device_, "knob 8 3 1200", &error)) << error;
  sent = host_.Receive();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].command, 0x98);
  EXPECT_EQ((sent[0].payload[8] << 8) | sent[0].payload[9], 1200);

  // MOD carries its wide value at bytes 12-13 for every model; EQ frequencies at 16-21.
  ASSERT_TRUE(ApplyDeviceControl(device_, "knob 7 5 399", &error));
  sent = host_.Receive();
  EXPECT_EQ((sent.at(0).payload.at(12) << 8) | sent[0].payload[13], 399);
  ASSERT_TRUE(ApplyDeviceControl(device_, "knob 6 9 12000", &error));
  sent = host_.Receive();
  EXPECT_EQ((sent.at(0).payload.at(20) << 8) | sent[0].payload[21], 12000);

  for (const char* bad : {"knob 0 1 1", "knob 10 1 1", "knob 3 7 1", "knob 3 1 256", "knob 3 1",
                          "knob 3 x 1", "turn 3 1 1"}) {
    EXPECT_FALSE(ApplyDeviceControl(device_, bad, &error)) << bad;
    EXPECT_FALSE(error.empty());
  }
  EXPECT_TRUE(host_.Receive().empty());
}

TEST_F(NormalModeTest, PresetAndSystemControlsTellTheHost) {
  std::string error;
  ASSERT_TRUE(ApplyDeviceControl(device_, "preset 5", &error));
  std::vector<Packet> sent = host_.Receive();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].command, 0xA6);
  EXPECT_EQ(sent[0].payload, Bytes({5}));
  EXPECT_EQ(sent[1].command, 0x86);
  EXPECT_EQ(device_.state().current, 5);
  EXPECT_EQ(working(), device_.state().presets[5]);

  ASSERT_TRUE(ApplyDeviceControl(device_, "system 7 2", &error));
  sent = host_.Receive();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].command, 0xA1);
  EXPECT_EQ(sent[0].payload[7], 2);

  ASSERT_TRUE(ApplyDeviceControl(device_, "send 0x82 3 1 0", &error)) << error;
  sent = host_.Receive();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].command, 0x82);
  EXPECT_EQ(sent[0].payload, Bytes({3, 1, 0}));
  EXPECT_FALSE(ApplyDeviceControl(device_, "send", &error));
  EXPECT_FALSE(ApplyDeviceControl(device_, "send 0x82 256", &error));
  EXPECT_FALSE(ApplyDeviceControl(device_, "send 300", &error));
  EXPECT_FALSE(ApplyDeviceControl(device_, "preset 200", &error));
  EXPECT_FALSE(ApplyDeviceControl(device_, "system 10 1", &error));
  EXPECT_FALSE(ApplyDeviceControl(device_, "system 1 300", &error));
}

}  // namespace
}  // namespace rq700::emu
