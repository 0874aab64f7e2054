#include "link/hidraw_port.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

namespace rq700 {

// Shared by the port and its writer thread, which may outlive the port's Close while the
// kernel still holds a write.
struct HidrawPort::Writer {
  std::mutex mutex;
  std::condition_variable changed;
  int fd = -1;
  uint8_t report[kReportSize] = {};
  bool pending = false;  // a report handed over and not yet given back by the kernel
  bool last_ok = false;
  uint64_t handed = 0;    // serial of the last report handed over
  uint64_t finished = 0;  // serial of the last report the kernel gave back
  bool stop = false;

  void Run() {
    std::unique_lock lock(mutex);
    for (;;) {
      changed.wait(lock, [this] { return pending || stop; });
      if (!pending) break;
      uint8_t copy[kReportSize];
      std::memcpy(copy, report, kReportSize);
      const uint64_t serial = handed;
      lock.unlock();
      ssize_t n;
      do {
        n = ::write(fd, copy, kReportSize);
      } while (n < 0 && errno == EINTR);
      lock.lock();
      last_ok = n == kReportSize;
      finished = serial;
      pending = false;
      changed.notify_all();
    }
    ::close(fd);
  }
};

HidrawPort::~HidrawPort() { Close(); }

bool IsHidrawPath(const std::string& path) { return path.rfind("/dev/hidraw", 0) == 0; }

bool HidrawPort::Open(const std::string& path) {
  Close();
  const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return false;
  fd_ = fd;
  writer_ = std::make_shared<Writer>();
  writer_->fd = fd;
  std::thread([writer = writer_] { writer->Run(); }).detach();
  return true;
}

void HidrawPort::Close() {
  if (fd_ < 0) return;
  // The writer thread closes the node when it ends: at once when idle, else when the
  // kernel gives the write back.
  {
    std::lock_guard lock(writer_->mutex);
    writer_->stop = true;
  }
  writer_->changed.notify_all();
  writer_.reset();
  fd_ = -1;
}

ReadResult HidrawPort::ReadReport(uint8_t* report, int timeout_ms) {
  if (fd_ < 0) return ReadResult::kDisconnected;
  pollfd p = {fd_, POLLIN, 0};
  int ready;
  do {
    ready = ::poll(&p, 1, timeout_ms);
  } while (ready < 0 && errno == EINTR);
  if (ready == 0) return ReadResult::kNothing;
  if (ready < 0 || (p.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) {
    return ReadResult::kDisconnected;
  }
  std::memset(report, 0, kReportSize);
  const ssize_t got = ::read(fd_, report + 1, kReportSize - 1);
  if (got < 0) {
    return errno == EAGAIN || errno == EINTR ? ReadResult::kNothing : ReadResult::kDisconnected;
  }
  return got == 0 ? ReadResult::kNothing : ReadResult::kData;
}

bool HidrawPort::WriteReport(const uint8_t* report, int timeout_ms) {
  if (fd_ < 0) return false;
  Writer& w = *writer_;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  std::unique_lock lock(w.mutex);
  // A report that timed out earlier may still be with the kernel: wait for it first.
  if (!w.changed.wait_until(lock, deadline, [&w] { return !w.pending; })) return false;
  std::memcpy(w.report, report, kReportSize);
  const uint64_t serial = ++w.handed;
  w.pending = true;
  w.changed.notify_all();
  if (!w.changed.wait_until(lock, deadline, [&w, serial] { return w.finished == serial; })) {
    return false;
  }
  return w.last_ok;
}

}  // namespace rq700
