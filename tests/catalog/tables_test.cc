#include <gtest/gtest.h>

#include <string>

#include "catalog/labels.h"
#include "catalog/models.h"
#include "catalog/modules.h"
#include "catalog/panel_labels.h"
#include "catalog/panel_layout.h"
#include "catalog/text_styles.h"

namespace rq700::catalog {
namespace {

TEST(CatalogTables, EveryModuleHasItsNameAndModelCount) {
  const int counts[] = {8, 20, 65, 36, 3, 4, 20, 9, 7};
  const char* names[] = {"FX/COMP", "DS/OD", "AMP", "CAB", "NS", "EQ", "MOD", "DELAY", "REVERB"};
  UserSlotNames slots;
  for (int m = 1; m <= 9; ++m) {
    EXPECT_EQ(ModuleName(m), names[m - 1]);
    EXPECT_EQ(ModelCount(m), counts[m - 1]) << m;
    for (int model = 1; model <= ModelCount(m); ++model)
      EXPECT_FALSE(slots.ModelName(m, model).empty()) << m << "/" << model;
    // No name before the first model or past the last one.
    EXPECT_EQ(slots.ModelName(m, 0), "");
    EXPECT_EQ(slots.ModelName(m, ModelCount(m) + 1), "");
  }
  EXPECT_EQ(ModuleName(0), "");
  EXPECT_EQ(ModuleName(10), "");
  EXPECT_EQ(ModelCount(0), 0);
  EXPECT_EQ(slots.ModelName(10, 1), "");
}

TEST(CatalogTables, ModelsAreNumberedFromOneInTableOrder) {
  UserSlotNames slots;
  EXPECT_EQ(slots.ModelName(kFxComp, 1), "CRY WAH");
  EXPECT_EQ(slots.ModelName(kFxComp, 8), "BLUE COMP");
  EXPECT_EQ(slots.ModelName(kDsOd, 20), "GOLD CLON");
  EXPECT_EQ(slots.ModelName(kAmp, 16), "MARKIII CL");
  EXPECT_EQ(slots.ModelName(kAmp, 39), "REGAL TONE OD1");
  EXPECT_EQ(slots.ModelName(kAmp, 55), "ACOUSTIC 3");
  EXPECT_EQ(slots.ModelName(kCab, 26), "ACOUSTIC112");
  EXPECT_EQ(slots.ModelName(kEq, 4), "CUSTOM EQ");
  EXPECT_EQ(slots.ModelName(kMod, 20), "MONO PITCH");
  EXPECT_EQ(slots.ModelName(kDelay, 9), "TWO-HEAD");
  EXPECT_EQ(slots.ModelName(kReverb, 7), "CAVE");
}

TEST(CatalogUserSlots, StartAsEmptyAndNumberedIrSlots) {
  UserSlotNames slots;
  for (int k = 1; k <= 10; ++k) {
    EXPECT_EQ(slots.ModelName(kAmp, 55 + k), "EMPTY");
    EXPECT_EQ(slots.ModelName(kCab, 26 + k), "IR-" + std::to_string(k));
  }
  // User slots are not fixed names.
  EXPECT_EQ(FixedModelName(kAmp, 56), "");
  EXPECT_EQ(FixedModelName(kCab, 27), "");
}

TEST(CatalogUserSlots, BlockFromDeviceGivesExactlyTenNames) {
  uint8_t block[kSlotBlockSize] = {};
  // Slot 1: all fifteen bytes used, no NUL: shown whole, nothing of slot 2 with it.
  const std::string full = "ABCDEFGHIJKLMNO";
  std::copy(full.begin(), full.end(), block);
  // Slot 2: short name, NUL then garbage.
  const char s2[] = "CLEAN\0XYZ";
  std::copy(s2, s2 + sizeof(s2) - 1, block + 15);
  // Slot 10: a Latin-1 byte.
  block[135] = 'Z';
  block[136] = 0xE9;
  UserSlotNames slots;
  slots.SetIrNamesFromBlock(block);
  EXPECT_EQ(slots.IrName(1), full);
  EXPECT_EQ(slots.IrName(2), "CLEAN");
  EXPECT_EQ(slots.IrName(3), "");
  EXPECT_EQ(slots.IrName(10), "Z\xC3\xA9");
  EXPECT_EQ(slots.ModelName(kCab, 36), "Z\xC3\xA9");
  // The amplifier slots are untouched by an IR block.
  EXPECT_EQ(slots.AmpName(1), "EMPTY");
  slots.SetAmpNamesFromBlock(block);
  EXPECT_EQ(slots.ModelName(kAmp, 56), full);
}

TEST(CatalogUserSlots, SingleSlotReplacementAndBadSlots) {
  UserSlotNames slots;
  slots.SetAmpName(3, "MY AMP");
  slots.SetIrName(10, "ROOM IR");
  slots.SetAmpName(0, "X");
  slots.SetAmpName(11, "X");
  EXPECT_EQ(slots.ModelName(kAmp, 58), "MY AMP");
  EXPECT_EQ(slots.ModelName(kAmp, 57), "EMPTY");
  EXPECT_EQ(slots.ModelName(kCab, 36), "ROOM IR");
  EXPECT_EQ(slots.AmpName(0), "");
  EXPECT_EQ(slots.AmpName(11), "");
}

TEST(CatalogLabels, SubSelectorsAndTheirBounds) {
  EXPECT_EQ(MicrophoneName(0), "SM57");
  EXPECT_EQ(MicrophoneName(9), "C4000B");
  EXPECT_EQ(MicrophoneName(10), "");
  EXPECT_EQ(PowerTubeName(0), "OFF");
  EXPECT_EQ(PowerTubeName(4), "6V6");
  EXPECT_EQ(PowerTubeName(5), "");
  EXPECT_EQ(SyncNoteName(9), "1/16D");
  EXPECT_EQ(SyncNoteName(-1), "");
}

TEST(CatalogLabels, ExpTargetLines) {
  auto eq = ExpTargetText(1, false, kEq, 1);
  EXPECT_TRUE(eq.shown);
  EXPECT_EQ(eq.first, "EXP:EQ");
  EXPECT_EQ(eq.second, "80HZ");
  auto delay = ExpTargetText(2, false, kDelay, 5);
  EXPECT_EQ(delay.first, "EXP2:DELAY");
  EXPECT_EQ(delay.second, "TIME B");
  auto merged = ExpTargetText(2, true, 0, 0);
  EXPECT_TRUE(merged.shown);
  EXPECT_EQ(merged.first, "EXP2: MERGE");
  EXPECT_EQ(merged.second, "----");
  EXPECT_FALSE(ExpTargetText(1, false, 0, 0).shown);
  EXPECT_FALSE(ExpTargetText(1, false, 10, 0).shown);
  // A parameter number past the module's labels leaves the second line blank.
  auto past = ExpTargetText(1, false, kCab, 2);
  EXPECT_EQ(past.first, "EXP:CAB");
  EXPECT_EQ(past.second, "");
  EXPECT_EQ(ExpLabelCount(kEq), 14);
  EXPECT_EQ(ExpLabel(kFxComp, 0), "*POSITION*");
  EXPECT_EQ(ExpLabel(kMod, 11), "BIT");
}

// Every control of every panel has its own label, and nothing past the panel has one.
TEST(CatalogLabels, EveryPanelControlIsLabelledOnce) {
  for (int m = 1; m <= 9; ++m) {
    for (int model = 1; model <= ModelCount(m); ++model) {
      const PanelLayout layout = GetPanelLayout(m, model);
      for (int i = 0; i < layout.count; ++i) {
        EXPECT_FALSE(ControlLabel(m, model, i).empty()) << m << " " << model << " " << i;
        for (int j = 0; j < i; ++j) EXPECT_NE(ControlLabel(m, model, i), ControlLabel(m, model, j));
      }
      EXPECT_TRUE(ControlLabel(m, model, layout.count).empty());
    }
  }
  EXPECT_EQ(ControlLabel(kCab, 27, 0), "POWER TUBE");
  EXPECT_EQ(ControlLabel(kDelay, 9, 4), "TIME B");
  EXPECT_TRUE(ControlLabel(kEq, 0, 0).empty());
}

TEST(CatalogTextStyles, ElevenStyles) {
  const TextStyle& s0 = GetTextStyle(0);
  EXPECT_EQ(s0.height, 20);
  EXPECT_EQ(s0.width, 8);
  EXPECT_EQ(s0.face, "Arial");
  EXPECT_EQ(s0.alignment, kAlignLeftBottom);
  EXPECT_EQ(s0.weight, 550);
  const TextStyle& s5 = GetTextStyle(5);
  EXPECT_EQ(s5.colour, (Rgb{255, 255, 255}));
  EXPECT_EQ(s5.weight, 700);
  const TextStyle& s6 = GetTextStyle(6);
  EXPECT_EQ(s6.height, 40);
  EXPECT_EQ(s6.width, 20);
  const TextStyle& s10 = GetTextStyle(10);
  EXPECT_EQ(s10.colour, (Rgb{238, 0, 0}));
  EXPECT_EQ(s10.alignment, kAlignLeftBottom);
  EXPECT_EQ(GetTextStyle(9).height, 22);
  EXPECT_EQ(GetTextStyle(8).width, 7);
  EXPECT_EQ(GetTextStyle(3).alignment, kAlignCenterTop);
}

}  // namespace
}  // namespace rq700::catalog
