#include "files/slot_name.h"

#include <cstdint>

namespace rq700::files {

namespace {

// Decodes one UTF-8 character at s[*pos]; false on a malformed sequence.
bool NextCodePoint(std::string_view s, size_t* pos, uint32_t* cp) {
  const auto b0 = static_cast<uint8_t>(s[*pos]);
  int extra = 0;
  if (b0 < 0x80) {
    *cp = b0;
  } else if ((b0 & 0xE0) == 0xC0) {
    *cp = b0 & 0x1F;
    extra = 1;
  } else if ((b0 & 0xF0) == 0xE0) {
    *cp = b0 & 0x0F;
    extra = 2;
  } else if ((b0 & 0xF8) == 0xF0) {
    *cp = b0 & 0x07;
    extra = 3;
  } else {
    return false;
  }
  if (*pos + extra >= s.size()) return false;
  for (int i = 1; i <= extra; ++i) {
    const auto b = static_cast<uint8_t>(s[*pos + i]);
    if ((b & 0xC0) != 0x80) return false;
    *cp = (*cp << 6) | (b & 0x3F);
  }
  *pos += 1 + extra;
  return true;
}

}  // namespace

std::optional<std::string> SlotNameFromPath(std::string_view path) {
  size_t cut = path.find_last_of('\\');
  if (cut == std::string_view::npos) cut = path.find_last_of('/');
  std::string_view file = cut == std::string_view::npos ? path : path.substr(cut + 1);
  const size_t dot = file.find_last_of('.');
  if (dot != std::string_view::npos) file = file.substr(0, dot);

  std::string name;
  size_t pos = 0;
  while (pos < file.size() && name.size() < kSlotNameMax) {
    uint32_t cp = 0;
    if (!NextCodePoint(file, &pos, &cp) || cp > 0xFF) return std::nullopt;
    name.push_back(static_cast<char>(cp));
  }
  return name;
}

std::string SlotDisplayName(std::string_view latin1_name) {
  std::string out(latin1_name);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

}  // namespace rq700::files
