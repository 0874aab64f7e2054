#ifndef RQ700_TESTS_SKIN_RECORDING_CANVAS_H_
#define RQ700_TESTS_SKIN_RECORDING_CANVAS_H_

// A canvas that keeps a list of the calls made on it, so a test can ask "was image 205
// drawn at (354, 260)" or "which came first" without pixels.

#include <algorithm>
#include <string>
#include <vector>

#include "skin/canvas.h"

namespace rq700::testing {

struct Call {
  enum Kind { kImage, kFill, kFrame, kText, kNumber, kDb, kTenths };
  Kind kind = kImage;
  int a = 0;  // image number, text style or stock object
  int x = 0, y = 0, x2 = 0, y2 = 0;
  Rgb colour{};
  std::string text;
  int value = 0;
  bool wide = false;
};

class RecordingCanvas final : public Canvas {
 public:
  void DrawImage(int image, int x, int y) override { Add(Call::kImage, image, x, y); }
  void FillRect(int l, int t, int r, int b, Rgb colour) override {
    Add(Call::kFill, 0, l, t, r, b).colour = colour;
  }
  void FrameRect(int l, int t, int r, int b, int stock) override {
    Add(Call::kFrame, stock, l, t, r, b);
  }
  void DrawText(int style, int x, int y, std::string_view text) override {
    Add(Call::kText, style, x, y).text = std::string(text);
  }
  void DrawNumber(int style, int x, int y, int value) override {
    Add(Call::kNumber, style, x, y).value = value;
  }
  void DrawDbLevel(int style, int x, int y, int value) override {
    Add(Call::kDb, style, x, y).value = value;
  }
  void DrawTenths(int style, int x, int y, int value, bool wide) override {
    Call& c = Add(Call::kTenths, style, x, y);
    c.value = value;
    c.wide = wide;
  }

  // Index of the first matching call, -1 when none.
  int FindImage(int image, int x, int y, int from = 0) const {
    for (size_t i = from; i < calls.size(); ++i) {
      const Call& c = calls[i];
      if (c.kind == Call::kImage && c.a == image && c.x == x && c.y == y)
        return static_cast<int>(i);
    }
    return -1;
  }
  bool HasImage(int image, int x, int y) const { return FindImage(image, x, y) >= 0; }
  bool DrewImage(int image) const {
    return std::any_of(calls.begin(), calls.end(),
                       [&](const Call& c) { return c.kind == Call::kImage && c.a == image; });
  }
  int CountImage(int image, int x, int y) const {
    return static_cast<int>(std::count_if(calls.begin(), calls.end(), [&](const Call& c) {
      return c.kind == Call::kImage && c.a == image && c.x == x && c.y == y;
    }));
  }
  int FindFill(int l, int t, int r, int b, Rgb colour) const {
    for (size_t i = 0; i < calls.size(); ++i) {
      const Call& c = calls[i];
      if (c.kind == Call::kFill && c.x == l && c.y == t && c.x2 == r && c.y2 == b &&
          c.colour == colour)
        return static_cast<int>(i);
    }
    return -1;
  }
  bool HasFill(int l, int t, int r, int b, Rgb colour) const {
    return FindFill(l, t, r, b, colour) >= 0;
  }
  bool HasFrame(int l, int t, int r, int b, int stock) const {
    return std::any_of(calls.begin(), calls.end(), [&](const Call& c) {
      return c.kind == Call::kFrame && c.a == stock && c.x == l && c.y == t && c.x2 == r &&
             c.y2 == b;
    });
  }
  // The text drawn at (x, y) in `style`, or "<none>".
  std::string TextAt(int style, int x, int y) const {
    for (const Call& c : calls)
      if (c.kind == Call::kText && c.a == style && c.x == x && c.y == y) return c.text;
    return "<none>";
  }
  bool HasText(std::string_view text) const {
    return std::any_of(calls.begin(), calls.end(),
                       [&](const Call& c) { return c.kind == Call::kText && c.text == text; });
  }
  const Call* ValueAt(int x, int y) const {
    for (const Call& c : calls)
      if ((c.kind == Call::kNumber || c.kind == Call::kDb || c.kind == Call::kTenths ||
           c.kind == Call::kText) &&
          c.x == x && c.y == y)
        return &c;
    return nullptr;
  }

  std::vector<Call> calls;

 private:
  Call& Add(Call::Kind kind, int a, int x, int y, int x2 = 0, int y2 = 0) {
    Call c;
    c.kind = kind;
    c.a = a;
    c.x = x;
    c.y = y;
    c.x2 = x2;
    c.y2 = y2;
    calls.push_back(c);
    return calls.back();
  }
};

}  // namespace rq700::testing

#endif  // RQ700_TESTS_SKIN_RECORDING_CANVAS_H_
