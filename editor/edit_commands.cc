#include "editor/edit_commands.h"

#include <mutex>
#include <string>

#include "catalog/modules.h"

namespace rq700 {

EditCommands::EditCommands(DeviceState& device, ViewState& view, Shell& shell, EditHistory& history)
    : device_(device), view_(view), shell_(shell), history_(history) {}

bool EditCommands::OnKey(int key, bool ctrl, bool shift) {
  const bool ours =
      key == kKeyF1 || (ctrl && (key == kKeyZ || key == kKeyY || key == kKeyC || key == kKeyV));
  if (!ours) return false;
  if (key == kKeyF1) {
    shell_.ShowMessage(MessageOwner::kMainWindow, text::kKeysHelp, text::kKeysCaption,
                       MessageIcon::kNone);
    return true;
  }
  // As clicks, edits wait while a transfer runs; and none cuts into a drag under way.
  if (shell_.IsWaitCursor() || view_.button_down == 1) return true;
  switch (key) {
    case kKeyZ:
      shift ? history_.Redo() : history_.Undo();
      break;
    case kKeyY:
      history_.Redo();
      break;
    case kKeyC:
      Copy();
      break;
    default:
      Paste();
      break;
  }
  return true;
}

void EditCommands::Copy() {
  const int module = device_.selected_module.Get();
  if (!catalog::IsModule(module)) return;
  const EditFields& fields = history_.fields();
  for (int i = 0; i < kEditFieldCount; ++i) {
    if (fields[i].module == module) copied_[i] = fields[i].Get();
  }
  copied_module_ = module;
  shell_.ShowStatus(std::string(catalog::ModuleName(module)) + std::string(text::kCopied));
}

void EditCommands::Paste() {
  if (copied_module_ == 0) {
    shell_.ShowStatus(text::kNothingToPaste);
    return;
  }
  const std::string name(catalog::ModuleName(copied_module_));
  if (device_.selected_module.Get() != copied_module_) {
    shell_.ShowStatus(name + std::string(text::kPasteRefused) + name +
                      std::string(text::kPasteRefusedEnd));
    return;
  }
  const EditFields& fields = history_.fields();
  history_.Commit();
  history_.BeforeInput();
  {
    std::lock_guard<std::mutex> lock(device_.edit_lock);
    for (int i = 0; i < kEditFieldCount; ++i) {
      if (fields[i].module == copied_module_) fields[i].Set(copied_[i]);
    }
    // The chain shows the module on or off by its position's flag, as a click sets it.
    const int pos = ChainPosition(device_, copied_module_);
    if (pos >= 0)
      device_.chain_off[pos].Set(device_.module[copied_module_].enable.Get() == 1 ? 0 : 1);
  }
  history_.AfterInput();
  history_.Commit();
  shell_.ShowStatus(name + std::string(text::kPasted));
}

}  // namespace rq700
