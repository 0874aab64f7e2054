// The view's pointer handlers, driven through ViewInput as the window drives them.
#include "editor/view_input.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "editor/preset_list_input.h"
#include "editor/save_dialog.h"
#include "protocol/preset_record.h"
#include "tests/editor/recording_shell.h"

namespace rq700 {
namespace {

using testing::RecordingFileActions;
using testing::RecordingShell;

// A point inside preset-list row `row`, and one in the gap below it.
int RowY(int row) { return 169 + 23 * row + 10; }
int GapY(int row) { return 189 + 23 * row + 1; }

class ViewInputTest : public ::testing::Test {
 protected:
  ViewInputTest() : device_(std::make_unique<DeviceState>()) {
    ResetToDefaults(*device_);
    for (int i = 0; i < kPresetCount; ++i) {
      uint8_t record[record::kSize] = {};
      for (int slot = 0; slot < 9; ++slot) record[record::kChainOrder + slot] = slot + 1;
      record[record::kVolume] = static_cast<uint8_t>(i % 100);
      const std::string name = "TONE " + std::to_string(i);
      std::memcpy(record + record::kName, name.data(), name.size());
      WriteRecord(*device_, i, record);
      SetPresetName(*device_, i, record + record::kName, record::kNameSize);
    }
    for (int slot = 0; slot < 9; ++slot) device_->chain_order[slot].SetBoth(slot + 1);
    input_ = std::make_unique<ViewInput>(*device_, view_, shell_, files_);
  }

  void Press(int x, int y, Modifier modifier = Modifier::kNone) {
    input_->Move(x, y);
    input_->Press(x, y, modifier);
  }
  void Click(int x, int y, Modifier modifier = Modifier::kNone) {
    Press(x, y, modifier);
    input_->Release(x, y);
  }
  int Active() const { return ActiveItem(*device_, view_); }
  void Open(int item) {
    view_.wide_active_item = item > 255 ? item : 0;
    device_->active_item.Set(item > 255 ? 0 : item);
  }
  void Select(int type, int model) {
    device_->selected_module.Set(type);
    device_->module[type].model.Set(model);
  }
  // The edited preset `current`, with unsaved changes.
  void EditPreset(int current) {
    device_->list_cursor.SetBoth(current);
    device_->current_preset = current;
    device_->dirty = 1;
  }

  std::unique_ptr<DeviceState> device_;
  ViewState view_;
  RecordingShell shell_;
  RecordingFileActions files_;
  std::unique_ptr<ViewInput> input_;
};

TEST_F(ViewInputTest, EdgesOfEveryRectangleAreInside) {
  struct Case {
    int x, y, active;
  };
  const Case cases[] = {
      {875, 184, 6},  {980, 214, 6},   {981, 214, 0},  {875, 215, 0},   // system page button
      {875, 364, 9},  {932, 130, 20},  {973, 156, 20}, {974, 156, 0},   // fourth, volume
      {440, 183, 90}, {635, 210, 90},  {636, 210, 0},                   // model field
      {484, 462, 12}, {572, 575, 12},  {573, 575, 0},  {298, 713, 19},  // chain slots
      {1061, 41, 4},  {1201, 69, 4},   {1202, 69, 0},  {1061, 70, 0},   // version
      {892, 41, 500}, {1032, 69, 500}, {891, 41, 0},                    // backup/restore
      {1009, 169, 5}, {1200, 608, 5},  {1201, 300, 0},                  // preset list
  };
  for (const Case& c : cases) {
    Open(255);
    Click(c.x, c.y);
    EXPECT_EQ(Active(), c.active) << c.x << "," << c.y;
  }
}

TEST_F(ViewInputTest, PlainPressOnARowPicksThatPresetAndAGapPicksNothing) {
  view_.list_top = 10;
  Click(1100, RowY(3));
  EXPECT_EQ(device_->list_cursor.Get(), 13);
  EXPECT_EQ(device_->current_preset.load(), 13);
  EXPECT_EQ(device_->list_row.Get(), 3);
  EXPECT_EQ(device_->volume.Get(), 13) << "the preset's record is loaded";
  EXPECT_EQ(device_->preset_change_request.load(), 1) << "the device is told";
  EXPECT_EQ(Active(), 5);

  device_->preset_change_request = 0;
  Open(255);
  for (int y : {GapY(3), 168, 190 + 23 * 18}) {
    Click(1100, y);
    EXPECT_EQ(device_->list_cursor.Get(), 13) << y;
    EXPECT_EQ(device_->preset_change_request.load(), 0) << y;
    EXPECT_EQ(Active(), 5) << "the press still makes the list active";
  }
}

TEST_F(ViewInputTest, CtrlTogglesAndShiftSpansSelectionFlagsOnly) {
  view_.list_top = 10;
  device_->list_cursor.SetBoth(20);
  Open(255);
  Click(1100, GapY(4), Modifier::kCtrl);
  EXPECT_EQ(std::count(view_.list_selected.begin(), view_.list_selected.end(), 1), 0);
  Click(1100, RowY(4), Modifier::kCtrl);
  EXPECT_EQ(view_.list_selected[14], 1);
  Click(1100, RowY(4), Modifier::kCtrl);
  EXPECT_EQ(view_.list_selected[14], 0);
  EXPECT_EQ(Active(), 255) << "a Ctrl-click is no press on the list";

  view_.list_selected[100] = 1;
  Click(1100, RowY(3), Modifier::kShift);
  for (int i = 0; i < kPresetCount; ++i)
    EXPECT_EQ(view_.list_selected[i], i >= 13 && i <= 20 ? 1 : 0) << i;
  EXPECT_EQ(device_->list_cursor.Get(), 20);
  EXPECT_EQ(Active(), 255);
}

TEST_F(ViewInputTest, ThumbDragMovesOneRowPerTwoPixelsWithinTheList) {
  struct Case {
    int start_top, dy, top;
  };
  const Case cases[] = {{0, 9, 4}, {0, 1, 0}, {50, -9, 46}, {170, 100, 181}, {100, -5000, 0}};
  for (const Case& c : cases) {
    view_.list_top = c.start_top;
    const int y = 174 + 2 * c.start_top + 10;
    Press(1210, y);
    ASSERT_EQ(view_.pressed_item, 10);
    input_->Move(1210, y + c.dy);
    EXPECT_EQ(view_.list_top, c.top) << c.start_top << " " << c.dy;
    EXPECT_EQ(view_.hover_item, 10);
    input_->Release(1210, y + c.dy);
  }
  // Above the thumb the scroll column is no thumb.
  view_.list_top = 50;
  Press(1210, 173 + 100);
  EXPECT_NE(view_.pressed_item, 10);
}

TEST_F(ViewInputTest, WheelScrollsThePresetListUnderTheMouseAndTheLongModelLists) {
  input_->Move(1100, 300);
  input_->Wheel(-120);
  input_->Wheel(-120);
  EXPECT_EQ(view_.list_top, 2);
  input_->Wheel(120);
  EXPECT_EQ(view_.list_top, 1);
  view_.list_top = 181;
  input_->Wheel(-120);
  EXPECT_EQ(view_.list_top, 181);

  input_->Move(500, 300);
  Open(90);
  Select(3, 1);
  view_.amp_list_offset = 38;
  input_->Wheel(-120);
  input_->Wheel(-120);
  EXPECT_EQ(view_.amp_list_offset, 39);
  Select(4, 1);
  input_->Wheel(120);
  EXPECT_EQ(view_.cab_list_offset, 0);
  view_.cab_list_offset = 9;
  input_->Wheel(-120);
  input_->Wheel(-120);
  EXPECT_EQ(view_.cab_list_offset, 10);
  Select(1, 1);
  input_->Wheel(-120);
  EXPECT_EQ(view_.list_top, 181) << "a plain model list does not scroll";
}

TEST_F(ViewInputTest, SaveQuestionNamesTheEditedPresetInThreeDigits) {
  const std::pair<int, const char*> cases[] = {{6, "Do you want to save changes to P007 ?"},
                                               {41, "Do you want to save changes to P042 ?"},
                                               {149, "Do you want to save changes to P150 ?"}};
  for (const auto& [current, question] : cases) {
    shell_.messages.clear();
    EditPreset(current);
    view_.list_top = 0;
    Click(1100, RowY(current == 0 ? 1 : 0));
    ASSERT_EQ(shell_.messages.size(), 1u);
    EXPECT_EQ(shell_.messages[0].text, question);
    EXPECT_EQ(shell_.messages[0].caption, "Confirmation");
    EXPECT_EQ(shell_.messages[0].icon, MessageIcon::kWarning);
  }
  // No question for a clean edit, for the edited preset itself, or with no current preset.
  shell_.messages.clear();
  EditPreset(3);
  Click(1100, RowY(3));
  EXPECT_EQ(device_->dirty.load(), 1) << "the edit stays";
  device_->dirty = 0;
  Click(1100, RowY(4));
  EditPreset(4);
  device_->current_preset = 255;
  Click(1100, RowY(5));
  EXPECT_TRUE(shell_.messages.empty());
  EXPECT_EQ(device_->current_preset.load(), 5);
}

TEST_F(ViewInputTest, YesSavesThenSwitchesAndNoSwitchesPuttingAnImportedNameBack) {
  // Yes, then SAVE in the edited slot: the editor goes to the saved preset.
  EditPreset(6);
  shell_.yes_answer = true;
  shell_.save_answer = SaveDialogChoice{6, u"mine"};
  Click(1100, RowY(2));
  ASSERT_EQ(shell_.save_dialogs.size(), 1u);
  EXPECT_EQ(shell_.save_dialogs[0].selection, 6);
  EXPECT_EQ(device_->save_request.load(), kSaveRaised);
  EXPECT_EQ(device_->current_preset.load(), 6);
  EXPECT_EQ(device_->list_cursor.Get(), 6);
  EXPECT_EQ(device_->dirty.load(), 0);
  EXPECT_EQ(PresetName(*device_, 6), "P007: MINE");

  // Yes, then CANCEL: the switch still happens, on the device too.
  EditPreset(6);
  device_->preset_change_request = 0;
  device_->save_request = kSaveWithdrawn;
  shell_.save_answer.reset();
  Click(1100, RowY(2));
  EXPECT_EQ(device_->current_preset.load(), 2);
  EXPECT_EQ(device_->volume.Get(), 2);
  EXPECT_EQ(device_->preset_change_request.load(), 1);
  EXPECT_EQ(device_->save_request.load(), kSaveWithdrawn);

  // No: the imported name goes back to the preset that took it.
  EditPreset(6);
  shell_.yes_answer = false;
  view_.imported_name_pending = 1;
  view_.imported_name_index = 6;
  view_.previous_name = {'O', 'L', 'D'};
  const size_t dialogs = shell_.save_dialogs.size();
  Click(1100, RowY(9));
  EXPECT_EQ(shell_.save_dialogs.size(), dialogs);
  EXPECT_EQ(view_.imported_name_pending, 0);
  EXPECT_EQ(PresetName(*device_, 6), "P007: OLD");
  uint8_t record[record::kSize];
  ReadRecord(*device_, 6, record);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(record + record::kName)), "OLD");
  EXPECT_EQ(device_->current_preset.load(), 9);
  EXPECT_EQ(device_->preset_change_request.load(), 1);
  EXPECT_EQ(device_->dirty.load(), 0);
}

TEST_F(ViewInputTest, ChainDragMovesAModuleAcrossTheU) {
  device_->chain_off[1].SetBoth(1);
  device_->selected_module.SetBoth(5);
  // Slot 2 (484, 462) taken 10, 20 inside; dropped on slot 6 (664, 599) of the lower row.
  Press(494, 482);
  EXPECT_EQ(view_.grab_offset_x, 10);
  EXPECT_EQ(view_.grab_offset_y, 20);
  input_->Move(600, 520);
  input_->Move(700, 650);
  EXPECT_EQ(view_.hover_item, 16);
  input_->Release(700, 650);
  const uint8_t order[9] = {1, 3, 4, 5, 6, 2, 7, 8, 9};
  for (int slot = 0; slot < 9; ++slot) {
    EXPECT_EQ(device_->chain_order[slot].Get(), order[slot]) << slot;
    EXPECT_EQ(device_->chain_off[slot].Get(), slot == 5 ? 1 : 0) << slot;
  }
  EXPECT_EQ(device_->module[2].enable.Get(), 0) << "the moved module keeps its off state";
  EXPECT_EQ(device_->selected_module.Get(), 5);
  EXPECT_EQ(view_.button_down, 0);
  EXPECT_EQ(view_.drag_started, 0);

  // Dropped between slots or outside the chain: nothing moves.
  Press(494, 482);
  input_->Move(460, 520);
  input_->Release(460, 520);
  Press(494, 482);
  input_->Move(494, 300);
  input_->Release(494, 300);
  for (int slot = 0; slot < 9; ++slot) EXPECT_EQ(device_->chain_order[slot].Get(), order[slot]);
}

TEST_F(ViewInputTest, ChainClickSelectsAndSwitchesOffButOnOnlyAtTheSecondClick) {
  for (int slot = 0; slot < 9; ++slot) device_->module[slot + 1].enable.SetBoth(1);
  struct Step {
    int slot;  // 0-based
    int off_after, enable_after;
  };
  // Slot 3 holds module 3, slot 4 module 4.
  const Step steps[] = {
      {2, 1, 0},  // on: off at once
      {2, 0, 1},  // off, and the previous click was here: on
      {3, 1, 0},  // another slot: off
      {2, 1, 0},  // back to slot 3: off again
      {3, 1, 0},  // slot 4 is off but the click before was on slot 3: stays off
      {3, 0, 1},  // the second click in a row: on
  };
  for (const Step& s : steps) {
    const auto& r = layout::kHitRects[11 + s.slot];
    Click(r.left + 5, r.top + 5);
    EXPECT_EQ(device_->chain_off[s.slot].Get(), s.off_after) << "slot " << s.slot + 1;
    EXPECT_EQ(device_->module[s.slot + 1].enable.Get(), s.enable_after);
    EXPECT_EQ(device_->selected_module.Get(), s.slot + 1) << "the panel follows the click";
    EXPECT_EQ(view_.last_released_slot, 11 + s.slot);
  }
}

TEST_F(ViewInputTest, VersionPopupOpensTheReleasesPageOnlyFromItsEntry) {
  struct Case {
    int x, y;
    bool opens;
  };
  const Case cases[] = {{1100, 98, false}, {1100, 76, true},  {1041, 96, true},  {1200, 80, true},
                        {1040, 80, false}, {1201, 80, false}, {1100, 75, false}, {500, 500, false}};
  for (const Case& c : cases) {
    shell_.opened_urls.clear();
    Open(4);
    Click(c.x, c.y);
    EXPECT_EQ(Active(), 255) << "any press closes it";
    ASSERT_EQ(shell_.opened_urls.size(), c.opens ? 1u : 0u) << c.x << "," << c.y;
    if (c.opens)
      EXPECT_EQ(shell_.opened_urls[0], "https://github.com/rq700-suite/rq700-suite/releases");
  }
}

TEST_F(ViewInputTest, VolumePopupSliderSetsAndDragsThePresetVolume) {
  Click(950, 140);
  ASSERT_EQ(Active(), 20);
  Press(910, 100);
  EXPECT_EQ(device_->volume.Get(), 50);  // (910 - 855) x 100 / 110
  EXPECT_EQ(view_.pressed_item, 21);
  input_->Move(966, 300);
  EXPECT_EQ(device_->volume.Get(), 100);
  EXPECT_EQ(view_.hover_item, 21);
  input_->Move(-40, 300);
  EXPECT_EQ(device_->volume.Get(), 0);
  input_->Release(-40, 300);
  EXPECT_EQ(Active(), 20) << "the popup stays open";
  Click(860, 80);  // inside the popup, off the slider
  EXPECT_EQ(Active(), 20);
  EXPECT_EQ(device_->volume.Get(), 0);
  Click(900, 190);  // outside: the main view's page button
  EXPECT_EQ(Active(), 6);
}

TEST_F(ViewInputTest, AmplifierListKeysRespondOnTheBottomRowsOfTheUserSlots) {
  Select(3, 1);
  struct Case {
    int offset, y;
    int slot;  // 0: no key
  };
  const Case cases[] = {
      {35, 683, 6}, {35, 699, 6}, {35, 700, 0}, {35, 683 - 23 * 5, 1},
      {35, 560, 0}, {39, 476, 1}, {30, 690, 1}, {29, 690, 0},
  };
  for (const Case& c : cases) {
    files_.calls.clear();
    view_.amp_import_mask = 0;
    view_.amp_list_offset = c.offset;
    Open(90);
    Click(670, c.y);
    if (c.slot != 0) {
      EXPECT_EQ(files_.calls, std::vector<std::string>{"import amp " + std::to_string(c.slot - 1)});
      EXPECT_EQ(view_.amp_import_mask, 1u << (c.slot - 1));
    } else {
      EXPECT_TRUE(files_.calls.empty()) << c.offset << " " << c.y;
    }
    EXPECT_EQ(Active(), c.offset >= 30 ? 90 : 255) << c.offset << " " << c.y;
  }
  // Rows pick models offset + row + 1, and the list closes; the key column comes first.
  view_.amp_list_offset = 35;
  Open(90);
  Click(664, 106 + 23);
  EXPECT_EQ(device_->module[3].model.Get(), 37);
  EXPECT_EQ(Active(), 255);
  view_.amp_list_offset = 0;
  Open(90);
  Click(665, 106 + 23);
  EXPECT_EQ(device_->module[3].model.Get(), 2);
  // The thumb: 13 pixels a row, never past 39.
  view_.amp_list_offset = 2;
  Open(90);
  Press(690, 104 + 26);
  EXPECT_EQ(view_.pressed_item, 222);
  input_->Move(690, 104 + 26 + 40);
  EXPECT_EQ(view_.amp_list_offset, 5);
  input_->Move(690, 2000);
  EXPECT_EQ(view_.amp_list_offset, 39);
  input_->Release(690, 2000);
  EXPECT_EQ(Active(), 90);
}

TEST_F(ViewInputTest, CabinetListImportAndDeleteColumns) {
  Select(4, 1);
  struct Case {
    int offset, x, y;
    const char* call;  // nullptr: none
    uint32_t mask;
    int active;
  };
  const Case cases[] = {
      {3, 650, 690, "import ir 2", 1u << 2, 90},        // bottom row: slot 3
      {3, 670, 690 - 23, "delete ir 1", 1u << 11, 90},  // slot 2, delete bit n + 9
      {3, 661, 690 - 46, "import ir 0", 1u << 0, 90},   // slot 1
      {3, 650, 690 - 69, nullptr, 0, 90},               // above the user rows: nothing
      {0, 650, 690, nullptr, 0, 255},                   // no user slot shown
      {10, 681, 683 - 23 * 9, "delete ir 0", 1u << 10, 90},
  };
  for (const Case& c : cases) {
    files_.calls.clear();
    view_.ir_mask = 0;
    view_.cab_list_offset = c.offset;
    Open(90);
    Click(c.x, c.y);
    if (c.call != nullptr) {
      EXPECT_EQ(files_.calls, std::vector<std::string>{c.call});
    } else {
      EXPECT_TRUE(files_.calls.empty()) << c.offset << " " << c.x;
    }
    EXPECT_EQ(view_.ir_mask, c.mask);
    EXPECT_EQ(Active(), c.active);
  }
  view_.cab_list_offset = 3;
  Open(90);
  Click(644, 106);
  EXPECT_EQ(device_->module[4].model.Get(), 4);
  view_.cab_list_offset = 0;
  Open(90);
  Click(645, 106 + 23);
  EXPECT_EQ(device_->module[4].model.Get(), 2);
  EXPECT_EQ(Active(), 255);
  Open(90);
  Press(690, 110);
  input_->Move(690, 110 + 79);
  EXPECT_EQ(view_.cab_list_offset, 1) << "40 pixels a row";
}

TEST_F(ViewInputTest, PlainListsAndShortListsSetTheirFieldAndClose) {
  Select(1, 1);  // FX list: panel 440,100..635,293, 8 rows
  Open(90);
  Click(500, 100 + 6 + 46 + 5);
  EXPECT_EQ(device_->module[1].model.Get(), 3);
  EXPECT_EQ(Active(), 255);
  Open(90);
  Click(500, 100 + 27);  // the gap below row 0
  EXPECT_EQ(device_->module[1].model.Get(), 3);
  EXPECT_EQ(Active(), 255);

  // The fields of the model's panel open their lists; a row sets the field.
  Select(4, 1);
  Click(500, 260);  // power-tube field
  ASSERT_EQ(Active(), 118);
  Click(500, 170 + 6 + 23 * 4 + 5);
  EXPECT_EQ(device_->module[4].param[3].Get(), 4);
  EXPECT_EQ(Active(), 255);
  Click(500, 310);  // microphone field
  ASSERT_EQ(Active(), 117);
  Click(500, 170 + 6 + 23 * 9);
  EXPECT_EQ(device_->module[4].param[0].Get(), 9);
  Select(4, 27);  // a user cabinet has no microphone field
  Click(500, 310);
  EXPECT_EQ(Active(), 0);

  Select(8, 9);
  Click(600, 360);  // sync note B
  ASSERT_EQ(Active(), 183);
  Click(600, 240 + 6 + 23 * 2);
  EXPECT_EQ(device_->delay_word[6].Get(), 2);
  Select(8, 1);     // one sync field, in the middle column
  Click(720, 260);  // where model 9 has its sync A field, right of the value boxes
  EXPECT_EQ(Active(), 0);
  Click(500, 400);
  ASSERT_EQ(Active(), 169);
  Click(500, 290 + 6 + 23 * 7);
  EXPECT_EQ(device_->delay_word[4].Get(), 7);
}

TEST_F(ViewInputTest, BackupRestorePopupStartsTheChoosers) {
  Click(900, 50);
  ASSERT_EQ(Active(), 500);
  files_.restore_choice = FileChoice::kWrongFile;
  Click(400, 250);
  ASSERT_EQ(shell_.messages.size(), 1u);
  EXPECT_EQ(shell_.messages[0].text,
            "Wrong file format!\r\nPlease check compatibility of file type");
  EXPECT_EQ(shell_.messages[0].caption, "Error");
  EXPECT_EQ(shell_.messages[0].icon, MessageIcon::kWarning);
  EXPECT_FALSE(shell_.wait_cursor);
  files_.restore_choice = FileChoice::kCancelled;
  Click(400, 250);
  EXPECT_EQ(device_->restore_request.load(), 0);
  files_.restore_choice = FileChoice::kReady;
  Click(400, 250);
  EXPECT_TRUE(shell_.wait_cursor);
  EXPECT_EQ(device_->restore_request.load(), 1);
  shell_.wait_cursor = false;
  Click(600, 250);  // Backup, cancelled
  EXPECT_EQ(device_->backup_request.load(), 0);
  files_.backup_choice = FileChoice::kReady;
  Click(600, 250);
  EXPECT_TRUE(shell_.wait_cursor);
  EXPECT_EQ(device_->backup_request.load(), 1);
  EXPECT_EQ(files_.calls,
            (std::vector<std::string>{"restore", "restore", "restore", "backup", "backup"}));
  Click(360, 300);  // inside, on no button
  EXPECT_EQ(Active(), 500);
  Click(100, 100);
  EXPECT_EQ(Active(), 255);
}

TEST_F(ViewInputTest, TopRowStartsTheSaveDialogAndTheLibraryFileWork) {
  device_->list_cursor.SetBoth(12);
  Click(400, 50);
  ASSERT_EQ(shell_.save_dialogs.size(), 1u);
  EXPECT_EQ(shell_.save_dialogs[0].selection, 12) << "the list cursor's preset is edited";
  EXPECT_EQ(view_.button_down, 0);
  Click(600, 50);
  Click(800, 50);
  EXPECT_EQ(files_.calls, (std::vector<std::string>{"import presets", "export presets"}));
}

TEST_F(ViewInputTest, HoverFollowsTheMouseAndThePopupsMarkers) {
  struct Case {
    int x, y, hover, row;
  };
  const Case cases[] = {
      {1100, RowY(7), 5, 7}, {1100, GapY(7), 5, 255}, {1210, 135, 10, 255}, {1210, 131, 0, 255},
      {400, 50, 1, 255},     {900, 50, 500, 255},     {900, 200, 6, 255},   {950, 140, 20, 255},
      {500, 500, 12, 255},   {500, 200, 90, 255},     {300, 300, 0, 255},
  };
  for (const Case& c : cases) {
    input_->Move(c.x, c.y);
    EXPECT_EQ(view_.hover_item, c.hover) << c.x << "," << c.y;
    EXPECT_EQ(view_.hover_row, c.row) << c.x << "," << c.y;
  }
  Select(4, 1);
  input_->Move(500, 260);
  EXPECT_EQ(view_.hover_item, 118);

  Open(4);
  input_->Move(1100, 80);
  EXPECT_EQ(view_.version_entry_marker, 0);
  input_->Move(1100, 98);
  EXPECT_NE(view_.version_entry_marker, 0);

  Open(500);
  input_->Move(400, 250);
  EXPECT_EQ(view_.hover_item, 501);
  input_->Move(600, 250);
  EXPECT_EQ(view_.hover_item, 502);

  Select(1, 1);
  Open(90);
  input_->Move(500, 100 + 6 + 23 * 2);
  EXPECT_EQ(view_.model_list_hover[1], 3);
  input_->Move(500, 100 + 28);
  EXPECT_EQ(view_.model_list_hover[1], 0);

  // A short list keeps its band on the row last hovered.
  Open(118);
  input_->Move(500, 170 + 6 + 23 * 3);
  input_->Move(900, 600);
  EXPECT_EQ(view_.tube_list_hover, 3);
}

TEST_F(ViewInputTest, OpenPageClosesOnAPressOutsideItsPanel) {
  Open(8);
  device_->exp_settings_marker = 1;
  Click(500, 400);
  EXPECT_EQ(Active(), 8);
  Click(900, 400);
  EXPECT_EQ(Active(), 255);
  EXPECT_EQ(device_->exp_settings_marker.load(), 0);
}

// ---- The save dialog's logic ----

TEST_F(ViewInputTest, SaveDialogOpensOnTheEditedPresetWithItsName) {
  device_->current_preset = 41;
  const SaveDialogSetup setup = SaveDialogStart(*device_);
  EXPECT_EQ(setup.selection, 41);
  EXPECT_EQ(SaveSlotLabel(setup.selection), "P-042");
  EXPECT_EQ(setup.name, u"TONE 41");
  EXPECT_EQ(SaveSlotLabel(0), "P-001");
  EXPECT_EQ(SaveSlotLabel(199), "P-200");
}

TEST_F(ViewInputTest, SaveStoresTheFirst14CharactersUpperCasedInTheChosenSlot) {
  EditPreset(2);
  device_->volume.Set(88);
  view_.imported_name_pending = 1;
  uint8_t record[record::kSize];
  ReadRecord(*device_, 6, record);
  record[record::kName + 15] = 'Z';
  WriteRecord(*device_, 6, record);

  SaveDialogSave(*device_, view_, {6, u"abcdefghijklmnopqrst"});
  ReadRecord(*device_, 6, record);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(record + record::kName), 14), "ABCDEFGHIJKLMN");
  EXPECT_EQ(record[record::kName + 14], 0);
  EXPECT_EQ(record[record::kName + 15], 'Z') << "the 16th name byte is left alone";
  EXPECT_EQ(record[record::kVolume], 88) << "the edit model is stored";
  for (int i = 0; i < 14; ++i) EXPECT_EQ(device_->save_name[i].load(), 'A' + i);
  EXPECT_EQ(device_->save_name[14].load(), 0);
  EXPECT_EQ(device_->save_target.load(), 6);
  EXPECT_EQ(device_->list_cursor.Get(), 6);
  EXPECT_EQ(PresetName(*device_, 6), "P007: ABCDEFGHIJKLMN");
  EXPECT_EQ(device_->save_request.load(), kSaveRaised);
  EXPECT_EQ(device_->selection_guard.load(), 255);
  EXPECT_EQ(device_->list_row.Get(), 255);
  EXPECT_EQ(device_->dirty.load(), 0);
  EXPECT_EQ(view_.imported_name_pending, 0);
  ReadRecord(*device_, 2, record);
  EXPECT_EQ(record[record::kVolume], 2) << "the preset edited from is untouched";

  // Characters are cut to their low byte; only a..z change case.
  SaveDialogSave(*device_, view_, {7, u"\u0141\u00e9x 1"});
  EXPECT_EQ(PresetName(*device_, 7), "P008: A\u00e9X 1") << "Ł becomes A, é stays";
}

TEST_F(ViewInputTest, SaveWithdrawsAStaleSwitchSoTheDeviceSavesTheEdit) {
  EditPreset(2);
  device_->preset_change_request = 1;  // left from an earlier save into the same slot
  SaveDialogSave(*device_, view_, {9, u"X"});
  EXPECT_EQ(device_->preset_change_request.load(), 0);
  EXPECT_EQ(device_->current_preset.load(), 9) << "the next save question names the new slot";
}

TEST_F(ViewInputTest, CancelOnlyClearsTheDirtyFlagUnlessANameWasImported) {
  EditPreset(4);
  SaveDialogCancel(*device_, view_);
  EXPECT_EQ(device_->dirty.load(), 0);
  EXPECT_EQ(device_->list_cursor.Get(), 4);
  EXPECT_EQ(device_->save_request.load(), kSaveWithdrawn);
  EXPECT_EQ(PresetName(*device_, 4), "P005: TONE 4");

  view_.imported_name_pending = 1;
  view_.imported_name_index = 4;
  view_.previous_name = {'B', 'E', 'F', 'O', 'R', 'E'};
  SaveDialogCancel(*device_, view_);
  EXPECT_EQ(PresetName(*device_, 4), "P005: BEFORE");
  EXPECT_EQ(view_.imported_name_pending, 0);

  // The name goes back to the preset that took it, wherever the list cursor is by now.
  view_.imported_name_pending = 1;
  view_.imported_name_index = 7;
  view_.previous_name = {'F', 'I', 'R', 'S', 'T'};
  SaveDialogCancel(*device_, view_);
  EXPECT_EQ(PresetName(*device_, 7), "P008: FIRST");
  EXPECT_EQ(PresetName(*device_, 4), "P005: BEFORE");
}

}  // namespace
}  // namespace rq700
