// The popup or page of the active item: backup/restore, preset volume, version, the
// control, EXP and system pages.

#include <string>

#include "catalog/value_format.h"
#include "catalog/version_label.h"
#include "skin/view_layout.h"
#include "skin/view_painter.h"

namespace rq700 {

namespace L = layout;

void EditorViewPainter::PaintPopup(Canvas& c) {
  const int active = ActiveItem(device_, view_);
  // The stall watch only runs while its popup is shown.
  if (active != 500) stall_count_ = 0, stall_last_ = 0;
  switch (active) {
    case 500:
      PaintBackupPopup(c);
      break;
    case 20: {
      c.DrawImage(201, 844, 75);
      const L::Rect& bar = L::kSliderBars[0];
      PaintVolumeSlider(c, view_.hover_item, 21, device_.volume.Get(), bar.left, bar.top, bar.right,
                        bar.bottom);
      break;
    }
    case 4:
      PaintVersionPopup(c);
      break;
    case 7:
      PaintControlPage(c);
      break;
    case 8:
      PaintExpPage(c);
      break;
    case 6:
      PaintSystemPage(c);
      break;
    case 90:
      PaintModelList(c);
      break;
    case 117:
    case 118:
    case 169:
    case 177:
    case 183:
      PaintSubList(c, active);
      break;
    default:
      break;
  }
}

void EditorViewPainter::PaintBackupPopup(Canvas& c) {
  const L::Rect& panel = L::kPanels[22];
  c.DrawImage(254, panel.left, panel.top);
  Image(c, Hover(501) ? 256 : 255, 96);
  Image(c, Hover(502) ? 258 : 257, 97);
  const int percent = view_.transfer_percent;
  if (percent > 0) c.DrawText(1, panel.left + 85, panel.top + 115, catalog::FormatPercent(percent));
  // A transfer whose percentage stops moving for more than 150 frames is given up. With no
  // transfer running (0 %) there is nothing to watch.
  if (percent <= 0) {
    stall_count_ = 0;
    stall_last_ = 0;
    return;
  }
  if (percent != stall_last_) {
    stall_last_ = percent;
    stall_count_ = 0;
    return;
  }
  if (++stall_count_ > 150) {
    stall_count_ = 0;
    stall_last_ = 0;
    if (on_transfer_stalled) on_transfer_stalled();
  }
}

void EditorViewPainter::PaintVersionPopup(Canvas& c) {
  const L::Rect& box = L::kVersionPopup;
  const L::Rect& entry = L::kVersionEntry;
  c.FillRect(box.left, box.top, box.right, box.bottom, view_colour::kListGrey);
  c.DrawImage(9, 1060, 42);
  if (view_.version_entry_marker == 0)
    c.FillRect(entry.left, entry.top, entry.right, entry.bottom, view_colour::kLightGrey);
  c.DrawText(0, 1043, 96, std::string(catalog::kVersionUpdateCaption));
}

void EditorViewPainter::PaintControlPage(Canvas& c) {
  const int marker = device_.tab_marker.load(std::memory_order_relaxed);
  if (marker == 0) {
    c.DrawImage(236, 240, 170);
    c.FrameRect(370, 350, 460, 400, 0);
    if (view_.tap_key_held) Image(c, 237, 81);
    if (Hover(200))
      Image(c, 238, 82);
    else if (Hover(201))
      Image(c, 239, 83);
    c.DrawNumber(6, 415, 355, device_.tempo.Get());
  } else {
    c.DrawImage(54, 240, 170);
    Mark(c, 42);
    for (int k = 0; k < 9; ++k) {
      if (Hover(41 + k)) Image(c, 55 + k, 22 + k);
      if (device_.module_switch[k + 1].Get()) Image(c, 52, 22 + k);
    }
  }
  if (Hover(50)) Image(c, 64, 31);
}

void EditorViewPainter::PaintExpPage(Canvas& c) {
  c.DrawImage(65, 275, 170);
  for (int i = 0; i < 3; ++i) {
    static constexpr int kTabIds[3] = {51, 52, 56};
    static constexpr int kTabRects[3] = {34, 35, 90};
    if (Hover(kTabIds[i])) Image(c, 245 + i, kTabRects[i]);
  }
  for (int m = 1; m <= 9; ++m)
    if (Hover(56 + m)) Image(c, 68 + m, 46 + m);

  const int tab = device_.exp_tab.load(std::memory_order_relaxed);
  if (tab == 1 || tab == 2) Image(c, tab == 1 ? 66 : 67, tab == 1 ? 34 : 35);
  const int m = tab == 1 ? device_.exp1_module.Get() : tab == 2 ? device_.exp2_module.Get() : 0;
  if (m >= 1 && m <= 9) {
    Image(c, 52, 46 + m);
    const L::ExpChoices& choices = L::kExpChoices[m];
    for (int i = 0; i < choices.count; ++i) Image(c, choices.base + i, 56 + i);
    const auto* entry = ExpParamEntry(tab == 1 ? device_.exp1_param : device_.exp2_param, m);
    const int chosen = entry ? entry->Get() : -1;
    // A stored choice past the module's list would name another module's picture.
    if (chosen >= 0 && chosen < choices.count) Image(c, choices.chosen + chosen, 56 + chosen);
  }
  if (device_.exp_settings_marker.load(std::memory_order_relaxed) == 1) Image(c, 251, 90);
  if (Hover(53)) Image(c, 64, 33);

  if (device_.active_sub_item.Get() != 56) return;
  const L::Rect& panel = L::kPanels[21];
  c.DrawImage(252, panel.left, panel.top);
  if (device_.exp_switch.Get() == 0) {
    Mark(c, 45, 4, 4);
    c.FillRect(300, 415, 630, 510, view_colour::kDisabledGrey);
  } else if (device_.exp_switch.Get() == 1) {
    Mark(c, 44, 4, 4);
    const int high = device_.exp_high.Get();
    if (high <= device_.exp_low.Get()) device_.exp_low.Set(static_cast<uint8_t>(high));
    const int low = device_.exp_low.Get();
    for (int s : {14, 15}) {
      const L::Rect& bar = L::kSliderBars[s];
      const int value = s == 14 ? low : high;
      PaintSlider(c, view_.hover_item, s == 14 ? 210 : 212, value, bar.left, bar.top, bar.right,
                  bar.bottom, 100);
      c.DrawNumber(1, bar.right + 42, bar.top - 3, value);
    }
  }
  c.FillRect(482, 685, 580, 720, view_colour::kListGrey);
  if (Hover(214)) Image(c, 64, 91);
}

void EditorViewPainter::PaintSystemPage(Canvas& c) {
  c.DrawImage(49, 240, 170);
  const L::Rect& level = L::kSliderBars[1];
  const int level_value = device_.system[0].Get();
  PaintSlider(c, view_.hover_item, 24, level_value, level.left, level.top, level.right,
              level.bottom, 21);
  c.FillRect(635, 228, 696, 255, view_colour::kListGrey);
  c.DrawText(1, level.right + 42, level.top - 3,
             std::string(catalog::SystemLevelLabel(level_value)));
  for (int s : {2, 3}) {
    const L::Rect& bar = L::kSliderBars[s];
    const int value = device_.system[s + 1].Get();
    PaintSlider(c, view_.hover_item, s == 2 ? 30 : 32, value, bar.left, bar.top, bar.right,
                bar.bottom, 100);
    c.DrawNumber(1, bar.right + 42, bar.top - 3, value);
  }
  // Two-way choices: byte, the rect of value 0, the rect of value 1.
  struct Choice {
    int byte, rect0, rect1;
  };
  static constexpr Choice kChoices[] = {{1, 36, 37}, {2, 38, 39}, {5, 72, 71},
                                        {6, 74, 73}, {8, 93, 92}, {9, 94, 95}};
  for (const Choice& ch : kChoices) {
    const int v = device_.system[ch.byte].Get();
    if (v == 0) Mark(c, ch.rect0);
    if (v == 1) Mark(c, ch.rect1);
  }
  if (Hover(22)) Image(c, 50, 20);
  if (Hover(23)) Image(c, 51, 21);
  if (Hover(38)) Image(c, 64, 70);

  const int sub = device_.active_sub_item.Get();
  if (sub == 23) {
    const L::Rect& panel = L::kPanels[18];
    c.DrawImage(53, panel.left, panel.top);
    const int armed = device_.system[7].Get();
    if (armed == 1) Mark(c, 40);
    if (armed == 0) Mark(c, 41);
    if (Hover(37)) Image(c, 64, 84);
  } else if (sub == 22) {
    const int value = device_.second_confirmation.Get();
    c.DrawImage(value == 1 ? 248 : 249, 320, 210);
    if (value == 0) Mark(c, 85, 5, 5);
    if (value == 1) Mark(c, 86, 5, 5);
    if (Hover(202)) Image(c, 64, 87);
  }
}

}  // namespace rq700
