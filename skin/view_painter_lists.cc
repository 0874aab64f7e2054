// Drop-down lists: the model list of the selected module and the sub-selector lists.

#include <algorithm>
#include <string>

#include "catalog/labels.h"
#include "catalog/models.h"
#include "skin/view_layout.h"
#include "skin/view_painter.h"

namespace rq700 {

namespace L = layout;

namespace {

int RowTop(const L::Rect& panel, int r) { return L::ListRowTop(panel, r); }
int RowBottom(const L::Rect& panel, int r) { return L::ListRowBottom(panel, r); }
int TextY(const L::Rect& panel, int r) { return panel.top + 25 + L::kListRowPitch * r; }

}  // namespace

void EditorViewPainter::PaintModelList(Canvas& c) {
  const int type = device_.selected_module.Get();
  if (type < 1 || type > 9) return;
  const L::Rect& panel = L::kPanels[L::kModelListPanel[type]];
  const int model = device_.module[type].model.Get();
  const int hover = view_.model_list_hover[type];
  c.FillRect(panel.left, panel.top, panel.right, panel.bottom, view_colour::kListGrey);

  if (type != L::kAmp && type != L::kCab) {
    const int entries = catalog::ModelCount(type);
    for (int r = 0; r < entries; ++r) {
      if (hover == r + 1)
        c.FillRect(panel.left, RowTop(panel, r), panel.right, RowBottom(panel, r),
                   view_colour::kLightGrey);
      if (model == r + 1)
        c.FillRect(panel.left, RowTop(panel, r), panel.right, RowBottom(panel, r),
                   view_colour::kHighlight);
      c.DrawText(0, panel.left + 12, TextY(panel, r), ModelDisplayName(device_, type, r + 1));
    }
    return;
  }

  const bool amp = type == L::kAmp;
  const int entries = catalog::ModelCount(type);
  // Offsets outside their ranges are drawn as the nearest end.
  const int offset = std::clamp(amp ? view_.amp_list_offset : view_.cab_list_offset, 0,
                                amp ? L::kAmpListOffsetMax : L::kCabListOffsetMax);
  const int right = panel.right - 40;
  for (int r = 0; r < L::kScrollListRows; ++r) {
    if (hover == r + 1)
      c.FillRect(panel.left, RowTop(panel, r), right, RowBottom(panel, r), view_colour::kLightGrey);
    if (model - offset - 1 == r)
      c.FillRect(panel.left, RowTop(panel, r), right, RowBottom(panel, r), view_colour::kHighlight);
  }
  const L::Thumb& thumb = amp ? L::kAmpThumb : L::kCabThumb;
  c.FillRect(L::kScrollColumn.low, thumb.top + thumb.pitch * offset, L::kScrollColumn.high,
             thumb.bottom + thumb.pitch * offset, view_colour::kThumbGrey);
  for (int r = 0; r < L::kScrollListRows; ++r) {
    const int entry = offset + r;  // 0-based: model entry + 1
    if (entry < 0 || entry >= entries) continue;
    c.DrawText(0, 452, TextY(panel, r), ModelDisplayName(device_, type, entry + 1));
  }
  // Keys beside the visible user-slot rows, counted from the bottom row up.
  if (amp) {
    for (int v = 0; v <= offset - L::kAmpFirstKeyOffset; ++v) {
      const int slot = offset - 29 - v;
      const bool marked = (view_.amp_import_mask >> (slot - 1)) & 1u;
      c.DrawImage(marked ? 233 : 232, L::kUserSlotKeys.low, L::UserKeyRowTop(v));
    }
  } else {
    for (int v = 0; v <= offset - 1; ++v) {
      const int slot = offset - v;
      const bool load = (view_.ir_mask >> (slot - 1)) & 1u;
      const bool erase = (view_.ir_mask >> (slot + 9)) & 1u;
      c.DrawImage(load ? 233 : 232, L::kCabImportKeys.low, L::UserKeyRowTop(v));
      c.DrawImage(erase ? 234 : 235, L::kUserSlotKeys.low, L::UserKeyRowTop(v));
    }
  }
}

void EditorViewPainter::PaintSubList(Canvas& c, int item) {
  int entries = 0, current = 0, hover = 0;
  std::string_view (*name)(int) = nullptr;
  switch (item) {
    case 117:
      if (device_.module[L::kCab].model.Get() >= catalog::kFirstUserIrModel) return;
      entries = catalog::kMicrophoneCount, name = catalog::MicrophoneName;
      current = device_.module[L::kCab].param[0].Get(), hover = view_.mic_list_hover;
      break;
    case 118:
      entries = catalog::kPowerTubeCount, name = catalog::PowerTubeName;
      current = device_.module[L::kCab].param[3].Get(), hover = view_.tube_list_hover;
      break;
    case 169:
      entries = catalog::kSyncNoteCount, name = catalog::SyncNoteName;
      current = device_.delay_word[4].Get(), hover = view_.sync_list_hover;
      break;
    case 177:
    case 183:
      entries = catalog::kSyncNoteCount;
      name = catalog::SyncNoteName;
      current = device_.delay_word[item == 177 ? 4 : 6].Get(), hover = view_.sync_ab_list_hover;
      break;
    default:
      return;
  }
  const L::Rect& panel = L::kPanels[L::SubListPanel(item)];
  c.FillRect(panel.left, panel.top, panel.right, panel.bottom, view_colour::kListGrey);
  for (int r = 0; r < entries; ++r) {
    if (hover == r)
      c.FillRect(panel.left, RowTop(panel, r), panel.right, RowBottom(panel, r),
                 view_colour::kLightGrey);
    if (current == r)
      c.FillRect(panel.left, RowTop(panel, r), panel.right, RowBottom(panel, r),
                 view_colour::kHighlight);
    c.DrawText(0, panel.left + 12, TextY(panel, r), std::string(name(r)));
  }
}

}  // namespace rq700
