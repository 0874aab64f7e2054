#ifndef RQ700_SKIN_VIEW_LAYOUT_H_
#define RQ700_SKIN_VIEW_LAYOUT_H_

// Fixed geometry of the editor's view, in base-canvas pixels: the hit rectangles and popup
// panels, the slider bars of the module panels and pages, the rows of the lists, and which
// illustration belongs to which module model. The painter draws from these tables, the
// input handlers hit-test with them and the skin generator sizes its images from them, so
// none of them can drift from the others. Which control of a module panel sits on which
// bar or field is the catalog's panel layout. Platform-free, header only.

#include <array>
#include <cstdint>

namespace rq700::layout {

inline constexpr int kBaseWidth = 1232;
inline constexpr int kBaseHeight = 779;

// Both edges inclusive, as the hit tests treat them.
struct Rect {
  int left, top, right, bottom;
  constexpr int width() const { return right - left + 1; }
  constexpr int height() const { return bottom - top + 1; }
  constexpr bool Contains(int x, int y) const {
    return left <= x && x <= right && top <= y && y <= bottom;
  }
};

// The 98 hit rectangles; index = rectangle number.
inline constexpr std::array<Rect, 98> kHitRects = {{
    {892, 41, 1032, 69},
    {390, 41, 530, 69},
    {559, 41, 698, 69},
    {725, 41, 864, 69},
    {1061, 41, 1201, 69},
    {1009, 165, 1200, 608},
    {875, 184, 980, 214},
    {875, 234, 980, 264},
    {875, 284, 980, 314},
    {875, 334, 980, 364},
    {1204, 165, 1224, 608},
    {362, 462, 450, 575},
    {484, 462, 572, 575},
    {606, 462, 694, 575},
    {728, 462, 816, 575},
    {786, 599, 874, 713},
    {664, 599, 752, 713},
    {542, 599, 630, 713},
    {420, 599, 508, 713},
    {298, 599, 386, 713},
    {292, 697, 403, 734},
    {595, 697, 814, 734},
    // 22..30: control page switch grid, row by row.
    {301, 294, 411, 330},
    {444, 294, 554, 330},
    {587, 294, 697, 330},
    {301, 355, 411, 391},
    {444, 355, 554, 391},
    {587, 355, 697, 391},
    {301, 416, 411, 453},
    {444, 416, 554, 453},
    {587, 416, 697, 453},
    {461, 482, 537, 504},
    {463, 377, 539, 399},
    {496, 692, 572, 714},
    {336, 234, 446, 271},
    {479, 234, 589, 271},
    {451, 302, 466, 317},
    {582, 302, 597, 317},
    {451, 344, 466, 359},
    {582, 344, 597, 359},
    {409, 323, 424, 338},
    {540, 323, 555, 338},
    {403, 242, 418, 257},
    {534, 242, 549, 257},
    {440, 352, 465, 367},
    {571, 352, 586, 367},
    {135, 276, 150, 291},
    // 47..55: EXP module grid.
    {336, 305, 446, 342},
    {479, 305, 589, 342},
    {622, 305, 732, 342},
    {336, 356, 446, 392},
    {479, 356, 589, 392},
    {622, 356, 732, 392},
    {336, 407, 446, 444},
    {479, 407, 589, 444},
    {622, 407, 732, 444},
    // 56..67: EXP parameter choices 0..11.
    {336, 476, 446, 513},
    {479, 476, 589, 513},
    {622, 476, 732, 513},
    {336, 527, 446, 564},
    {479, 527, 589, 564},
    {622, 527, 732, 564},
    {336, 578, 446, 614},
    {479, 578, 589, 614},
    {622, 578, 732, 614},
    {336, 629, 446, 665},
    {479, 629, 589, 665},
    {622, 629, 732, 665},
    {336, 680, 446, 716},
    {622, 680, 732, 716},
    {461, 706, 537, 727},
    {450, 499, 465, 514},
    {581, 499, 596, 514},
    {450, 540, 465, 555},
    {581, 540, 596, 555},
    {932, 130, 973, 156},
    {440, 183, 635, 210},
    {440, 299, 635, 326},
    {440, 387, 635, 414},
    {550, 254, 745, 281},
    {550, 347, 745, 374},
    {495, 306, 658, 447},
    {388, 304, 445, 335},
    {388, 418, 445, 450},
    {463, 362, 539, 384},
    {402, 325, 417, 340},
    {523, 325, 538, 340},
    {473, 440, 548, 462},
    {620, 104, 630, 703},
    {440, 253, 635, 280},
    {622, 234, 732, 271},
    {496, 545, 572, 567},
    {450, 604, 465, 620},
    {581, 604, 596, 620},
    {450, 641, 465, 655},
    {581, 641, 596, 655},
    {380, 235, 491, 272},
    {545, 235, 656, 272},
}};

// The 23 popup and page panels.
inline constexpr std::array<Rect, 23> kPanels = {{
    {240, 170, 758, 758}, {240, 170, 758, 542}, {275, 170, 792, 745}, {376, 252, 627, 427},
    {250, 420, 910, 920}, {844, 75, 978, 125},  {440, 100, 635, 293}, {440, 100, 635, 569},
    {440, 100, 700, 707}, {440, 100, 635, 178}, {440, 80, 635, 181},  {440, 100, 635, 566},
    {440, 100, 635, 316}, {440, 100, 635, 270}, {440, 170, 635, 409}, {440, 290, 635, 529},
    {550, 170, 745, 409}, {550, 240, 745, 479}, {299, 212, 700, 408}, {320, 210, 700, 492},
    {440, 170, 635, 294}, {275, 280, 792, 595}, {350, 170, 688, 332},
}};

// Panels by use.
inline constexpr int kSystemPagePanel = 0;
inline constexpr int kCtrlPagePanel = 1;
inline constexpr int kExpPagePanel = 2;
inline constexpr int kChainPanel = 4;
inline constexpr int kVolumePopupPanel = 5;
inline constexpr int kBackupPopupPanel = 22;

// Hit rectangles by use: the top row (backup/restore, SAVE, import, export, version), the
// preset list and its scroll column, the page buttons, the chain slots (slot i is
// rectangle kFirstSlotRect + i, item id 11 + i), the preset volume and model fields, and
// the backup/restore popup's two buttons.
inline constexpr int kTopRowTop = 41;
inline constexpr int kTopRowBottom = 69;
inline constexpr int kPresetListRect = 5;
inline constexpr int kPageButtonRects[] = {6, 7, 8, 9};
inline constexpr int kPresetScrollRect = 10;
inline constexpr int kFirstSlotRect = 11;
inline constexpr int kVolumeFieldRect = 75;
inline constexpr int kModelFieldRect = 76;
inline constexpr int kRestoreRect = 96;
inline constexpr int kBackupRect = 97;

// Slider bars (the fill area of a slider; its value box runs from right + 12 to right + 70
// and from top - 5 to top + 18).
inline constexpr std::array<Rect, 16> kSliderBars = {{
    {855, 94, 965, 106},
    {432, 235, 626, 247},
    {432, 387, 626, 399},
    {432, 430, 626, 442},
    {440, 261, 630, 273},
    {440, 306, 630, 318},
    {440, 351, 630, 363},
    {440, 396, 630, 408},
    {184, 261, 374, 273},
    {184, 306, 374, 318},
    {184, 351, 374, 363},
    {551, 261, 741, 273},
    {551, 306, 741, 318},
    {551, 351, 741, 363},
    {365, 427, 555, 439},
    {365, 487, 555, 499},
}};

inline constexpr Rect ValueBox(const Rect& bar) {
  return {bar.right + 12, bar.top - 5, bar.right + 70, bar.top + 18};
}

// Module types.
enum ModuleType : int { kFx = 1, kDs, kAmp, kCab, kNs, kEq, kMod, kDelay, kReverb };
inline constexpr int kModuleCount = 9;

// Chain slot i (0..8) is hit rectangle 11 + i; its icon sits at the slot's corner plus the
// offset of the module type.
struct Offset {
  int x, y;
};
inline constexpr std::array<Offset, 10> kChainIconOffset = {{
    {0, 0},
    {34, 13},
    {17, 13},
    {5, 13},
    {21, 13},
    {6, 13},
    {34, 13},
    {26, 13},
    {16, 13},
    {9, 13},
}};
inline constexpr int kChainSlotWidth = 89;
inline constexpr int kChainSlotHeight = 114;
// Icons are centred in their slot and leave the same margin below as above.
inline constexpr int ChainIconWidth(int type) {
  return kChainSlotWidth - 2 * kChainIconOffset[type].x;
}
inline constexpr int ChainIconHeight() { return kChainSlotHeight - 2 * 13; }

// The illustration of a module panel: image number and its top-left corner.
struct Illustration {
  int image = 0;  // 0: none
  int x = 0, y = 0;
};

inline constexpr Illustration IllustrationFor(int type, int model) {
  switch (type) {
    case kFx:
      if (model == 1 || model == 2) return {203, 340, 260};
      if (model >= 3 && model <= 5) return {204, 365, 260};
      if (model == 6) return {205, 354, 260};
      if (model == 7 || model == 8) return {206, 354, 260};
      return {};
    case kDs:
      return {207, 350, 260};
    case kAmp:
      return {208, 125, 260};
    case kCab:
      return {209, 337, 260};
    case kNs:
      if (model == 1) return {210, 370, 260};
      if (model == 2) return {211, 312, 260};
      if (model == 3) return {212, 344, 260};
      return {};
    case kEq:
      if (model >= 1 && model <= 3) return {212 + model, 122, 258};
      if (model == 4) return {216, 452, 258};
      return {};
    case kMod:
      switch (model) {
        case 1:
        case 2:
        case 3:
          return {217, 368, 260};
        case 4:
        case 5:
          return {218, 325, 260};
        case 6:
        case 7:
        case 11:
        case 14:
          return {219, 377, 260};
        case 8:
          return {220, 368, 260};
        case 9:
        case 10:
        case 20:
          return {221, 375, 260};
        case 12:
        case 13:
          return {222, 368, 260};
        case 15:
          return {223, 380, 260};
        case 16:
        case 17:
          return {224, 364, 260};
        case 18:
          return {225, 369, 260};
        case 19:
          return {226, 351, 260};
        default:
          return {};
      }
    case kDelay:
      if (model >= 1 && model <= 7) return {227, 362, 260};
      if (model == 8) return {228, 110, 260};
      if (model == 9) return {229, 110, 260};
      return {};
    case kReverb:
      return {230, 327, 260};
    default:
      return {};
  }
}

// EXP page parameter choices per module type: how many, and the first image of the plain
// and of the chosen set.
struct ExpChoices {
  int count, base, chosen;
};
inline constexpr std::array<ExpChoices, 10> kExpChoices = {{
    {0, 0, 0},
    {10, 78, 88},
    {3, 98, 101},
    {6, 104, 110},
    {2, 116, 118},
    {4, 120, 124},
    {14, 128, 142},
    {12, 156, 168},
    {6, 180, 186},
    {4, 192, 196},
}};

// Hit rectangle of EXP parameter choice i (0..13).
inline constexpr const Rect& ExpChoiceRect(int i) { return kHitRects[56 + i]; }

// Model-list panel by module type (AMP and CAB share one).
inline constexpr std::array<int, 10> kModelListPanel = {0, 6, 7, 8, 8, 9, 10, 11, 12, 13};

// Row geometry shared by every drop-down list: row i spans panel top + 6 + 23 i to panel
// top + 26 + 23 i; the 2-pixel gaps between rows belong to no row.
inline constexpr int kListRowPitch = 23;
inline constexpr int kListRowTop = 6;
inline constexpr int kListRowBottom = 26;
inline constexpr int ListRowTop(const Rect& panel, int row) {
  return panel.top + kListRowTop + kListRowPitch * row;
}
inline constexpr int ListRowBottom(const Rect& panel, int row) {
  return panel.top + kListRowBottom + kListRowPitch * row;
}
// The row of `panel` at `y` (0 for the first), or -1 in a gap, above or below the rows.
inline constexpr int ListRowAt(const Rect& panel, int y, int rows) {
  const int from_top = y - panel.top - kListRowTop;
  if (from_top < 0) return -1;
  const int row = from_top / kListRowPitch;
  return row < rows && from_top % kListRowPitch <= kListRowBottom - kListRowTop ? row : -1;
}

// The sub-selector lists, by the item id of their field: microphone, power tube, and the
// delay sync notes (one list for models 1..8, two for model 9). -1 for any other item.
inline constexpr int SubListPanel(int item) {
  switch (item) {
    case 117:
      return 14;
    case 118:
      return 20;
    case 169:
      return 15;
    case 177:
      return 16;
    case 183:
      return 17;
    default:
      return -1;
  }
}

// The scrolling model lists (AMP and CAB, both on panel 8): 26 visible rows beside a
// scroll column. The user slots at the end of a list get keys beside their rows, counted
// from the bottom row up: row v from the bottom spans UserKeyRowTop(v) to + 16. The
// amplifier list has one key column (import), the cabinet list two (import, delete).
inline constexpr int kScrollListRows = 26;
inline constexpr int kAmpListOffsetMax = 39;
inline constexpr int kCabListOffsetMax = 10;
inline constexpr int kAmpFirstKeyOffset = 30;  // the first offset that shows a user slot
struct Span {
  int low, high;
  constexpr bool Contains(int v) const { return low <= v && v <= high; }
};
inline constexpr Span kCabImportKeys{645, 661};
inline constexpr Span kUserSlotKeys{665, 681};  // amplifier import, cabinet delete
inline constexpr Span kScrollColumn{685, 695};
inline constexpr int kAmpRowsRight = 665;  // rows hit left of here, both edges included
inline constexpr int kCabRowsRight = 645;
inline constexpr int UserKeyRowTop(int v) { return 683 - 23 * v; }
inline constexpr int kUserKeyRowHeight = 16;
// Scroll thumbs: offset o puts the thumb at top + pitch o to bottom + pitch o.
struct Thumb {
  int top, bottom, pitch;
};
inline constexpr Thumb kAmpThumb{104, 196, 13};
inline constexpr Thumb kCabThumb{104, 302, 40};

// Preset list: 19 rows; row r shows preset list top + r and spans kPresetRowTop + 23 r to
// kPresetRowBottom + 23 r. Its thumb sits at 174 + 2 x list top (the column of hit
// rectangle 10) and is grabbed up to 250 + 2 x list top.
inline constexpr int kPresetRows = 19;
inline constexpr int kPresetRowLeft = 1009;
inline constexpr int kPresetRowRight = 1215;
inline constexpr int kPresetRowTop = 169;
inline constexpr int kPresetRowBottom = 189;
inline constexpr int kPresetListTopMax = 181;
inline constexpr Thumb kPresetThumb{174, 250, 2};
// The row at `y` (0..18), or -1 in a gap, above or below the rows.
inline constexpr int PresetRowAt(int y) {
  const int from_top = y - kPresetRowTop;
  if (from_top < 0) return -1;
  const int row = from_top / kListRowPitch;
  return row < kPresetRows && from_top % kListRowPitch <= kPresetRowBottom - kPresetRowTop ? row
                                                                                           : -1;
}

// Version popup: its grey box, and its one entry "Version Update".
inline constexpr Rect kVersionPopup{1040, 70, 1200, 102};
inline constexpr Rect kVersionEntry{1040, 76, 1200, 96};

}  // namespace rq700::layout

#endif  // RQ700_SKIN_VIEW_LAYOUT_H_
