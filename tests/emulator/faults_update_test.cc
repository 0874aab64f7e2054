#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "emulator/emulator.h"
#include "host_harness.h"
#include "link/packet.h"

namespace rq700::emu {
namespace {

using testing::Bytes;
using testing::Host;
using testing::Packet;

int Count(const std::vector<Packet>& packets, uint8_t command) {
  int n = 0;
  for (const Packet& p : packets) n += p.command == command;
  return n;
}

Bytes IrStage(int stage) {
  Bytes payload = {2, static_cast<uint8_t>(stage)};
  payload.resize(stage < 4 ? 514 : 17, 0x42);
  return payload;
}

// ---- faults ---------------------------------------------------------------------------

TEST(Faults, SilentCommandsAreNeitherAnsweredNorApplied) {
  Options options;
  options.faults.silent = {0xE0, 0xA2};
  DeviceEmulator device(options);
  Host host(device);
  const uint8_t volume = device.state().working[record::kVolume];
  EXPECT_TRUE(host.Ask(0xE0).empty());
  host.Send(0xA2, {volume == 5 ? uint8_t{6} : uint8_t{5}});
  EXPECT_EQ(device.state().working[record::kVolume], volume);
  EXPECT_EQ(host.Ask(0xA6, {3}).size(), 1u) << "other commands still work";
}

TEST(Faults, DropsOnlyTheNthAnswerOfTheNamedCommand) {
  Options plain;
  DeviceEmulator reference(plain);
  Host reference_host(reference);
  const int dump_size = static_cast<int>(reference_host.Ask(0xE0).size());
  Options options;
  options.faults.drops = {{0xE1, 2}, {0xE0, dump_size}};  // the dump's last packet: 199
  DeviceEmulator device(options);
  Host host(device);
  EXPECT_EQ(host.Ask(0xE1, IrStage(1)).size(), 1u);
  EXPECT_TRUE(host.Ask(0xE1, IrStage(2)).empty()) << "second acknowledgement dropped";
  // The stage was still taken: the transfer goes on from stage 3.
  const std::vector<Packet> third = host.Ask(0xE1, IrStage(3));
  ASSERT_EQ(third.size(), 1u);
  EXPECT_EQ(third[0].payload, Bytes({3}));

  const std::vector<Packet> dump = host.Ask(0xE0);
  EXPECT_EQ(Count(dump, 0xA5), 199);
  EXPECT_EQ(dump.back().payload[0], 198);
  EXPECT_EQ(Count(host.Ask(0xE0), 0xA5), 200) << "only the first dump loses a packet";
}

TEST(Faults, CorruptsTheCrcOfOnePacketOnly) {
  Options options;
  options.faults.corrupt_crc = 2;
  DeviceEmulator device(options);
  Host host(device);
  const std::vector<Packet> dump = host.Ask(0xE0);
  // The host's parser throws the damaged second packet (0x85) away; the rest arrive.
  EXPECT_EQ(Count(dump, 0x85), 0);
  EXPECT_EQ(Count(dump, 0x81), 1);
  EXPECT_EQ(Count(dump, 0xE3), 1);
  EXPECT_EQ(Count(dump, 0xA5), 200);
}

TEST(Faults, AnswersOneBackupRequestWithAnotherChunk) {
  Options options;
  options.faults.wrong_backup_chunk = 2;
  DeviceEmulator device(options);
  Host host(device);
  ASSERT_TRUE(device.state().amp[0].present);
  EXPECT_EQ(host.Ask(0xAA, {1, 1, 1}).at(0).payload[2], 1);
  EXPECT_EQ(host.Ask(0xAA, {1, 1, 2}).at(0).payload[2], 3);
  EXPECT_EQ(host.Ask(0xAA, {1, 1, 2}).at(0).payload[2], 2);
}

TEST(Faults, DisconnectsWhenTheNthHostPacketArrives) {
  Options options;
  options.faults.disconnect_after = 3;
  DeviceEmulator device(options);
  Host host(device);
  EXPECT_EQ(host.Ask(0xA6, {1}).size(), 1u);
  EXPECT_EQ(host.Ask(0xA6, {2}).size(), 1u);
  EXPECT_FALSE(device.TakeDisconnect());
  EXPECT_TRUE(host.Ask(0xA6, {3}).empty()) << "the third packet is not answered";
  EXPECT_TRUE(device.TakeDisconnect());
  EXPECT_EQ(device.state().current, 2);
}

TEST(Damage, PacketsAfterStrayBytesOrABrokenPacketAreAnsweredAtOnce) {
  Options options;
  DeviceEmulator device(options);
  Host host(device);
  // Three stray bytes, a packet with a broken CRC, then a good request, in one report.
  Bytes stream = {0x01, 0x02, 0x03, 0xAA, 0x55, 0x02, 0x00, 0xA6, 0x07, 0x00, 0x00};
  uint8_t good[16];
  const uint8_t index[1] = {9};
  const size_t size = BuildPacket(0xA6, index, 1, good, sizeof(good));
  stream.insert(stream.end(), good, good + size);
  host.SendReportBytes(stream.data(), stream.size());
  const std::vector<Packet> reply = host.Receive();
  ASSERT_EQ(reply.size(), 1u);
  EXPECT_EQ(reply[0].command, 0x86);
  EXPECT_EQ(device.state().current, 9);
}

TEST(Backpressure, AHostThatNeverReadsCannotGrowTheQueueWithoutEnd) {
  Options options;
  DeviceEmulator device(options);
  Host host(device);
  for (int i = 0; i < 30; ++i) host.Send(0xE0);
  EXPECT_LE(device.pending_reports(), 16384u);
  EXPECT_GT(device.pending_reports(), 1822u * 8);
  // Once read, the device answers again.
  host.Receive();
  EXPECT_EQ(host.Ask(0xA6, {1}).size(), 1u);
}

// ---- update loader --------------------------------------------------------------------

// A loader built for a two-segment image whose reply codes are not the command plus one:
// apply 0x10 answered 0x5C; segment 1 command 0x30, reply 0x6E, blocks 0xFFFF and 0x0000;
// segment 2 command 0x44, reply 0x2B, block 7.
class UpdateModeTest : public ::testing::Test {
 protected:
  void SetUp() override {
    options_.mode = Mode::kUpdate;
    image_.apply_command = 0x10;
    image_.apply_reply = 0x5C;
    image_.apply_param = {0x12, 0x34, 0x56, 0x78};
    image_.segments.resize(2);
    image_.segments[0] = {0x30, 0x6E, 0xFFFF, Bytes(1024, 0xC3)};
    image_.segments[1] = {0x44, 0x2B, 7, Bytes(512, 0x5A)};
    const std::string tag = "firmware ZORVA_RQ700_V2.1.0 built";
    std::copy(tag.begin(), tag.end(), image_.segments[1].data.begin() + 40);
  }
  std::unique_ptr<DeviceEmulator> Make() {
    auto device = std::make_unique<DeviceEmulator>(options_);
    device->SetLoaderImage(image_);
    return device;
  }
  static void WakeUp(DeviceEmulator& device) {
    uint8_t wake[65] = {0, 8};
    device.OnHostReport(wake);
  }
  // Wake-up, start, identity: where the updater stands before its apply request.
  static void Greet(DeviceEmulator& device, Host& host) {
    WakeUp(device);
    host.Send(0xAA, {0});
    host.Ask(0x00, {0});
  }
  Bytes Block(int segment, int index, uint16_t number) const {
    Bytes block = {static_cast<uint8_t>(number >> 8), static_cast<uint8_t>(number)};
    const Bytes& data = image_.segments[segment].data;
    block.insert(block.end(), data.begin() + 512 * index, data.begin() + 512 * (index + 1));
    return block;
  }
  Options options_;
  LoaderImage image_;
};

TEST_F(UpdateModeTest, IdentityReplyCarriesModelAndVersionWhereTheLauncherReads) {
  options_.version = "1.9.9";
  DeviceEmulator device(options_);
  Host host(device);
  uint8_t wake[65] = {0, 8};
  device.OnHostReport(wake);
  EXPECT_TRUE(host.Receive().empty());
  host.Send(0xAA, {0});
  EXPECT_TRUE(host.Receive().empty()) << "the start request is not answered";
  host.Send(0x00, {0});
  uint8_t report[65];
  ASSERT_TRUE(device.PopReport(report));
  EXPECT_FALSE(device.PopReport(report + 0)) << "one report";
  // Report byte 7 is packet byte 5.
  EXPECT_EQ(report[2 + 4], 0x01);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(report + 7)), "ZORVA_RQ700_V1.9.9");
  EXPECT_EQ(std::string(reinterpret_cast<char*>(report + 2 + 44), 5), "1.9.9");
  EXPECT_EQ(std::string(reinterpret_cast<char*>(report + 20), 5), "1.9.9");
  EXPECT_EQ(device.product_id(), 0x5750);
}

TEST_F(UpdateModeTest, TakesTheImageInOrderWithItsReplyCodesAndRebootsWithItsVersion) {
  auto device = Make();
  Host host(*device);
  Greet(*device, host);
  EXPECT_EQ(device->loader_state(), LoaderState::kIdentified);
  const std::vector<Packet> apply = host.Ask(0x10, {0x12, 0x34, 0x56, 0x78});
  ASSERT_EQ(apply.size(), 1u);
  EXPECT_EQ(apply[0].command, 0x5C);
  EXPECT_EQ(apply[0].raw[5], 1) << "byte 5: accepted";
  const struct {
    int segment, index;
    uint16_t number;
    uint8_t command, reply;
  } blocks[] = {{0, 0, 0xFFFF, 0x30, 0x6E}, {0, 1, 0x0000, 0x30, 0x6E}, {1, 0, 7, 0x44, 0x2B}};
  for (const auto& b : blocks) {
    const std::vector<Packet> ack = host.Ask(b.command, Block(b.segment, b.index, b.number));
    ASSERT_EQ(ack.size(), 1u) << b.number;
    EXPECT_EQ(ack[0].command, b.reply);
    EXPECT_EQ(ack[0].payload,
              Bytes({static_cast<uint8_t>(b.number >> 8), static_cast<uint8_t>(b.number)}));
  }
  EXPECT_EQ(device->blocks_received(), 3);
  EXPECT_EQ(device->loader_state(), LoaderState::kComplete);
  ASSERT_EQ(device->received().size(), 2u);
  EXPECT_EQ(device->received()[0], image_.segments[0].data);
  EXPECT_EQ(device->received()[1], image_.segments[1].data);
  EXPECT_EQ(device->refusals(), 0);

  host.Send(0xFF, {0});
  EXPECT_EQ(device->mode(), Mode::kNormal);
  EXPECT_EQ(device->version(), "2.1.0");
  EXPECT_EQ(device->product_id(), 0x5703);
  EXPECT_TRUE(device->TakeDisconnect());
  EXPECT_TRUE(device->TakeModeChange());
}

// Every step out of turn, each block sent twice, out of order, with another command or
// other data, and every packet of the wrong size: refused without an answer.
TEST_F(UpdateModeTest, RefusesEverythingOutOfTurnWithoutAnAnswer) {
  auto device = Make();
  Host host(*device);
  const Bytes param = {0x12, 0x34, 0x56, 0x78};
  EXPECT_TRUE(host.Ask(0x00, {0}).empty()) << "asleep: no identity before the wake-up";
  host.Send(0xAA, {0});
  WakeUp(*device);
  EXPECT_EQ(host.Ask(0x00, {0}).size(), 1u) << "the launcher asks right after the wake-up";
  EXPECT_TRUE(host.Ask(0x10, param).empty()) << "no apply before the start request";
  host.Send(0xAA, {0});
  EXPECT_TRUE(host.Ask(0x10, param).empty()) << "no apply before the identity request";
  EXPECT_TRUE(host.Ask(0x00, {0, 0}).empty()) << "an identity request of two bytes";
  host.Ask(0x00, {0});
  EXPECT_TRUE(host.Ask(0x30, Block(0, 0, 0xFFFF)).empty()) << "no block before the apply";
  EXPECT_TRUE(host.Ask(0x10, {0x12, 0x34, 0x56}).empty()) << "a short apply request";
  ASSERT_EQ(host.Ask(0x10, param).size(), 1u);

  Bytes wrong = Block(0, 0, 0xFFFF);
  wrong[300] ^= 1;
  EXPECT_TRUE(host.Ask(0x30, wrong).empty()) << "other data";
  EXPECT_TRUE(host.Ask(0x30, Block(0, 1, 0x0000)).empty()) << "the second block first";
  EXPECT_TRUE(host.Ask(0x31, Block(0, 0, 0xFFFF)).empty()) << "another command";
  Bytes longer = Block(0, 0, 0xFFFF);
  longer.push_back(0);
  EXPECT_TRUE(host.Ask(0x30, longer).empty()) << "a block of 515 bytes";
  EXPECT_TRUE(host.Ask(0xFF, {0}).empty());
  EXPECT_EQ(device->mode(), Mode::kUpdate) << "no finish before the last block";
  EXPECT_EQ(host.Ask(0x30, Block(0, 0, 0xFFFF)).size(), 1u);
  EXPECT_TRUE(host.Ask(0x30, Block(0, 0, 0xFFFF)).empty()) << "the same block twice";
  EXPECT_TRUE(host.Ask(0x44, Block(1, 0, 7)).empty()) << "the next segment too early";
  EXPECT_EQ(host.Ask(0x30, Block(0, 1, 0x0000)).size(), 1u);
  EXPECT_EQ(device->blocks_received(), 2);
  EXPECT_EQ(device->refusals(), 14);

  // A wake-up starts afresh, as a launcher started again after a failed update does.
  Greet(*device, host);
  EXPECT_EQ(device->loader_state(), LoaderState::kIdentified);
  EXPECT_EQ(device->blocks_received(), 0);
}

TEST_F(UpdateModeTest, ApplyIsRefusedForAnotherParameterOrOnRequest) {
  auto device = Make();
  Host host(*device);
  Greet(*device, host);
  std::vector<Packet> apply = host.Ask(0x10, {0x78, 0x56, 0x34, 0x12});
  ASSERT_EQ(apply.size(), 1u);
  EXPECT_EQ(apply[0].command, 0x5C);
  EXPECT_EQ(apply[0].raw[5], 0) << "the parameter in another byte order";
  EXPECT_TRUE(host.Ask(0x30, Block(0, 0, 0xFFFF)).empty());

  options_.faults.refuse_update = true;
  options_.apply_reply = 0x7A;
  options_.block_reply = 0x7B;
  auto refusing = Make();
  Host refusing_host(*refusing);
  Greet(*refusing, refusing_host);
  apply = refusing_host.Ask(0x10, {0x12, 0x34, 0x56, 0x78});
  ASSERT_EQ(apply.size(), 1u);
  EXPECT_EQ(apply[0].command, 0x7A) << "a loader at odds with its image";
  EXPECT_EQ(apply[0].raw[5], 0);

  options_.faults.refuse_update = false;
  auto odd = Make();
  Host odd_host(*odd);
  Greet(*odd, odd_host);
  odd_host.Ask(0x10, {0x12, 0x34, 0x56, 0x78});
  EXPECT_EQ(odd_host.Ask(0x30, Block(0, 0, 0xFFFF)).at(0).command, 0x7B);

  // Without an image the loader knows no apply request.
  DeviceEmulator bare(options_);
  Host bare_host(bare);
  Greet(bare, bare_host);
  EXPECT_TRUE(bare_host.Ask(0x10, {0x12, 0x34, 0x56, 0x78}).empty());
}

TEST(NormalMode, IgnoresTheUpdateLoadersRequests) {
  Options options;
  DeviceEmulator device(options);
  Host host(device);
  EXPECT_TRUE(host.Ask(0x00, {0}).empty());
  EXPECT_TRUE(host.Ask(0xFF, {0}).empty());
  EXPECT_EQ(device.mode(), Mode::kNormal);
  std::string error;
  device.Reboot(Mode::kUpdate);
  EXPECT_EQ(device.product_id(), 0x5750);
  EXPECT_FALSE(ApplyDeviceControl(device, "knob 3 1 1", &error));
}

// ---- packet log -----------------------------------------------------------------------

TEST(PacketLogFormat, OneLinePerPacketInUpperCaseHex) {
  const std::string path = (std::filesystem::temp_directory_path() /
                            ("rq700-emu-log-" + std::to_string(getpid()) + ".txt"))
                               .string();
  {
    Options options;
    DeviceEmulator device(options);
    ASSERT_TRUE(device.log().Open(path));
    Host host(device);
    Bytes startup(65, 0);
    startup[1] = 1;
    host.SendReportBytes(startup.data(), startup.size());
    host.Ask(0x84, {0, 0});
    // A packet cut across several reports is one line.
    Bytes e5 = {9};
    e5.resize(513, 0xAB);
    host.Ask(0xE5, e5);
  }
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  std::filesystem::remove(path);
  ASSERT_EQ(lines.size(), 6u);
  std::string startup_line = "H>D RAW 00 01";
  for (int i = 0; i < 61; ++i) startup_line += " 00";
  EXPECT_EQ(lines[0], startup_line);
  EXPECT_EQ(lines[1], "H>D RAW 00 00");
  EXPECT_EQ(lines[2], "H>D AA 55 03 00 84 00 00 F6 B7");
  EXPECT_EQ(
      lines[3].rfind("D>H AA 55 17 00 84 00 32 2E 30 2E 30 5A 4F 52 56 41 5F 52 51 37 30 30 00", 0),
      0u);
  EXPECT_EQ(lines[3].size(), 4u + 29 * 3 - 1);
  EXPECT_EQ(lines[4].rfind("H>D AA 55 02 02 E5 09 AB AB", 0), 0u);
  EXPECT_EQ(lines[4].size(), 4u + 520 * 3 - 1);
  EXPECT_EQ(lines[5].rfind("D>H AA 55 02 00 E5 09 ", 0), 0u);
  EXPECT_EQ(lines[5].size(), 4u + 8 * 3 - 1);
}

}  // namespace
}  // namespace rq700::emu

namespace rq700::emu {
namespace {

TEST(OptionParsing, ReadsEveryOptionAndRefusesBadValues) {
  Options options;
  std::string error;
  ASSERT_TRUE(ParseOptions({"--socket",
                            "/tmp/x.sock",
                            "--mode",
                            "update",
                            "--version",
                            "1.9.9",
                            "--model",
                            "OTHER",
                            "--release",
                            "0x00C9",
                            "--no-pacing",
                            "--log",
                            "l.txt",
                            "--state",
                            "s.bin",
                            "--silent",
                            "0xE0,132",
                            "--drop-ack",
                            "0xE1:2",
                            "--drop-ack",
                            "0xAB:10",
                            "--corrupt-crc",
                            "5",
                            "--wrong-backup-chunk",
                            "3",
                            "--refuse-update",
                            "--disconnect-after",
                            "7",
                            "--apply-reply",
                            "0x11",
                            "--block-reply",
                            "0x21",
                            "--dump-order",
                            "shuffled:42",
                            "--pack",
                            "--chatter",
                            "15",
                            "--no-record-echo",
                            "--firmware",
                            "f.zr",
                            "--received-dir",
                            "got"},
                           &options, &error))
      << error;
  EXPECT_EQ(options.socket_path, "/tmp/x.sock");
  EXPECT_EQ(options.mode, Mode::kUpdate);
  EXPECT_EQ(options.version, "1.9.9");
  EXPECT_EQ(options.model, "OTHER");
  EXPECT_EQ(options.release, 0x00C9);
  EXPECT_FALSE(options.pacing);
  EXPECT_EQ(options.faults.silent, std::vector<uint8_t>({0xE0, 0x84}));
  ASSERT_EQ(options.faults.drops.size(), 2u);
  EXPECT_EQ(options.faults.drops[1].command, 0xAB);
  EXPECT_EQ(options.faults.drops[1].nth, 10);
  EXPECT_EQ(options.faults.corrupt_crc, 5);
  EXPECT_EQ(options.faults.wrong_backup_chunk, 3);
  EXPECT_TRUE(options.faults.refuse_update);
  EXPECT_EQ(options.faults.disconnect_after, 7);
  EXPECT_EQ(options.apply_reply, 0x11);
  EXPECT_EQ(options.block_reply, 0x21);
  EXPECT_EQ(options.dump_order, DumpOrder::kShuffled);
  EXPECT_TRUE(options.has_seed);
  EXPECT_EQ(options.seed, 42u);
  EXPECT_TRUE(options.pack);
  EXPECT_EQ(options.chatter_ms, 15);
  EXPECT_FALSE(options.record_echo);
  EXPECT_EQ(options.firmware_file, "f.zr");
  EXPECT_EQ(options.received_dir, "got");

  for (const std::vector<std::string>& bad :
       std::vector<std::vector<std::string>>{{"--release", "70000"},
                                             {"--release"},
                                             {"--silent", "0x100"},
                                             {"--silent", "1,,2"},
                                             {"--drop-ack", "0xE1"},
                                             {"--drop-ack", "0xE1:0"},
                                             {"--corrupt-crc", "-1"},
                                             {"--socket", ""},
                                             {"--dump-order", "sorted"},
                                             {"--dump-order", "shuffled:x"},
                                             {"--chatter", "0"},
                                             {"--firmware"},
                                             {"--frobnicate"}}) {
    Options ignored;
    error.clear();
    EXPECT_FALSE(ParseOptions(bad, &ignored, &error)) << bad[0];
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
}  // namespace rq700::emu
