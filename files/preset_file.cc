#include "files/preset_file.h"

#include <cstring>
#include <filesystem>
#include <fstream>

#include "files/byte_order.h"
#include "files/file_io.h"

namespace rq700::files {

namespace {
bool Fail(int* error, int code) {
  if (error) *error = code;
  return false;
}
}  // namespace

uint32_t PresetBodySum(const uint8_t* image) {
  uint32_t sum = 0;
  for (size_t i = kPresetHeaderSize; i < kPresetFileSize; ++i) sum += image[i];
  return sum;
}

// A fresh object holds a cleared image, so a save before any write is still well defined.
CPresetFile::CPresetFile() { std::memset(image_, 0, sizeof(image_)); }

bool CPresetFile::Load(const std::string& path, int* error) {
  // A folder opens as a stream here but is no file to read a preset from.
  std::error_code ec;
  if (std::filesystem::is_directory(NativePath(path), ec)) return Fail(error, kPresetCannotOpen);
  std::ifstream in(NativePath(path), std::ios::binary | std::ios::ate);
  if (!in) return Fail(error, kPresetCannotOpen);
  if (in.tellg() != static_cast<std::streamoff>(kPresetFileSize))
    return Fail(error, kPresetWrongLength);
  in.seekg(0);
  uint8_t scratch[kPresetFileSize];
  if (!in.read(reinterpret_cast<char*>(scratch), kPresetFileSize))
    return Fail(error, kPresetWrongLength);
  in.close();

  const uint32_t kind = GetLe32(scratch + kPresetKindField);
  if (kind != 0 && kind != 1) return Fail(error, kPresetWrongKind);
  if (PresetBodySum(scratch) != GetLe32(scratch + kPresetSumField))
    return Fail(error, kPresetWrongSum);
  if (GetLe32(scratch + kPresetVersionField) >= 2) return Fail(error, kPresetWrongVersion);
  return ImportImage(scratch, image_);
}

bool CPresetFile::Save(const std::string& path, int* error) {
  PutLe32(image_ + kPresetFileLengthField, kPresetFileSize);
  PutLe32(image_ + kPresetKindField, 0);
  PutLe32(image_ + kPresetVersionField, 1);
  std::memset(image_ + 12, 0, kPresetSumField - 12);
  std::memset(image_ + kPresetHeaderSize + kPresetRecordSize, 0,
              kPresetFileSize - kPresetHeaderSize - kPresetRecordSize);
  PutLe32(image_ + kPresetSumField, PresetBodySum(image_));

  SafeFileWriter writer;
  if (!writer.Open(path)) return Fail(error, kPresetCannotCreate);
  if (!writer.Write(image_, kPresetFileSize) || !writer.Commit())
    return Fail(error, kPresetWriteFailed);
  return true;
}

bool CPresetFile::ReadBody(uint8_t* destination, size_t length) const {
  if (length > kPresetBodySize) return false;
  if (length > 0) std::memcpy(destination, image_ + kPresetHeaderSize, length);
  return true;
}

bool CPresetFile::WriteBody(const uint8_t* source, size_t length) {
  if (length > kPresetBodySize) return false;
  if (length > 0) std::memcpy(image_ + kPresetHeaderSize, source, length);
  return true;
}

bool CPresetFileRq700::ImportImage(const uint8_t* source, uint8_t* destination) {
  // Versions 0 and 1 share one layout; Load has refused every other.
  std::memcpy(destination, source, kPresetFileSize);
  return true;
}

}  // namespace rq700::files
