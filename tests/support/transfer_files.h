#ifndef RQ700_TESTS_SUPPORT_TRANSFER_FILES_H_
#define RQ700_TESTS_SUPPORT_TRANSFER_FILES_H_

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "files/byte_order.h"

// Files for the transfers into the user slots, made by hand.
namespace rq700::testing {

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

// A 48 kHz stereo 16-bit WAV file: the left channel a ramp, the right one noise.
inline std::vector<uint8_t> StereoWav(int frames) {
  std::vector<uint8_t> b(44 + frames * 4);
  std::memcpy(b.data(), "RIFF", 4);
  files::PutLe32(b.data() + 4, static_cast<uint32_t>(b.size() - 8));
  std::memcpy(b.data() + 8, "WAVEfmt ", 8);
  files::PutLe32(b.data() + 16, 16);
  files::PutLe16(b.data() + 20, 1);
  files::PutLe16(b.data() + 22, 2);
  files::PutLe32(b.data() + 24, 48000);
  files::PutLe32(b.data() + 28, 48000 * 4);
  files::PutLe16(b.data() + 32, 4);
  files::PutLe16(b.data() + 34, 16);
  std::memcpy(b.data() + 36, "data", 4);
  files::PutLe32(b.data() + 40, static_cast<uint32_t>(frames * 4));
  for (int i = 0; i < frames; ++i) {
    files::PutLe16(b.data() + 44 + 4 * i, static_cast<uint16_t>(i * 53 - 15000));
    files::PutLe16(b.data() + 46 + 4 * i, static_cast<uint16_t>(i * 7919));
  }
  return b;
}

// An amplifier file: 512 words from `seed`, their sum and "2.0".
inline std::vector<uint8_t> AmpBytes(uint32_t seed) {
  std::vector<uint8_t> b(2048 + 4 + 3);
  uint32_t sum = 0;
  for (int i = 0; i < 512; ++i) {
    const uint32_t w = seed * 2654435761u + static_cast<uint32_t>(i) * 40503u;
    files::PutLe32(b.data() + 4 * i, w);
    sum += w;
  }
  files::PutLe32(b.data() + 2048, sum);
  std::memcpy(b.data() + 2052, "2.0", 3);
  return b;
}

// Word i of a device slot whose byte planes hold the most significant byte first.
template <typename Slot>
uint32_t PlaneWord(const Slot& slot, int planes, int i) {
  uint32_t w = 0;
  for (int p = 0; p < planes; ++p) w = (w << 8) | slot.planes[p * 512 + i];
  return w;
}

}  // namespace rq700::testing

#endif  // RQ700_TESTS_SUPPORT_TRANSFER_FILES_H_
