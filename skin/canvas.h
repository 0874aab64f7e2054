#ifndef RQ700_SKIN_CANVAS_H_
#define RQ700_SKIN_CANVAS_H_

#include <cstdint>
#include <string_view>

namespace rq700 {

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Where the painters draw: numbered skin images, filled and framed rectangles, and text
// in one of the text styles. Coordinates are base-canvas pixels. The Qt implementation
// draws into a QImage back buffer; tests use a recording canvas and assert on the calls.
class Canvas {
 public:
  virtual ~Canvas() = default;

  // Image `image` of the loaded skin set, whole and at 1:1, top-left at (x, y). An image
  // that is not loaded draws nothing.
  virtual void DrawImage(int image, int x, int y) = 0;
  // Solid fill of left <= x < right, top <= y < bottom.
  virtual void FillRect(int left, int top, int right, int bottom, Rgb colour) = 0;
  // Outline with the pen and brush of stock object `stock_object` (GDI numbering: 0
  // white brush ... 5 null brush, 6 white pen, 7 black pen, 8 null pen).
  virtual void FrameRect(int left, int top, int right, int bottom, int stock_object) = 0;
  // UTF-8 text in text style `style` (0..10), anchored at (x, y) by that style's
  // alignment.
  virtual void DrawText(int style, int x, int y, std::string_view text) = 0;

  // The value texts take the style's size, face and colour but are always bold (800),
  // centred on x with their top at y.
  // `value` in decimal.
  virtual void DrawNumber(int style, int x, int y, int value) = 0;
  // `value` - 12 as a level: "+3dB", "0dB", "-12dB".
  virtual void DrawDbLevel(int style, int x, int y, int value) = 0;
  // `value` - 120 (or - 200 when `wide_range`) in tenths: "1.5", "-0.5".
  virtual void DrawTenths(int style, int x, int y, int value, bool wide_range) = 0;
};

}  // namespace rq700

#endif  // RQ700_SKIN_CANVAS_H_
