// POSIX local-socket transport of the virtual device.
#include "link/socket_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace rq700 {
namespace {

bool FillAddress(const std::string& path, sockaddr_un* address) {
  std::memset(address, 0, sizeof(*address));
  address->sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof(address->sun_path)) return false;
  std::memcpy(address->sun_path, path.data(), path.size());
  return true;
}

// A local SOCK_SEQPACKET socket that is not inherited by programs we start.
int MakeSocket() {
  const int fd = socket(AF_UNIX, SOCK_SEQPACKET, 0);
  if (fd >= 0) fcntl(fd, F_SETFD, FD_CLOEXEC);
  return fd;
}

std::string StripPrefix(const std::string& path) {
  const std::string prefix = kEmulatorPathPrefix;
  if (path.compare(0, prefix.size(), prefix) == 0) return path.substr(prefix.size());
  return path;
}

// poll() for `events`, restarting after signals. >0 ready, 0 time-out, <0 error.
int PollFor(int fd, short events, int timeout_ms, short* revents) {
  pollfd entry{fd, events, 0};
  for (;;) {
    const int result = poll(&entry, 1, timeout_ms);
    if (result < 0 && errno == EINTR) continue;
    *revents = entry.revents;
    return result;
  }
}

}  // namespace

SocketPort::~SocketPort() { Close(); }

bool SocketPort::Open(const std::string& path) {
  Close();
  sockaddr_un address;
  if (!FillAddress(StripPrefix(path), &address)) return false;
  const int fd = MakeSocket();
  if (fd < 0) return false;
  if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

void SocketPort::Close() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

void SocketPort::Shutdown() {
  if (fd_ >= 0) ::shutdown(fd_, SHUT_RDWR);
}

ReadResult SocketPort::ReadReport(uint8_t* report, int timeout_ms) {
  if (fd_ < 0) return ReadResult::kDisconnected;
  short revents = 0;
  const int ready = PollFor(fd_, POLLIN, timeout_ms, &revents);
  if (ready == 0) return ReadResult::kNothing;
  if (ready < 0) return ReadResult::kDisconnected;
  // A datagram longer than a report is cut to the report (MSG_TRUNC would tell); a
  // shorter one leaves the rest of the report as zeros.
  std::memset(report, 0, kReportSize);
  ssize_t got;
  do {
    got = recv(fd_, report, kReportSize, 0);
  } while (got < 0 && errno == EINTR);
  if (got == 0) return ReadResult::kDisconnected;  // peer closed its end
  if (got < 0) {
    if (errno == EAGAIN || errno == EWOULDBLOCK) return ReadResult::kNothing;
    return ReadResult::kDisconnected;
  }
  return ReadResult::kData;
}

bool SocketPort::WriteReport(const uint8_t* report, int timeout_ms) {
  if (fd_ < 0) return false;
  short revents = 0;
  if (PollFor(fd_, POLLOUT, timeout_ms, &revents) <= 0) return false;
  if (revents & (POLLERR | POLLHUP)) return false;
  ssize_t sent;
  do {
    sent = send(fd_, report, kReportSize, MSG_NOSIGNAL | MSG_DONTWAIT);
  } while (sent < 0 && errno == EINTR);
  return sent == kReportSize;
}

SocketListener::~SocketListener() { Close(); }

bool SocketListener::Listen(const std::string& socket_path) {
  Close();
  const std::string path = StripPrefix(socket_path);
  sockaddr_un address;
  if (!FillAddress(path, &address)) return false;
  const int fd = MakeSocket();
  if (fd < 0) return false;
  // Replace a socket left behind by an earlier run, but never any other kind of file.
  struct stat info;
  if (lstat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode)) unlink(path.c_str());
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 || listen(fd, 4) != 0) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  path_ = path;
  return true;
}

std::unique_ptr<SocketPort> SocketListener::Accept(int timeout_ms) {
  if (fd_ < 0) return nullptr;
  short revents = 0;
  if (PollFor(fd_, POLLIN, timeout_ms, &revents) <= 0) return nullptr;
  const int client = accept(fd_, nullptr, nullptr);
  if (client < 0) return nullptr;
  fcntl(client, F_SETFD, FD_CLOEXEC);
  return std::make_unique<SocketPort>(client);
}

void SocketListener::Close() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
    unlink(path_.c_str());
    path_.clear();
  }
}

}  // namespace rq700
