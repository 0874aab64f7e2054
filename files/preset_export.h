#ifndef RQ700_FILES_PRESET_EXPORT_H_
#define RQ700_FILES_PRESET_EXPORT_H_

#include <cstdint>
#include <string>
#include <vector>

#include "files/job_result.h"
#include "protocol/device_state.h"

// Presets out of the editor into preset files (.zv).
namespace rq700::files {

// The record of the preset being edited as a file holds it: the values from the edit
// model, the name and the carried tables and words from its stored record, everything else
// zero. `carried_from_edit_model`: bytes 114, 115 and 125 from the edit model too (the
// export of a selection), else from the stored record (the export of the edited preset).
void BuildEditedRecord(const DeviceState& state, bool carried_from_edit_model, uint8_t* record);

// What preset `index` (0..199) is exported as: the edited preset's record built as above,
// any other preset's stored record.
void ExportRecord(const DeviceState& state, int index, uint8_t* record);

// "P<n>-<name>.zv" for preset `index`: n counted from 1, the name up to its first NUL in
// UTF-8. Characters no file name may hold (slashes, controls, and those Windows refuses)
// become "_", so a name can never lead the file elsewhere.
std::string ExportFileName(int index, const uint8_t* record);

// The file name the save dialog suggests for the edited preset.
std::string SuggestedExportName(const DeviceState& state);

// Writes one record as a preset file. False when the file cannot be written.
bool WritePresetFile(const std::string& utf8_path, const uint8_t* record);

// Writes presets `indices` (0..199, in that order) into `folder`, each under its
// ExportFileName. Stops at the first file that cannot be written (kIoError); the files
// written before it stay. `written` gets the paths written.
JobResult ExportPresets(const DeviceState& state, const std::string& utf8_folder,
                        const std::vector<int>& indices, std::vector<std::string>* written);

}  // namespace rq700::files

#endif  // RQ700_FILES_PRESET_EXPORT_H_
