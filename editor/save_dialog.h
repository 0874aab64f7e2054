#ifndef RQ700_EDITOR_SAVE_DIALOG_H_
#define RQ700_EDITOR_SAVE_DIALOG_H_

// The save dialog's logic: what it opens with, what SAVE stores and raises, what CANCEL
// undoes. The dialog itself is the shell's.

#include <string>

#include "editor/input_context.h"
#include "editor/shell.h"
#include "protocol/device_state.h"
#include "skin/view_state.h"

namespace rq700 {

inline constexpr int kSaveNameChars = 14;  // typed characters that are kept

// The number box's entry for preset slot `index` (0..199): "P-001" .. "P-200".
std::string SaveSlotLabel(int index);

// The edited preset's name (its record's name bytes up to the first zero) and its slot.
SaveDialogSetup SaveDialogStart(const DeviceState& device);

// SAVE: the chosen slot becomes the list cursor and gets the name (the first 14 typed
// characters, each reduced to its low byte and upper-cased; the 15th byte zero) and the
// whole edit model; its list text is rebuilt; the save request goes up with that name.
void SaveDialogSave(DeviceState& device, ViewState& view, const SaveDialogChoice& choice);
// CANCEL (or the close box): an imported name is put back; the edit counts as clean.
void SaveDialogCancel(DeviceState& device, ViewState& view);

// Runs the dialog (the SAVE button, or Yes to the save question). True when it saved.
bool RunSaveDialog(InputContext& context);

// Puts back the name that a preset import replaced, if one is pending.
void PutBackImportedName(DeviceState& device, ViewState& view);

}  // namespace rq700

#endif  // RQ700_EDITOR_SAVE_DIALOG_H_
