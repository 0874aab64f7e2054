#ifndef RQ700_SKIN_FONT_RECORD_H_
#define RQ700_SKIN_FONT_RECORD_H_

#include <string>

#include "skin/canvas.h"

namespace rq700 {

// Text alignment flags, numbered as the font records carry them.
inline constexpr int kAlignLeft = 0;
inline constexpr int kAlignRight = 2;
inline constexpr int kAlignCenter = 6;
inline constexpr int kAlignTop = 0;
inline constexpr int kAlignBottom = 8;
inline constexpr int kAlignBaseline = 24;

// The weight and alignment of every value text (number, dB level, tenths).
inline constexpr int kValueWeight = 800;
inline constexpr int kValueAlignment = kAlignCenter | kAlignTop;

// One text style as the canvas draws it. `height` is the character cell height
// (ascent + descent) in pixels, or the character height when negative; `width` is the
// average character width (0: the face's own proportions); `weight` is on the 100..1000
// scale.
struct FontRecord {
  int height = 0;
  int width = 0;
  std::string face;
  Rgb colour;
  int alignment = kAlignLeft | kAlignTop;
  int weight = 400;
};

}  // namespace rq700

#endif  // RQ700_SKIN_FONT_RECORD_H_
