#ifndef RQ700_FILES_FILE_IO_H_
#define RQ700_FILES_FILE_IO_H_

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace rq700::files {

// Paths are UTF-8 text everywhere in the program. These give the system's own form of a
// path (UTF-16 on Windows, the same bytes elsewhere) for the standard library's file
// calls, and back.
std::filesystem::path NativePath(const std::string& utf8_path);
std::string Utf8Path(const std::filesystem::path& path);

// Reads a whole file of at most max_size bytes. False when it cannot be opened or read, or
// is larger than max_size (nothing is allocated for a file that is too large).
bool ReadWholeFile(const std::string& path, size_t max_size, std::vector<uint8_t>* out);

// Size of a file in bytes, or -1 when it cannot be read.
int64_t FileSize(const std::string& path);

// Writes a file so that the file that stood at the path before stays whole until the new
// one is complete: the bytes go into a temporary file beside the target, which is flushed
// to disk and renamed over the target only on Commit. Without Commit (an error, or the
// writer destroyed early) the temporary file is removed and the old file is untouched.
class SafeFileWriter {
 public:
  SafeFileWriter() = default;
  ~SafeFileWriter();
  SafeFileWriter(const SafeFileWriter&) = delete;
  SafeFileWriter& operator=(const SafeFileWriter&) = delete;

  // False when the temporary file cannot be created or a folder stands at the path.
  bool Open(const std::string& path);
  bool Write(const uint8_t* data, size_t size);
  bool Write(std::span<const uint8_t> bytes) { return Write(bytes.data(), bytes.size()); }
  // Overwrites bytes already written (a header completed at the end); the write position
  // for Write stays at the end.
  bool WriteAt(uint64_t offset, const uint8_t* data, size_t size);
  // Flushes, closes and renames the temporary file over the target.
  bool Commit();
  // Drops the temporary file; the target stays as it was.
  void Abort();
  bool is_open() const { return fd_ >= 0; }
  uint64_t bytes_written() const { return written_; }

 private:
  int fd_ = -1;
  bool failed_ = false;
  uint64_t written_ = 0;
  std::string path_;
  std::string temp_path_;
};

// One-call form of SafeFileWriter.
bool WriteFileSafely(const std::string& path, std::span<const uint8_t> bytes);

}  // namespace rq700::files

#endif  // RQ700_FILES_FILE_IO_H_
