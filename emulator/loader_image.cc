#include "emulator/loader_image.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace rq700::emu {
namespace {

constexpr size_t kHeaderSize = 128;
constexpr size_t kDescriptorSize = 512;
constexpr size_t kBlock = 512;
constexpr size_t kMaxImage = 64u << 20;

uint32_t Le32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0] | (p[1] << 8) | (p[2] << 16)) |
         (static_cast<uint32_t>(p[3]) << 24);
}

}  // namespace

bool LoaderImage::Parse(const std::vector<uint8_t>& bytes, std::string* error) {
  auto fail = [&](const std::string& message) {
    *error = "firmware image: " + message;
    return false;
  };
  if (bytes.size() < kHeaderSize + kDescriptorSize) return fail("too short");
  if (std::memcmp(bytes.data(), "Zorva_TAG", 9) != 0) return fail("no Zorva_TAG mark");
  const uint8_t* h = bytes.data();
  apply_command = h[41];
  apply_reply = h[42];
  std::memcpy(apply_param.data(), h + 48, 4);
  const int count = static_cast<int8_t>(h[47]);
  if (count < 1) return fail("no segments");
  segments.clear();
  size_t descriptor = kHeaderSize;
  for (int k = 1; k <= count; ++k) {
    if (descriptor > bytes.size() || bytes.size() - descriptor < kDescriptorSize) {
      return fail("descriptor " + std::to_string(k) + " lies outside the file");
    }
    const uint8_t* d = bytes.data() + descriptor;
    Segment segment;
    segment.data_command = d[21];
    segment.reply = d[22];
    segment.first_block = static_cast<uint16_t>(d[27] | (d[28] << 8));
    const uint32_t length = Le32(d + 17);
    // The first segment's data follows its descriptor; the others name their place, one
    // past the offset.
    const uint32_t position = Le32(d + 9);
    if (k > 1 && position == 0) return fail("segment " + std::to_string(k) + " has no data");
    const size_t data = k == 1 ? kHeaderSize + kDescriptorSize : position - 1u;
    const size_t whole = length / kBlock * kBlock;
    if (data > bytes.size() || bytes.size() - data < whole) {
      return fail("segment " + std::to_string(k) + " runs past the end of the file");
    }
    segment.data.assign(bytes.begin() + static_cast<long>(data),
                        bytes.begin() + static_cast<long>(data + whole));
    segments.push_back(std::move(segment));
    // Descriptor 1 names descriptor 2, and so on down the chain.
    descriptor = Le32(d + 13);
  }
  return true;
}

bool LoaderImage::Load(const std::string& path, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = "cannot read the firmware image " + path;
    return false;
  }
  std::vector<uint8_t> bytes;
  char buffer[65536];
  while (in.read(buffer, sizeof(buffer)) || in.gcount() > 0) {
    bytes.insert(bytes.end(), buffer, buffer + in.gcount());
    if (bytes.size() > kMaxImage) {
      *error = "the firmware image " + path + " is larger than 64 MiB";
      return false;
    }
  }
  return Parse(bytes, error);
}

}  // namespace rq700::emu
