#include "editor/window_logic.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "protocol/preset_record.h"
#include "tests/editor/recording_shell.h"

namespace rq700 {
namespace {

using testing::RecordingShell;

class RecordingPointer : public PointerInput {
 public:
  void Press(int x, int y, Modifier modifier) override {
    presses.push_back({x, y});
    modifiers.push_back(modifier);
  }
  void Move(int x, int y) override { moves.push_back({x, y}); }
  void Release(int x, int y) override { releases.push_back({x, y}); }
  void Wheel(int delta) override { wheels.push_back(delta); }
  void PlaceValueEntry() override { ++placements; }
  void EnterValue(std::string_view text) override { entered.emplace_back(text); }

  std::vector<BasePoint> presses, moves, releases;
  std::vector<std::string> entered;
  std::vector<Modifier> modifiers;
  std::vector<int> wheels;
  int placements = 0;
};

class WindowLogicTest : public ::testing::Test {
 protected:
  WindowLogicTest() : state_(std::make_unique<DeviceState>()) {
    ResetToDefaults(*state_);
    logic_ = std::make_unique<WindowLogic>(*state_, ui_, shell_, [this] { return now_; });
    logic_->set_pointer_input(&pointer_);
  }

  void TicksUntil(uint32_t tick) {
    while (logic_->startup_ticks() < tick) {
      ASSERT_EQ(logic_->OnStartupTick(), WindowLogic::StartupStep::kWaiting)
          << "at tick " << logic_->startup_ticks();
    }
  }

  // Two taps of the space bar `interval` ms apart; the tempo afterwards.
  int TapTwice(uint32_t interval) {
    logic_->OnKeyDown(kKeySpace, false);
    logic_->OnKeyUp();
    now_ += interval;
    logic_->OnKeyDown(kKeySpace, false);
    logic_->OnKeyUp();
    now_ += 10000;  // the next measurement starts afresh
    return state_->tempo.Get();
  }

  std::unique_ptr<DeviceState> state_;
  ViewState ui_;
  RecordingShell shell_;
  RecordingPointer pointer_;
  uint32_t now_ = 1'000'000;
  std::unique_ptr<WindowLogic> logic_;
};

TEST_F(WindowLogicTest, StartupWaitShowsTheWindowOnTheTickAfterTheDump) {
  TicksUntil(10);
  state_->load_complete = 1;
  EXPECT_EQ(logic_->OnStartupTick(), WindowLogic::StartupStep::kShowWindow);
  EXPECT_EQ(state_->re_request.load(), 0) << "a complete dump is not asked for again";
  EXPECT_TRUE(shell_.messages.empty());
}

TEST_F(WindowLogicTest, StartupWaitReRequestsOnceAtTick80AndGivesUpAt200) {
  TicksUntil(79);
  EXPECT_EQ(state_->re_request.load(), 0);
  TicksUntil(80);
  EXPECT_EQ(state_->re_request.load(), 1);
  state_->re_request = 0;  // the sequencer consumes it
  TicksUntil(199);
  EXPECT_EQ(state_->re_request.load(), 0);
  EXPECT_TRUE(shell_.messages.empty());

  EXPECT_EQ(logic_->OnStartupTick(), WindowLogic::StartupStep::kFailed);
  EXPECT_TRUE(shell_.messages.empty());
  logic_->ReportStartupFailure();
  ASSERT_EQ(shell_.messages.size(), 1u);
  EXPECT_EQ(shell_.messages[0].text, "Updata preset fail");
  EXPECT_EQ(shell_.messages[0].caption, "ERROR");
  EXPECT_EQ(shell_.messages[0].owner, MessageOwner::kWaitingDialog);
  EXPECT_EQ(shell_.messages[0].icon, MessageIcon::kNone);
}

TEST_F(WindowLogicTest, DumpCompletingOnTheLastTickStillFails) {
  TicksUntil(199);
  state_->load_complete = 1;
  EXPECT_EQ(logic_->OnStartupTick(), WindowLogic::StartupStep::kFailed);
}

TEST_F(WindowLogicTest, SystemByte7At2ClosesOnThe50thTickAndTheCountNeverResets) {
  for (int i = 0; i < 10; ++i) EXPECT_FALSE(logic_->OnRepaintTick().close);
  state_->system[7].SetBoth(2);
  for (int i = 0; i < 30; ++i) EXPECT_FALSE(logic_->OnRepaintTick().close);
  state_->system[7].SetBoth(1);
  for (int i = 0; i < 100; ++i) EXPECT_FALSE(logic_->OnRepaintTick().close);
  state_->system[7].SetBoth(2);
  for (int i = 0; i < 19; ++i) EXPECT_FALSE(logic_->OnRepaintTick().close);
  EXPECT_TRUE(logic_->OnRepaintTick().close);
  EXPECT_FALSE(logic_->OnRepaintTick().close) << "only once";
}

TEST_F(WindowLogicTest, ImportWatchdogFiresOnThe300thBusyTick) {
  state_->in_flight = 1;
  for (int i = 0; i < 200; ++i) ASSERT_FALSE(logic_->OnRepaintTick().import_timed_out);
  // A clear flag holds the counter at 0.
  state_->in_flight = 0;
  logic_->OnRepaintTick();
  state_->in_flight = 1;
  for (int i = 0; i < 299; ++i) ASSERT_FALSE(logic_->OnRepaintTick().import_timed_out) << i;
  EXPECT_TRUE(logic_->OnRepaintTick().import_timed_out);
  EXPECT_EQ(state_->in_flight.load(), 0);
  EXPECT_FALSE(logic_->OnRepaintTick().import_timed_out);
}

TEST_F(WindowLogicTest, ImportResultsShowTheirBoxAndAlwaysRestoreTheArrow) {
  const std::vector<std::pair<int, std::string>> boxes = {{0, "Import Success!!"},
                                                          {5, "Import Fail!!"},
                                                          {6, "File error!!"},
                                                          {7, "Select a maximum of 200 files!!"},
                                                          {8, "File Name error!!"}};
  for (const auto& [code, text] : boxes) {
    shell_.messages.clear();
    shell_.wait_cursor = true;
    logic_->OnImportResult(code);
    ASSERT_EQ(shell_.messages.size(), 1u) << code;
    EXPECT_EQ(shell_.messages[0].text, text);
    EXPECT_EQ(shell_.messages[0].caption, "Notice");
    EXPECT_EQ(shell_.messages[0].owner, MessageOwner::kMainWindow);
    EXPECT_FALSE(shell_.wait_cursor) << code;
  }
  for (int code : {1, 2, 3, 4, 9, -1}) {
    shell_.messages.clear();
    shell_.wait_cursor = true;
    logic_->OnImportResult(code);
    EXPECT_TRUE(shell_.messages.empty()) << code;
    EXPECT_FALSE(shell_.wait_cursor) << code;
  }
}

TEST_F(WindowLogicTest, TransferResultsShowTheirBoxAndOnlyARestoreEnds) {
  shell_.wait_cursor = true;
  EXPECT_TRUE(logic_->OnTransferResult(0));
  EXPECT_FALSE(logic_->OnTransferResult(1));
  EXPECT_FALSE(logic_->OnTransferResult(2));
  EXPECT_FALSE(logic_->OnTransferResult(3));
  EXPECT_FALSE(logic_->OnTransferResult(4));
  EXPECT_FALSE(logic_->OnTransferResult(5));
  ASSERT_EQ(shell_.messages.size(), 5u);
  EXPECT_EQ(shell_.messages[0].text, "Restore successful, please restart the software");
  EXPECT_EQ(shell_.messages[1].text, "Backup successful!");
  EXPECT_EQ(shell_.messages[2].text, "Restore fail! please try again");
  EXPECT_EQ(shell_.messages[3].text, "Backup fail! please try again");
  EXPECT_EQ(shell_.messages[4].text, "Backup fail! the file cannot be written");
  for (const auto& m : shell_.messages) EXPECT_EQ(m.caption, "Notice");
  EXPECT_TRUE(shell_.wait_cursor) << "the transfer restores the cursor itself";
}

TEST_F(WindowLogicTest, DeviceLossWarnsAndMarksTheDisconnection) {
  EXPECT_FALSE(logic_->disconnected());
  logic_->OnDeviceGone();
  ASSERT_EQ(shell_.messages.size(), 1u);
  EXPECT_EQ(shell_.messages[0].text, "The device is disconnected");
  EXPECT_EQ(shell_.messages[0].caption, "Notice");
  EXPECT_EQ(shell_.messages[0].icon, MessageIcon::kWarning);
  EXPECT_EQ(shell_.messages[0].owner, MessageOwner::kMainWindow);
  EXPECT_TRUE(logic_->disconnected());
}

TEST_F(WindowLogicTest, TapTempoFromTheIntervalBetweenTwoTaps) {
  state_->tempo.SetBoth(120);
  EXPECT_EQ(TapTwice(300), 200);
  EXPECT_EQ(TapTwice(1500), 40);
  EXPECT_EQ(TapTwice(100), 260) << "600 is clamped";
  EXPECT_EQ(TapTwice(1999), 40);
  state_->tempo.SetBoth(123);
  EXPECT_EQ(TapTwice(2000), 123) << "2 s or more only starts a new measurement";
  EXPECT_EQ(TapTwice(0), 123) << "no time between taps changes nothing";
  EXPECT_EQ(state_->tempo.Sent(), 123);
  // The tempo is only written to the current value: the sequencer sends it.
  TapTwice(500);
  EXPECT_EQ(state_->tempo.Get(), 120);
  EXPECT_EQ(state_->tempo.Sent(), 123);
}

TEST_F(WindowLogicTest, FirstTapLongAfterStartOnlyStartsAMeasurement) {
  // A clock past 2^31 ms (a machine up for more than 24.8 days): the time since "no tap
  // yet" reads negative as a signed interval, and must not count as a fast tap.
  state_->tempo.SetBoth(100);
  now_ = 0x9000'0000u;
  logic_->OnKeyDown(kKeySpace, false);
  logic_->OnKeyUp();
  EXPECT_EQ(state_->tempo.Get(), 100);
  now_ += 500;
  logic_->OnKeyDown(kKeySpace, false);
  EXPECT_EQ(state_->tempo.Get(), 120) << "the second tap measures from the first";
  // The clock wrapping between two taps still measures the interval.
  now_ = 0xFFFF'FF00u;
  logic_->OnKeyDown(kKeySpace, false);
  now_ += 400;  // wraps past zero
  logic_->OnKeyDown(kKeySpace, false);
  EXPECT_EQ(state_->tempo.Get(), 150);
}

TEST_F(WindowLogicTest, HeldSpaceRepeatsTapsAndKeyUpReleasesIt) {
  state_->tempo.SetBoth(100);
  logic_->OnKeyDown(kKeySpace, false);
  EXPECT_TRUE(logic_->tap_key_held());
  now_ += 250;
  logic_->OnKeyDown(kKeySpace, false);  // repeat
  EXPECT_EQ(state_->tempo.Get(), 240);
  logic_->OnKeyUp();
  EXPECT_FALSE(logic_->tap_key_held());
}

TEST_F(WindowLogicTest, ModifierFlagsAreExclusiveAndClearedOnKeyUp) {
  logic_->OnKeyDown(kKeyShift, false);
  EXPECT_TRUE(logic_->shift_flag());
  logic_->OnKeyDown(kKeyCtrl, true);
  EXPECT_TRUE(logic_->ctrl_flag());
  EXPECT_FALSE(logic_->shift_flag());
  logic_->OnKeyDown(kKeyShift, false);
  EXPECT_FALSE(logic_->ctrl_flag());
  logic_->OnKeyUp();
  EXPECT_FALSE(logic_->shift_flag());
  EXPECT_FALSE(logic_->ctrl_flag());
}

TEST_F(WindowLogicTest, CtrlASelectsEveryPresetOnlyOverTheList) {
  ui_.hover_item = 0;
  logic_->OnKeyDown(kKeyA, true);
  EXPECT_EQ(std::count(ui_.list_selected.begin(), ui_.list_selected.end(), 1), 0);
  ui_.hover_item = kItemPresetList;
  logic_->OnKeyDown(kKeyA, false);
  EXPECT_EQ(std::count(ui_.list_selected.begin(), ui_.list_selected.end(), 1), 0);
  logic_->OnKeyDown(kKeyA, true);
  EXPECT_EQ(std::count(ui_.list_selected.begin(), ui_.list_selected.end(), 1), 200);
}

TEST_F(WindowLogicTest, EscapeDismissesPopupsSelectionAndTheEntryBox) {
  ui_.wide_active_item = 500;
  state_->active_item.Set(7);
  state_->active_sub_item.Set(23);
  ui_.list_selected[3] = 1;
  ui_.list_selected[199] = 1;
  logic_->OnKeyDown(kKeyEscape, false);
  EXPECT_EQ(ActiveItem(*state_, ui_), 254) << "the backup/restore popup closes too";
  EXPECT_EQ(state_->active_sub_item.Get(), 254);
  EXPECT_EQ(std::count(ui_.list_selected.begin(), ui_.list_selected.end(), 1), 0);
  EXPECT_EQ(shell_.value_entry_hidden, 1);

  // A page the device opens replaces our popup as well.
  ui_.wide_active_item = 500;
  state_->active_item.Set(6);
  logic_->OnDevicePageChange();
  EXPECT_EQ(ActiveItem(*state_, ui_), 6);
  EXPECT_EQ(shell_.value_entry_hidden, 2);
}

TEST_F(WindowLogicTest, UpAndDownWalkThePresetListWithinItsEnds) {
  uint8_t record[record::kSize] = {};
  record[record::kVolume] = 77;
  WriteRecord(*state_, 1, record);
  record[record::kVolume] = 66;
  WriteRecord(*state_, 0, record);

  // Not while another item is active.
  state_->active_item.Set(6);
  logic_->OnKeyDown(kKeyDown, false);
  EXPECT_EQ(state_->list_cursor.Get(), 0);

  state_->active_item.Set(kItemPresetList);
  state_->dirty = 1;
  logic_->OnKeyDown(kKeyDown, false);
  EXPECT_EQ(state_->list_cursor.Get(), 1);
  EXPECT_EQ(state_->current_preset.load(), 1);
  EXPECT_EQ(state_->volume.Get(), 77) << "preset 1 was selected";
  EXPECT_EQ(state_->dirty.load(), 0);
  EXPECT_EQ(state_->preset_change_request.load(), 1) << "the device is told";

  logic_->OnKeyDown(kKeyUp, false);
  logic_->OnKeyDown(kKeyUp, false);
  EXPECT_EQ(state_->list_cursor.Get(), 0);
  EXPECT_EQ(state_->current_preset.load(), 0);
  EXPECT_EQ(state_->volume.Get(), 66);

  state_->list_cursor.Set(199);
  logic_->OnKeyDown(kKeyDown, false);
  EXPECT_EQ(state_->list_cursor.Get(), 199);
  EXPECT_EQ(state_->current_preset.load(), 199);
}

TEST_F(WindowLogicTest, FirstSizeAsksForTheBaseCanvasAndScalesFollowTheClient) {
  auto first = logic_->OnResize(640, 480);
  EXPECT_TRUE(first.make_base_size);
  auto second = logic_->OnResize(1232, 779);
  EXPECT_FALSE(second.make_base_size);
  EXPECT_FLOAT_EQ(logic_->horizontal_scale(), 1.0f);
  EXPECT_FLOAT_EQ(logic_->vertical_scale(), 1.0f);
  EXPECT_EQ(second.value_entry_style, 1);
  EXPECT_EQ(pointer_.placements, 2);

  auto small = logic_->OnResize(1232, 600);
  EXPECT_NEAR(logic_->vertical_scale(), 0.77f, 0.001f);
  EXPECT_EQ(small.value_entry_style, 8);
  EXPECT_EQ(logic_->PresentHeight(), 600);
  EXPECT_EQ(logic_->PresentWidth(), 1232);

  EXPECT_EQ(logic_->OnResize(1848, 662).value_entry_style, 8);  // 0.8498
  EXPECT_EQ(logic_->OnResize(1848, 663).value_entry_style, 1);
  EXPECT_EQ(logic_->OnResize(1848, 856).value_entry_style, 1);  // 1.0988
  EXPECT_EQ(logic_->OnResize(1848, 857).value_entry_style, 9);
  EXPECT_FLOAT_EQ(logic_->horizontal_scale(), 1.5f);
  EXPECT_EQ(shell_.value_entry_styles.back(), 9);
}

TEST_F(WindowLogicTest, MousePositionsMapToTheBaseCanvas) {
  logic_->OnResize(1848, 1168);  // 1.5 x 1.4994
  EXPECT_EQ(logic_->ToBase(0, 0), (BasePoint{0, 0}));
  EXPECT_EQ(logic_->ToBase(1847, 1167), (BasePoint{1231, 778}));
  EXPECT_EQ(logic_->ToBase(3, 3), (BasePoint{2, 2}));
  // Left of and above the window while captured: negative, truncated toward zero.
  EXPECT_EQ(logic_->ToBase(-3, -1), (BasePoint{-2, 0}));
  EXPECT_EQ(logic_->ToBase(-300, -150), (BasePoint{-200, -100}));
  // Fractions the desktop reports are cut off, never rounded up.
  EXPECT_EQ(logic_->ToBase(4.4, 2.99), (BasePoint{2, 1}));
  EXPECT_EQ(logic_->ToBase(-1.4, -0.6), (BasePoint{0, 0}));

  logic_->OnMouseMove(150, 150);
  logic_->OnWheel(-120);
  ASSERT_EQ(pointer_.moves.size(), 1u);
  EXPECT_EQ(pointer_.moves[0], (BasePoint{100, 100}));
  EXPECT_EQ(pointer_.wheels, std::vector<int>{-120});
}

TEST_F(WindowLogicTest, ZeroSizedClientKeepsTheScale) {
  logic_->OnResize(1232, 779);
  logic_->OnResize(0, 0);
  EXPECT_FLOAT_EQ(logic_->horizontal_scale(), 1.0f);
  EXPECT_FLOAT_EQ(logic_->vertical_scale(), 1.0f);
  EXPECT_EQ(logic_->ToBase(10, 10), (BasePoint{10, 10}));
}

TEST_F(WindowLogicTest, ClicksUnderTheWaitCursorAreIgnored) {
  shell_.wait_cursor = true;
  EXPECT_FALSE(logic_->OnLeftButtonDown(100, 100));
  EXPECT_TRUE(pointer_.presses.empty());
  shell_.wait_cursor = false;
  EXPECT_TRUE(logic_->OnLeftButtonDown(100.9, 100.5));
  logic_->OnLeftButtonUp(101, 102);
  ASSERT_EQ(pointer_.presses.size(), 1u);
  EXPECT_EQ(pointer_.presses[0], (BasePoint{100, 100}));
  EXPECT_EQ(pointer_.releases[0], (BasePoint{101, 102}));
}

TEST_F(WindowLogicTest, PressesCarryTheModifierPressedLast) {
  logic_->OnLeftButtonDown(1, 1);
  logic_->OnKeyDown(kKeyShift, false);
  logic_->OnLeftButtonDown(1, 1);
  logic_->OnKeyDown(kKeyCtrl, true);
  logic_->OnLeftButtonDown(1, 1);
  logic_->OnKeyUp();
  logic_->OnLeftButtonDown(1, 1);
  EXPECT_EQ(pointer_.modifiers, (std::vector<Modifier>{Modifier::kNone, Modifier::kShift,
                                                       Modifier::kCtrl, Modifier::kNone}));
}

}  // namespace
}  // namespace rq700
