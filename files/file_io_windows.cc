#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>

#include <atomic>
#include <climits>
#include <string>

#include "files/file_io.h"

namespace rq700::files {

namespace {

std::atomic<unsigned> temp_counter{0};

std::wstring Wide(const std::string& utf8_path) { return NativePath(utf8_path).wstring(); }

// Attributes a replaced file hands on to its successor. Read-only never comes along: a
// read-only file is refused before anything is written.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                  FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

bool WriteAll(int fd, const uint8_t* data, size_t size) {
  while (size > 0) {
    const unsigned chunk = size > INT_MAX ? INT_MAX : static_cast<unsigned>(size);
    const int n = _write(fd, data, chunk);
    if (n <= 0) return false;
    data += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

SafeFileWriter::~SafeFileWriter() { Abort(); }

bool SafeFileWriter::Open(const std::string& path) {
  Abort();
  path_ = path;
  failed_ = false;
  written_ = 0;
  const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  // A folder could never be replaced by the file, and a file the user made read-only is
  // not ours to replace: both fail now, before anything is written.
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))) {
    return false;
  }
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp_path_ = path_ + ".tmp-" + std::to_string(_getpid()) + "-" +
                 std::to_string(temp_counter.fetch_add(1));
    const errno_t error = _wsopen_s(&fd_, Wide(temp_path_).c_str(),
                                    _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                                    _SH_DENYWR, _S_IREAD | _S_IWRITE);
    if (error == 0) return true;
    fd_ = -1;
    if (error != EEXIST) break;
  }
  temp_path_.clear();
  return false;
}

bool SafeFileWriter::Write(const uint8_t* data, size_t size) {
  if (fd_ < 0 || failed_) return false;
  if (!WriteAll(fd_, data, size)) {
    failed_ = true;
    return false;
  }
  written_ += size;
  return true;
}

bool SafeFileWriter::WriteAt(uint64_t offset, const uint8_t* data, size_t size) {
  if (fd_ < 0 || failed_ || offset + size > written_) return false;
  // Windows has no positioned write on a descriptor: go there, write, come back to the end.
  if (_lseeki64(fd_, static_cast<__int64>(offset), SEEK_SET) < 0 || !WriteAll(fd_, data, size) ||
      _lseeki64(fd_, static_cast<__int64>(written_), SEEK_SET) < 0) {
    failed_ = true;
    return false;
  }
  return true;
}

bool SafeFileWriter::Commit() {
  if (fd_ < 0) return false;
  if (failed_ || _commit(fd_) != 0) {
    Abort();
    return false;
  }
  const int rc = _close(fd_);
  fd_ = -1;
  const std::wstring temp = Wide(temp_path_);
  const std::wstring target = Wide(path_);
  const DWORD old_attributes = GetFileAttributesW(target.c_str());
  if (old_attributes != INVALID_FILE_ATTRIBUTES && (old_attributes & kKeptAttributes) != 0) {
    SetFileAttributesW(temp.c_str(), old_attributes & kKeptAttributes);
  }
  if (rc != 0 || !MoveFileExW(temp.c_str(), target.c_str(),
                              MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(temp.c_str());
    temp_path_.clear();
    return false;
  }
  temp_path_.clear();
  return true;
}

void SafeFileWriter::Abort() {
  if (fd_ >= 0) {
    _close(fd_);
    fd_ = -1;
  }
  if (!temp_path_.empty()) {
    DeleteFileW(Wide(temp_path_).c_str());
    temp_path_.clear();
  }
}

}  // namespace rq700::files
