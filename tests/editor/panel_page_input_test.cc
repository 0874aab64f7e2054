// The module panels' sliders, the three setting pages and typed values, driven through
// ViewInput as the window drives them.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <tuple>
#include <utility>

#include "editor/typed_number.h"
#include "editor/view_input.h"
#include "tests/editor/recording_shell.h"

namespace rq700 {
namespace {

namespace L = layout;
using Read = std::function<int(const DeviceState&)>;

Read Param(int type, int p) {
  return [=](const DeviceState& d) { return int{d.module[type].param[p].Get()}; };
}
const Read kModWord = [](auto& d) { return int{d.mod_word.Get()}; };
const Read kTime = [](auto& d) { return int{d.delay_word[3].Get()}; };
const Read kTimeB = [](auto& d) { return int{d.delay_time_b.Get()}; };
const Read kFrequency3 = [](auto& d) { return int{d.eq_word[2].Get()}; };
Read System(int byte) {
  return [=](const DeviceState& d) { return int{d.system[byte].Get()}; };
}
const Read kExpLow = [](auto& d) { return int{d.exp_low.Get()}; };
const Read kExpHigh = [](auto& d) { return int{d.exp_high.Get()}; };

// Module `type` at `model` on the main view, or page `page` (the EXP page in its settings,
// switched on, with the high value at 50).
struct Where {
  int page, type, model;
};

class PanelPageInputTest : public ::testing::Test {
 protected:
  PanelPageInputTest() { ResetToDefaults(*d_); }

  void Press(int x, int y) {
    input_.Move(x, y);
    input_.Press(x, y, Modifier::kNone);
  }
  void Click(int x, int y) {
    Press(x, y);
    input_.Release(x, y);
  }
  void ClickRect(int rect) { Click(L::kHitRects[rect].left + 2, L::kHitRects[rect].top + 2); }
  void ClickBox(int slider) {
    Click(L::kSliderBars[slider].right + 30, L::kSliderBars[slider].top + 5);
  }
  int Active() const { return ActiveItem(*d_, view_); }
  void Show(Where w) {
    d_->active_item.Set(w.page == 0 ? 255 : w.page);
    d_->active_sub_item.Set(w.page == 8 ? 56 : 255);
    d_->exp_switch.Set(1);
    d_->exp_high.Set(50);
    d_->selected_module.Set(w.type);
    d_->module[w.type].model.Set(w.model);
  }

  std::unique_ptr<DeviceState> d_ = std::make_unique<DeviceState>();
  ViewState view_;
  testing::RecordingShell shell_;
  testing::RecordingFileActions files_;
  uint32_t now_ = 1'000'000;
  ViewInput input_{*d_, view_, shell_, files_, [this] { return now_; }};
};

TEST_F(PanelPageInputTest, BarsSpanTheirScaleAndHoldTheEndsWhenDraggedPast) {
  struct Case {
    Where where;
    int slider, id;
    Read read;
    int left, right, middle, past_left, past_right;
  };
  // clang-format off
  const Case cases[] = {
      {{0, 3, 1}, 8, 105, Param(3, 0), 0, 100, 50, 0, 100},
      {{0, 6, 1}, 12, 137, Param(6, 4), 0, 24, 12, 0, 24},
      {{0, 7, 9}, 4, 153, Param(7, 0), 0, 240, 120, 0, 240},
      {{0, 7, 10}, 4, 159, kModWord, 0, 400, 200, 0, 400},
      {{0, 8, 1}, 6, 167, kTime, 40, 2500, 1270, 40, 2500},
      {{0, 8, 9}, 12, 181, kTimeB, 40, 2500, 1270, 40, 2500},
      // Custom-EQ frequency: 0 Hz at the left end is raised to the lowest the device takes.
      {{0, 6, 4}, 13, 151, kFrequency3, 60, 17940, 8970, 60, 18000},
      {{6, 1, 1}, 1, 24, System(0), 0, 21, 10, 0, 21},
      {{6, 1, 1}, 2, 30, System(3), 0, 100, 50, 0, 100},
      {{6, 1, 1}, 3, 32, System(4), 0, 100, 50, 0, 100},
      {{8, 1, 1}, 14, 210, kExpLow, 0, 50, 25, 0, 50},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    Show(c.where);
    const L::Rect bar = L::kSliderBars[c.slider];
    const std::pair<int, int> presses[] = {
        {bar.left, c.left}, {bar.right, c.right}, {(bar.left + bar.right) / 2, c.middle}};
    for (auto [x, expected] : presses) {
      Press(x, bar.top + 3);
      EXPECT_EQ(view_.pressed_item, c.id);
      EXPECT_EQ(c.read(*d_), expected) << "at " << x;
    }
    // Whatever the height, past either end.
    input_.Move(bar.left - 500, 5);
    EXPECT_EQ(c.read(*d_), c.past_left);
    input_.Move(bar.right + 500, 770);
    EXPECT_EQ(c.read(*d_), c.past_right);
    EXPECT_EQ(view_.hover_item, c.id);
    input_.Release(0, 0);
  }
}

TEST_F(PanelPageInputTest, ValueBoxesWithoutAnEntryBox) {
  struct Case {
    Where where;
    int slider, active, sub;
  };
  const Case cases[] = {
      {{0, 4, 27}, 7, 0, 255},  // a user cabinet has no CENTER or DISTANCE
      {{0, 6, 0}, 8, 0, 255},   // models without sliders
      {{0, 7, 21}, 4, 0, 255},
      {{6, 1, 1}, 1, 6, 25},  // the system level is picked on its bar
  };
  for (const Case& c : cases) {
    Show(c.where);
    ClickBox(c.slider);
    EXPECT_EQ(Active(), c.active) << c.slider;
    EXPECT_EQ(d_->active_sub_item.Get(), c.sub) << c.slider;
    EXPECT_FALSE(shell_.value_entry_shown) << c.slider;
  }
}

TEST_F(PanelPageInputTest, TypedValuesFollowTheirBoxesRulesAndTheBoxClosesEitherWay) {
  struct Case {
    Where where;
    int slider;
    const char* text;
    Read read;
    int expected;  // -1: unchanged
  };
  const Read frequency1 = [](auto& d) { return int{d.eq_word[0].Get()}; };
  // clang-format off
  const Case cases[] = {
      {{0, 1, 1}, 4, "50", Param(1, 0), 50},    {{0, 1, 1}, 4, "150", Param(1, 0), -1},
      {{0, 1, 1}, 4, "abc", Param(1, 0), 0},    {{0, 6, 1}, 8, "-3", Param(6, 0), 9},
      {{0, 6, 1}, 8, "12", Param(6, 0), 24},    {{0, 6, 1}, 8, "13", Param(6, 0), -1},
      {{0, 6, 4}, 10, "-12", Param(6, 4), 0},   {{0, 6, 4}, 11, "59", frequency1, -1},
      {{0, 7, 9}, 4, "-2.5", Param(7, 0), 95},  {{0, 7, 9}, 4, "12.5", Param(7, 0), -1},
      {{0, 7, 1}, 4, "-2.5", Param(7, 0), -1},  {{0, 7, 10}, 4, "3.7", kModWord, 230},
      {{0, 9, 1}, 4, "499", Param(9, 0), 99},   {{0, 9, 1}, 4, "500", Param(9, 0), 100},
      {{0, 9, 1}, 4, "501", Param(9, 0), -1},   {{0, 8, 9}, 10, "x", kTime, -1},
      {{0, 3, 1}, 8, "0000000050", Param(3, 0), 5},  // ten characters: the first nine count
      {{0, 3, 1}, 8, "1234567890", Param(3, 0), -1},
      {{8, 1, 1}, 14, "51", kExpLow, -1},       {{8, 1, 1}, 14, "50", kExpLow, 50},
      {{8, 1, 1}, 15, "9", kExpHigh, -1},       {{8, 1, 1}, 15, "10", kExpHigh, 10},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    Show(c.where);
    d_->module[c.where.type].param[0].Set(77);
    d_->exp_low.Set(10);
    const int before = c.read(*d_);
    ClickBox(c.slider);
    const L::Rect box = L::ValueBox(L::kSliderBars[c.slider]);
    ASSERT_TRUE(shell_.value_entry_shown);
    EXPECT_EQ(shell_.value_entry_at, (std::array{box.left, box.top, box.right, box.bottom}));
    input_.EnterValue(c.text);
    EXPECT_EQ(c.read(*d_), c.expected < 0 ? before : c.expected);
    EXPECT_FALSE(shell_.value_entry_shown);
    EXPECT_EQ(Active(), c.where.page == 8 ? 8 : 255) << "the EXP page stays";
  }
  // The system page lets go of its sub-item only; an empty text changes nothing. A resize
  // places the box again for the pressed item.
  Show({6, 1, 1});
  ClickBox(2);
  shell_.value_entry_shown = false;
  input_.PlaceValueEntry();
  EXPECT_TRUE(shell_.value_entry_shown);
  input_.EnterValue("");
  EXPECT_EQ(d_->active_sub_item.Get(), 31);
  input_.EnterValue("42");
  EXPECT_EQ(d_->system[3].Get(), 42);
  EXPECT_EQ(d_->active_sub_item.Get(), 255);
  EXPECT_EQ(Active(), 6);
}

TEST(TypedNumberTest, ReadsLikeTheLenientCConversionsWhateverTheLocale) {
  struct Case {
    const char* text;
    int integer;
    double real;
  };
  // clang-format off
  const Case cases[] = {
      {"42", 42, 42.0},     {" \t-7x", -7, -7.0}, {"+3.9", 3, 3.9},   {"abc", 0, 0.0},
      {"", 0, 0.0},         {"- 5", 0, 0.0},      {"+-5", 0, 0.0},    {".5", 0, 0.5},
      {"-.5e1", 0, -5.0},   {"2e+", 2, 2.0},      {"12.5.6", 12, 12.5}, {"1.5E-1", 1, 0.15},
      {"0x10", 0, 0.0},     {"1e999", 1, HUGE_VAL}, {"1e-999", 1, 0.0},
      {"99999999999", INT_MAX, 99999999999.0},    {"-99999999999", INT_MIN, -99999999999.0},
  };
  // clang-format on
  for (const Case& c : cases) {
    EXPECT_EQ(ReadTypedInteger(c.text), c.integer) << '"' << c.text << '"';
    EXPECT_EQ(ReadTypedReal(c.text), c.real) << '"' << c.text << '"';
  }
}

TEST_F(PanelPageInputTest, SystemPageChoicesAndItsTwoConfirmations) {
  // Two-way choices: rectangle, byte, value.
  const std::tuple<int, int, int> choices[] = {{37, 1, 1}, {38, 2, 0}, {71, 5, 1},
                                               {74, 6, 0}, {92, 8, 1}, {95, 9, 1}};
  for (auto [rect, byte, value] : choices) {
    Show({6, 1, 1});
    d_->system[byte].Set(value ^ 1);
    ClickRect(rect);
    EXPECT_EQ(d_->system[byte].Get(), value) << rect;
  }
  // The confirmation: armed, then OK confirms (the editor then closes) and re-sends the page.
  d_->active_item.SetSent(6);
  ClickRect(21);
  ClickRect(40);
  ClickRect(84);
  EXPECT_EQ(d_->system[7].Get(), 2);
  EXPECT_EQ(d_->active_sub_item.Get(), 255);
  EXPECT_EQ(d_->active_item.Sent(), 0);
  // The second confirmation keeps its own value.
  ClickRect(20);
  ClickRect(86);
  EXPECT_EQ(d_->second_confirmation.Get(), 1);
  ClickRect(87);
  EXPECT_EQ(d_->active_sub_item.Get(), 255);
  ClickRect(70);
  EXPECT_EQ(Active(), 254);
}

TEST_F(PanelPageInputTest, ControlPageSwitchGridAndTempo) {
  Show({7, 1, 1});
  ClickRect(26);  // grid position 4: module type 5
  EXPECT_EQ(d_->module_switch[5].Get(), 1);
  EXPECT_EQ(d_->tab_marker.load(), 2);
  ClickRect(43);  // the tempo tab: tempo keys within 40..260, the tap button
  d_->tempo.Set(260);
  ClickRect(82);
  EXPECT_EQ(d_->tempo.Get(), 260);
  ClickRect(83);
  EXPECT_EQ(d_->tempo.Get(), 259);
  input_.Move(L::kHitRects[82].left, L::kHitRects[82].top);
  EXPECT_EQ(view_.hover_item, 200);
  ClickRect(81);
  now_ += 300;
  ClickRect(81);
  EXPECT_EQ(d_->tempo.Get(), 200);
  ClickRect(31);
  EXPECT_EQ(Active(), 254);
}

TEST_F(PanelPageInputTest, ExpPageModulesChoicesAndSettings) {
  Show({8, 1, 1});
  d_->active_sub_item.Set(255);
  ClickRect(35);  // EXP2, then CAB for it: two choices only
  ClickRect(50);
  EXPECT_EQ(d_->exp2_module.Get(), 4);
  EXPECT_EQ(d_->exp_change_marker.Get(), 1);
  ClickRect(57);
  ClickRect(58);
  EXPECT_EQ(d_->exp2_param[4].Get(), 1);
  EXPECT_EQ(d_->exp_change_marker.Get(), 0);
  // The settings: values only while switched on; OK re-sends the page.
  ClickRect(90);
  EXPECT_EQ(d_->shown_exp_tab.Get(), 3);
  ClickRect(45);
  Click(L::kSliderBars[15].right, L::kSliderBars[15].top);
  EXPECT_EQ(d_->exp_high.Get(), 50);
  ClickRect(44);
  ClickBox(14);
  EXPECT_TRUE(shell_.value_entry_shown);
  ClickRect(45);
  EXPECT_FALSE(shell_.value_entry_shown) << "it goes with any other press";
  ClickRect(91);
  EXPECT_EQ(d_->exp_settings_marker.load(), 0);
  EXPECT_EQ(d_->active_sub_item.Get(), 255);
  EXPECT_EQ(d_->active_item.Sent(), 0);
  ClickRect(33);
  EXPECT_EQ(Active(), 254);
}

TEST_F(PanelPageInputTest, ValueEntryKeysAreFilteredBeforeTheBoxSeesThem) {
  WindowLogic logic(*d_, view_, shell_, [this] { return now_; });
  logic.set_pointer_input(&input_);
  for (char32_t ch : U"0123456789+-.\b") EXPECT_EQ(logic.OnValueEntryChar(ch), ch != 0);
  for (char32_t ch : U"a,e\x7f\t ") EXPECT_FALSE(logic.OnValueEntryChar(ch));
  now_ += 500;
  EXPECT_FALSE(logic.OnValueEntryChar(U' '));
  EXPECT_EQ(d_->tempo.Get(), 120) << "a space taps the tempo";
  Show({0, 3, 1});
  ClickBox(8);
  // The window's keys that the box hands on: Ctrl+A over the list, not the arrows.
  view_.hover_item = kItemPresetList;
  logic.OnValueEntryKeyDown(kKeyDown, false);
  EXPECT_EQ(d_->list_cursor.Get(), 0);
  logic.OnValueEntryKeyDown(kKeyA, true);
  EXPECT_EQ(std::count(view_.list_selected.begin(), view_.list_selected.end(), 1), kPresetCount);
  logic.OnValueEntryKeyDown(kKeyEscape, false);
  EXPECT_EQ(Active(), 254);
  EXPECT_FALSE(shell_.value_entry_shown);
}

}  // namespace
}  // namespace rq700
