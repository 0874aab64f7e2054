#ifndef RQ700_FUZZ_NULL_CANVAS_H_
#define RQ700_FUZZ_NULL_CANVAS_H_

#include <string_view>

#include "skin/canvas.h"

namespace rq700::fuzz {

// Takes every call and keeps only a count, so the painter's reads of the state are
// exercised without drawing. Reading the text's bytes lets AddressSanitizer see a text
// built from memory it should not touch.
class NullCanvas : public Canvas {
 public:
  void DrawImage(int, int, int) override { ++calls; }
  void FillRect(int, int, int, int, Rgb) override { ++calls; }
  void FrameRect(int, int, int, int, int) override { ++calls; }
  void DrawText(int, int, int, std::string_view text) override {
    for (char c : text) checksum += static_cast<unsigned char>(c);
    ++calls;
  }
  void DrawNumber(int, int, int, int) override { ++calls; }
  void DrawDbLevel(int, int, int, int) override { ++calls; }
  void DrawTenths(int, int, int, int, bool) override { ++calls; }

  unsigned calls = 0;
  unsigned checksum = 0;
};

}  // namespace rq700::fuzz

#endif  // RQ700_FUZZ_NULL_CANVAS_H_
