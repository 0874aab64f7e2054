#ifndef RQ700_LINK_PACKET_H_
#define RQ700_LINK_PACKET_H_

#include <cstddef>
#include <cstdint>

namespace rq700 {

class CHidDevice;

// Packet: AA 55, length L (little-endian, command + payload), command, payload,
// CRC-16/GSM big-endian over the length, command and payload.
inline constexpr uint8_t kStartMark1 = 0xAA;
inline constexpr uint8_t kStartMark2 = 0x55;
inline constexpr size_t kPacketHeaderSize = 4;  // marks and length
inline constexpr size_t kPacketOverhead = 6;    // header and CRC
inline constexpr uint16_t kMaxReceivedLength = 1018;
inline constexpr size_t kMaxReceivedPacket = kMaxReceivedLength + kPacketOverhead;  // 1024
inline constexpr size_t kTxPacketCapacity = 2048;
inline constexpr size_t kPacketCommandOffset = 4;
inline constexpr size_t kPacketPayloadOffset = 5;

// Length field L of a packet held in `packet` (at least four bytes).
inline uint16_t PacketLength(const uint8_t* packet) {
  return static_cast<uint16_t>(packet[2] | (packet[3] << 8));
}

// Writes the marks, the length and the command of a packet with `payload_size` payload
// bytes into `tx` (which must hold kPacketOverhead + 1 + payload_size bytes). The caller
// fills the payload from offset 5, then calls FramePacket.
void BeginPacket(uint8_t* tx, uint8_t command, size_t payload_size);

// Computes the CRC of the packet whose marks and length are in `tx` and stores it after
// the payload. Returns the whole packet size, L + 6.
size_t FramePacket(uint8_t* tx);

// Builds a complete packet from a command and payload into `out` (capacity `out_size`).
// Returns the packet size, or 0 when it does not fit.
size_t BuildPacket(uint8_t command, const uint8_t* payload, size_t payload_size, uint8_t* out,
                   size_t out_size);

// Frames the packet held in `tx` and hands its L + 6 bytes to the device's Send.
bool FrameAndSend(CHidDevice& device, uint8_t* tx);

}  // namespace rq700

#endif  // RQ700_LINK_PACKET_H_
