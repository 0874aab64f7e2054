#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <string>

#include "files/file_io.h"

namespace rq700::files {

namespace {

std::atomic<unsigned> temp_counter{0};

std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

void SyncDirectory(const std::string& path) {
  const int dir = ::open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) return;
  ::fsync(dir);
  ::close(dir);
}

}  // namespace

SafeFileWriter::~SafeFileWriter() { Abort(); }

bool SafeFileWriter::Open(const std::string& path) {
  Abort();
  path_ = path;
  failed_ = false;
  written_ = 0;
  // A folder standing at the path could never be replaced by the file: say so now, not
  // after everything has been written.
  struct stat st;
  if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return false;
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp_path_ = path + ".tmp-" + std::to_string(::getpid()) + "-" +
                 std::to_string(temp_counter.fetch_add(1));
    fd_ = ::open(temp_path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ >= 0) return true;
    if (errno != EEXIST) break;
  }
  temp_path_.clear();
  return false;
}

bool SafeFileWriter::Write(const uint8_t* data, size_t size) {
  if (fd_ < 0 || failed_) return false;
  while (size > 0) {
    const ssize_t n = ::write(fd_, data, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      failed_ = true;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
    written_ += static_cast<uint64_t>(n);
  }
  return true;
}

bool SafeFileWriter::WriteAt(uint64_t offset, const uint8_t* data, size_t size) {
  if (fd_ < 0 || failed_ || offset + size > written_) return false;
  while (size > 0) {
    const ssize_t n = ::pwrite(fd_, data, size, static_cast<off_t>(offset));
    if (n < 0) {
      if (errno == EINTR) continue;
      failed_ = true;
      return false;
    }
    data += n;
    size -= static_cast<size_t>(n);
    offset += static_cast<uint64_t>(n);
  }
  return true;
}

bool SafeFileWriter::Commit() {
  if (fd_ < 0) return false;
  if (failed_ || ::fsync(fd_) != 0) {
    Abort();
    return false;
  }
  const int rc = ::close(fd_);
  fd_ = -1;
  if (rc != 0 || ::rename(temp_path_.c_str(), path_.c_str()) != 0) {
    ::unlink(temp_path_.c_str());
    temp_path_.clear();
    return false;
  }
  temp_path_.clear();
  SyncDirectory(path_);
  return true;
}

void SafeFileWriter::Abort() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  if (!temp_path_.empty()) {
    ::unlink(temp_path_.c_str());
    temp_path_.clear();
  }
}

}  // namespace rq700::files
