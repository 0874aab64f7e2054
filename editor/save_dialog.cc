#include "editor/save_dialog.h"

#include <algorithm>
#include <cstdio>

namespace rq700 {
namespace {

// Upper case as the C library's toupper has it in the "C" locale, whatever locale the
// desktop set: only a..z change.
uint8_t AsciiUpper(uint8_t c) { return c >= 'a' && c <= 'z' ? static_cast<uint8_t>(c - 32) : c; }

int ClampPreset(int index) { return std::clamp(index, 0, kPresetCount - 1); }

}  // namespace

std::string SaveSlotLabel(int index) {
  char label[16];
  std::snprintf(label, sizeof(label), "P-%03d", index + 1);
  return label;
}

SaveDialogSetup SaveDialogStart(const DeviceState& device) {
  SaveDialogSetup setup;
  setup.selection = ClampPreset(device.current_preset.load(std::memory_order_relaxed));
  uint8_t record[record::kSize];
  ReadRecord(device, setup.selection, record);
  for (size_t i = 0; i < record::kNameSize && record[record::kName + i] != 0; ++i)
    setup.name.push_back(record[record::kName + i]);
  return setup;
}

void SaveDialogSave(DeviceState& device, ViewState& view, const SaveDialogChoice& choice) {
  const int target = ClampPreset(choice.selection);
  // A select request still raised from an earlier save would switch the device to the new
  // slot before the save reaches it, and the save would store that slot's old sound. The
  // save raises the request itself once it is sent.
  device.preset_change_request.store(0);
  device.save_target.store(static_cast<uint8_t>(target));
  device.list_cursor.Set(target);
  uint8_t name[kSaveNameSize] = {};
  for (int i = 0; i < kSaveNameSize; ++i) {
    const bool typed = i < kSaveNameChars && i < static_cast<int>(choice.name.size());
    name[i] = AsciiUpper(typed ? static_cast<uint8_t>(choice.name[i] & 0xFF) : 0);
    device.save_name[i].store(name[i], std::memory_order_relaxed);
  }
  WriteRecordName(device, target, name, kSaveNameSize);
  SetPresetName(device, target, name, kSaveNameSize);
  view.imported_name_pending = 0;

  SaveIntoStore(device, target);  // the edit model into the record; raises the save request
  device.list_row.Set(255);
  // The device goes to the saved slot: it is the preset being edited from now on, so the
  // next save question and the next dialog name it rather than the one saved from.
  device.current_preset.store(target, std::memory_order_relaxed);
}

void SaveDialogCancel(DeviceState& device, ViewState& view) {
  PutBackImportedName(device, view);
  device.dirty.store(0);
}

bool RunSaveDialog(InputContext& context) {
  // The modal dialog swallows the button's release.
  context.view.button_down = 0;
  const std::optional<SaveDialogChoice> choice =
      context.shell.RunSaveDialog(SaveDialogStart(context.device));
  if (!choice) {
    SaveDialogCancel(context.device, context.view);
    return false;
  }
  SaveDialogSave(context.device, context.view, *choice);
  return true;
}

void PutBackImportedName(DeviceState& device, ViewState& view) {
  if (view.imported_name_pending == 0) return;
  view.imported_name_pending = 0;
  // Into the preset that took the imported name, wherever the list cursor stands now.
  const int index = view.imported_name_index;
  if (index < 0 || index >= kPresetCount) return;
  WriteRecordName(device, index, view.previous_name.data(), view.previous_name.size());
  SetPresetName(device, index, view.previous_name.data(), view.previous_name.size());
}

}  // namespace rq700
