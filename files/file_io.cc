#include "files/file_io.h"

#include <fstream>

namespace rq700::files {

std::filesystem::path NativePath(const std::string& utf8_path) {
  return std::filesystem::path(std::u8string(utf8_path.begin(), utf8_path.end()));
}

std::string Utf8Path(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

int64_t FileSize(const std::string& path) {
  std::ifstream in(NativePath(path), std::ios::binary | std::ios::ate);
  if (!in) return -1;
  const std::streamoff size = in.tellg();
  return size < 0 ? -1 : static_cast<int64_t>(size);
}

bool ReadWholeFile(const std::string& path, size_t max_size, std::vector<uint8_t>* out) {
  out->clear();
  std::ifstream in(NativePath(path), std::ios::binary | std::ios::ate);
  if (!in) return false;
  const std::streamoff size = in.tellg();
  if (size < 0 || static_cast<uint64_t>(size) > max_size) return false;
  in.seekg(0);
  out->resize(static_cast<size_t>(size));
  if (size > 0 && !in.read(reinterpret_cast<char*>(out->data()), size)) {
    out->clear();
    return false;
  }
  return true;
}

bool WriteFileSafely(const std::string& path, std::span<const uint8_t> bytes) {
  SafeFileWriter writer;
  return writer.Open(path) && writer.Write(bytes) && writer.Commit();
}

}  // namespace rq700::files
