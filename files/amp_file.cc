#include "files/amp_file.h"

#include <cstring>

#include "files/byte_order.h"
#include "files/file_io.h"
#include "files/slot_name.h"

namespace rq700::files {

bool AmpFile::Read(const std::string& path) {
  std::vector<uint8_t> bytes;
  if (!ReadWholeFile(path, kAmpMaxFileSize, &bytes)) {
    loaded_ = false;
    return false;
  }
  return ReadBytes(bytes, path);
}

bool AmpFile::ReadBytes(const std::vector<uint8_t>& bytes, std::string_view path) {
  loaded_ = false;
  if (bytes.size() < kAmpMinFileSize) return false;
  if (std::memcmp(bytes.data() + bytes.size() - 3, "2.0", 3) != 0) return false;
  std::array<uint32_t, kAmpWordCount> words;
  uint32_t sum = 0;
  for (int i = 0; i < kAmpWordCount; ++i) {
    words[i] = GetLe32(bytes.data() + 4 * i);
    sum += words[i];
  }
  if (sum != GetLe32(bytes.data() + kAmpChecksumOffset)) return false;
  auto name = SlotNameFromPath(path);
  if (!name) return false;
  words_ = words;
  slot_name_ = *name;
  loaded_ = true;
  return true;
}

}  // namespace rq700::files
