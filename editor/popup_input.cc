#include "editor/popup_input.h"

#include <algorithm>

#include "editor/item_ids.h"
#include "editor/messages.h"
#include "skin/view_layout.h"

namespace rq700 {
namespace {

namespace L = layout;

const L::Rect& VolumeBar() { return L::kSliderBars[0]; }

// The volume under x on the slider: 0 at its left end, 100 at its right.
int VolumeAt(int x) {
  const L::Rect& bar = VolumeBar();
  return (x - bar.left) * 100 / (bar.right - bar.left);
}

// The entry answers strictly right of the popup's left edge.
bool OnVersionEntry(int x, int y) {
  const L::Rect& entry = L::kVersionEntry;
  return entry.left < x && x <= entry.right && entry.top <= y && y <= entry.bottom;
}

}  // namespace

void PressVersionPopup(InputContext& c, int x, int y) {
  if (OnVersionEntry(x, y)) c.shell.OpenUrl(kReleasesPageUrl);
  c.set_active_item(item::kNone);
}

void HoverVersionPopup(InputContext& c, int x, int y) {
  if (OnVersionEntry(x, y)) c.view.version_entry_marker = 0;
}

bool PressVolumePopup(InputContext& c, int x, int y) {
  if (!L::kPanels[L::kVolumePopupPanel].Contains(x, y)) return false;
  if (VolumeBar().Contains(x, y)) {
    c.view.pressed_item = item::kVolumeSlider;
    c.device.volume.Set(static_cast<uint8_t>(VolumeAt(x)));
  }
  return true;
}

void DragVolume(InputContext& c, int x) {
  c.device.volume.Set(static_cast<uint8_t>(std::clamp(VolumeAt(x), 0, 100)));
  c.view.hover_item = item::kVolumeSlider;
}

bool HoverVolumePopup(InputContext& c, int x, int y) {
  if (!L::kPanels[L::kVolumePopupPanel].Contains(x, y)) return false;
  c.view.hover_item = VolumeBar().Contains(x, y) ? item::kVolumeSlider : item::kVolume;
  return true;
}

void PressBackupPopup(InputContext& c, int x, int y) {
  if (!L::kPanels[L::kBackupPopupPanel].Contains(x, y)) {
    c.set_active_item(item::kNone);
    return;
  }
  if (L::kHitRects[L::kRestoreRect].Contains(x, y)) {
    switch (c.files.ChooseRestoreFile()) {
      case FileChoice::kWrongFile:
        c.shell.ShowMessage(MessageOwner::kMainWindow, text::kWrongFileFormat, text::kError,
                            MessageIcon::kWarning);
        break;
      case FileChoice::kReady:
        c.shell.SetWaitCursor(true);
        c.device.restore_request.store(1);
        break;
      case FileChoice::kCancelled:
        break;
    }
  } else if (L::kHitRects[L::kBackupRect].Contains(x, y)) {
    if (c.files.ChooseBackupFile() == FileChoice::kReady) {
      c.shell.SetWaitCursor(true);
      c.device.backup_request.store(1);
    }
  }
}

bool HoverBackupPopup(InputContext& c, int x, int y) {
  if (!L::kPanels[L::kBackupPopupPanel].Contains(x, y)) return false;
  if (L::kHitRects[L::kRestoreRect].Contains(x, y)) {
    c.view.hover_item = item::kRestore;
  } else if (L::kHitRects[L::kBackupRect].Contains(x, y)) {
    c.view.hover_item = item::kBackup;
  } else {
    c.view.hover_item = item::kBackupRestore;
  }
  return true;
}

}  // namespace rq700
