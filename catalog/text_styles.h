#ifndef RQ700_CATALOG_TEXT_STYLES_H_
#define RQ700_CATALOG_TEXT_STYLES_H_

#include <cstdint>
#include <string_view>

// The eleven text styles with which every text is drawn.
namespace rq700::catalog {

inline constexpr int kTextStyleCount = 11;

// Alignment flags as the styles store them.
inline constexpr int kAlignCenterTop = 6;   // centred horizontally, top
inline constexpr int kAlignLeftBottom = 8;  // left, bottom (baseline)

// Weight used by the value-number primitives whatever the style says.
inline constexpr int kValueNumberWeight = 800;

struct Rgb {
  uint8_t r, g, b;
  friend constexpr bool operator==(Rgb, Rgb) = default;
};

struct TextStyle {
  int32_t height;         // character cell height, logical units
  int32_t width;          // average character width
  std::string_view face;  // font face name
  Rgb colour;
  int alignment;   // kAlignCenterTop or kAlignLeftBottom
  int32_t weight;  // 100..1000
};

// Style 0..10; an index outside the table gives style 0.
const TextStyle& GetTextStyle(int index);

}  // namespace rq700::catalog

#endif  // RQ700_CATALOG_TEXT_STYLES_H_
