#ifndef RQ700_FILES_FIRMWARE_BUILDER_H_
#define RQ700_FILES_FIRMWARE_BUILDER_H_

#include <cstdint>
#include <string>
#include <vector>

#include "files/firmware_image.h"

// Makes firmware images for the virtual device, the demo and the tests.
namespace rq700::files {

struct FirmwareSegmentPlan {
  uint8_t data_command = 0;
  uint8_t reply = 0;
  uint32_t block_timeout = 0;
  uint16_t first_block = 0;
  std::vector<uint8_t> data;
};

struct FirmwareImagePlan {
  std::string model{kFirmwareTargetModel};
  uint8_t apply_command = 0;
  uint8_t apply_reply = 0;
  uint32_t apply_timeout = 0;
  uint8_t apply_param[4] = {};
  std::vector<FirmwareSegmentPlan> segments;  // 1..127
};

// Descriptor 1 at 128 with its data at 640, then each further descriptor directly followed
// by its data. Empty when the plan cannot form an image (no segments, more than 127, a
// model name longer than 32 bytes).
std::vector<uint8_t> BuildFirmwareImage(const FirmwareImagePlan& plan);

}  // namespace rq700::files

#endif  // RQ700_FILES_FIRMWARE_BUILDER_H_
