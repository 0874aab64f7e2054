// The view painter, through a recording canvas: what is drawn where, for each part of the
// view and each page, by state.

#include "skin/view_painter.h"

#include <gtest/gtest.h>

#include <memory>

#include "tests/skin/recording_canvas.h"

namespace rq700 {
namespace {

using testing::Call;
using testing::RecordingCanvas;

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kOrange{246, 174, 69};
constexpr Rgb kDark{95, 95, 95};
constexpr Rgb kLight{207, 207, 207};
constexpr Rgb kTint{251, 213, 158};
constexpr Rgb kGrey136{136, 136, 136};

class EditorViewPainterTest : public ::testing::Test {
 protected:
  EditorViewPainterTest() : device_(std::make_unique<DeviceState>()), painter_(*device_, view_) {
    ResetToDefaults(*device_);
    for (int i = 0; i < kChainLength; ++i) device_->chain_order[i].SetBoth(i + 1);
  }

  RecordingCanvas Paint() {
    RecordingCanvas canvas;
    painter_.Paint(canvas);
    return canvas;
  }
  void Open(int item, int sub = 255) {
    view_.wide_active_item = item > 255 ? item : 0;
    device_->active_item.Set(item > 255 ? 0 : item);
    device_->active_sub_item.Set(sub);
  }
  void Select(int type, int model) {
    device_->selected_module.Set(type);
    device_->module[type].model.Set(model);
  }

  std::unique_ptr<DeviceState> device_;
  ViewState view_;
  EditorViewPainter painter_;
};

TEST_F(EditorViewPainterTest, BaseIsDrawnFirstAndFollowsTheSystemSwitches) {
  RecordingCanvas c = Paint();
  ASSERT_FALSE(c.calls.empty());
  EXPECT_EQ(c.calls[0].kind, Call::kImage);
  EXPECT_EQ(c.calls[0].a, 0);
  for (auto [image, x, y] : {std::tuple{1, 49, 36},
                             {20, 52, 120},
                             {30, 180, 174},
                             {200, 932, 130},
                             {11, 875, 184},
                             {12, 875, 234},
                             {13, 875, 284},
                             {19, 25, 515},
                             {240, 10, 435},
                             {241, 22, 439},
                             {243, 167, 439}})
    EXPECT_TRUE(c.HasImage(image, x, y)) << image;
  EXPECT_EQ(c.TextAt(4, 860, 135), "PRESET VOL");

  device_->system[5].Set(1);
  device_->system[6].Set(1);
  c = Paint();
  EXPECT_TRUE(c.HasImage(242, 22, 439));
  EXPECT_TRUE(c.HasImage(244, 167, 439));
  EXPECT_FALSE(c.DrewImage(241));
}

TEST_F(EditorViewPainterTest, TopButtonsShowHoverAndPressedImages) {
  view_.hover_item = 2;
  view_.button_down = 1;
  view_.pressed_item = 2;
  RecordingCanvas c = Paint();
  const int hover = c.FindImage(3, 559, 41);
  const int pressed = c.FindImage(7, 559, 41);
  ASSERT_GE(hover, 0);
  ASSERT_GE(pressed, 0);
  EXPECT_LT(hover, pressed);

  view_.button_down = 0;
  c = Paint();
  EXPECT_TRUE(c.HasImage(3, 559, 41));
  EXPECT_FALSE(c.DrewImage(7));

  view_.hover_item = 500;
  c = Paint();
  EXPECT_TRUE(c.HasImage(253, 892, 41));
}

TEST_F(EditorViewPainterTest, PageButtonsShowHoverAndTheOpenPage) {
  view_.hover_item = 7;
  Open(8);
  RecordingCanvas c = Paint();
  EXPECT_TRUE(c.HasImage(46, 875, 234));
  EXPECT_TRUE(c.HasImage(17, 875, 284));
  EXPECT_FALSE(c.DrewImage(15));
}

TEST_F(EditorViewPainterTest, PresetListRowsHighlightTintMarkerAndThumb) {
  uint8_t name[16] = {'C', 'L', 'E', 'A', 'N'};
  SetPresetName(*device_, 12, name, sizeof name);
  view_.list_top = 10;
  view_.hover_row = 4;
  device_->current_preset.store(12);
  view_.list_selected[15] = 1;
  device_->list_cursor.Set(13);
  device_->dirty.store(1);
  RecordingCanvas c = Paint();

  EXPECT_EQ(c.TextAt(0, 1012, 189 + 23 * 2), "P013: CLEAN");
  EXPECT_NE(c.TextAt(0, 1012, 189), "<none>");
  EXPECT_NE(c.TextAt(0, 1012, 189 + 23 * 18), "<none>");
  EXPECT_TRUE(c.HasFill(1009, 169 + 23 * 4, 1215, 189 + 23 * 4, kLight));
  EXPECT_TRUE(c.HasFill(1009, 169 + 23 * 2, 1215, 189 + 23 * 2, kOrange));
  EXPECT_TRUE(c.HasFill(1009, 169 + 23 * 5, 1215, 189 + 23 * 5, kTint));
  EXPECT_TRUE(c.HasImage(250, 996, 170 + 23 * 3));
  EXPECT_TRUE(c.HasImage(10, 1203, 174 + 20));

  // Out of view: no band, no marker; a clean edit has no marker either.
  view_.list_top = 181;
  view_.hover_row = 255;
  c = Paint();
  EXPECT_FALSE(c.DrewImage(250));
  EXPECT_EQ(c.FindFill(1009, 169 + 23 * 2, 1215, 189 + 23 * 2, kOrange), -1);
  EXPECT_NE(c.TextAt(0, 1012, 189 + 23 * 18), "<none>");  // preset 200
  EXPECT_EQ(c.TextAt(0, 1012, 189 + 23 * 19), "<none>");
  EXPECT_TRUE(c.HasImage(10, 1203, 174 + 362));
  view_.list_top = 10;
  device_->dirty.store(0);
  EXPECT_FALSE(Paint().DrewImage(250));
}

TEST_F(EditorViewPainterTest, VolumeAndCurrentPresetName) {
  device_->volume.Set(73);
  uint8_t name[16] = {'L', 'E', 'A', 'D'};
  SetPresetName(*device_, 0, name, sizeof name);
  device_->current_preset.store(0);
  RecordingCanvas c = Paint();
  const Call* vol = c.ValueAt(953, 134);
  ASSERT_NE(vol, nullptr);
  EXPECT_EQ(vol->a, 5);
  EXPECT_EQ(vol->value, 73);
  EXPECT_EQ(c.TextAt(2, 313, 165), "P001: LEAD");
  // No current preset yet: no name, no crash.
  device_->current_preset.store(255);
  EXPECT_EQ(Paint().TextAt(2, 313, 165), "<none>");
}

TEST_F(EditorViewPainterTest, ChainSlotsShowOnAndOffIconsAtTheirOffsets) {
  // Slot 0 holds AMP (on), slot 4 holds DELAY (off).
  device_->chain_order[0].Set(3);
  device_->chain_order[2].Set(1);
  device_->chain_order[4].Set(8);
  device_->chain_order[7].Set(5);
  device_->chain_off[4].Set(1);
  RecordingCanvas c = Paint();
  EXPECT_TRUE(c.HasImage(23, 362 + 5, 462 + 13));
  EXPECT_TRUE(c.HasImage(38, 786 + 16, 599 + 13));
  EXPECT_FALSE(c.DrewImage(28));
  EXPECT_FALSE(c.DrewImage(33));
}

TEST_F(EditorViewPainterTest, SelectionFrameFollowsTheSelectedModuleAndIsRemembered) {
  device_->selected_module.Set(4);  // CAB, in slot 3 (728, 462)
  view_.hover_item = 12;
  RecordingCanvas c = Paint();
  EXPECT_TRUE(c.HasImage(42, 484, 462));
  EXPECT_EQ(c.CountImage(43, 728, 462), 2);  // once found, once more as remembered
  EXPECT_EQ(painter_.remembered_slot(), 3);

  // The selected type vanishes from the chain: the frame stays where it was.
  device_->chain_order[3].Set(0);
  c = Paint();
  EXPECT_EQ(c.CountImage(43, 728, 462), 1);
  // Right after a release on the chain, only the found slot is framed.
  view_.last_released_slot = 14;
  c = Paint();
  EXPECT_FALSE(c.DrewImage(43));
}

TEST_F(EditorViewPainterTest, DraggedModuleFollowsTheMouse) {
  view_.button_down = 1;
  view_.pressed_item = 12;  // slot 1: DS/OD, offset (17, 13)
  view_.last_mouse_x = 600;
  view_.last_mouse_y = 650;
  view_.grab_offset_x = 30;
  view_.grab_offset_y = 40;
  RecordingCanvas c = Paint();
  EXPECT_TRUE(c.HasImage(43, 484, 462));
  EXPECT_TRUE(c.HasImage(22, 600 - 30 + 17, 650 - 40 + 13));
  EXPECT_TRUE(c.HasImage(22, 484 + 17, 462 + 13));
}

TEST_F(EditorViewPainterTest, ModelFieldAndIllustrations) {
  Select(1, 6);
  view_.hover_item = 90;
  RecordingCanvas c = Paint();
  EXPECT_TRUE(c.HasImage(205, 354, 260));
  EXPECT_TRUE(c.HasImage(202, 440, 183));
  EXPECT_TRUE(c.HasImage(231, 610, 184));
  EXPECT_EQ(c.TextAt(7, 528, 187), "TOUCH WAH");

  Select(6, 4);
  EXPECT_TRUE(Paint().HasImage(216, 452, 258));
  Select(7, 14);
  EXPECT_TRUE(Paint().HasImage(219, 377, 260));
  Select(8, 9);
  EXPECT_TRUE(Paint().HasImage(229, 110, 260));
  // A model the table does not know shows neither name nor picture nor sliders.
  Select(7, 0);
  c = Paint();
  EXPECT_EQ(c.TextAt(7, 528, 187), "<none>");
  for (const Call& call : c.calls)
    EXPECT_FALSE(call.kind == Call::kImage && call.a >= 217 && call.a <= 226);
  EXPECT_FALSE(c.HasFrame(630 + 12, 261 - 5, 630 + 70, 261 + 18, 0));
}

TEST_F(EditorViewPainterTest, SliderKnobBarsAndValueBox) {
  Select(3, 1);
  device_->module[3].param[0].Set(50);
  RecordingCanvas c = Paint();
  // Slider 8: 184..374 x 261..273; knob = 184 + 184 * 50 / 100 = 276.
  EXPECT_TRUE(c.HasFill(276, 260, 282, 274, kWhite));
  EXPECT_TRUE(c.HasFill(184, 261, 276, 273, kDark));
  EXPECT_TRUE(c.HasFill(282, 261, 374, 273, kLight));
  EXPECT_TRUE(c.HasFrame(386, 256, 444, 279, 0));
  const Call* v = c.ValueAt(416, 258);
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->kind, Call::kNumber);
  EXPECT_EQ(v->value, 50);
  EXPECT_EQ(v->a, 1);

  view_.hover_item = 105;
  EXPECT_TRUE(Paint().HasFill(276, 260, 282, 274, kOrange));

  // Ends of the range, and a value past it stays on the bar.
  device_->module[3].param[0].Set(0);
  EXPECT_TRUE(Paint().HasFill(184, 260, 190, 274, kOrange));
  device_->module[3].param[0].Set(100);
  EXPECT_TRUE(Paint().HasFill(368, 260, 374, 274, kOrange));
  device_->module[3].param[0].Set(250);
  c = Paint();
  EXPECT_TRUE(c.HasFill(368, 260, 374, 274, kOrange));
  EXPECT_EQ(c.ValueAt(416, 258)->value, 250);
}

TEST_F(EditorViewPainterTest, SliderWithoutARangeDrawsAtItsLeftEnd) {
  RecordingCanvas c;
  PaintSlider(c, 0, 1, 7, 100, 50, 200, 62, 0);
  EXPECT_TRUE(c.HasFill(100, 49, 106, 63, kWhite));
}

TEST_F(EditorViewPainterTest, ValueTextsFollowTheDisplayRules) {
  Select(6, 1);
  device_->module[6].param[0].Set(24);
  device_->module[6].param[1].Set(0);
  RecordingCanvas c = Paint();
  const Call* v = c.ValueAt(374 + 42, 258);
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->kind, Call::kDb);
  EXPECT_EQ(v->value, 24);
  EXPECT_EQ(c.ValueAt(374 + 42, 303)->kind, Call::kDb);
  EXPECT_NE(c.ValueAt(741 + 42, 303), nullptr);  // band 5
  EXPECT_EQ(c.ValueAt(741 + 42, 348), nullptr);  // no sixth band on model 1

  Select(6, 4);
  device_->module[6].param[2].Set(3);
  device_->eq_word[0].Set(20);
  c = Paint();
  EXPECT_EQ(c.TextAt(1, 374 + 42, 303), "-9");
  v = c.ValueAt(741 + 42, 258);
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->value, 60);  // raised to 60 Hz before drawing
  EXPECT_TRUE(c.HasFill(551, 260, 557, 274, kWhite));

  Select(7, 9);
  device_->module[7].param[0].Set(115);
  c = Paint();
  v = c.ValueAt(630 + 42, 258);
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->kind, Call::kTenths);
  EXPECT_EQ(v->value, 115);
  EXPECT_FALSE(v->wide);

  Select(7, 10);
  device_->mod_word.Set(390);
  c = Paint();
  v = c.ValueAt(630 + 42, 258);
  ASSERT_NE(v, nullptr);
  EXPECT_TRUE(v->wide);
  EXPECT_EQ(v->value, 390);
  // Its bar id is 159: hovering it lights the knob.
  view_.hover_item = 159;
  EXPECT_TRUE(Paint().HasFill(440 + 184 * 390 / 400, 260, 440 + 184 * 390 / 400 + 6, 274, kOrange));

  // Plain MOD P1 is shown at most 100.
  view_.hover_item = 0;
  Select(7, 1);
  device_->module[7].param[0].Set(180);
  EXPECT_EQ(Paint().ValueAt(630 + 42, 258)->value, 100);
  // ...but only for the three-knob models: the four-knob and two-knob ones print it as is.
  for (int model : {12, 13, 18}) {
    Select(7, model);
    const auto* shown = Paint().ValueAt(630 + 42, 258);
    ASSERT_NE(shown, nullptr) << model;
    EXPECT_EQ(shown->value, 180) << model;
  }

  // Delay times are brought into 40..2500 ms.
  Select(8, 2);
  device_->delay_word[3].Set(3000);
  EXPECT_EQ(Paint().ValueAt(630 + 42, 348)->value, 2500);
  device_->delay_word[3].Set(5);
  c = Paint();
  EXPECT_EQ(c.ValueAt(630 + 42, 348)->value, 40);
  EXPECT_TRUE(c.HasFill(440, 350, 446, 364, kWhite));
}

TEST_F(EditorViewPainterTest, CabinetAndDelayFields) {
  Select(4, 5);
  device_->module[4].param[0].Set(2);
  device_->module[4].param[3].Set(3);
  view_.hover_item = 117;
  RecordingCanvas c = Paint();
  EXPECT_TRUE(c.HasImage(202, 440, 253));
  EXPECT_TRUE(c.HasImage(202, 440, 299));
  EXPECT_TRUE(c.HasImage(231, 610, 300));
  EXPECT_EQ(c.TextAt(7, 528, 258), "6L6");
  EXPECT_EQ(c.TextAt(7, 528, 304), "U87");
  EXPECT_TRUE(c.HasFrame(642, 346, 700, 369, 0));  // CENTER value box

  // A user impulse response has no microphone and no CENTER/DISTANCE.
  Select(4, 27);
  c = Paint();
  EXPECT_EQ(c.TextAt(7, 528, 187), "IR-1");
  EXPECT_FALSE(c.HasImage(202, 440, 299));
  EXPECT_EQ(c.TextAt(7, 528, 304), "<none>");
  EXPECT_FALSE(c.HasFrame(642, 346, 700, 369, 0));
  EXPECT_EQ(c.TextAt(7, 528, 258), "6L6");

  Select(8, 3);
  device_->delay_word[4].Set(5);
  c = Paint();
  EXPECT_TRUE(c.HasImage(202, 440, 387));
  EXPECT_EQ(c.TextAt(7, 528, 392), "1/8T");
  Select(8, 9);
  device_->delay_word[6].Set(9);
  view_.hover_item = 183;
  c = Paint();
  EXPECT_EQ(c.TextAt(7, 639, 259), "1/8T");
  EXPECT_EQ(c.TextAt(7, 639, 352), "1/16D");
  EXPECT_TRUE(c.HasImage(231, 720, 348));
}

TEST_F(EditorViewPainterTest, UserAmpSlotsShowTheirNames) {
  Select(3, 56);
  EXPECT_EQ(Paint().TextAt(7, 528, 187), "EMPTY");
  {
    std::lock_guard<std::mutex> lock(device_->text_lock);
    device_->user_amp_names[0] = "MY PLEXI";
  }
  EXPECT_EQ(Paint().TextAt(7, 528, 187), "MY PLEXI");
}

TEST_F(EditorViewPainterTest, RestoreStalledAt37IsGivenUpOnThe151stPaint) {
  int stalls = 0;
  painter_.on_transfer_stalled = [&] { ++stalls; };
  Open(500);
  view_.transfer_percent = 12;
  Paint();
  view_.transfer_percent = 37;
  RecordingCanvas c = Paint();  // became 37 here
  EXPECT_EQ(c.TextAt(1, 435, 285), "37%");
  for (int i = 1; i <= 150; ++i) Paint();
  EXPECT_EQ(stalls, 0);
  Paint();  // the 151st paint after
  EXPECT_EQ(stalls, 1);
  EXPECT_EQ(painter_.stall_count(), 0);

  // Any movement starts the count again.
  for (int i = 0; i < 100; ++i) Paint();
  view_.transfer_percent = 38;
  for (int i = 0; i < 150; ++i) Paint();
  EXPECT_EQ(stalls, 1);
}

TEST_F(EditorViewPainterTest, OpenBackupPopupWithoutATransferReportsNothing) {
  int stalls = 0;
  painter_.on_transfer_stalled = [&] { ++stalls; };
  Open(500);
  view_.hover_item = 502;
  RecordingCanvas c = Paint();
  EXPECT_TRUE(c.HasImage(254, 350, 170));
  EXPECT_TRUE(c.HasImage(255, 380, 235));
  EXPECT_TRUE(c.HasImage(258, 545, 235));
  EXPECT_EQ(c.TextAt(1, 435, 285), "<none>");
  for (int i = 0; i < 400; ++i) Paint();
  EXPECT_EQ(stalls, 0);
}

TEST_F(EditorViewPainterTest, VolumeAndVersionPopups) {
  Open(20);
  device_->volume.Set(100);
  view_.hover_item = 21;
  RecordingCanvas c = Paint();
  EXPECT_TRUE(c.HasImage(201, 844, 75));
  EXPECT_TRUE(c.HasFill(959, 93, 965, 107, kOrange));
  EXPECT_FALSE(c.HasFrame(977, 89, 1035, 112, 0));  // the volume slider has no value box

  Open(4);
  view_.version_entry_marker = 0;
  c = Paint();
  EXPECT_TRUE(c.HasFill(1040, 70, 1200, 102, kGrey136));
  EXPECT_TRUE(c.HasImage(9, 1060, 42));
  EXPECT_TRUE(c.HasFill(1040, 76, 1200, 96, kLight));
  EXPECT_EQ(c.TextAt(0, 1043, 96), "Version Update");
  view_.version_entry_marker = 1;
  EXPECT_FALSE(Paint().HasFill(1040, 76, 1200, 96, kLight));
}

TEST_F(EditorViewPainterTest, ControlPageTabs) {
  Open(7);
  device_->tab_marker.store(1);
  device_->module_switch[1].Set(1);
  device_->module_switch[9].Set(1);
  view_.hover_item = 45;
  RecordingCanvas c = Paint();
  EXPECT_TRUE(c.HasImage(54, 240, 170));
  EXPECT_TRUE(c.HasImage(68, 403, 242));
  EXPECT_TRUE(c.HasImage(52, 301, 294));
  EXPECT_TRUE(c.HasImage(52, 587, 416));
  EXPECT_FALSE(c.HasImage(52, 444, 294));
  EXPECT_TRUE(c.HasImage(59, 444, 355));  // hover over grid key 5
  EXPECT_FALSE(c.DrewImage(236));

  device_->tab_marker.store(0);
  device_->tempo.Set(128);
  view_.hover_item = 201;
  view_.tap_key_held = 1;
  c = Paint();
  EXPECT_TRUE(c.HasImage(236, 240, 170));
  EXPECT_TRUE(c.HasFrame(370, 350, 460, 400, 0));
  EXPECT_TRUE(c.HasImage(237, 495, 306));
  EXPECT_TRUE(c.HasImage(239, 388, 418));
  EXPECT_FALSE(c.DrewImage(238));
  const Call* tempo = c.ValueAt(415, 355);
  ASSERT_NE(tempo, nullptr);
  EXPECT_EQ(tempo->value, 128);
  EXPECT_EQ(tempo->a, 6);
}

TEST_F(EditorViewPainterTest, ExpPageShowsTheTabsModuleAndItsChoices) {
  Open(8);
  device_->exp_tab.store(1);
  device_->exp1_module.Set(4);  // CAB: two choices
  device_->exp1_param[4].Set(1);
  RecordingCanvas c = Paint();
  EXPECT_TRUE(c.HasImage(65, 275, 170));
  EXPECT_TRUE(c.HasImage(66, 336, 234));
  EXPECT_TRUE(c.HasImage(52, 336, 356));  // rect 50 = 46 + 4
  EXPECT_TRUE(c.HasImage(116, 336, 476));
  EXPECT_TRUE(c.HasImage(117, 479, 476));
  EXPECT_TRUE(c.HasImage(119, 479, 476));
  EXPECT_FALSE(c.DrewImage(118));
  EXPECT_FALSE(c.DrewImage(120));

  device_->exp_tab.store(2);
  device_->exp2_module.Set(6);
  device_->exp2_param[6].Set(13);
  view_.hover_item = 53;
  device_->exp_settings_marker.store(1);
  c = Paint();
  EXPECT_TRUE(c.HasImage(67, 479, 234));
  EXPECT_FALSE(c.DrewImage(66));
  EXPECT_TRUE(c.HasImage(141, 622, 680));  // choice 13 of EQ on rect 69
  EXPECT_TRUE(c.HasImage(155, 622, 680));
  EXPECT_TRUE(c.HasImage(251, 622, 234));
  EXPECT_TRUE(c.HasImage(64, 496, 692));

  // A stored choice past the module's list draws no chosen image at all.
  device_->exp2_param[6].Set(14);
  c = Paint();
  for (int image = 142; image <= 179; ++image) EXPECT_FALSE(c.DrewImage(image)) << image;
}

TEST_F(EditorViewPainterTest, ExpSettingsLimitsTheLowValueToTheHighValue) {
  Open(8, 56);
  device_->exp_tab.store(1);
  device_->exp_switch.Set(1);
  device_->exp_high.Set(40);
  device_->exp_low.Set(70);
  view_.hover_item = 214;
  RecordingCanvas c = Paint();
  EXPECT_EQ(device_->exp_low.Get(), 40);
  EXPECT_TRUE(c.HasImage(252, 275, 280));
  EXPECT_TRUE(c.HasImage(68, 444, 356));
  EXPECT_EQ(c.ValueAt(555 + 42, 424)->value, 40);
  EXPECT_EQ(c.ValueAt(555 + 42, 484)->value, 40);
  EXPECT_TRUE(c.HasFrame(567, 422, 625, 445, 0));
  EXPECT_TRUE(c.HasFill(482, 685, 580, 720, kGrey136));
  EXPECT_TRUE(c.HasImage(64, 496, 545));

  // Low below high is left alone.
  device_->exp_low.Set(10);
  Paint();
  EXPECT_EQ(device_->exp_low.Get(), 10);

  device_->exp_switch.Set(0);
  c = Paint();
  EXPECT_TRUE(c.HasImage(68, 575, 356));
  EXPECT_TRUE(c.HasFill(300, 415, 630, 510, Rgb{128, 128, 128}));
  EXPECT_EQ(c.ValueAt(555 + 42, 424), nullptr);

  // Without the settings sub-page, the page's close key stays visible.
  Open(8);
  EXPECT_FALSE(Paint().HasFill(482, 685, 580, 720, kGrey136));
}

TEST_F(EditorViewPainterTest, SystemPageLevelChoicesAndConfirmations) {
  Open(6);
  device_->system[0].Set(0);
  device_->system[1].Set(1);
  device_->system[5].Set(0);
  device_->system[9].Set(0);
  device_->system[3].Set(64);
  view_.hover_item = 23;
  RecordingCanvas c = Paint();
  EXPECT_TRUE(c.HasImage(49, 240, 170));
  EXPECT_EQ(c.TextAt(1, 668, 232), "-\u221EdB");
  EXPECT_TRUE(c.HasFill(635, 228, 696, 255, kGrey136));
  EXPECT_EQ(c.ValueAt(668, 384)->value, 64);
  EXPECT_TRUE(c.HasImage(68, 582, 302));  // byte 1 = 1
  EXPECT_TRUE(c.HasImage(68, 451, 344));  // byte 2 = 0
  EXPECT_TRUE(c.HasImage(68, 581, 499));  // byte 5 = 0: OFF
  EXPECT_TRUE(c.HasImage(68, 450, 641));  // byte 9 = 0
  EXPECT_TRUE(c.HasImage(51, 595, 697));

  device_->system[0].Set(9);
  EXPECT_EQ(Paint().TextAt(1, 668, 232), "0dB");

  Open(6, 23);
  device_->system[7].Set(1);
  c = Paint();
  EXPECT_TRUE(c.HasImage(53, 299, 212));
  EXPECT_TRUE(c.HasImage(68, 409, 323));

  Open(6, 22);
  device_->second_confirmation.Set(1);
  view_.hover_item = 202;
  c = Paint();
  EXPECT_TRUE(c.HasImage(248, 320, 210));
  EXPECT_TRUE(c.HasImage(68, 528, 330));
  EXPECT_TRUE(c.HasImage(64, 473, 440));
  device_->second_confirmation.Set(0);
  c = Paint();
  EXPECT_TRUE(c.HasImage(249, 320, 210));
  EXPECT_TRUE(c.HasImage(68, 407, 330));
}

TEST_F(EditorViewPainterTest, PlainModelListRows) {
  Select(1, 3);
  Open(90);
  view_.model_list_hover[1] = 5;
  RecordingCanvas c = Paint();
  EXPECT_TRUE(c.HasFill(440, 100, 635, 293, kGrey136));
  EXPECT_TRUE(c.HasFill(440, 100 + 6 + 46, 635, 100 + 26 + 46, kOrange));
  EXPECT_TRUE(c.HasFill(440, 100 + 6 + 92, 635, 100 + 26 + 92, kLight));
  EXPECT_EQ(c.TextAt(0, 452, 125), "CRY WAH");
  EXPECT_EQ(c.TextAt(0, 452, 125 + 23 * 7), "BLUE COMP");
  EXPECT_EQ(c.TextAt(0, 452, 125 + 23 * 8), "<none>");
}

TEST_F(EditorViewPainterTest, AmplifierListScrollsAndShowsUserSlotKeys) {
  Select(3, 40);
  Open(90);
  view_.amp_list_offset = 35;
  view_.amp_import_mask = 1u << 5;  // slot 6
  RecordingCanvas c = Paint();
  EXPECT_EQ(c.TextAt(0, 452, 125), "PV 5050 CL");
  EXPECT_EQ(c.TextAt(0, 452, 125 + 23 * 25), "EMPTY");
  EXPECT_TRUE(c.HasFill(440, 106 + 23 * 4, 660, 126 + 23 * 4, kOrange));
  EXPECT_TRUE(c.HasFill(685, 104 + 13 * 35, 695, 196 + 13 * 35, Rgb{45, 45, 45}));
  EXPECT_TRUE(c.HasImage(233, 665, 683));  // slot 6, marked, bottom row
  for (int v = 1; v <= 5; ++v) EXPECT_TRUE(c.HasImage(232, 665, 683 - 23 * v)) << v;
  EXPECT_FALSE(c.HasImage(232, 665, 683 - 23 * 6));

  view_.amp_list_offset = 29;
  c = Paint();
  EXPECT_FALSE(c.DrewImage(232));
  EXPECT_FALSE(c.DrewImage(233));
}

TEST_F(EditorViewPainterTest, CabinetListShowsLoadAndDeleteKeys) {
  Select(4, 1);
  Open(90);
  view_.cab_list_offset = 2;
  view_.ir_mask = 1u << (2 + 9);  // delete of slot 2
  RecordingCanvas c = Paint();
  EXPECT_EQ(c.TextAt(0, 452, 125), "US BASS 410");
  EXPECT_TRUE(c.HasFill(685, 184, 695, 382, Rgb{45, 45, 45}));
  EXPECT_TRUE(c.HasImage(232, 645, 683));
  EXPECT_TRUE(c.HasImage(234, 665, 683));  // slot 2 at the bottom
  EXPECT_TRUE(c.HasImage(235, 665, 660));  // slot 1
  EXPECT_FALSE(c.DrewImage(233));
}

TEST_F(EditorViewPainterTest, SubSelectorListsKeepTheirLastHoveredRow) {
  Select(4, 3);
  device_->module[4].param[0].Set(4);
  Open(117);
  RecordingCanvas c = Paint();
  EXPECT_TRUE(c.HasFill(440, 170, 635, 409, kGrey136));
  EXPECT_TRUE(c.HasFill(440, 176, 635, 196, kLight));  // row 0 before any hover
  EXPECT_TRUE(c.HasFill(440, 176 + 92, 635, 196 + 92, kOrange));
  EXPECT_EQ(c.TextAt(0, 452, 195 + 23 * 9), "C4000B");

  // No microphone list for a user impulse response.
  Select(4, 30);
  EXPECT_FALSE(Paint().HasFill(440, 170, 635, 409, kGrey136));

  Select(8, 9);
  device_->delay_word[6].Set(2);
  view_.sync_ab_list_hover = 3;
  Open(183);
  c = Paint();
  EXPECT_TRUE(c.HasFill(550, 240, 745, 479, kGrey136));
  EXPECT_TRUE(c.HasFill(550, 246 + 69, 745, 266 + 69, kLight));
  EXPECT_TRUE(c.HasFill(550, 246 + 46, 745, 266 + 46, kOrange));
  EXPECT_EQ(c.TextAt(0, 562, 265), "OFF");
}

TEST_F(EditorViewPainterTest, ExpLabelsWithAndWithoutMerge) {
  device_->exp1_module.Set(6);
  device_->exp1_param[6].Set(1);
  device_->exp2_module.Set(8);
  device_->exp2_param[8].Set(2);
  device_->exp_tab.store(2);
  RecordingCanvas c = Paint();
  EXPECT_TRUE(c.HasImage(41, 48, 498));
  EXPECT_TRUE(c.HasImage(40, 48, 614));
  EXPECT_TRUE(c.HasImage(44, 80, 640));
  EXPECT_FALSE(c.HasImage(44, 80, 550));
  EXPECT_EQ(c.TextAt(3, 138, 500), "EXP:EQ");
  EXPECT_EQ(c.TextAt(3, 138, 526), "80HZ");
  EXPECT_EQ(c.TextAt(3, 138, 590), "EXP2:DELAY");
  EXPECT_EQ(c.TextAt(3, 138, 616), "TIME");

  device_->exp_merge[0].store(1);
  c = Paint();
  EXPECT_EQ(c.TextAt(3, 138, 500), "EXP: MERGE");
  EXPECT_EQ(c.TextAt(3, 138, 526), "----");
  EXPECT_EQ(c.TextAt(3, 138, 590), "EXP2:DELAY");
}

TEST_F(EditorViewPainterTest, VersionLabelIsDrawnLastInRed) {
  RecordingCanvas c = Paint();
  ASSERT_FALSE(c.calls.empty());
  const Call& last = c.calls.back();
  EXPECT_EQ(last.kind, Call::kText);
  EXPECT_EQ(last.a, 10);
  EXPECT_EQ(last.x, 25);
  EXPECT_EQ(last.y, 756);
  EXPECT_EQ(last.text, "Version 2.0.0");
  {
    std::lock_guard<std::mutex> lock(device_->text_lock);
    device_->version_text = "Version 2.1.3";
  }
  EXPECT_EQ(Paint().calls.back().text, "Version 2.1.3");
}

}  // namespace
}  // namespace rq700

namespace rq700 {
namespace {

// Whatever the device reports or the handlers leave behind, a frame only ever names
// images of the skin and text styles of the table, and never crashes.
TEST(EditorViewPainterRobustness, AnyStatePaintsOnlyKnownImagesAndStyles) {
  auto device = std::make_unique<DeviceState>();
  ResetToDefaults(*device);
  ViewState view;
  EditorViewPainter painter(*device, view);
  painter.on_transfer_stalled = [] {};
  uint32_t seed = 12345;
  auto next = [&] {
    seed ^= seed << 13;
    seed ^= seed >> 17;
    seed ^= seed << 5;
    return seed;
  };
  auto byte = [&] { return static_cast<uint8_t>(next()); };
  auto wide = [&] { return static_cast<int32_t>(next() % 1200) - 100; };
  static constexpr int kItems[] = {0,   4,   6,   7,   8,   20, 90,  117, 118,
                                   169, 177, 183, 254, 255, 9,  500, 33,  201};
  for (int round = 0; round < 400; ++round) {
    device->selected_module.Set(byte() % 12);
    for (int t = 1; t <= 9; ++t) {
      device->module[t].model.Set(byte());
      for (auto& p : device->module[t].param) p.Set(byte());
      device->exp1_param[t].Set(byte() % 20);
      device->exp2_param[t].Set(byte() % 20);
      device->module_switch[t].Set(byte());
    }
    for (auto& w : device->delay_word) w.Set(static_cast<uint16_t>(next()));
    for (auto& w : device->eq_word) w.Set(static_cast<uint16_t>(next()));
    device->mod_word.Set(static_cast<uint16_t>(next()));
    for (int i = 0; i < kChainLength; ++i) {
      device->chain_order[i].Set(byte() % 12);
      device->chain_off[i].Set(byte() % 3);
    }
    for (auto& b : device->system) b.Set(byte());
    device->exp1_module.Set(byte() % 12);
    device->exp2_module.Set(byte() % 12);
    device->exp_tab.store(byte() % 4);
    device->exp_switch.Set(byte() % 3);
    device->exp_low.Set(byte());
    device->exp_high.Set(byte());
    device->tab_marker.store(byte() % 4);
    device->second_confirmation.Set(byte() % 3);
    device->active_item.Set(kItems[next() % std::size(kItems)] & 0xFF);
    device->active_sub_item.Set(byte() % 2 ? 56 : byte());
    device->current_preset.store(wide());
    device->list_cursor.Set(wide());
    device->dirty.store(byte() % 2);
    device->exp_merge[0].store(byte() % 2);
    view.wide_active_item = byte() % 8 == 0 ? 500 : 0;
    view.hover_item = kItems[next() % std::size(kItems)];
    view.pressed_item = 11 + byte() % 12;
    view.button_down = byte() % 2;
    view.list_top = wide();
    view.hover_row = wide();
    view.amp_list_offset = wide();
    view.cab_list_offset = wide();
    view.amp_import_mask = next();
    view.ir_mask = next();
    view.transfer_percent = byte() % 3 ? 50 : wide();
    for (auto& h : view.model_list_hover) h = wide();

    RecordingCanvas c;
    painter.Paint(c);
    for (const Call& call : c.calls) {
      if (call.kind == Call::kImage) {
        ASSERT_GE(call.a, 0) << "round " << round;
        ASSERT_LE(call.a, 258) << "round " << round;
      }
      if (call.kind == Call::kText || call.kind == Call::kNumber || call.kind == Call::kDb ||
          call.kind == Call::kTenths) {
        ASSERT_GE(call.a, 0);
        ASSERT_LE(call.a, 10);
      }
    }
  }
}

}  // namespace
}  // namespace rq700
