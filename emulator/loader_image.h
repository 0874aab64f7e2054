#ifndef RQ700_EMULATOR_LOADER_IMAGE_H_
#define RQ700_EMULATOR_LOADER_IMAGE_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace rq700::emu {

// What the update loader knows of the firmware it is built to take: the codes of the apply
// request and its answer, and per segment the data command, the acknowledgement code, the
// first block number and the whole blocks with their data. Read from an image file by this
// code of its own, not by the host's reader, so that a misreading is never shared.
struct LoaderImage {
  struct Segment {
    uint8_t data_command = 0;
    uint8_t reply = 0;
    uint16_t first_block = 0;
    std::vector<uint8_t> data;  // the whole blocks only: what the host sends
    size_t blocks() const { return data.size() / 512; }
  };
  uint8_t apply_command = 0;
  uint8_t apply_reply = 0;
  std::array<uint8_t, 4> apply_param{};
  std::vector<Segment> segments;

  // Parses image bytes. False with a message for anything that is not a whole image.
  bool Parse(const std::vector<uint8_t>& bytes, std::string* error);
  bool Load(const std::string& path, std::string* error);
};

}  // namespace rq700::emu

#endif  // RQ700_EMULATOR_LOADER_IMAGE_H_
