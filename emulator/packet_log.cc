#include "emulator/packet_log.h"

namespace rq700::emu {

PacketLog::~PacketLog() {
  if (file_ != nullptr) std::fclose(file_);
}

bool PacketLog::Open(const std::string& path) {
  if (file_ != nullptr) std::fclose(file_);
  file_ = std::fopen(path.c_str(), "w");
  return file_ != nullptr;
}

std::string PacketLog::Hex(const uint8_t* bytes, size_t size) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string text;
  text.reserve(size * 3);
  for (size_t i = 0; i < size; ++i) {
    if (i > 0) text.push_back(' ');
    text.push_back(kDigits[bytes[i] >> 4]);
    text.push_back(kDigits[bytes[i] & 0x0F]);
  }
  return text;
}

void PacketLog::Refused(const std::string& reason) {
  if (file_ == nullptr) return;
  std::fputs("REFUSED ", file_);
  std::fputs(reason.c_str(), file_);
  std::fputc('\n', file_);
  std::fflush(file_);
}

void PacketLog::Line(const char* prefix, const uint8_t* bytes, size_t size) {
  if (file_ == nullptr) return;
  std::fputs(prefix, file_);
  std::fputs(Hex(bytes, size).c_str(), file_);
  std::fputc('\n', file_);
  std::fflush(file_);
}

}  // namespace rq700::emu
