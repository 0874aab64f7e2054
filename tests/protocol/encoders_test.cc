#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "protocol/device_state.h"
#include "protocol/job_encoders.h"
#include "protocol/module_encoders.h"
#include "protocol/system_encoders.h"

namespace rq700 {
namespace {

using Bytes = std::vector<uint8_t>;

class EncoderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    s_ = std::make_unique<DeviceState>();
    ResetToDefaults(*s_);
  }
  template <typename Fn>
  Bytes Encode(Fn fn) {
    uint8_t buffer[2048] = {};
    PayloadWriter out{buffer, sizeof(buffer)};
    fn(out);
    return Bytes(buffer, buffer + out.size);
  }
  Bytes Module(int type) {
    return Encode([&](PayloadWriter& out) { EncodeModule(*s_, type, out); });
  }
  std::unique_ptr<DeviceState> s_;
};

TEST_F(EncoderTest, AmpPayloadCarriesEveryValueAsTwoBytes) {
  auto& amp = s_->module[kAmp];
  amp.enable.Set(1);
  amp.model.Set(5);
  for (int p = 0; p < 6; ++p) amp.param[p].Set(static_cast<uint8_t>(10 * (p + 1)));
  EXPECT_EQ(Module(kAmp), (Bytes{0x00, 0x01, 0x00, 0x05, 0x00, 0x0A, 0x00, 0x14, 0x00, 0x1E, 0x00,
                                 0x28, 0x00, 0x32, 0x00, 0x3C}));
}

TEST_F(EncoderTest, PayloadSizesPerModule) {
  // L = payload + 1: FX 13, DS 11, AMP 17, CAB 13, NS 11, EQ 23, MOD 13, DELAY 17, REV 13.
  const size_t expected[10] = {0, 12, 10, 16, 12, 10, 22, 12, 16, 12};
  for (int type = 1; type <= 9; ++type) EXPECT_EQ(Module(type).size(), expected[type]) << type;
}

TEST_F(EncoderTest, ModelZeroGoesOutAsOne) {
  s_->module[kNs].model.Set(0);
  EXPECT_EQ(Module(kNs)[3], 1);
}

TEST_F(EncoderTest, EqWordsFollowTheBandGainsBigEndian) {
  s_->eq_word[0].Set(0x1234);
  s_->eq_word[2].Set(8000);
  const Bytes p = Module(kEq);
  EXPECT_EQ(Bytes(p.begin() + 16, p.end()), (Bytes{0x12, 0x34, 0x00, 0x64, 0x1F, 0x40}));
}

TEST_F(EncoderTest, ModModelTenIsTwoBytesLongerWithTheModWord) {
  s_->mod_word.Set(0x0102);
  s_->module[kMod].model.Set(9);
  const Bytes other = Module(kMod);
  s_->module[kMod].model.Set(10);
  const Bytes ten = Module(kMod);
  EXPECT_EQ(ten.size(), other.size() + 2);
  EXPECT_EQ(Bytes(ten.end() - 2, ten.end()), (Bytes{0x01, 0x02}));
}

TEST_F(EncoderTest, DelayTailDependsOnTheModel) {
  for (int i = 1; i <= 6; ++i) s_->delay_word[i].Set(static_cast<uint16_t>(0x100 * i + i));
  s_->delay_time_b.Set(0x0777);
  s_->module[kDelay].model.Set(3);
  Bytes p = Module(kDelay);
  ASSERT_EQ(p.size(), 16u);
  EXPECT_EQ(Bytes(p.begin() + 4, p.end()),
            (Bytes{0x01, 0x01, 0x02, 0x02, 0x03, 0x03, 0x04, 0x04, 0x05, 0x05, 0x00, 0x02}));
  s_->module[kDelay].model.Set(9);
  p = Module(kDelay);
  ASSERT_EQ(p.size(), 16u);
  EXPECT_EQ(Bytes(p.begin() + 12, p.end()), (Bytes{0x07, 0x77, 0x06, 0x06}));
}

TEST_F(EncoderTest, TempoGoesOutHalvedWithSwitchesAndTabMarker) {
  s_->tempo.Set(41);
  s_->module_switch[1].Set(1);
  s_->module_switch[9].Set(1);
  s_->tab_marker = 2;
  EXPECT_EQ(Encode([&](PayloadWriter& o) { EncodeTempo(*s_, o); }),
            (Bytes{0x00, 0x14, 1, 0, 0, 0, 0, 0, 0, 0, 1, 2}));
  s_->tempo.Set(260);
  EXPECT_EQ(Encode([&](PayloadWriter& o) { EncodeTempo(*s_, o); })[1], 130);
}

TEST_F(EncoderTest, ExpSettingsSendModulesZeroBasedWithTheirTableEntries) {
  s_->exp_switch.Set(1);
  s_->exp1_module.Set(1);
  s_->exp1_param[1].Set(3);
  s_->exp2_module.Set(8);
  s_->exp2_param[8].Set(2);
  s_->exp2_param[1].Set(9);  // another module's entry is not sent
  s_->exp_low.Set(10);
  s_->exp_high.Set(90);
  EXPECT_EQ(Encode([&](PayloadWriter& o) { EncodeExpSettings(*s_, o); }),
            (Bytes{1, 0, 3, 7, 2, 10, 90}));
}

TEST_F(EncoderTest, ExpSettingsWithAModuleOutsideTheTableSendsZeroEntry) {
  s_->exp1_module.Set(0);
  EXPECT_EQ(Encode([&](PayloadWriter& o) { EncodeExpSettings(*s_, o); })[2], 0);
}

TEST_F(EncoderTest, PresetLevelPayloads) {
  for (int i = 0; i < 9; ++i) {
    s_->chain_order[i].Set(static_cast<uint8_t>(i + 1));
    s_->chain_off[i].Set(i == 4 ? 1 : 0);
  }
  EXPECT_EQ(Encode([&](PayloadWriter& o) { EncodeChain(*s_, o); }),
            (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 0, 1, 0, 0, 0, 0}));
  EXPECT_EQ(Encode([&](PayloadWriter& o) { EncodeSelectPreset(199, o); }), Bytes{199});
  s_->exp_tab = 2;
  EXPECT_EQ(Encode([&](PayloadWriter& o) { EncodeExpChange(*s_, o); }), Bytes{2});
  s_->exp_tab = 1;
  EXPECT_EQ(Encode([&](PayloadWriter& o) { EncodeExpChange(*s_, o); }), Bytes{1});
  EXPECT_EQ(Encode([&](PayloadWriter& o) { EncodePageSync(16, 1, o); }), (Bytes{16, 1, 0, 0}));
  s_->save_target = 6;
  const char name[] = "MY TONE";
  for (int i = 0; i < 7; ++i) s_->save_name[i] = static_cast<uint8_t>(name[i]);
  const Bytes save = Encode([&](PayloadWriter& o) { EncodeSaveName(*s_, o); });
  ASSERT_EQ(save.size(), 16u);
  EXPECT_EQ(save[0], 6);
  EXPECT_EQ(Bytes(save.begin() + 1, save.begin() + 8), Bytes(name, name + 7));
  EXPECT_EQ(save[15], 0);
}

TEST_F(EncoderTest, WritePresetTakesTheNameOfTheListCursorsRecord) {
  for (size_t i = 0; i < record::kSize; ++i) s_->import_buffer[i] = static_cast<uint8_t>(i);
  uint8_t stored[record::kSize] = {};
  for (size_t i = 0; i < 16; ++i) stored[record::kName + i] = static_cast<uint8_t>('A' + i);
  WriteRecord(*s_, 17, stored);
  s_->list_cursor.Set(17);
  const Bytes p = Encode([&](PayloadWriter& o) { EncodeWritePreset(*s_, o); });
  ASSERT_EQ(p.size(), 512u);
  for (size_t i = 0; i < 512; ++i) {
    const uint8_t want = (i >= 12 && i < 28) ? static_cast<uint8_t>('A' + i - 12) : i & 0xFF;
    ASSERT_EQ(p[i], want) << i;
  }
}

TEST_F(EncoderTest, SlotTransfersSendBytePlanesMostSignificantFirst) {
  SlotTransfer& ir = s_->ir;
  ir.slot = 4;
  ir.words[0] = 0x00ABCDEF;
  ir.words[511] = 0x00123456;
  const char name[] = "MY CAB";
  for (int i = 0; i < 6; ++i) ir.name[i] = static_cast<uint8_t>(name[i]);
  const uint8_t planes[3][2] = {{0xAB, 0x12}, {0xCD, 0x34}, {0xEF, 0x56}};
  for (int stage = 1; stage <= 3; ++stage) {
    const Bytes p = Encode([&](PayloadWriter& o) { EXPECT_TRUE(EncodeIrStage(ir, stage, o)); });
    ASSERT_EQ(p.size(), 514u);
    EXPECT_EQ(p[0], 4);
    EXPECT_EQ(p[1], stage);
    EXPECT_EQ(p[2], planes[stage - 1][0]);
    EXPECT_EQ(p[513], planes[stage - 1][1]);
  }
  const Bytes named = Encode([&](PayloadWriter& o) { EncodeIrStage(ir, 4, o); });
  ASSERT_EQ(named.size(), 17u);
  EXPECT_EQ(Bytes(named.begin() + 2, named.begin() + 8), Bytes(name, name + 6));
  EXPECT_TRUE(Encode([&](PayloadWriter& o) { EXPECT_FALSE(EncodeIrStage(ir, 5, o)); }).empty());
  EXPECT_TRUE(Encode([&](PayloadWriter& o) { EXPECT_FALSE(EncodeIrStage(ir, 0, o)); }).empty());

  SlotTransfer& amp = s_->amp;
  amp.slot = 9;
  amp.words[0] = 0x89ABCDEF;
  const uint8_t amp_planes[4] = {0x89, 0xAB, 0xCD, 0xEF};
  for (int stage = 1; stage <= 4; ++stage) {
    const Bytes p = Encode([&](PayloadWriter& o) { EncodeAmpStage(amp, stage, o); });
    ASSERT_EQ(p.size(), 514u);
    EXPECT_EQ(p[2], amp_planes[stage - 1]) << stage;
  }
  EXPECT_EQ(Encode([&](PayloadWriter& o) { EncodeAmpStage(amp, 5, o); }).size(), 17u);
}

TEST(ModuleCommands, CodesAndTypesMatchBothWays) {
  EXPECT_EQ(ModuleCommand(1), 0x90);
  EXPECT_EQ(ModuleCommand(2), 0x91);
  EXPECT_EQ(ModuleCommand(3), 0x93);
  EXPECT_EQ(ModuleCommand(9), 0x99);
  for (int type = 1; type <= 9; ++type) EXPECT_EQ(ModuleOfCommand(ModuleCommand(type)), type);
  EXPECT_EQ(ModuleOfCommand(0x92), 0);
  EXPECT_EQ(ModuleOfCommand(0x9A), 0);
  EXPECT_EQ(ModuleOfCommand(0x8F), 0);
}

}  // namespace
}  // namespace rq700
