#ifndef RQ700_LINK_SOCKET_PORT_H_
#define RQ700_LINK_SOCKET_PORT_H_

#include <string>

#include "link/hid_port.h"

namespace rq700 {

// The virtual-device transport: a local SOCK_SEQPACKET socket carrying one 65-byte
// datagram per report in each direction. The host side opens "emu:<socket path>"; the
// device side (the emulator, tests) gets its port from SocketListener::Accept. The same
// class serves both ends: a report is a report in either direction. A peer that closed
// its end is a disconnected device.
class SocketPort : public HidPort {
 public:
  SocketPort() = default;
  explicit SocketPort(int connected_fd) : fd_(connected_fd) {}
  ~SocketPort() override;
  SocketPort(const SocketPort&) = delete;
  SocketPort& operator=(const SocketPort&) = delete;

  // Accepts "emu:<socket path>" or a plain socket path.
  bool Open(const std::string& path) override;
  void Close() override;
  bool IsOpen() const override { return fd_ >= 0; }
  ReadResult ReadReport(uint8_t* report, int timeout_ms) override;
  bool WriteReport(const uint8_t* report, int timeout_ms) override;

  // Shuts the connection down in both directions without closing the descriptor, so a
  // read blocked on another thread returns at once with kDisconnected.
  void Shutdown();

 private:
  int fd_ = -1;
};

// The listening end of a virtual device.
class SocketListener {
 public:
  SocketListener() = default;
  ~SocketListener();
  SocketListener(const SocketListener&) = delete;
  SocketListener& operator=(const SocketListener&) = delete;

  // Binds and listens at `socket_path`, replacing a stale socket file there.
  bool Listen(const std::string& socket_path);
  // Waits up to `timeout_ms` (-1: forever) for a host; nullptr on time-out or error.
  std::unique_ptr<SocketPort> Accept(int timeout_ms);
  // Stops listening and removes the socket file.
  void Close();

  const std::string& path() const { return path_; }
  int fd() const { return fd_; }

 private:
  int fd_ = -1;
  std::string path_;
};

}  // namespace rq700

#endif  // RQ700_LINK_SOCKET_PORT_H_
