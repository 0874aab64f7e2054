#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "link/crc16.h"
#include "link/packet.h"
#include "link/rx_ring.h"

namespace rq700 {
namespace {

std::vector<uint8_t> Build(uint8_t command, std::vector<uint8_t> payload) {
  std::vector<uint8_t> out(kTxPacketCapacity);
  const size_t size = BuildPacket(command, payload.data(), payload.size(), out.data(), out.size());
  out.resize(size);
  return out;
}

TEST(Crc16GsmTest, CheckValueAndEmptyInput) {
  const char* text = "123456789";
  EXPECT_EQ(Crc16Gsm(reinterpret_cast<const uint8_t*>(text), 9), 0xCE3C);
  EXPECT_EQ(Crc16Gsm(nullptr, 0), 0xFFFF);
}

TEST(PacketTest, FramesKnownPackets) {
  EXPECT_EQ(Build(0xE0, {}), (std::vector<uint8_t>{0xAA, 0x55, 0x01, 0x00, 0xE0, 0x35, 0xE1}));
  EXPECT_EQ(Build(0x84, {0x00, 0x00}),
            (std::vector<uint8_t>{0xAA, 0x55, 0x03, 0x00, 0x84, 0x00, 0x00, 0xF6, 0xB7}));
}

TEST(PacketTest, LengthIsLittleEndianAndRefusesWhatDoesNotFit) {
  std::vector<uint8_t> payload(600, 0x11);
  auto packet = Build(0xA5, payload);
  ASSERT_EQ(packet.size(), 607u);
  EXPECT_EQ(packet[2], 601 & 0xFF);
  EXPECT_EQ(packet[3], 601 >> 8);
  uint8_t small[10];
  EXPECT_EQ(BuildPacket(0x01, payload.data(), 4, small, sizeof(small)), 0u);
}

TEST(RxRingTest, PushPopWrapAndRefusals) {
  RxRing ring;
  std::vector<uint8_t> block(4000);
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i * 7);
  uint8_t out[4000];
  // Walk the indices round the end of storage several times.
  for (int round = 0; round < 7; ++round) {
    ASSERT_TRUE(ring.Push(block.data(), block.size()));
    ASSERT_TRUE(ring.Pop(block.size(), out));
    ASSERT_EQ(std::memcmp(out, block.data(), block.size()), 0) << "round " << round;
  }
  EXPECT_EQ(ring.count(), 0u);
  EXPECT_FALSE(ring.Pop(1, out));

  // Fill to the brim; one more byte is refused whole and changes nothing.
  ASSERT_TRUE(ring.Push(block.data(), 4000));
  ASSERT_TRUE(ring.Push(block.data(), 4000));
  ASSERT_TRUE(ring.Push(block.data(), 2240));
  EXPECT_EQ(ring.count(), RxRing::kCapacity);
  EXPECT_FALSE(ring.Push(block.data(), 1));
  EXPECT_EQ(ring.count(), RxRing::kCapacity);
  ring.Pop(100, out);
  EXPECT_FALSE(ring.Push(block.data(), 101));
  EXPECT_EQ(ring.count(), RxRing::kCapacity - 100);
  EXPECT_TRUE(ring.Push(block.data(), 100));
  // Asking for more than is held takes nothing.
  RxRing small;
  small.Push(block.data(), 3);
  EXPECT_FALSE(small.Pop(4, out));
  EXPECT_EQ(small.count(), 3u);
}

}  // namespace
}  // namespace rq700
