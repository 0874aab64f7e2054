#ifndef RQ700_FILES_FIRMWARE_IMAGE_H_
#define RQ700_FILES_FIRMWARE_IMAGE_H_

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Firmware image files (".zr"): a 128-byte header and a chain of segments, each with a
// 512-byte descriptor that tells the updater how to send its data.
namespace rq700::files {

inline constexpr size_t kFirmwareHeaderSize = 128;
inline constexpr size_t kFirmwareDescriptorSize = 512;
inline constexpr size_t kFirmwareBlockSize = 512;
inline constexpr size_t kFirmwareModelTextSize = 32;
inline constexpr std::string_view kFirmwareMagic = "Zorva_TAG";
inline constexpr std::string_view kFirmwareTargetModel = "ZORVA_RQ700";
inline constexpr std::string_view kFirmwareFolder = "./Firmware/";
// Images are read whole; nothing larger is ever a firmware image for this device.
inline constexpr size_t kFirmwareMaxFileSize = 64u << 20;

// Header field offsets.
inline constexpr size_t kFwModel = 9;
inline constexpr size_t kFwApplyCommand = 41;
inline constexpr size_t kFwApplyReply = 42;
inline constexpr size_t kFwApplyTimeout = 43;
inline constexpr size_t kFwSegmentCount = 47;
inline constexpr size_t kFwApplyParam = 48;
// Descriptor field offsets.
inline constexpr size_t kFwDataPosition = 9;
inline constexpr size_t kFwNextDescriptor = 13;
inline constexpr size_t kFwSegmentLength = 17;
inline constexpr size_t kFwDataCommand = 21;
inline constexpr size_t kFwSegmentReply = 22;
inline constexpr size_t kFwBlockTimeout = 23;
inline constexpr size_t kFwFirstBlock = 27;

// Picks the newest image for a device whose model text (up to 32 bytes, e.g.
// "ZORVA_RQ700_V1.9.9") is given: names of the form <prefix>*.zr in `folder`, the prefix
// being the text before its first "_V", compared by the characters at the three fixed
// version positions. Gives the file name (no folder). False when the text has no "_V"
// before position 28 or no file matches.
bool FindFirmwareImage(const std::string& folder, std::string_view model_text,
                       std::string* file_name);

// The same choice over the images of several folders taken together (empty entries are
// skipped, a missing folder offers nothing). Among equal versions the earlier folder
// wins. Gives the chosen file's path.
bool FindNewestFirmwareImage(const std::vector<std::string>& folders, std::string_view model_text,
                             std::string* path);

struct FirmwareHeader {
  std::string model;
  uint8_t apply_command = 0;
  uint8_t apply_reply = 0;
  uint32_t apply_timeout = 0;
  int segment_count = 0;
  uint8_t apply_param[4] = {};
};

struct FirmwareSegment {
  size_t descriptor_offset = 0;
  size_t data_offset = 0;
  uint32_t length = 0;
  uint8_t data_command = 0;
  uint8_t reply = 0;
  uint32_t block_timeout = 0;
  uint16_t first_block = 0;
  // Blocks sent for this segment: whole 512-byte blocks only.
  uint32_t BlockCount() const { return length / kFirmwareBlockSize; }
};

// An opened, checked image. Open accepts a file only when everything the updater will
// read lies inside it: the magic and target model, a segment count of 1 or more, every
// descriptor of the chain and every segment's data, and a total block count that covers
// every whole block of the segments.
class FirmwareImage {
 public:
  // File size, or 0 when the file cannot be read or is not a sound image for this device.
  size_t Open(const std::string& path);
  // The same checks on bytes already in memory.
  size_t OpenBytes(std::vector<uint8_t> bytes);
  bool is_open() const { return !image_.empty(); }
  // Why the last Open failed (for tools and messages; empty after a success).
  const std::string& error() const { return error_; }

  // 128, or 0 when nothing is open.
  size_t ReadHeader(uint8_t* out) const;
  // 512, or 0 when k is below 1 or above the segment count.
  size_t ReadDescriptor(int k, uint8_t* out) const;
  // The segment length, or 0 when k is out of range or `capacity` is smaller than it.
  size_t ReadSegment(int k, uint8_t* out, size_t capacity) const;

  const FirmwareHeader& header() const { return header_; }
  int segment_count() const { return header_.segment_count; }
  // Segment k (1..count); k out of range gives an empty segment.
  const FirmwareSegment& segment(int k) const;
  std::span<const uint8_t> SegmentData(int k) const;
  // Blocks of the whole file, for progress: (size - 128 - 512 * N) / 512.
  uint32_t total_blocks() const { return total_blocks_; }

 private:
  bool Fail(std::string why);

  std::vector<uint8_t> image_;
  FirmwareHeader header_;
  std::vector<FirmwareSegment> segments_;
  uint32_t total_blocks_ = 0;
  std::string error_;
};

}  // namespace rq700::files

#endif  // RQ700_FILES_FIRMWARE_IMAGE_H_
