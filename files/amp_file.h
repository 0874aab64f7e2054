#ifndef RQ700_FILES_AMP_FILE_H_
#define RQ700_FILES_AMP_FILE_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Amplifier files (".amp"): 512 little-endian data words, their 32-bit sum, anything, and
// the three characters "2.0" at the very end.
namespace rq700::files {

inline constexpr int kAmpWordCount = 512;
inline constexpr size_t kAmpMinFileSize = 2055;
inline constexpr size_t kAmpChecksumOffset = 2048;
// An amplifier file is a few kilobytes; anything beyond this is refused, not loaded.
inline constexpr size_t kAmpMaxFileSize = 64u << 20;

class AmpFile {
 public:
  bool Read(const std::string& path);
  // The same on bytes in memory; `path` only gives the slot name.
  bool ReadBytes(const std::vector<uint8_t>& bytes, std::string_view path);

  bool loaded() const { return loaded_; }
  const std::array<uint32_t, kAmpWordCount>& words() const { return words_; }
  const std::string& slot_name() const { return slot_name_; }  // Latin-1, up to 15 bytes

 private:
  bool loaded_ = false;
  std::array<uint32_t, kAmpWordCount> words_{};
  std::string slot_name_;
};

}  // namespace rq700::files

#endif  // RQ700_FILES_AMP_FILE_H_
