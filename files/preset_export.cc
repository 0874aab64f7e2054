#include "files/preset_export.h"

#include <cstdio>
#include <cstring>

#include "files/preset_file.h"

namespace rq700::files {
namespace {

void CopyRange(const uint8_t* from, uint8_t* to, size_t offset, size_t size) {
  std::memcpy(to + offset, from + offset, size);
}

bool ForbiddenInFileName(unsigned char c) {
  return c < 0x20 || c == 0x7F || std::strchr("/\\:*?\"<>|", c) != nullptr;
}

}  // namespace

void BuildEditedRecord(const DeviceState& s, bool carried_from_edit_model, uint8_t* rec) {
  uint8_t live[record::kSize] = {};
  WriteEditModel(s, live);
  uint8_t stored[record::kSize];
  ReadRecord(s, s.list_cursor.Get(), stored);

  std::memset(rec, 0, record::kSize);
  CopyRange(live, rec, record::kChainOrder, 9);
  CopyRange(live, rec, record::kVolume, 2);
  CopyRange(live, rec, record::ModuleSlot(1),
            record::ModuleSlot(record::kModuleCount + 1) - record::ModuleSlot(1));
  CopyRange(live, rec, record::kChainOff, 9);
  CopyRange(live, rec, record::kModuleSwitch, 9);
  CopyRange(live, rec, record::kEqWords, record::kExp1Module - record::kEqWords);
  CopyRange(live, rec, record::kExp1Module, 4);

  // The edit model holds TIME B only while DELAY model 9 is chosen; for the other models
  // the stored word is the one the preset keeps, and it must not be lost on the way out.
  if (s.module[kDelay].model.Get() != 9) CopyRange(stored, rec, record::kDelayTimeBWord, 2);
  CopyRange(stored, rec, record::kName, record::kNameSize);
  const uint8_t* carried = carried_from_edit_model ? live : stored;
  CopyRange(carried, rec, record::kCarriedA, 2);
  CopyRange(carried, rec, record::kCarriedC, 1);
  CopyRange(stored, rec, record::kCarriedD, 2);
  CopyRange(stored, rec, record::kCarriedTables, 4 * record::kCarriedTableSize);
  CopyRange(stored, rec, record::kCarriedWords, 2 * record::kCarriedWordCount);
}

void ExportRecord(const DeviceState& s, int index, uint8_t* rec) {
  if (index == s.list_cursor.Get()) {
    BuildEditedRecord(s, true, rec);
  } else {
    ReadRecord(s, index, rec);
  }
}

std::string ExportFileName(int index, const uint8_t* rec) {
  std::string name = Latin1Text(rec + record::kName, record::kNameSize);
  for (char& c : name) {
    if (ForbiddenInFileName(static_cast<unsigned char>(c))) c = '_';
  }
  return "P" + std::to_string(index + 1) + "-" + name + ".zv";
}

std::string SuggestedExportName(const DeviceState& s) {
  uint8_t stored[record::kSize];
  const int index = s.list_cursor.Get();
  ReadRecord(s, index, stored);
  return ExportFileName(index, stored);
}

bool WritePresetFile(const std::string& path, const uint8_t* rec) {
  CPresetFileRq700 file;
  int error = 0;
  return file.WriteBody(rec, record::kSize) && file.Save(path, &error);
}

JobResult ExportPresets(const DeviceState& s, const std::string& folder,
                        const std::vector<int>& indices, std::vector<std::string>* written) {
  std::string prefix = folder;
  if (!prefix.empty() && prefix.back() != '/' && prefix.back() != '\\') prefix += '/';
  for (int index : indices) {
    if (index < 0 || index >= kPresetCount) continue;
    uint8_t rec[record::kSize];
    ExportRecord(s, index, rec);
    const std::string path = prefix + ExportFileName(index, rec);
    if (!WritePresetFile(path, rec)) return JobResult::kIoError;
    if (written != nullptr) written->push_back(path);
  }
  return JobResult::kDone;
}

}  // namespace rq700::files
