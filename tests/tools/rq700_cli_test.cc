// The rq700 tool as a user runs it: arguments in, text and exit status out.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <sstream>

#include "files/backup_writer.h"
#include "files/byte_order.h"
#include "files/firmware_image.h"
#include "files/preset_file.h"
#include "protocol/preset_record.h"
#include "tests/files/temp_dir.h"
#include "tests/tools/tool_runner.h"

namespace rq700::files {
namespace {

using testing::Slurp;
using testing::ToolRun;

class CliTest : public ::testing::Test {
 protected:
  ToolRun Tool(const std::vector<std::string>& args) {
    return testing::RunTool(RQ700_TOOL, args, dir_);
  }

  std::string PresetFile(const std::string& name) {
    uint8_t rec[record::kSize] = {};
    for (int i = 0; i < 9; ++i) rec[record::kChainOrder + i] = static_cast<uint8_t>(9 - i);
    rec[record::kChainOff + 1] = 1;  // MOD at chain position 1 is off
    rec[record::kVolume] = 87;
    std::memcpy(rec + record::kName, "CLEAN LEAD", 10);
    for (int m = 1; m <= 9; ++m) {
      rec[record::ModuleSlot(m) + record::kSlotModel] = 1;
      rec[record::ModuleSlot(m) + record::kSlotEnable] = 1;
    }
    rec[record::ModuleSlot(3) + record::kSlotModel] = 16;  // AMP MARKIII CL
    rec[record::ModuleSlot(3) + record::kSlotParams] = 63;
    rec[record::ModuleSlot(4) + record::kSlotModel] = 27;      // CAB user slot 1
    rec[record::ModuleSlot(4) + record::kSlotParams + 3] = 2;  // EL84
    rec[record::ModuleSlot(6) + record::kSlotParams] = 24;     // EQ +12dB
    rec[record::ModuleSlot(7) + record::kSlotModel] = 9;       // MOD PITCH SHIFT
    rec[record::ModuleSlot(7) + record::kSlotParams] = 115;    // -0.5
    rec[record::ModuleSlot(8) + record::kSlotEnable] = 0;
    record::WriteWord(rec, record::kDelayTimeWord, 3000);
    rec[record::kExp1Module] = 5;  // EQ
    rec[record::kExp1Param] = 1;
    rec[record::kExp2Module] = 7;  // DELAY
    rec[record::kExp2Param] = 2;
    CPresetFileRq700 file;
    file.WriteBody(rec, sizeof(rec));
    int error = 0;
    EXPECT_TRUE(file.Save(dir_.Path(name), &error));
    return dir_.Path(name);
  }

  TempDir dir_;
};

TEST_F(CliTest, HelpForTheToolAndEachCommand) {
  auto help = Tool({"--help"});
  EXPECT_EQ(help.status, 0);
  for (const char* c : {"preset check", "preset show", "preset diff", "backup check", "backup list",
                        "ir name", "ir convert", "amp check", "fw find", "fw show", "fw make"}) {
    EXPECT_NE(help.out.find(c), std::string::npos) << c;
  }
  auto one = Tool({"fw", "make", "--help"});
  EXPECT_EQ(one.status, 0);
  EXPECT_NE(one.out.find("COMMAND,REPLY,TIMEOUT,FIRSTBLOCK,DATA"), std::string::npos);
  EXPECT_EQ(Tool({"ir", "--help"}).status, 0);
  EXPECT_EQ(Tool({}).status, 1);
  auto unknown = Tool({"frobnicate"});
  EXPECT_EQ(unknown.status, 1);
  EXPECT_NE(unknown.err.find("unknown command"), std::string::npos);
  EXPECT_EQ(Tool({"preset", "check"}).status, 1);
}

TEST_F(CliTest, PresetCheckAndShow) {
  const std::string path = PresetFile("lead.zv");
  auto ok = Tool({"preset", "check", path});
  EXPECT_EQ(ok.status, 0);
  EXPECT_EQ(ok.out, "ok\n");
  auto bytes = ReadBytes(path);
  bytes[700] ^= 1;
  WriteBytes(dir_.Path("bad.zv"), bytes);
  auto bad = Tool({"preset", "check", dir_.Path("bad.zv")});
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.err, "error 6\n");
  EXPECT_EQ(Tool({"preset", "check", dir_.Path("none.zv")}).err, "error 1\n");

  auto show = Tool({"preset", "show", path});
  ASSERT_EQ(show.status, 0) << show.err;
  const std::string& o = show.out;
  EXPECT_NE(o.find("name: CLEAN LEAD\n"), std::string::npos) << o;
  EXPECT_NE(o.find("chain: REVERB(on) DELAY(off) MOD(on)"), std::string::npos) << o;
  EXPECT_NE(o.find("AMP: MARKIII CL on P1=63"), std::string::npos) << o;
  EXPECT_NE(o.find("CAB: IR-1 on TUBE=EL84\n"), std::string::npos) << o;
  EXPECT_NE(o.find("EQ: ZORVA G on P1=+12dB"), std::string::npos) << o;
  EXPECT_NE(o.find("MOD: PITCH SHIFT on P1=-0.5"), std::string::npos) << o;
  EXPECT_NE(o.find("DELAY: DIGITAL off LEVEL=0 F.BACK=0 TIME=2500 SYNC=OFF"), std::string::npos)
      << o;
  EXPECT_NE(o.find("volume: 87\n"), std::string::npos) << o;
  EXPECT_NE(o.find("EXP:EQ 80HZ\n"), std::string::npos) << o;
  EXPECT_NE(o.find("EXP2:DELAY TIME\n"), std::string::npos) << o;
}

// Two presets that differ in three panel values, then in their name, a model and the chain;
// one of them as a backup's preset.
TEST_F(CliTest, PresetDiffNamesWhatDiffersAsThePanelsDo) {
  const std::string a = PresetFile("a.zv");
  CPresetFileRq700 file;
  int error = 0;
  ASSERT_TRUE(file.Load(a, &error));
  uint8_t rec[record::kSize];
  file.ReadBody(rec, sizeof(rec));
  auto save = [&](const std::string& name) {
    CPresetFileRq700 out;
    out.WriteBody(rec, sizeof(rec));
    EXPECT_TRUE(out.Save(dir_.Path(name), &error));
    return dir_.Path(name);
  };
  rec[record::ModuleSlot(3) + record::kSlotParams] = 70;      // AMP GAIN 63
  rec[record::ModuleSlot(6) + record::kSlotParams + 1] = 18;  // EQ 250HZ 0
  record::WriteWord(rec, record::kDelayTimeWord, 400);        // DELAY TIME 3000 (2500)
  const std::string b = save("b.zv");

  auto three = Tool({"preset", "diff", a, b});
  EXPECT_EQ(three.status, 1) << three.err;
  EXPECT_EQ(three.out,
            "AMP GAIN: 63 -> 70\n"
            "EQ 250HZ: -12dB -> +6dB\n"
            "DELAY TIME: 2500 -> 400\n");
  auto same = Tool({"preset", "diff", b, b});
  EXPECT_EQ(same.status, 0);
  EXPECT_EQ(same.out, "");

  // In a backup: preset 2 is b, preset 3 has another name, REVERB model and chain order.
  uint8_t other[record::kSize];
  std::memcpy(other, rec, sizeof(other));
  std::memcpy(other + record::kName, "HEAVY\0\0\0\0\0", 10);
  other[record::ModuleSlot(9) + record::kSlotModel] = 2;  // HALL
  std::swap(other[record::kChainOrder], other[record::kChainOrder + 8]);
  BackupWriter writer;
  ASSERT_TRUE(writer.Create(dir_.Path("b.zbf")));
  BackupRecord presets{"RQ700_PRESET", kRecordPresets, {}};
  presets.items.push_back({2, std::vector<uint8_t>(rec, rec + record::kSize)});
  presets.items.push_back({3, std::vector<uint8_t>(other, other + record::kSize)});
  ASSERT_TRUE(writer.WriteRecord(presets));
  ASSERT_TRUE(writer.Finish());
  EXPECT_EQ(Tool({"preset", "diff", b, dir_.Path("b.zbf") + ":2"}).status, 0);
  auto changed = Tool({"preset", "diff", b, dir_.Path("b.zbf") + ":3"});
  EXPECT_EQ(changed.status, 1);
  EXPECT_EQ(changed.out,
            "name: \"CLEAN LEAD\" -> \"HEAVY\"\n"
            "chain 1: REVERB on -> FX/COMP on\n"
            "chain 9: FX/COMP on -> REVERB on\n"
            "REVERB model: ROOM -> HALL\n");

  // Errors: 2, with the cause.
  for (const std::vector<std::string>& bad : {std::vector<std::string>{"preset", "diff", a},
                                              {"preset", "diff", a, dir_.Path("none.zv")},
                                              {"preset", "diff", a, dir_.Path("b.zbf") + ":4"},
                                              {"preset", "diff", dir_.Path("b.zbf") + ":201", a},
                                              {"preset", "diff", a, b + ":1"}}) {
    auto run = Tool(bad);
    EXPECT_EQ(run.status, 2) << bad.back();
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("rq700: "), std::string::npos);
  }
}

TEST_F(CliTest, BackupCheckAndList) {
  const std::string path = dir_.Path("b.zbf");
  BackupWriter writer;
  ASSERT_TRUE(writer.Create(path));
  BackupRecord irs{"RQ700_IR", kRecordUserIrs, {}};
  irs.items.push_back({2, std::vector<uint8_t>(1551, 1)});
  irs.items.push_back({7, std::vector<uint8_t>(1551, 2)});
  BackupRecord presets{"RQ700_PRESET", kRecordPresets, {}};
  for (uint16_t i = 1; i <= 3; ++i) presets.items.push_back({i, std::vector<uint8_t>(512, 0)});
  ASSERT_TRUE(writer.WriteRecord(irs));
  ASSERT_TRUE(writer.WriteRecord(presets));
  ASSERT_TRUE(writer.Finish());

  auto check = Tool({"backup", "check", path});
  EXPECT_EQ(check.status, 0);
  EXPECT_EQ(check.out, "ok\n");
  auto list = Tool({"backup", "list", path});
  EXPECT_EQ(list.status, 0);
  EXPECT_EQ(list.out,
            "RQ700_IR 2 2 1551\nRQ700_PRESET 4 3 512\n"
            "RQ700_IR 2\nRQ700_IR 7\nRQ700_PRESET 1\nRQ700_PRESET 2\nRQ700_PRESET 3\n");

  auto bytes = ReadBytes(path);
  bytes[3000] ^= 4;
  WriteBytes(dir_.Path("bad.zbf"), bytes);
  auto bad = Tool({"backup", "check", dir_.Path("bad.zbf")});
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.err, "Wrong file format!\nPlease check compatibility of file type\n");
  EXPECT_EQ(Tool({"backup", "list", dir_.Path("bad.zbf")}).status, 1);
}

std::vector<uint8_t> Wav16(uint32_t rate, uint16_t channels, const std::vector<int16_t>& s) {
  std::vector<uint8_t> w(44 + 2 * s.size(), 0);
  std::memcpy(w.data(), "RIFF", 4);
  std::memcpy(w.data() + 8, "WAVEfmt ", 8);
  PutLe16(w.data() + 22, channels);
  PutLe32(w.data() + 24, rate);
  PutLe16(w.data() + 34, 16);
  std::memcpy(w.data() + 36, "data", 4);
  PutLe32(w.data() + 40, static_cast<uint32_t>(2 * s.size()));
  for (size_t i = 0; i < s.size(); ++i) PutLe16(w.data() + 44 + 2 * i, s[i]);
  return w;
}

TEST_F(CliTest, ImpulseResponseNameAndConvert) {
  WriteBytes(dir_.Path("my cab.wav"), Wav16(44100, 1, {1, -1, 0x7FFF}));
  auto name = Tool({"ir", "name", dir_.Path("my cab.wav")});
  EXPECT_EQ(name.status, 0);
  EXPECT_EQ(name.out, "my cab\n");
  auto conv = Tool({"ir", "convert", dir_.Path("my cab.wav")});
  ASSERT_EQ(conv.status, 0);
  std::istringstream lines(conv.out);
  std::vector<std::string> words;
  for (std::string line; std::getline(lines, line);) words.push_back(line);
  ASSERT_EQ(words.size(), 512u);
  EXPECT_EQ(words[0], "0x00000100");
  EXPECT_EQ(words[1], "0x00FFFF00");
  EXPECT_EQ(words[2], "0x007FFF00");
  EXPECT_EQ(words[511], "0x00000000");

  WriteBytes(dir_.Path("three.wav"), Wav16(44100, 3, {1, 2, 3}));
  auto refused = Tool({"ir", "convert", dir_.Path("three.wav")});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err, "File Error!!\n");
  EXPECT_TRUE(refused.out.empty());
  WriteBytes(dir_.Path("junk.wav"), {1, 2, 3});
  EXPECT_EQ(Tool({"ir", "name", dir_.Path("junk.wav")}).err, "File Error!!\n");
}

TEST_F(CliTest, AmpCheck) {
  std::vector<uint8_t> amp(2052, 0);
  PutLe32(amp.data(), 5);
  PutLe32(amp.data() + 4, 6);
  PutLe32(amp.data() + 2048, 11);
  for (char c : {'2', '.', '0'}) amp.push_back(static_cast<uint8_t>(c));
  WriteBytes(dir_.Path("crunch.amp"), amp);
  auto ok = Tool({"amp", "check", dir_.Path("crunch.amp")});
  EXPECT_EQ(ok.status, 0);
  EXPECT_EQ(ok.out, "ok\ncrunch\n");
  amp.back() = '1';
  WriteBytes(dir_.Path("bad.amp"), amp);
  auto bad = Tool({"amp", "check", dir_.Path("bad.amp")});
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.err, "File Error!!\n");
}

TEST_F(CliTest, FirmwareMakeShowAndFind) {
  const std::string image = dir_.Path("ZORVA_RQ700_V2.0.0.zr");
  auto make = Tool({"fw", "make", image, "--apply-command", "0xC0", "--apply-param", "01020304",
                    "0xB0,0xB1,500,0,@1000", "0xB2,0xB3,600,7,=ZORVA_RQ700_V2.0.0"});
  ASSERT_EQ(make.status, 0) << make.err;
  FirmwareImage fw;
  ASSERT_NE(fw.Open(image), 0u) << fw.error();
  EXPECT_EQ(fw.header().apply_command, 0xC0);
  EXPECT_EQ(fw.header().apply_param[0], 1);
  EXPECT_EQ(fw.header().apply_param[3], 4);
  EXPECT_EQ(fw.segment(2).length, 18u);

  auto show = Tool({"fw", "show", image});
  ASSERT_EQ(show.status, 0) << show.err;
  EXPECT_NE(show.out.find("model: ZORVA_RQ700\n"), std::string::npos) << show.out;
  EXPECT_NE(show.out.find("apply command: 0xC0\n"), std::string::npos);
  EXPECT_NE(show.out.find("segments: 2\n"), std::string::npos);
  EXPECT_NE(show.out.find("segment 1: command 0xB0 reply 0xB1 timeout 500 first block 0 "
                          "length 1000 blocks 1\n"),
            std::string::npos)
      << show.out;
  EXPECT_NE(show.out.find("segment 2: command 0xB2 reply 0xB3 timeout 600 first block 7 "
                          "length 18 blocks 0\n"),
            std::string::npos);
  EXPECT_NE(show.out.find("total blocks: 1\n"), std::string::npos);

  WriteBytes(dir_.Path("ZORVA_RQ700_V1.9.9.zr"), {0});
  auto find = Tool({"fw", "find", dir_.path(), "ZORVA_RQ700_V1.0.0"});
  EXPECT_EQ(find.status, 0);
  EXPECT_EQ(find.out, "ZORVA_RQ700_V2.0.0.zr\n");
  EXPECT_EQ(Tool({"fw", "find", dir_.path(), "NOMARK"}).status, 1);
  EXPECT_EQ(Tool({"fw", "show", dir_.Path("ZORVA_RQ700_V1.9.9.zr")}).status, 1);
  EXPECT_EQ(Tool({"fw", "make", dir_.Path("x.zr")}).status, 1);
  EXPECT_EQ(Tool({"fw", "make", dir_.Path("x.zr"), "1,2,3"}).status, 1);
  EXPECT_EQ(Tool({"fw", "make", dir_.Path("x.zr"), "1,2,3,70000,@1"}).status, 1);
}

}  // namespace
}  // namespace rq700::files
