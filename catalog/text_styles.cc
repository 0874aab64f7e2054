#include "catalog/text_styles.h"

namespace rq700::catalog {

namespace {
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kRed{238, 0, 0};

constexpr TextStyle kStyles[kTextStyleCount] = {
    {20, 8, "Arial", kBlack, kAlignLeftBottom, 550},   // 0 model lists
    {20, 10, "Arial", kBlack, kAlignCenterTop, 800},   // 1 slider value numbers
    {40, 15, "Arial", kBlack, kAlignLeftBottom, 400},  // 2
    {18, 8, "Arial", kBlack, kAlignCenterTop, 450},    // 3 EXP target lines
    {18, 8, "Arial", kBlack, kAlignCenterTop, 580},    // 4
    {20, 10, "Arial", kWhite, kAlignCenterTop, 700},   // 5
    {40, 20, "Arial", kBlack, kAlignCenterTop, 400},   // 6
    {20, 8, "Arial", kBlack, kAlignCenterTop, 550},    // 7 model / sub-selector on a panel
    {16, 7, "Arial", kBlack, kAlignCenterTop, 450},    // 8
    {22, 12, "Arial", kBlack, kAlignCenterTop, 800},   // 9
    {20, 8, "Arial", kRed, kAlignLeftBottom, 550},     // 10
};
}  // namespace

const TextStyle& GetTextStyle(int index) {
  if (index < 0 || index >= kTextStyleCount) return kStyles[0];
  return kStyles[index];
}

}  // namespace rq700::catalog
