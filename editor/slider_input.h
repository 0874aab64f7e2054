#ifndef RQ700_EDITOR_SLIDER_INPUT_H_
#define RQ700_EDITOR_SLIDER_INPUT_H_

// The slider bars of the module panels and the pages set absolute values: a press on a bar
// sets the value under the mouse, and while the button stays down the value follows the
// mouse sideways wherever it goes (up to the ends of the range past the bar's ends).

#include <algorithm>

#include "skin/view_layout.h"

namespace rq700 {

// base + (x - left) x scale / (right - left), truncated toward zero, then kept within
// low..high. Inside the bar that is base..base + scale; left of it low, right of it high.
inline int SliderValue(const layout::Rect& bar, int x, int base, int scale, int low, int high) {
  return std::clamp(base + (x - bar.left) * scale / (bar.right - bar.left), low, high);
}

// The common case: the slider covers low..low + scale.
inline int SliderValue(const layout::Rect& bar, int x, int low, int scale) {
  return SliderValue(bar, x, low, scale, low, low + scale);
}

}  // namespace rq700

#endif  // RQ700_EDITOR_SLIDER_INPUT_H_
