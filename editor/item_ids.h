#ifndef RQ700_EDITOR_ITEM_IDS_H_
#define RQ700_EDITOR_ITEM_IDS_H_

// Item ids: every clickable thing of the view has one. The same id names it for the hit
// tests, as the open popup or page (the active item), for the painter's highlight and for
// the value entry box's place.
namespace rq700::item {

inline constexpr int kNothing = 0;
inline constexpr int kSave = 1;
inline constexpr int kImport = 2;
inline constexpr int kExport = 3;
inline constexpr int kVersion = 4;  // as active item, the version popup
inline constexpr int kPresetList = 5;
inline constexpr int kSystemPage = 6;  // 6..8 as active items: the open page
inline constexpr int kCtrlPage = 7;
inline constexpr int kExpPage = 8;
inline constexpr int kFourthButton = 9;
inline constexpr int kPresetThumb = 10;
inline constexpr int kFirstSlot = 11;  // the nine chain slots, 11..19, in chain order
inline constexpr int kLastSlot = 19;
inline constexpr int kVolume = 20;  // as active item, the preset volume popup
inline constexpr int kVolumeSlider = 21;
inline constexpr int kModelList = 90;  // as active item, the model list of the module
// 91..192: the module panels' slider bars (odd) and their value boxes (bar + 1).
inline constexpr int kFirstPanelItem = 91;
inline constexpr int kLastPanelItem = 192;
inline constexpr int kMicrophone = 117;
inline constexpr int kPowerTube = 118;
inline constexpr int kSyncNote = 169;
inline constexpr int kSyncNoteA = 177;
inline constexpr int kSyncNoteB = 183;
inline constexpr int kAmpThumb = 222;
inline constexpr int kCabThumb = 223;
inline constexpr int kDismissed = 254;
inline constexpr int kNone = 255;
inline constexpr int kBackupRestore = 500;  // as active item, the backup/restore popup
inline constexpr int kRestore = 501;        // hover only
inline constexpr int kBackup = 502;         // hover only

inline constexpr bool IsSlot(int id) { return id >= kFirstSlot && id <= kLastSlot; }
inline constexpr bool IsPage(int id) { return id >= kSystemPage && id <= kExpPage; }
inline constexpr bool IsSubList(int id) {
  return id == kMicrophone || id == kPowerTube || id == kSyncNote || id == kSyncNoteA ||
         id == kSyncNoteB;
}

}  // namespace rq700::item

#endif  // RQ700_EDITOR_ITEM_IDS_H_
