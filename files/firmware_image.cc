#include "files/firmware_image.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "files/byte_order.h"
#include "files/file_io.h"

namespace rq700::files {

namespace {

// Position of the first "_V" in the model text, or -1 when there is none before 28.
int VersionMarkPosition(const uint8_t (&text)[kFirmwareModelTextSize]) {
  for (size_t i = 0; i + 1 < kFirmwareModelTextSize; ++i) {
    if (text[i] == '_' && text[i + 1] == 'V') return i < 28 ? static_cast<int>(i) : -1;
  }
  return -1;
}

// A character of a file name at a fixed position; a shorter name reads as NUL there.
char CharAt(const std::string& name, size_t pos) { return pos < name.size() ? name[pos] : '\0'; }

bool Newer(const std::string& candidate, const std::string& current, size_t mark) {
  for (size_t pos : {mark + 2, mark + 4, mark + 6}) {
    const auto a = static_cast<unsigned char>(CharAt(candidate, pos));
    const auto b = static_cast<unsigned char>(CharAt(current, pos));
    if (a != b) return a > b;
  }
  return false;
}

bool EndsWith(const std::string& s, std::string_view tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

const FirmwareSegment kNoSegment{};

// The prefix of the model text before its first "_V"; -1 as the mark when there is none
// before position 28.
int ModelPrefix(std::string_view model_text, std::string* prefix) {
  uint8_t text[kFirmwareModelTextSize] = {};
  if (!model_text.empty())
    std::memcpy(text, model_text.data(), std::min(model_text.size(), sizeof(text)));
  const int mark = VersionMarkPosition(text);
  if (mark < 0) return -1;
  text[mark] = 0;
  *prefix = reinterpret_cast<const char*>(text);
  return mark;
}

// The image names for `prefix` in one folder, in sorted order so that the choice among
// equal versions repeats. False when the folder cannot be read.
bool ImageNames(const std::string& folder, const std::string& prefix,
                std::vector<std::string>* names) {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(NativePath(folder), ec)) {
    std::error_code type_ec;
    if (!entry.is_regular_file(type_ec)) continue;
    std::string name = Utf8Path(entry.path().filename());
    if (name.size() >= prefix.size() + 3 && name.compare(0, prefix.size(), prefix) == 0 &&
        EndsWith(name, ".zr")) {
      names->push_back(std::move(name));
    }
  }
  std::sort(names->begin(), names->end());
  return !ec;
}

}  // namespace

bool FindFirmwareImage(const std::string& folder, std::string_view model_text,
                       std::string* file_name) {
  std::string prefix;
  const int mark = ModelPrefix(model_text, &prefix);
  if (mark < 0) return false;
  std::vector<std::string> names;
  if (!ImageNames(folder, prefix, &names) || names.empty()) return false;
  std::string choice = names.front();
  for (size_t i = 1; i < names.size(); ++i) {
    if (Newer(names[i], choice, static_cast<size_t>(mark))) choice = names[i];
  }
  *file_name = choice;
  return true;
}

bool FindNewestFirmwareImage(const std::vector<std::string>& folders, std::string_view model_text,
                             std::string* path) {
  std::string prefix;
  const int mark = ModelPrefix(model_text, &prefix);
  if (mark < 0) return false;
  std::string choice_folder, choice;
  for (const std::string& folder : folders) {
    if (folder.empty()) continue;
    std::vector<std::string> names;
    // A folder that is missing or unreadable offers nothing; the others still count.
    ImageNames(folder, prefix, &names);
    for (const std::string& name : names) {
      if (choice.empty() || Newer(name, choice, static_cast<size_t>(mark))) {
        choice = name;
        choice_folder = folder;
      }
    }
  }
  if (choice.empty()) return false;
  *path = (std::filesystem::path(choice_folder) / choice).string();
  return true;
}

bool FirmwareImage::Fail(std::string why) {
  image_.clear();
  segments_.clear();
  header_ = {};
  total_blocks_ = 0;
  error_ = std::move(why);
  return false;
}

size_t FirmwareImage::Open(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, kFirmwareMaxFileSize, &bytes)) {
    Fail("cannot read the file");
    return 0;
  }
  return OpenBytes(std::move(bytes));
}

size_t FirmwareImage::OpenBytes(std::vector<uint8_t> bytes) {
  Fail("");
  const uint64_t size = bytes.size();
  if (size < kFirmwareMagic.size() ||
      std::memcmp(bytes.data(), kFirmwareMagic.data(), kFirmwareMagic.size()) != 0)
    return Fail("wrong magic"), 0;
  if (size < kFirmwareHeaderSize) return Fail("header cut short"), 0;

  const uint8_t* h = bytes.data();
  FirmwareHeader header;
  const uint8_t* model = h + kFwModel;
  header.model.assign(reinterpret_cast<const char*>(model),
                      std::find(model, model + 32, 0) - model);
  if (header.model != kFirmwareTargetModel)
    return Fail("not an image for " + std::string(kFirmwareTargetModel)), 0;
  header.apply_command = h[kFwApplyCommand];
  header.apply_reply = h[kFwApplyReply];
  header.apply_timeout = GetLe32(h + kFwApplyTimeout);
  header.segment_count = static_cast<int8_t>(h[kFwSegmentCount]);
  std::memcpy(header.apply_param, h + kFwApplyParam, 4);
  if (header.segment_count <= 0) return Fail("no segments"), 0;

  std::vector<FirmwareSegment> segments;
  uint64_t descriptor = kFirmwareHeaderSize;
  for (int k = 1; k <= header.segment_count; ++k) {
    if (k > 1)
      descriptor = GetLe32(bytes.data() + segments.back().descriptor_offset + kFwNextDescriptor);
    if (descriptor + kFirmwareDescriptorSize > size)
      return Fail("descriptor " + std::to_string(k) + " outside the file"), 0;
    const uint8_t* d = bytes.data() + descriptor;
    FirmwareSegment s;
    s.descriptor_offset = static_cast<size_t>(descriptor);
    s.length = GetLe32(d + kFwSegmentLength);
    s.data_command = d[kFwDataCommand];
    s.reply = d[kFwSegmentReply];
    s.block_timeout = GetLe32(d + kFwBlockTimeout);
    s.first_block = GetLe16(d + kFwFirstBlock);
    uint64_t data = kFirmwareHeaderSize + kFirmwareDescriptorSize;
    if (k > 1) {
      const uint32_t position = GetLe32(d + kFwDataPosition);
      if (position == 0) return Fail("segment " + std::to_string(k) + " has no data"), 0;
      data = position - 1u;
    }
    if (data + s.length > size)
      return Fail("segment " + std::to_string(k) + " data outside the file"), 0;
    s.data_offset = static_cast<size_t>(data);
    segments.push_back(s);
  }

  const int64_t rest = static_cast<int64_t>(size) - static_cast<int64_t>(kFirmwareHeaderSize) -
                       static_cast<int64_t>(kFirmwareDescriptorSize) * header.segment_count;
  const int64_t total = rest / static_cast<int64_t>(kFirmwareBlockSize);
  // The blocks sent are counted against this total for progress: it must cover them all,
  // which any image whose segments do not share their bytes does.
  uint64_t blocks = 0;
  for (const FirmwareSegment& s : segments) blocks += s.BlockCount();
  if (total < 0 || blocks > static_cast<uint64_t>(total))
    return Fail("block count does not fit"), 0;

  image_ = std::move(bytes);
  header_ = std::move(header);
  segments_ = std::move(segments);
  total_blocks_ = static_cast<uint32_t>(total);
  error_.clear();
  return image_.size();
}

size_t FirmwareImage::ReadHeader(uint8_t* out) const {
  if (!is_open()) return 0;
  std::memcpy(out, image_.data(), kFirmwareHeaderSize);
  return kFirmwareHeaderSize;
}

size_t FirmwareImage::ReadDescriptor(int k, uint8_t* out) const {
  if (!is_open() || k < 1 || k > segment_count()) return 0;
  std::memcpy(out, image_.data() + segments_[k - 1].descriptor_offset, kFirmwareDescriptorSize);
  return kFirmwareDescriptorSize;
}

size_t FirmwareImage::ReadSegment(int k, uint8_t* out, size_t capacity) const {
  if (!is_open() || k < 1 || k > segment_count()) return 0;
  const FirmwareSegment& s = segments_[k - 1];
  if (capacity < s.length) return 0;
  if (s.length > 0) std::memcpy(out, image_.data() + s.data_offset, s.length);
  return s.length;
}

const FirmwareSegment& FirmwareImage::segment(int k) const {
  if (!is_open() || k < 1 || k > segment_count()) return kNoSegment;
  return segments_[k - 1];
}

std::span<const uint8_t> FirmwareImage::SegmentData(int k) const {
  if (!is_open() || k < 1 || k > segment_count()) return {};
  const FirmwareSegment& s = segments_[k - 1];
  return {image_.data() + s.data_offset, s.length};
}

}  // namespace rq700::files
