#ifndef RQ700_EDITOR_EDIT_COMMANDS_H_
#define RQ700_EDITOR_EDIT_COMMANDS_H_

#include <array>
#include <string_view>

#include "editor/edit_history.h"
#include "editor/shell.h"
#include "protocol/device_state.h"
#include "skin/view_state.h"

namespace rq700 {

// Key numbers of the editing keys as the window hands them over (the letters' own codes).
inline constexpr int kKeyC = 67;
inline constexpr int kKeyV = 86;
inline constexpr int kKeyY = 89;
inline constexpr int kKeyZ = 90;
inline constexpr int kKeyF1 = 112;

namespace text {
inline constexpr std::string_view kKeysCaption = "Keys";
inline constexpr std::string_view kKeysHelp =
    "Ctrl+Z\tTake back the last change\n"
    "Ctrl+Shift+Z, Ctrl+Y\tDo it again\n"
    "Ctrl+C\tCopy the settings of the module shown\n"
    "Ctrl+V\tPaste them into the same module of this preset\n"
    "Up, Down\tPrevious or next preset (after a click on the list)\n"
    "Ctrl+click, Shift+click\tChoose presets on the list for export\n"
    "Ctrl+A\tChoose every preset (mouse over the list)\n"
    "Space\tTap the tempo\n"
    "Escape\tClose the open page or list\n"
    "F1\tThis list";
inline constexpr std::string_view kCopied = " settings copied";
inline constexpr std::string_view kPasted = " settings pasted";
inline constexpr std::string_view kNothingToPaste = "Nothing copied yet: Ctrl+C copies a module";
inline constexpr std::string_view kPasteRefused = " settings fit only the ";
inline constexpr std::string_view kPasteRefusedEnd = " module";
}  // namespace text

// The editing keys of the main window: undo and redo, copy and paste of a module's
// settings, and the list of keys on F1. Platform-free; the window hands it its keys first
// and calls Tick on its repaint timer.
class EditCommands {
 public:
  EditCommands(DeviceState& device, ViewState& view, Shell& shell, EditHistory& history);

  // True when the key was one of these (and is then used up).
  bool OnKey(int key, bool ctrl, bool shift);
  void Tick() { history_.Tick(); }

  // Ctrl+C: the model, enable and values of the module whose panel is shown.
  void Copy();
  // Ctrl+V: into the same module of the edited preset, as one undo step; a module of
  // another type is left as it is, with a note why.
  void Paste();

 private:
  DeviceState& device_;
  ViewState& view_;
  Shell& shell_;
  EditHistory& history_;
  int copied_module_ = 0;  // 0: nothing copied
  std::array<int32_t, kEditFieldCount> copied_{};
};

}  // namespace rq700

#endif  // RQ700_EDITOR_EDIT_COMMANDS_H_
