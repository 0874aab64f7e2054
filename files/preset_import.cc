#include "files/preset_import.h"

#include <cstring>

#include "files/preset_file.h"

namespace rq700::files {
namespace {

// The characters of UTF-8 text; nothing for malformed text.
std::optional<std::u32string> CodePoints(std::string_view s) {
  std::u32string out;
  size_t i = 0;
  while (i < s.size()) {
    const auto b0 = static_cast<uint8_t>(s[i]);
    int extra = 0;
    char32_t cp = 0;
    if (b0 < 0x80) {
      cp = b0;
    } else if ((b0 & 0xE0) == 0xC0) {
      cp = b0 & 0x1F;
      extra = 1;
    } else if ((b0 & 0xF0) == 0xE0) {
      cp = b0 & 0x0F;
      extra = 2;
    } else if ((b0 & 0xF8) == 0xF0) {
      cp = b0 & 0x07;
      extra = 3;
    } else {
      return std::nullopt;
    }
    if (i + extra >= s.size() && extra > 0) return std::nullopt;
    for (int k = 1; k <= extra; ++k) {
      const auto b = static_cast<uint8_t>(s[i + k]);
      if ((b & 0xC0) != 0x80) return std::nullopt;
      cp = (cp << 6) | (b & 0x3F);
    }
    out.push_back(cp);
    i += 1 + extra;
  }
  return out;
}

size_t Utf16Length(std::string_view utf8) {
  const auto cps = CodePoints(utf8);
  if (!cps) return utf8.size();
  size_t n = 0;
  for (char32_t cp : *cps) n += cp >= 0x10000 ? 2 : 1;
  return n;
}

size_t LastSeparator(std::string_view path) { return path.find_last_of("/\\"); }

// Name bytes into a 16-byte NUL-padded field.
void PutName(const std::string& name, uint8_t* field) {
  std::memset(field, 0, record::kNameSize);
  std::memcpy(field, name.data(), std::min(name.size(), kImportNameMax));
}

bool LoadRecord(const std::string& path, uint8_t* record) {
  CPresetFileRq700 file;
  int error = 0;
  return file.Load(path, &error) && file.ReadBody(record, record::kSize);
}

}  // namespace

bool PresetNameAllowed(std::string_view name) {
  if (name.empty()) return false;
  for (char c : name) {
    if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == ' ')) return false;
  }
  return true;
}

std::string FileStem(std::string_view path) {
  const size_t cut = LastSeparator(path);
  std::string_view file = cut == std::string_view::npos ? path : path.substr(cut + 1);
  const size_t dot = file.find_last_of('.');
  if (dot != std::string_view::npos) file = file.substr(0, dot);
  return std::string(file);
}

std::optional<int> NumberedTarget(std::string_view stem) {
  if (stem.size() < 2 || stem[0] != 'P') return std::nullopt;
  int number = 0;
  size_t digits = 0;
  while (1 + digits < stem.size() && stem[1 + digits] >= '0' && stem[1 + digits] <= '9') {
    // More than three digits is no preset number, whatever their value ("P0012").
    if (++digits > 3) return std::nullopt;
    number = number * 10 + (stem[digits] - '0');
  }
  if (digits == 0 || number < 1 || number > kPresetCount) return std::nullopt;
  return number - 1;
}

bool SelectionFitsBuffer(const std::vector<std::string>& paths) {
  if (paths.empty()) return true;
  if (paths.size() == 1) return Utf16Length(paths[0]) + 2 <= kImportSelectionChars;
  // The folder once, then each name, each ended by a NUL, and the closing NUL.
  const size_t cut = LastSeparator(paths[0]);
  size_t chars = (cut == std::string::npos ? 0 : Utf16Length(paths[0].substr(0, cut))) + 1;
  for (const std::string& p : paths) {
    const size_t c = LastSeparator(p);
    chars += Utf16Length(c == std::string::npos ? p : std::string_view(p).substr(c + 1)) + 1;
    if (chars + 1 > kImportSelectionChars) return false;
  }
  return chars + 1 <= kImportSelectionChars;
}

int ReadSingleImport(const std::string& path, SingleImport* out) {
  if (!LoadRecord(path, out->record)) return -1;
  const auto stem = CodePoints(FileStem(path));
  if (!stem) return -1;
  size_t dash = std::u32string::npos;
  for (size_t i = 0; i < stem->size() && i < 6; ++i) {
    if ((*stem)[i] == U'-') {
      dash = i;
      break;
    }
  }
  if (dash == std::u32string::npos) return -1;
  std::string name;
  for (size_t i = dash + 1; i < stem->size() && name.size() < kImportNameMax; ++i) {
    // Each character by its low byte, as the device's 8-bit names take it.
    name.push_back(static_cast<char>((*stem)[i] & 0xFF));
  }
  if (!PresetNameAllowed(name)) return kImportBadName;
  PutName(name, out->name);
  return 0;
}

void ApplySingleImport(DeviceState& s, const SingleImport& import) {
  const int index = s.list_cursor.Get();
  WriteRecordName(s, index, import.name, record::kNameSize);
  SetPresetListText(s, index, PresetListText(index, import.name, record::kNameSize));
  LoadEditModel(s, import.record);
  std::memcpy(s.import_buffer, import.record, record::kSize);
  s.dirty = 1;
  s.import_mode.store(kImportSingle, std::memory_order_release);
}

int PresetImportList::Set(const std::vector<std::string>& paths) {
  if (paths.size() > static_cast<size_t>(kMaxImportSelection)) return kImportTooManyFiles;
  std::vector<Entry> entries;
  for (const std::string& p : paths) {
    const std::optional<int> target = NumberedTarget(FileStem(p));
    if (!target) return kImportBadFile;
    entries.push_back({p, *target});
  }
  std::lock_guard<std::mutex> lock(lock_);
  entries_ = std::move(entries);
  failed_code_ = 0;
  return 0;
}

size_t PresetImportList::size() const {
  std::lock_guard<std::mutex> lock(lock_);
  return entries_.size();
}

int PresetImportList::Target(int entry) const {
  std::lock_guard<std::mutex> lock(lock_);
  if (entry < 0 || static_cast<size_t>(entry) >= entries_.size()) return -1;
  return entries_[entry].target;
}

int PresetImportList::LoadEntry(int entry, uint8_t* record, int* target_index) {
  Entry e;
  {
    std::lock_guard<std::mutex> lock(lock_);
    if (entry < 0 || static_cast<size_t>(entry) >= entries_.size()) {
      failed_code_ = kImportBadFile;
      return kImportBadFile;
    }
    e = entries_[entry];
  }
  const auto stem = CodePoints(FileStem(e.path));
  size_t dash = std::u32string::npos;
  if (stem && !stem->empty() && (*stem)[0] == U'P') {
    for (size_t i = 1; i < stem->size() && i <= 4; ++i) {
      if ((*stem)[i] == U'-') {
        dash = i;
        break;
      }
    }
  }
  if (dash == std::u32string::npos || !LoadRecord(e.path, record)) {
    failed_code_ = kImportBadFile;
    return kImportBadFile;
  }
  std::string name;
  for (size_t i = dash + 1; i < stem->size() && name.size() < kImportNameMax; ++i) {
    // Into the 8-bit code page: what it cannot hold becomes "?", which no name may carry.
    const char32_t c = (*stem)[i];
    name.push_back(c <= 0xFF ? static_cast<char>(c) : '?');
  }
  if (!PresetNameAllowed(name)) {
    failed_code_ = kImportBadName;
    return kImportBadName;
  }
  PutName(name, record + record::kName);
  *target_index = e.target;
  return 0;
}

bool PresetImportJob::Start() {
  if (state_.import_mode.load(std::memory_order_acquire) != kImportIdle ||
      state_.in_flight.load() != 0)
    return false;
  const auto count = static_cast<uint8_t>(list_.size());
  state_.import_total = count;
  state_.import_remaining = count;
  started_ = true;
  state_.import_mode.store(kImportMulti, std::memory_order_release);
  return true;
}

std::optional<JobResult> PresetImportJob::Result() const {
  const int abandoned = abandoned_.load();
  if (abandoned >= 0) return static_cast<JobResult>(abandoned);
  if (!started_) return std::nullopt;
  if (list_.failed_code() != 0) return JobResult::kBadFile;
  if (state_.import_mode.load(std::memory_order_acquire) == kImportIdle &&
      state_.in_flight.load() == 0 && state_.import_remaining.load() == 0)
    return JobResult::kDone;
  return std::nullopt;
}

int PresetImportJob::Percent() const {
  const int total = state_.import_total.load();
  if (total == 0) return 100;
  return (total - state_.import_remaining.load()) * 100 / total;
}

uint64_t PresetImportJob::Activity() const {
  return static_cast<uint64_t>(state_.import_total.load() - state_.import_remaining.load());
}

void PresetImportJob::Abandon(JobResult result) {
  if (Result()) return;
  abandoned_ = static_cast<int>(result);
  // Nothing more goes out, and a late acknowledgement finds nothing in flight.
  state_.import_mode = kImportIdle;
  state_.in_flight = 0;
  state_.import_remaining = 0;
}

int PresetImportJob::code() const {
  const std::optional<JobResult> result = Result();
  if (!result) return -1;
  if (*result == JobResult::kDone) return kImportDone;
  if (*result == JobResult::kBadFile) return list_.failed_code();
  return kImportFailed;
}

}  // namespace rq700::files
