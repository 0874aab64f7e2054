#include "files/wav_reader.h"

#include <algorithm>
#include <cstring>

#include "files/byte_order.h"
#include "files/file_io.h"
#include "files/slot_name.h"

namespace rq700::files {

namespace {

constexpr size_t kNotFound = static_cast<size_t>(-1);

size_t Find(const std::vector<uint8_t>& bytes, const char (&tag)[5]) {
  auto it = std::search(bytes.begin(), bytes.end(), tag, tag + 4);
  return it == bytes.end() ? kNotFound : static_cast<size_t>(it - bytes.begin());
}

}  // namespace

bool WavReader::Fail() {
  loaded_ = false;
  bytes_.clear();
  return false;
}

bool WavReader::Read(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, kWavMaxFileSize, &bytes)) return Fail();
  return ReadBytes(std::move(bytes), path);
}

bool WavReader::ReadBytes(std::vector<uint8_t> bytes, std::string_view path) {
  loaded_ = false;
  bytes_ = std::move(bytes);
  const size_t size = bytes_.size();
  fmt_pos_ = Find(bytes_, "fmt ");
  data_pos_ = Find(bytes_, "data");
  if (fmt_pos_ == kNotFound || data_pos_ == kNotFound) return Fail();
  if (size < 12 || std::memcmp(bytes_.data(), "RIFF", 4) != 0 ||
      std::memcmp(bytes_.data() + 8, "WAVE", 4) != 0)
    return Fail();
  // Every field read must lie inside the file.
  if (fmt_pos_ + 24 > size || data_pos_ + 8 > size) return Fail();

  const uint8_t* fmt = bytes_.data() + fmt_pos_;
  channels_ = GetLe16(fmt + 10);
  sample_rate_ = GetLe32(fmt + 12);
  bits_ = GetLe16(fmt + 22);
  if (channels_ == 0 || bits_ < 8) return Fail();

  first_sample_ = data_pos_ + 8;
  // A data size beyond the file is read only as far as the file goes.
  const uint64_t stated = GetLe32(bytes_.data() + data_pos_ + 4);
  const uint64_t present = std::min<uint64_t>(stated, size - first_sample_);
  const uint64_t frame = static_cast<uint64_t>(bits_ / 8) * static_cast<uint64_t>(channels_);
  sample_count_ = static_cast<uint32_t>(present / frame);

  auto name = SlotNameFromPath(path);
  if (!name) return Fail();
  slot_name_ = *name;
  loaded_ = true;
  return true;
}

}  // namespace rq700::files
