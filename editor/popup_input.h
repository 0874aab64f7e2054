#ifndef RQ700_EDITOR_POPUP_INPUT_H_
#define RQ700_EDITOR_POPUP_INPUT_H_

// The small popups of the main view: the version popup with its one entry, the preset
// volume popup with its slider, and the backup/restore popup with its two buttons.

#include <string_view>

#include "editor/input_context.h"

namespace rq700 {

// Where "Version Update" takes the user: this project's releases.
inline constexpr std::string_view kReleasesPageUrl =
    "https://github.com/rq700-suite/rq700-suite/releases";

// Any press closes the version popup; one on its entry opens the releases page first.
void PressVersionPopup(InputContext& c, int x, int y);
// While the mouse is over the entry, the entry is highlighted.
void HoverVersionPopup(InputContext& c, int x, int y);

// Inside the volume popup a press on the slider sets the preset volume; the press ends
// there (true). Outside it, false: the press belongs to the main view.
bool PressVolumePopup(InputContext& c, int x, int y);
// The slider follows the mouse, held to 0..100 beyond its ends.
void DragVolume(InputContext& c, int x);
bool HoverVolumePopup(InputContext& c, int x, int y);

// Restore and Backup start their choosers; a press outside the popup closes it.
void PressBackupPopup(InputContext& c, int x, int y);
bool HoverBackupPopup(InputContext& c, int x, int y);

}  // namespace rq700

#endif  // RQ700_EDITOR_POPUP_INPUT_H_
