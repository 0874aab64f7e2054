#include <gtest/gtest.h>

#include "catalog/modules.h"
#include "catalog/panel_layout.h"
#include "catalog/value_format.h"
#include "catalog/version_label.h"

namespace rq700::catalog {
namespace {

TEST(CatalogValueFormat, EqGainsAndTenths) {
  EXPECT_EQ(FormatEqGainDb(24), "+12dB");
  EXPECT_EQ(FormatEqGainDb(13), "+1dB");
  EXPECT_EQ(FormatEqGainDb(12), "0dB");
  EXPECT_EQ(FormatEqGainDb(0), "-12dB");
  EXPECT_EQ(FormatCustomEqGain(0), "-12");
  EXPECT_EQ(FormatCustomEqGain(24), "12");
  EXPECT_EQ(FormatTenths(240 - 120), "12.0");
  EXPECT_EQ(FormatTenths(0 - 120), "-12.0");
  EXPECT_EQ(FormatTenths(115 - 120), "-0.5");
  EXPECT_EQ(FormatTenths(125 - 120), "0.5");
  EXPECT_EQ(FormatTenths(0), "0.0");
  EXPECT_EQ(FormatPercent(50), "50%");
}

TEST(CatalogValueFormat, ClampsAndLevelLabels) {
  EXPECT_EQ(ClampDelayTime(0), 40);
  EXPECT_EQ(ClampDelayTime(39), 40);
  EXPECT_EQ(ClampDelayTime(2500), 2500);
  EXPECT_EQ(ClampDelayTime(65535), 2500);
  EXPECT_EQ(ClampEqFrequency(0), 60);
  EXPECT_EQ(ClampEqFrequency(18000), 18000);
  EXPECT_EQ(SystemLevelLabel(0),
            "-\xE2\x88\x9E"
            "dB");
  EXPECT_EQ(SystemLevelLabel(8), "-05dB");
  EXPECT_EQ(SystemLevelLabel(9), "0dB");
  EXPECT_EQ(SystemLevelLabel(21), "6.0dB");
  EXPECT_EQ(SystemLevelLabel(22), "");
  EXPECT_EQ(SystemLevelLabel(-1), "");
}

TEST(CatalogPanelLayout, CabinetUserSlotsHideTheMicrophone) {
  auto builtin = GetPanelLayout(kCab, 26);
  ASSERT_EQ(builtin.count, 4);
  EXPECT_FALSE(builtin.microphone_blanked);
  EXPECT_EQ(builtin.controls[0].kind, ValueKind::kMicrophone);
  EXPECT_EQ(FormatControlValue(builtin.controls[0], 9), "C4000B");
  EXPECT_EQ(builtin.controls[3].kind, ValueKind::kPowerTube);
  EXPECT_EQ(builtin.controls[3].index, 4);
  auto user = GetPanelLayout(kCab, 27);
  ASSERT_EQ(user.count, 1);
  EXPECT_TRUE(user.microphone_blanked);
  EXPECT_EQ(FormatControlValue(user.controls[0], 2), "EL84");
  EXPECT_EQ(GetPanelLayout(kCab, 37).count, 0);
  EXPECT_EQ(GetPanelLayout(kCab, 0).count, 0);
}

TEST(CatalogPanelLayout, ModulationModelsPrintTheirFirstValueDifferently) {
  auto pitch = GetPanelLayout(kMod, 9);
  ASSERT_EQ(pitch.count, 3);
  EXPECT_EQ(FormatControlValue(pitch.controls[0], 240), "12.0");
  EXPECT_EQ(FormatControlValue(pitch.controls[0], 115), "-0.5");
  auto detune = GetPanelLayout(kMod, 10);
  ASSERT_EQ(detune.count, 3);
  EXPECT_EQ(detune.controls[0].source, Source::kModuleWord);
  EXPECT_EQ(FormatControlValue(detune.controls[0], 0), "-20.0");
  EXPECT_EQ(FormatControlValue(detune.controls[0], 400), "20.0");
  auto phaser = GetPanelLayout(kMod, 1);
  ASSERT_EQ(phaser.count, 3);
  EXPECT_EQ(FormatControlValue(phaser.controls[0], 180), "100");
  EXPECT_EQ(GetPanelLayout(kMod, 12).count, 4);
  EXPECT_EQ(GetPanelLayout(kMod, 18).count, 2);
}

TEST(CatalogPanelLayout, EqualiserAndDelayControls) {
  EXPECT_EQ(GetPanelLayout(kEq, 1).count, 5);
  EXPECT_EQ(GetPanelLayout(kEq, 3).count, 6);
  auto custom = GetPanelLayout(kEq, 4);
  ASSERT_EQ(custom.count, 6);
  // Gains are the first, third and fifth gain bytes; frequencies the three words.
  EXPECT_EQ(custom.controls[0].index, 1);
  EXPECT_EQ(custom.controls[2].index, 3);
  EXPECT_EQ(custom.controls[4].index, 5);
  EXPECT_EQ(FormatControlValue(custom.controls[0], 0), "-12");
  EXPECT_EQ(FormatControlValue(custom.controls[1], 10), "60");
  EXPECT_EQ(FormatControlValue(GetPanelLayout(kEq, 1).controls[0], 24), "+12dB");

  auto digital = GetPanelLayout(kDelay, 1);
  ASSERT_EQ(digital.count, 4);
  EXPECT_EQ(FormatControlValue(digital.controls[2], 5), "40");
  EXPECT_EQ(FormatControlValue(digital.controls[3], 2), "1/4T");
  EXPECT_EQ(GetPanelLayout(kDelay, 8).count, 5);
  auto two_head = GetPanelLayout(kDelay, 9);
  ASSERT_EQ(two_head.count, 6);
  EXPECT_EQ(two_head.controls[4].source, Source::kDelayTimeB);
  EXPECT_EQ(FormatControlValue(two_head.controls[4], 3000), "2500");
  EXPECT_EQ(two_head.controls[5].kind, ValueKind::kSyncNote);
  EXPECT_EQ(two_head.controls[5].index, 6);
  EXPECT_EQ(GetPanelLayout(kNs, 2).count, 1);
  EXPECT_EQ(GetPanelLayout(kNs, 3).count, 3);
}

TEST(CatalogVersionLabel, ReplacedFromTheDeviceReport) {
  VersionLabel label;
  EXPECT_EQ(label.Get(), "Version 2.0.0");
  const uint8_t report[] = {'1', '.', '9', '.', '9', 'X', 'Y'};
  label.SetFromReport(report, sizeof(report));
  EXPECT_EQ(label.Get(), "Version 1.9.9");
  const uint8_t short_report[] = {'2', '.'};
  label.SetFromReport(short_report, sizeof(short_report));
  EXPECT_EQ(label.Get(), "Version 2.");
  EXPECT_EQ(kVersionUpdateCaption, "Version Update");
}

}  // namespace
}  // namespace rq700::catalog
