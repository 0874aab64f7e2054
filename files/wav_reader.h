#ifndef RQ700_FILES_WAV_READER_H_
#define RQ700_FILES_WAV_READER_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace rq700::files {

// WAV files are read whole; an impulse response is a few kilobytes, so anything beyond
// this is refused rather than loaded.
inline constexpr size_t kWavMaxFileSize = 256u << 20;

// Reads a WAV file for an impulse-response import: finds the first "fmt " and "data" tags
// by a byte scan, checks RIFF/WAVE and takes the format fields and the slot name.
class WavReader {
 public:
  bool Read(const std::string& path);
  // The same on bytes in memory; `path` only gives the slot name.
  bool ReadBytes(std::vector<uint8_t> bytes, std::string_view path);

  bool loaded() const { return loaded_; }
  const std::string& slot_name() const { return slot_name_; }  // Latin-1, up to 15 bytes
  int channels() const { return channels_; }
  uint32_t sample_rate() const { return sample_rate_; }
  int bits_per_sample() const { return bits_; }
  // Frames of the data chunk that lie inside the file.
  uint32_t sample_count() const { return sample_count_; }
  size_t fmt_position() const { return fmt_pos_; }
  size_t data_position() const { return data_pos_; }
  size_t first_sample() const { return first_sample_; }
  const std::vector<uint8_t>& bytes() const { return bytes_; }

 private:
  bool Fail();

  bool loaded_ = false;
  std::vector<uint8_t> bytes_;
  std::string slot_name_;
  int channels_ = 0;
  uint32_t sample_rate_ = 0;
  int bits_ = 0;
  uint32_t sample_count_ = 0;
  size_t fmt_pos_ = 0;
  size_t data_pos_ = 0;
  size_t first_sample_ = 0;
};

}  // namespace rq700::files

#endif  // RQ700_FILES_WAV_READER_H_
