#include "editor/transfer_actions.h"

#include <algorithm>
#include <cstring>

#include "editor/messages.h"
#include "editor/save_path.h"
#include "files/preset_export.h"
#include "files/slot_name.h"

namespace rq700 {

TransferActions::TransferActions(DeviceState& state, ViewState& view, Shell& shell,
                                 WindowJobs& jobs, files::PresetImportList& import_list,
                                 Hooks hooks)
    : state_(state),
      view_(view),
      shell_(shell),
      jobs_(jobs),
      import_list_(import_list),
      hooks_(std::move(hooks)) {}

TransferActions::~TransferActions() {
  // A job still watched must not outlive its object.
  if (jobs_.busy()) jobs_.Abandon(files::JobResult::kCancelled);
}

bool TransferActions::Busy() const {
  return jobs_.busy() || shell_.IsWaitCursor() ||
         state_.import_mode.load(std::memory_order_acquire) != kImportIdle ||
         state_.in_flight.load() != 0;
}

// ---- User slots ----

void TransferActions::ImportImpulseResponse(int slot) {
  if (Busy()) return;
  const std::vector<std::string> paths =
      shell_.ChooseOpenFiles(text::kOpenTitle, text::kIrFilter, false);
  if (!paths.empty()) LoadIr(slot, paths[0]);
}

void TransferActions::ImportAmplifier(int slot) {
  if (Busy()) return;
  const std::vector<std::string> paths =
      shell_.ChooseOpenFiles(text::kOpenTitle, text::kAmpFilter, false);
  if (!paths.empty()) LoadAmp(slot, paths[0]);
}

void TransferActions::DeleteImpulseResponse(int slot) {
  if (Busy()) return;
  if (!shell_.AskYesNo(MessageOwner::kMainWindow, text::kDeleteIrQuestion, text::kWarning,
                       MessageIcon::kWarning))
    return;
  auto job = std::make_unique<files::IrDeleteJob>(state_, slot);
  if (!job->Start()) return;
  slot_job_ = std::move(job);
  WatchSlotJob(*slot_job_, {});
}

// Reads and converts the file before anything is sent; a file that cannot be used is
// refused with the file error and the slot is left alone.
template <typename Job>
void TransferActions::LoadSlot(int slot, const std::string& path, std::string_view done_text) {
  auto job = std::make_unique<Job>(state_, slot);
  if (!job->Prepare(path)) {
    shell_.ShowMessage(MessageOwner::kMainWindow, files::kImportFileError, text::kWarning,
                       MessageIcon::kWarning);
    return;
  }
  if (!job->Start()) return;
  slot_job_ = std::move(job);
  WatchSlotJob(*slot_job_, done_text);
}

void TransferActions::LoadIr(int slot, const std::string& path) {
  LoadSlot<files::IrLoadJob>(slot, path, text::kImportIrSuccess);
}

void TransferActions::LoadAmp(int slot, const std::string& path) {
  LoadSlot<files::AmpLoadJob>(slot, path, text::kImportAmpSuccess);
}

void TransferActions::WatchSlotJob(files::DeviceJob& job, std::string_view done_text) {
  const bool watched = jobs_.Watch(job, [this, done_text](files::JobResult result) {
    if (result != files::JobResult::kDone) {
      ShowFailure(result);
    } else if (!done_text.empty()) {
      shell_.ShowMessage(MessageOwner::kMainWindow, done_text, text::kNotice,
                         MessageIcon::kWarning);
    }
  });
  if (!watched) job.Abandon(files::JobResult::kCancelled);
}

void TransferActions::ShowFailure(files::JobResult result) {
  // A device that went away closes the window with its own message.
  if (result == files::JobResult::kDeviceGone) return;
  shell_.ShowMessage(MessageOwner::kMainWindow, text::kSlotTransferFailed, text::kWarning,
                     MessageIcon::kWarning);
}

int TransferActions::AskSlot(bool amplifier) {
  std::vector<std::string> items;
  for (int slot = 0; slot < kUserSlots; ++slot) {
    const std::string name = amplifier ? UserAmpName(state_, slot) : UserIrName(state_, slot);
    items.push_back("USER " + std::to_string(slot + 1) + ": " + name);
  }
  const std::optional<int> chosen = shell_.ChooseFromList(
      text::kChooseSlotTitle, amplifier ? text::kChooseAmpSlot : text::kChooseIrSlot, items);
  if (!chosen || *chosen < 0 || *chosen >= kUserSlots) return -1;
  return *chosen;
}

// ---- Preset files ----

void TransferActions::ImportPresets() {
  if (Busy()) return;
  const std::vector<std::string> paths =
      shell_.ChooseOpenFiles(text::kOpenTitle, text::kPresetFilter, true);
  if (paths.empty()) return;
  // The count is told first; a selection the dialog could not have handed over whole is
  // refused rather than cut.
  if (paths.size() <= static_cast<size_t>(files::kMaxImportSelection) &&
      !files::SelectionFitsBuffer(paths)) {
    shell_.ShowMessage(MessageOwner::kMainWindow, text::kSelectionTooLarge, text::kNotice,
                       MessageIcon::kWarning);
    return;
  }
  ImportPresetFiles(paths);
}

void TransferActions::ImportPresetFiles(const std::vector<std::string>& paths) {
  if (paths.empty() || Busy()) return;
  if (paths.size() == 1) {
    files::SingleImport import;
    const int code = files::ReadSingleImport(paths[0], &import);
    if (code < 0) return;
    if (code != 0) {
      if (hooks_.import_result) hooks_.import_result(code);
      return;
    }
    // The name the preset had before, for a declined save to put back; a second import
    // into the same preset keeps the first one's.
    const int index = state_.list_cursor.Get();
    if (view_.imported_name_pending == 0 || view_.imported_name_index != index) {
      uint8_t stored[record::kSize];
      ReadRecord(state_, index, stored);
      std::memcpy(view_.previous_name.data(), stored + record::kName, record::kNameSize);
    }
    view_.imported_name_pending = 1;
    view_.imported_name_index = index;
    files::ApplySingleImport(state_, import);
    return;
  }
  const int code = import_list_.Set(paths);
  if (code != 0) {
    if (hooks_.import_result) hooks_.import_result(code);
    return;
  }
  shell_.SetWaitCursor(true);
  import_job_ = std::make_unique<files::PresetImportJob>(state_, import_list_);
  if (!import_job_->Start()) shell_.SetWaitCursor(false);
}

void TransferActions::ExportPresets() {
  if (Busy()) return;
  const bool any_selected = std::any_of(view_.list_selected.begin(), view_.list_selected.end(),
                                        [](uint8_t flag) { return flag != 0; });
  if (!any_selected) {
    const std::string path =
        SavePathWithExtension(shell_,
                              shell_.ChooseSaveFile(text::kSaveAsTitle, text::kPresetFilter,
                                                    files::SuggestedExportName(state_)),
                              "zv");
    if (path.empty()) return;
    uint8_t rec[record::kSize];
    files::BuildEditedRecord(state_, false, rec);
    if (!files::WritePresetFile(path, rec)) {
      shell_.ShowMessage(MessageOwner::kMainWindow, text::kExportFailed, text::kError,
                         MessageIcon::kError);
    }
    return;
  }
  const std::string folder = shell_.ChooseFolder(text::kChooseFolderTitle);
  if (folder.empty()) return;
  for (int i = 0; i < kPresetCount; ++i) {
    if (view_.list_selected[i] == 0) continue;
    view_.list_selected[i] = 0;
    if (files::ExportPresets(state_, folder, {i}, nullptr) != files::JobResult::kDone) {
      // The presets written so far stay; the rest keep their selection.
      shell_.ShowMessage(MessageOwner::kMainWindow, text::kExportFailed, text::kError,
                         MessageIcon::kError);
      return;
    }
  }
}

// ---- Dropped files ----

void TransferActions::DropFiles(const std::vector<std::string>& paths) {
  if (paths.empty() || Busy()) return;
  const bool all_presets = std::all_of(
      paths.begin(), paths.end(), [](const std::string& p) { return LowerExtension(p) == "zv"; });
  if (all_presets) {
    ImportPresetFiles(paths);
    return;
  }
  const std::string ext = paths.size() == 1 ? LowerExtension(paths[0]) : std::string();
  if (ext == "wav" || ext == "amp") {
    const bool amplifier = ext == "amp";
    const int slot = AskSlot(amplifier);
    if (slot < 0) return;
    if (amplifier) {
      LoadAmp(slot, paths[0]);
    } else {
      LoadIr(slot, paths[0]);
    }
    return;
  }
  if (ext == "zbf" && hooks_.start_restore) {
    if (!shell_.AskYesNo(MessageOwner::kMainWindow, text::kRestoreQuestion, text::kWarning,
                         MessageIcon::kWarning))
      return;
    if (hooks_.start_restore(paths[0]) == FileChoice::kWrongFile) {
      shell_.ShowMessage(MessageOwner::kMainWindow, text::kWrongFileFormat, text::kError,
                         MessageIcon::kWarning);
    }
    return;
  }
  shell_.ShowMessage(MessageOwner::kMainWindow, text::kDropRefused, text::kNotice,
                     MessageIcon::kWarning);
}

}  // namespace rq700
