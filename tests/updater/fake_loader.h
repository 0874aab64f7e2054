#ifndef RQ700_TESTS_UPDATER_FAKE_LOADER_H_
#define RQ700_TESTS_UPDATER_FAKE_LOADER_H_

#include <atomic>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "link/packet.h"
#include "link/packet_parser.h"
#include "link/socket_port.h"

namespace rq700::testing {

// One line of what happened, in order: packets the loader received ("recv AA", with the
// block number for data blocks: "recv 31 12FF") and whatever the test adds ("post 11 2").
class EventLog {
 public:
  void Add(const std::string& event) {
    std::lock_guard lock(mutex_);
    events_.push_back(event);
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    events_.clear();
  }
  std::vector<std::string> Events() {
    std::lock_guard lock(mutex_);
    return events_;
  }

 private:
  std::mutex mutex_;
  std::vector<std::string> events_;
};

inline std::string Hex(unsigned value, int digits) {
  char text[16];
  std::snprintf(text, sizeof(text), "%0*X", digits, value);
  return text;
}

// A scripted device in update mode on a local socket: answers the identity request, the
// apply request (command `apply_command`, answered with `apply_reply`) and data blocks
// (any command with a 514-byte payload, answered with `block_reply`), unless told not to.
class FakeLoader : public PacketSink {
 public:
  struct Script {
    bool identity = true;
    bool apply_answer = true;
    uint8_t accepted = 1;
    uint8_t apply_command = 0x20;
    uint8_t apply_reply = 0x6A;
    int block_reply = 0x47;  // -1: blocks are never acknowledged
    int drop_block_ack = 0;  // the nth block (from 1) is not acknowledged
    std::string identity_model = "ZORVA_RQ700_V1.9.9";
  };

  FakeLoader(const std::string& socket_path, Script script, EventLog& log)
      : script_(std::move(script)), log_(log) {
    listening_ = listener_.Listen(socket_path);
    thread_ = std::thread([this] { Serve(); });
  }
  ~FakeLoader() override {
    stop_ = true;
    thread_.join();
  }

  bool listening() const { return listening_; }
  int blocks() const { return blocks_; }

  void OnPacket(const uint8_t* packet, size_t size) override {
    const uint8_t command = packet[kPacketCommandOffset];
    const size_t payload = size - kPacketOverhead - 1;
    const uint8_t* p = packet + kPacketPayloadOffset;
    if (payload == 514) {
      log_.Add("recv " + Hex(command, 2) + " " + Hex(p[0] << 8 | p[1], 4));
      ++blocks_;
      if (script_.block_reply >= 0 && blocks_ != script_.drop_block_ack) {
        Answer(static_cast<uint8_t>(script_.block_reply), p, 2);
      }
      return;
    }
    log_.Add("recv " + Hex(command, 2));
    if (command == 0x00 && script_.identity) {
      std::vector<uint8_t> reply(55, 0);
      std::memcpy(reply.data(), script_.identity_model.data(), script_.identity_model.size());
      std::memcpy(reply.data() + 39, "1.9.9", 5);  // packet offset 44
      Answer(0x01, reply.data(), reply.size());
    } else if (command == script_.apply_command && payload == 4 && script_.apply_answer) {
      Answer(script_.apply_reply, &script_.accepted, 1);
    }
  }

 private:
  void Answer(uint8_t command, const uint8_t* payload, size_t size) {
    uint8_t packet[kTxPacketCapacity];
    const size_t total = BuildPacket(command, payload, size, packet, sizeof(packet));
    for (size_t offset = 0; offset < total; offset += kReportPayload) {
      uint8_t report[kReportSize] = {};
      const size_t chunk = std::min<size_t>(kReportPayload, total - offset);
      report[1] = static_cast<uint8_t>(chunk);
      std::memcpy(report + 2, packet + offset, chunk);
      port_->WriteReport(report, 100);
    }
  }

  void Serve() {
    while (!stop_) {
      port_ = listener_.Accept(20);
      if (!port_) continue;
      RxRing ring;
      PacketParser parser;
      uint8_t report[kReportSize];
      while (!stop_) {
        const ReadResult got = port_->ReadReport(report, 20);
        if (got == ReadResult::kDisconnected) break;
        if (got == ReadResult::kNothing) continue;
        ring.Push(report + 2, std::min<int>(report[1], kReportPayload));
        parser.Run(ring, *this);
      }
      port_.reset();
    }
  }

  Script script_;
  EventLog& log_;
  SocketListener listener_;
  bool listening_ = false;
  std::unique_ptr<SocketPort> port_;
  std::atomic<bool> stop_{false};
  std::atomic<int> blocks_{0};
  std::thread thread_;
};

}  // namespace rq700::testing

#endif  // RQ700_TESTS_UPDATER_FAKE_LOADER_H_
