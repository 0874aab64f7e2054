#ifndef RQ700_FILES_PRESET_FILE_H_
#define RQ700_FILES_PRESET_FILE_H_

#include <cstddef>
#include <cstdint>
#include <string>

// The preset file (".zv"): a 2048-byte image, a 512-byte header and a 1536-byte body whose
// first 512 bytes are one preset record. The header keeps a 32-bit byte sum of the body.
namespace rq700::files {

inline constexpr size_t kPresetFileSize = 2048;
inline constexpr size_t kPresetHeaderSize = 512;
inline constexpr size_t kPresetBodySize = 1536;
inline constexpr size_t kPresetRecordSize = 512;  // the body's first bytes; the rest is reserved
inline constexpr size_t kPresetFileLengthField = 0;
inline constexpr size_t kPresetKindField = 4;
inline constexpr size_t kPresetVersionField = 8;
inline constexpr size_t kPresetSumField = 508;

// Error codes given back by Load and Save (set only on failure).
enum PresetFileError : int {
  kPresetCannotOpen = 1,
  kPresetWrongLength = 2,
  kPresetWrongKind = 3,
  kPresetWrongSum = 6,
  kPresetCannotCreate = 7,
  kPresetWriteFailed = 8,
  kPresetWrongVersion = 9,
};

// Sum of the body bytes (offsets 512..2047) modulo 2^32.
uint32_t PresetBodySum(const uint8_t* image);

class CPresetFile {
 public:
  CPresetFile();
  virtual ~CPresetFile() = default;

  // Reads and checks the file (length, kind, body sum, version, in that order) and imports
  // it. On failure the object's image is unchanged and *error holds the first failed check.
  bool Load(const std::string& path, int* error);
  // Completes the image (length 2048, kind 0, version 1, zero reserved header bytes, zero
  // reserved body space after the record, body sum) and writes the file. A file that stood at the
  // path stays whole unless the new one is written completely.
  bool Save(const std::string& path, int* error);
  // Copies `length` bytes of the body from offset 512; false (nothing copied) beyond 1536.
  bool ReadBody(uint8_t* destination, size_t length) const;
  // Copies `length` bytes into the body from offset 512; false (nothing copied) beyond 1536.
  // Save keeps the first 512 (the record) and clears the reserved space after them.
  bool WriteBody(const uint8_t* source, size_t length);

  const uint8_t* image() const { return image_; }

 protected:
  // Brings an image read from disk (already checked) into the object's own image.
  virtual bool ImportImage(const uint8_t* source, uint8_t* destination) = 0;

 private:
  uint8_t image_[kPresetFileSize];
};

class CPresetFileRq700 : public CPresetFile {
 protected:
  bool ImportImage(const uint8_t* source, uint8_t* destination) override;
};

}  // namespace rq700::files

#endif  // RQ700_FILES_PRESET_FILE_H_
