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

// The file a save at `path` replaces: the end of a chain of symbolic links, so the links
// stay and the file they lead to gets the new bytes. A link may lead to a file not made
// yet. False for a chain that never ends.
bool FollowLinks(const std::string& path, std::string* target) {
  std::string at = path;
  for (int hop = 0; hop < 40; ++hop) {
    struct stat st;
    if (::lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
      *target = at;
      return true;
    }
    std::string next(static_cast<size_t>(st.st_size > 0 ? st.st_size : 255) + 1, '\0');
    const ssize_t n = ::readlink(at.c_str(), next.data(), next.size());
    if (n < 0 || static_cast<size_t>(n) >= next.size()) return false;
    next.resize(static_cast<size_t>(n));
    at = next.front() == '/' ? next : DirectoryOf(at) + "/" + next;
  }
  errno = ELOOP;
  return false;
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
  failed_ = false;
  written_ = 0;
  if (!FollowLinks(path, &path_)) return false;
  // A folder standing at the path could never be replaced by the file, and a file the
  // user made read-only is not ours to replace (root may write to it, but its owner said
  // no): both fail now, before anything is written.
  struct stat st;
  const bool replacing = ::stat(path_.c_str(), &st) == 0;
  if (replacing && S_ISDIR(st.st_mode)) return false;
  if (replacing &&
      ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(path_.c_str(), W_OK) != 0)) {
    return false;
  }
  for (int attempt = 0; attempt < 100; ++attempt) {
    temp_path_ = path_ + ".tmp-" + std::to_string(::getpid()) + "-" +
                 std::to_string(temp_counter.fetch_add(1));
    fd_ = ::open(temp_path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd_ >= 0) break;
    if (errno != EEXIST) {
      temp_path_.clear();
      return false;
    }
  }
  if (fd_ < 0) {
    temp_path_.clear();
    return false;
  }
  // The new file takes the place of the old one with its permissions (and, where we may
  // give them, its owner and group), not the defaults of a new file.
  if (replacing) {
    if (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) {
      (void)::fchown(fd_, st.st_uid, st.st_gid);
    }
    if (::fchmod(fd_, st.st_mode & 0777) != 0) {
      Abort();
      return false;
    }
  }
  return true;
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
