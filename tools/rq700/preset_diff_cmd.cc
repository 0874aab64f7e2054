// rq700 preset diff: what differs between two presets, each a preset file or a preset of
// a backup (FILE.zbf:N).
#include <algorithm>
#include <cstdio>
#include <string>

#include "files/backup_reader.h"
#include "files/preset_diff.h"
#include "files/preset_file.h"
#include "protocol/preset_record.h"
#include "tools/rq700/commands.h"

namespace rq700::tool {
namespace {

constexpr int kEqual = 0;
constexpr int kDifferent = 1;
constexpr int kError = 2;

int Error(const std::string& message) {
  std::fprintf(stderr, "rq700: %s\n", message.c_str());
  return kError;
}

// "FILE:N" with N a number of 1 to 3 digits names preset N of a backup; 0 otherwise.
int BackupPresetNumber(const std::string& arg, std::string* path) {
  const size_t colon = arg.rfind(':');
  if (colon == std::string::npos || colon == 0 || colon + 1 == arg.size() ||
      arg.size() - colon - 1 > 3)
    return 0;
  int number = 0;
  for (size_t i = colon + 1; i < arg.size(); ++i) {
    if (arg[i] < '0' || arg[i] > '9') return 0;
    number = number * 10 + (arg[i] - '0');
  }
  *path = arg.substr(0, colon);
  return number;
}

bool ReadBackupPreset(const std::string& path, int number, uint8_t* rec, std::string* why) {
  if (number < 1 || number > record::kPresetCount) {
    *why = "preset number " + std::to_string(number) + " is outside 1..200";
    return false;
  }
  files::BackupReader reader;
  if (!reader.Open(path)) {
    *why = path + ": not a backup file (" + reader.error() + ")";
    return false;
  }
  for (int i = 0; i < reader.record_count(); ++i) {
    files::BackupRecordHeader header;
    if (!reader.ReadRecordHeader(i, &header)) break;
    if (header.type != files::kRecordPresets) continue;
    for (uint32_t k = 0; k < header.item_count; ++k) {
      files::BackupItem item;
      if (!reader.ReadItem(header, k, &item)) break;
      if (item.number != number) continue;
      if (item.data.size() < record::kSize) {
        *why = path + ": preset " + std::to_string(number) + " is cut short";
        return false;
      }
      std::copy(item.data.begin(), item.data.begin() + record::kSize, rec);
      return true;
    }
  }
  *why = path + ": holds no preset " + std::to_string(number);
  return false;
}

bool ReadPreset(const std::string& arg, uint8_t* rec, std::string* why) {
  std::string backup;
  if (const int number = BackupPresetNumber(arg, &backup)) {
    return ReadBackupPreset(backup, number, rec, why);
  }
  files::CPresetFileRq700 file;
  int error = 0;
  if (!file.Load(arg, &error)) {
    *why = arg + ": not a preset file (error " + std::to_string(error) + ")";
    return false;
  }
  return file.ReadBody(rec, record::kSize);
}

}  // namespace

int PresetDiff(const Args& args) {
  if (args.size() != 2) return Error("usage: rq700 preset diff A B");
  uint8_t a[record::kSize] = {};
  uint8_t b[record::kSize] = {};
  std::string why;
  if (!ReadPreset(args[0], a, &why) || !ReadPreset(args[1], b, &why)) return Error(why);
  const catalog::UserSlotNames slots;
  const auto lines = files::DiffPresets(a, b, slots);
  for (const std::string& line : lines) std::printf("%s\n", line.c_str());
  return lines.empty() ? kEqual : kDifferent;
}

}  // namespace rq700::tool
