#include "skin/view_painter.h"

#include <algorithm>
#include <string>

#include "catalog/labels.h"
#include "catalog/version_label.h"
#include "skin/view_layout.h"

namespace rq700 {

namespace L = layout;

namespace {

void SliderBody(Canvas& canvas, int hover_item, int id, unsigned value, int left, int top,
                int right, int bottom, unsigned maximum) {
  // Out-of-range values stay on the bar instead of drawing the knob over the value box.
  const unsigned span = right - left > 6 ? static_cast<unsigned>(right - left - 6) : 0u;
  const unsigned v = std::min(value, maximum);
  const int knob = left + static_cast<int>(maximum == 0 ? 0u : span * v / maximum);
  canvas.FillRect(knob, top - 1, knob + 6, bottom + 1,
                  hover_item == id ? view_colour::kHighlight : view_colour::kWhite);
  canvas.FillRect(left, top, knob, bottom, view_colour::kDarkGrey);
  canvas.FillRect(knob + 6, top, right, bottom, view_colour::kLightGrey);
}

}  // namespace

void PaintSlider(Canvas& canvas, int hover_item, int id, unsigned value, int left, int top,
                 int right, int bottom, unsigned maximum) {
  SliderBody(canvas, hover_item, id, value, left, top, right, bottom, maximum);
  canvas.FrameRect(right + 12, top - 5, right + 70, top + 18, 0);
}

void PaintVolumeSlider(Canvas& canvas, int hover_item, int id, unsigned value, int left, int top,
                       int right, int bottom) {
  SliderBody(canvas, hover_item, id, value, left, top, right, bottom, 100);
}

EditorViewPainter::EditorViewPainter(DeviceState& device, const ViewState& view)
    : device_(device), view_(view) {}

void EditorViewPainter::Paint(Canvas& c) {
  PaintBase(c);
  PaintTopButtons(c);
  PaintPageButtons(c);
  PaintPresetList(c);
  c.DrawNumber(5, 953, 134, device_.volume.Get());
  const int current = device_.current_preset.load(std::memory_order_relaxed);
  if (current >= 0 && current < kPresetCount) c.DrawText(2, 313, 165, PresetName(device_, current));
  PaintChain(c);
  PaintModelField(c);
  PaintModulePanel(c);
  PaintPopup(c);
  std::string version = VersionText(device_);
  if (version.empty()) version = std::string(catalog::kInitialVersionLabel);
  c.DrawText(10, 25, 756, version);
}

void EditorViewPainter::Image(Canvas& c, int image, int rect, int dx, int dy) {
  const L::Rect& r = L::kHitRects[rect];
  c.DrawImage(image, r.left + dx, r.top + dy);
}

void EditorViewPainter::Mark(Canvas& c, int rect, int dx, int dy) { Image(c, 68, rect, dx, dy); }

void EditorViewPainter::PaintBase(Canvas& c) {
  c.DrawImage(0, 0, 0);
  c.DrawImage(1, 49, 36);
  c.DrawImage(20, 52, 120);
  c.DrawImage(30, 180, 174);
  Image(c, 200, 75);
  for (int k = 0; k < 3; ++k) Image(c, 11 + k, 6 + k);
  c.DrawImage(19, 25, 515);
  c.DrawImage(240, 10, 435);
  c.DrawImage(device_.system[5].Get() == 1 ? 242 : 241, 22, 439);
  c.DrawImage(device_.system[6].Get() == 1 ? 244 : 243, 167, 439);
  c.DrawText(4, 860, 135, "PRESET VOL");
  PaintExpLabels(c);
}

void EditorViewPainter::PaintExpLabels(Canvas& c) {
  c.DrawImage(41, 48, 498);
  c.DrawImage(40, 48, 524);
  c.DrawImage(41, 48, 588);
  c.DrawImage(40, 48, 614);
  const int touch = device_.exp_tab.load(std::memory_order_relaxed);
  if (touch == 1) c.DrawImage(44, 80, 550);
  if (touch == 2) c.DrawImage(44, 80, 640);
  for (int pedal = 1; pedal <= 2; ++pedal) {
    const bool merge = device_.exp_merge[pedal - 1].load(std::memory_order_relaxed) != 0;
    const int module = (pedal == 1 ? device_.exp1_module : device_.exp2_module).Get();
    const auto* entry = ExpParamEntry(pedal == 1 ? device_.exp1_param : device_.exp2_param, module);
    const int param = entry ? entry->Get() : 0;
    const catalog::ExpTargetLines lines = catalog::ExpTargetText(pedal, merge, module, param);
    if (!lines.shown) continue;
    const int y = pedal == 1 ? 500 : 590;
    c.DrawText(3, 138, y, lines.first);
    c.DrawText(3, 138, y + 26, lines.second);
  }
}

void EditorViewPainter::PaintTopButtons(Canvas& c) {
  const int hover = view_.hover_item;
  if (hover >= 1 && hover <= 4) {
    Image(c, hover + 1, hover);
    if (view_.button_down == 1 && view_.pressed_item == hover) Image(c, hover + 5, hover);
  }
  if (hover == 500) Image(c, 253, 0);
}

void EditorViewPainter::PaintPageButtons(Canvas& c) {
  const int hover = view_.hover_item;
  if (hover >= 6 && hover <= 8) Image(c, 45 + hover - 6, hover);
  const int active = device_.active_item.Get();
  if (active >= 6 && active <= 8) Image(c, 15 + active - 6, active);
}

void EditorViewPainter::PaintField(Canvas& c, int rect, int hover_id) {
  Image(c, 202, rect);
  if (Hover(hover_id)) Image(c, 231, rect, 170, 1);
}

void EditorViewPainter::PaintModelField(Canvas& c) { PaintField(c, 76, 90); }

}  // namespace rq700
