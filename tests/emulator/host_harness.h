#ifndef RQ700_TESTS_EMULATOR_HOST_HARNESS_H_
#define RQ700_TESTS_EMULATOR_HOST_HARNESS_H_

#include <cstdint>
#include <cstring>
#include <vector>

#include "emulator/emulator.h"
#include "link/packet.h"
#include "link/packet_parser.h"
#include "link/rx_ring.h"

namespace rq700::emu::testing {

using Bytes = std::vector<uint8_t>;

// One packet as the host's parser delivers it.
struct Packet {
  uint8_t command = 0;
  Bytes payload;
  Bytes raw;
};

// Collects the packets a parser hands over.
class PacketCollector : public PacketSink {
 public:
  void OnPacket(const uint8_t* packet, size_t size) override {
    Packet p;
    p.command = packet[kPacketCommandOffset];
    p.payload.assign(packet + kPacketPayloadOffset, packet + size - 2);
    p.raw.assign(packet, packet + size);
    packets.push_back(std::move(p));
  }
  std::vector<Packet> packets;
};

// A firmware image of one segment laid out by hand (header, descriptor, data), so the
// loader's own reading of the format is tried without the host's image code.
inline Bytes OneSegmentImage(uint8_t apply_command, uint8_t apply_reply, uint8_t data_command,
                             uint8_t reply, uint16_t first_block, const Bytes& data) {
  Bytes image(128 + 512, 0);
  const char magic[] = "Zorva_TAGZORVA_RQ700";
  std::memcpy(image.data(), magic, sizeof(magic) - 1);
  image[41] = apply_command;
  image[42] = apply_reply;
  image[43] = 100;  // apply time-out
  image[47] = 1;    // one segment
  uint8_t* d = image.data() + 128;
  const uint32_t length = static_cast<uint32_t>(data.size());
  for (int i = 0; i < 4; ++i) d[17 + i] = static_cast<uint8_t>(length >> (8 * i));
  d[21] = data_command;
  d[22] = reply;
  d[23] = 100;  // block time-out
  d[27] = static_cast<uint8_t>(first_block);
  d[28] = static_cast<uint8_t>(first_block >> 8);
  image.insert(image.end(), data.begin(), data.end());
  return image;
}

// Plays the host against a DeviceEmulator in the same thread: packets are cut into
// reports as the host's Send cuts them; the device's reports go through the host's parser.
class Host {
 public:
  explicit Host(DeviceEmulator& device) : device_(device) { device_.Connect(); }

  void SendReportBytes(const uint8_t* data, size_t size) {
    for (size_t offset = 0; offset < size; offset += 63) {
      uint8_t report[65] = {};
      const size_t count = std::min<size_t>(63, size - offset);
      report[1] = static_cast<uint8_t>(count);
      std::memcpy(report + 2, data + offset, count);
      device_.OnHostReport(report);
    }
  }

  void Send(uint8_t command, const Bytes& payload = {}) {
    uint8_t tx[2048];
    const size_t size = BuildPacket(command, payload.data(), payload.size(), tx, sizeof(tx));
    SendReportBytes(tx, size);
  }

  // Everything the device has sent since the last call, as packets.
  std::vector<Packet> Receive() {
    uint8_t report[65];
    while (device_.PopReport(report)) {
      ++reports_received;
      ring_.Push(report + 2, report[1]);
      parser_.Run(ring_, collector_);
    }
    std::vector<Packet> out;
    out.swap(collector_.packets);
    return out;
  }

  // Sends one packet and returns what came back.
  std::vector<Packet> Ask(uint8_t command, const Bytes& payload = {}) {
    Send(command, payload);
    return Receive();
  }

  int reports_received = 0;

 private:
  DeviceEmulator& device_;
  RxRing ring_;
  PacketParser parser_;
  PacketCollector collector_;
};

}  // namespace rq700::emu::testing

#endif  // RQ700_TESTS_EMULATOR_HOST_HARNESS_H_
