#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
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

class UpdateModeTest : public ::testing::Test {
 protected:
  void SetUp() override { options_.mode = Mode::kUpdate; }
  Bytes Block(uint16_t number, const std::string& text = "") {
    Bytes block = {static_cast<uint8_t>(number >> 8), static_cast<uint8_t>(number)};
    block.resize(514, 0xC3);
    std::copy(text.begin(), text.end(), block.begin() + 40);
    return block;
  }
  Options options_;
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

TEST_F(UpdateModeTest, ApplyIsAnsweredAndBlocksAcknowledgedWithTheReplyCode) {
  DeviceEmulator device(options_);
  Host host(device);
  EXPECT_TRUE(host.Ask(0x30, Block(7)).empty()) << "no block before the apply request";
  const std::vector<Packet> apply = host.Ask(0x10, {0, 0, 0, 1});
  ASSERT_EQ(apply.size(), 1u);
  EXPECT_EQ(apply[0].command, 0x11);
  EXPECT_EQ(apply[0].raw[5], 1) << "byte 5: accepted";
  for (uint16_t n = 0xFFFF, i = 0; i < 2; ++i, ++n) {
    const std::vector<Packet> ack = host.Ask(0x30, Block(n));
    ASSERT_EQ(ack.size(), 1u);
    EXPECT_EQ(ack[0].command, 0x31);
    EXPECT_EQ(ack[0].payload, Bytes({static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n)}));
  }
  EXPECT_EQ(device.blocks_received(), 2);
  EXPECT_TRUE(host.Ask(0x30, {0, 1, 2}).empty()) << "a short block is not taken";
  EXPECT_EQ(device.blocks_received(), 2);
  // Normal-mode commands mean nothing to the loader.
  EXPECT_TRUE(host.Ask(0xE0).empty());
  EXPECT_TRUE(host.Ask(0x84, {0, 0}).empty());
}

TEST_F(UpdateModeTest, ReplyCodesCanBeSetAndTheApplyRefused) {
  options_.apply_reply = 0x7A;
  options_.block_reply = 0x7B;
  options_.faults.refuse_update = true;
  DeviceEmulator device(options_);
  Host host(device);
  const std::vector<Packet> apply = host.Ask(0x10, {0, 0, 0, 0});
  ASSERT_EQ(apply.size(), 1u);
  EXPECT_EQ(apply[0].command, 0x7A);
  EXPECT_EQ(apply[0].raw[5], 0) << "refused";
  EXPECT_TRUE(host.Ask(0x30, Block(0)).empty());
  host.Send(0xFF, {0});
  EXPECT_EQ(device.mode(), Mode::kUpdate) << "nothing was loaded: no reboot";

  Options accepting = options_;
  accepting.faults.refuse_update = false;
  DeviceEmulator other(accepting);
  Host other_host(other);
  other_host.Ask(0x10, {0, 0, 0, 0});
  EXPECT_EQ(other_host.Ask(0x30, Block(0)).at(0).command, 0x7B);
}

TEST_F(UpdateModeTest, FinishRebootsIntoNormalModeWithTheImagesVersion) {
  DeviceEmulator device(options_);
  Host host(device);
  host.Ask(0x10, {0, 0, 0, 0});
  host.Ask(0x30, Block(0));
  host.Ask(0x30, Block(1, "firmware ZORVA_RQ700_V2.1.0 built"));
  host.Send(0xFF, {0});
  EXPECT_EQ(device.mode(), Mode::kNormal);
  EXPECT_EQ(device.version(), "2.1.0");
  EXPECT_EQ(device.product_id(), 0x5703);
  EXPECT_TRUE(device.TakeDisconnect());
  EXPECT_TRUE(device.TakeModeChange());

  // An image without a version tag leaves the version as it was.
  DeviceEmulator plain(options_);
  Host plain_host(plain);
  plain_host.Ask(0x10, {0, 0, 0, 0});
  plain_host.Ask(0x30, Block(0));
  plain_host.Send(0xFF, {0});
  EXPECT_EQ(plain.mode(), Mode::kNormal);
  EXPECT_EQ(plain.version(), "2.0.0");
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
                            "0x21"},
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

  for (const std::vector<std::string>& bad :
       std::vector<std::vector<std::string>>{{"--release", "70000"},
                                             {"--release"},
                                             {"--silent", "0x100"},
                                             {"--silent", "1,,2"},
                                             {"--drop-ack", "0xE1"},
                                             {"--drop-ack", "0xE1:0"},
                                             {"--corrupt-crc", "-1"},
                                             {"--socket", ""},
                                             {"--frobnicate"}}) {
    Options ignored;
    error.clear();
    EXPECT_FALSE(ParseOptions(bad, &ignored, &error)) << bad[0];
    EXPECT_FALSE(error.empty());
  }
}

}  // namespace
}  // namespace rq700::emu
