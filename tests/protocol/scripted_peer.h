#ifndef RQ700_TESTS_PROTOCOL_SCRIPTED_PEER_H_
#define RQ700_TESTS_PROTOCOL_SCRIPTED_PEER_H_

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <deque>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "link/packet.h"
#include "link/packet_parser.h"
#include "link/rx_ring.h"
#include "link/socket_port.h"
#include "protocol/window_link.h"

namespace rq700::testing {

using Bytes = std::vector<uint8_t>;

// The device end of the virtual-device socket, driven by the test: it reads what the
// editor sends, cut back into packets, and sends packets of its own.
class ScriptedPeer {
 public:
  ScriptedPeer() {
    static std::atomic<int> counter{0};
    dir_ = std::filesystem::temp_directory_path() /
           ("rq700-protocol-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(dir_);
    socket_path_ = (dir_ / "dev.sock").string();
    listening_ = listener_.Listen(socket_path_);
  }
  ~ScriptedPeer() {
    port_.reset();
    listener_.Close();
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }

  bool listening() const { return listening_; }
  std::string host_path() const { return "emu:" + socket_path_; }
  bool Accept() {
    port_ = listener_.Accept(2000);
    return port_ != nullptr;
  }
  // The device goes away.
  void Disconnect() { port_.reset(); }

  // The payload bytes of the next report, or nothing within `timeout_ms`.
  std::optional<Bytes> NextReport(int timeout_ms) {
    uint8_t report[kReportSize];
    if (port_->ReadReport(report, timeout_ms) != ReadResult::kData) return std::nullopt;
    return Bytes(report + 2, report + 2 + std::min<int>(report[1], kReportPayload));
  }

  // The next whole packet the editor sent, or nothing within `timeout_ms`.
  std::optional<Bytes> NextPacket(int timeout_ms) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (sink_.packets.empty()) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) return std::nullopt;
      auto report = NextReport(static_cast<int>(left.count()));
      if (!report) return std::nullopt;
      ring_.Push(report->data(), report->size());
      parser_.Run(ring_, sink_);
    }
    Bytes packet = std::move(sink_.packets.front());
    sink_.packets.pop_front();
    return packet;
  }

  // Every packet that arrives until a gap of `gap_ms`.
  std::vector<Bytes> Drain(int gap_ms) {
    std::vector<Bytes> packets;
    while (auto packet = NextPacket(gap_ms)) packets.push_back(std::move(*packet));
    return packets;
  }

  void Send(uint8_t command, const Bytes& payload) {
    uint8_t packet[kTxPacketCapacity];
    const size_t size =
        BuildPacket(command, payload.data(), payload.size(), packet, sizeof(packet));
    for (size_t at = 0; at < size; at += kReportPayload) {
      uint8_t report[kReportSize] = {};
      const size_t n = std::min<size_t>(kReportPayload, size - at);
      report[1] = static_cast<uint8_t>(n);
      std::memcpy(report + 2, packet + at, n);
      port_->WriteReport(report, 100);
    }
  }

 private:
  struct Collect : PacketSink {
    void OnPacket(const uint8_t* packet, size_t size) override {
      packets.emplace_back(packet, packet + size);
    }
    std::deque<Bytes> packets;
  };

  std::filesystem::path dir_;
  std::string socket_path_;
  bool listening_ = false;
  SocketListener listener_;
  std::unique_ptr<SocketPort> port_;
  RxRing ring_;
  PacketParser parser_;
  Collect sink_;
};

// Command byte and payload of a packet.
inline uint8_t CommandOf(const Bytes& packet) { return packet[kPacketCommandOffset]; }
inline Bytes PayloadOf(const Bytes& packet) {
  return Bytes(packet.begin() + kPacketPayloadOffset, packet.end() - 2);
}

// Records what the threads tell the window.
class RecordingWindow : public WindowLink {
 public:
  void ImportResult(int code) override {
    std::lock_guard<std::mutex> lock(mutex_);
    import_results_.push_back(code);
  }
  void TransferResult(int code) override {
    std::lock_guard<std::mutex> lock(mutex_);
    transfer_results_.push_back(code);
  }
  void DeviceGone() override { ++device_gone_; }
  void WaitingProgress(int preset_index) override {
    std::lock_guard<std::mutex> lock(mutex_);
    progress_.push_back(preset_index);
  }
  void HideValueEntry() override { ++hide_value_entry_; }

  std::vector<int> import_results() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return import_results_;
  }
  std::vector<int> progress() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return progress_;
  }
  int device_gone() const { return device_gone_.load(); }
  int hide_value_entry() const { return hide_value_entry_.load(); }

 private:
  mutable std::mutex mutex_;
  std::vector<int> import_results_;
  std::vector<int> transfer_results_;
  std::vector<int> progress_;
  std::atomic<int> device_gone_{0};
  std::atomic<int> hide_value_entry_{0};
};

// Polls `condition` for up to two seconds.
template <typename Condition>
bool WaitFor(Condition condition) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

}  // namespace rq700::testing

#endif  // RQ700_TESTS_PROTOCOL_SCRIPTED_PEER_H_
