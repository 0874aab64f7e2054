#include "link/packet.h"

#include <cstring>

#include "link/crc16.h"
#include "link/hid_device.h"

namespace rq700 {

void BeginPacket(uint8_t* tx, uint8_t command, size_t payload_size) {
  const size_t length = payload_size + 1;
  tx[0] = kStartMark1;
  tx[1] = kStartMark2;
  tx[2] = static_cast<uint8_t>(length & 0xFF);
  tx[3] = static_cast<uint8_t>((length >> 8) & 0xFF);
  tx[4] = command;
}

size_t FramePacket(uint8_t* tx) {
  const uint16_t length = PacketLength(tx);
  const uint16_t crc = Crc16Gsm(tx + 2, static_cast<size_t>(length) + 2);
  tx[4 + length] = static_cast<uint8_t>(crc >> 8);
  tx[5 + length] = static_cast<uint8_t>(crc & 0xFF);
  return static_cast<size_t>(length) + kPacketOverhead;
}

size_t BuildPacket(uint8_t command, const uint8_t* payload, size_t payload_size, uint8_t* out,
                   size_t out_size) {
  const size_t total = payload_size + 1 + kPacketOverhead;
  if (total > out_size || payload_size + 1 > 0xFFFF) return 0;
  BeginPacket(out, command, payload_size);
  if (payload_size > 0) std::memcpy(out + kPacketPayloadOffset, payload, payload_size);
  return FramePacket(out);
}

bool FrameAndSend(CHidDevice& device, uint8_t* tx) {
  const size_t size = FramePacket(tx);
  return device.Send(tx, static_cast<int32_t>(size));
}

}  // namespace rq700
