#include "editor/system_page_input.h"

#include "editor/item_ids.h"
#include "editor/page_input.h"
#include "editor/slider_input.h"
#include "skin/view_layout.h"

namespace rq700 {
namespace {

namespace L = layout;

// Sub-items: the popups over the page, opened by the buttons with these ids.
constexpr int kSecondConfirmation = 22;
constexpr int kConfirmation = 23;
constexpr int kClose = 38;
constexpr int kArmedByte = 7;  // 0, 1 armed, 2 confirmed (the editor then closes)

// Two-way choices: hit rectangle, id (0: none), the system byte and the value it takes.
struct Choice {
  int rect, id, byte, value;
};
constexpr Choice kChoices[] = {
    {36, 26, 1, 0}, {37, 27, 1, 1}, {38, 28, 2, 0}, {39, 29, 2, 1}, {71, 81, 5, 1}, {72, 82, 5, 0},
    {73, 83, 6, 1}, {74, 84, 6, 0}, {92, 0, 8, 1},  {93, 0, 8, 0},  {94, 0, 9, 0},  {95, 0, 9, 1},
};

// Sliders: their bar, bar id (the value box is id + 1), system byte and number of steps.
struct Slider {
  int slider, id, byte, scale;
};
constexpr Slider kSliders[] = {{1, 24, 0, 21}, {2, 30, 3, 100}, {3, 32, 4, 100}};

enum class Act { kNothing, kChoice, kSecondValue, kSlider, kSecondOk, kConfirmOk, kClose };

// What lies under (x, y) with the given sub-item open, and what a press there does.
struct Target {
  int id = 0;
  Act act = Act::kNothing;
  int byte = 0;
  int value = 0;
  const Slider* slider = nullptr;
};

bool In(int rect, int x, int y) { return L::kHitRects[rect].Contains(x, y); }

Target TargetAt(int sub_item, int x, int y) {
  if (sub_item == kSecondConfirmation) {
    if (In(85, x, y)) return {200, Act::kSecondValue, 0, 0};
    if (In(86, x, y)) return {201, Act::kSecondValue, 0, 1};
    if (In(87, x, y)) return {202, Act::kSecondOk};
    return {};
  }
  if (sub_item == kConfirmation) {
    if (In(40, x, y)) return {35, Act::kChoice, kArmedByte, 1};
    if (In(41, x, y)) return {36, Act::kChoice, kArmedByte, 0};
    if (In(84, x, y)) return {37, Act::kConfirmOk};
    return {};
  }
  for (const Choice& choice : kChoices) {
    if (In(choice.rect, x, y)) return {choice.id, Act::kChoice, choice.byte, choice.value};
  }
  for (const Slider& s : kSliders) {
    const L::Rect& bar = L::kSliderBars[s.slider];
    if (bar.Contains(x, y)) return {s.id, Act::kSlider, s.byte, 0, &s};
    if (L::ValueBox(bar).Contains(x, y)) return {s.id + 1};
  }
  if (In(20, x, y)) return {kSecondConfirmation};
  if (In(21, x, y)) return {kConfirmation};
  if (In(70, x, y)) return {kClose, Act::kClose};
  return {};
}

int SliderValueAt(const Slider& s, int x) {
  return SliderValue(L::kSliderBars[s.slider], x, 0, s.scale);
}

}  // namespace

void PressSystemPage(InputContext& c, int x, int y) {
  DeviceState& d = c.device;
  const int sub_item = d.active_sub_item.Get();
  const Target t = TargetAt(sub_item, x, y);
  c.view.pressed_item = t.id;
  switch (t.act) {
    case Act::kChoice:
      d.system[t.byte].Set(static_cast<uint8_t>(t.value));
      break;
    case Act::kSecondValue:
      d.second_confirmation.Set(static_cast<uint8_t>(t.value));
      break;
    case Act::kSlider:
      d.system[t.byte].Set(static_cast<uint8_t>(SliderValueAt(*t.slider, x)));
      break;
    case Act::kSecondOk:
      ResendPage(d);
      d.active_sub_item.Set(item::kNone);
      break;
    case Act::kConfirmOk:
      ResendPage(d);
      d.system[kArmedByte].Set(d.system[kArmedByte].Get() == 1 ? 2 : 0);
      d.active_sub_item.Set(item::kNone);
      break;
    case Act::kClose:
      c.set_active_item(item::kDismissed);
      d.active_sub_item.Set(item::kDismissed);
      break;
    case Act::kNothing:
      break;
  }
  // The popups over the page keep the page's sub-item until their OK.
  if (sub_item == kSecondConfirmation || sub_item == kConfirmation) return;
  FollowPressWithSubItem(c);
}

void HoverSystemPage(InputContext& c, int x, int y) {
  if (const int id = TargetAt(c.device.active_sub_item.Get(), x, y).id) c.view.hover_item = id;
}

void DragSystemPage(InputContext& c, int x) {
  for (const Slider& s : kSliders) {
    if (s.id != c.view.pressed_item) continue;
    c.view.hover_item = s.id;
    c.device.system[s.byte].Set(static_cast<uint8_t>(SliderValueAt(s, x)));
  }
}

}  // namespace rq700
