#include <gtest/gtest.h>

#include <vector>

#include "link/packet.h"
#include "link/packet_parser.h"
#include "link/rx_ring.h"

namespace rq700 {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Packet(uint8_t command, Bytes payload) {
  Bytes out(kTxPacketCapacity);
  out.resize(BuildPacket(command, payload.data(), payload.size(), out.data(), out.size()));
  return out;
}

struct Recorder : PacketSink {
  void OnPacket(const uint8_t* packet, size_t size) override {
    packets.emplace_back(packet, packet + size);
  }
  std::vector<Bytes> packets;
};

class ParserTest : public ::testing::Test {
 protected:
  // Pushes `bytes` as one read and runs the parser once, as the reader thread does.
  void Feed(const Bytes& bytes) {
    ASSERT_TRUE(ring_.Push(bytes.data(), bytes.size()));
    parser_.Run(ring_, sink_);
  }
  RxRing ring_;
  PacketParser parser_;
  Recorder sink_;
};

TEST_F(ParserTest, TwoPacketsInOneReadAreBothDelivered) {
  Bytes a = Packet(0x93, {1, 2, 3}), b = Packet(0xA6, {7});
  Bytes both = a;
  both.insert(both.end(), b.begin(), b.end());
  Feed(both);
  ASSERT_EQ(sink_.packets.size(), 2u);
  EXPECT_EQ(sink_.packets[0], a);
  EXPECT_EQ(sink_.packets[1], b);
  EXPECT_EQ(parser_.state(), PacketParser::kStartMark1);
}

TEST_F(ParserTest, PacketSplitOverReadsArrivesWithItsLastByte) {
  Bytes payload(600);
  for (size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<uint8_t>(i);
  Bytes p = Packet(0xA5, payload);
  for (size_t at = 0; at < p.size(); at += 63) {
    EXPECT_TRUE(sink_.packets.empty());
    Feed(Bytes(p.begin() + at, p.begin() + std::min(p.size(), at + 63)));
  }
  ASSERT_EQ(sink_.packets.size(), 1u);
  EXPECT_EQ(sink_.packets[0], p);
}

TEST_F(ParserTest, BadCrcIsDroppedAndTheNextGoodPacketDelivered) {
  Bytes bad = Packet(0x93, {1, 2, 3});
  bad.back() ^= 0x01;
  Bytes good = Packet(0x94, {4});
  Bytes stream = bad;
  stream.insert(stream.end(), good.begin(), good.end());
  Feed(stream);
  ASSERT_EQ(sink_.packets.size(), 1u);
  EXPECT_EQ(sink_.packets[0], good);
}

TEST_F(ParserTest, OversizedLengthIsRejectedAndSearchResumesAfterTheMark) {
  // AA 55 with L = 1019, then a good packet that starts inside the rejected header's
  // bytes would not exist; put the next AA right after the first mark instead.
  Bytes good = Packet(0x81, {'2', '.', '0', '.', '0'});
  Bytes stream = {0xAA, 0x55, 0xFB, 0x03};
  stream.insert(stream.end(), good.begin(), good.end());
  Feed(stream);
  ASSERT_EQ(sink_.packets.size(), 1u);
  EXPECT_EQ(sink_.packets[0], good);

  // A packet that begins at the byte after the first start mark is found as well.
  sink_.packets.clear();
  Bytes nested = {0xAA};
  nested.insert(nested.end(), good.begin(), good.end());
  Feed(nested);
  ASSERT_EQ(sink_.packets.size(), 1u);
  EXPECT_EQ(sink_.packets[0], good);
}

TEST_F(ParserTest, LengthOneThousandEighteenIsAccepted) {
  Bytes payload(1017, 0x5A);
  Bytes p = Packet(0xAB, payload);
  ASSERT_EQ(p.size(), kMaxReceivedPacket);
  Feed(p);
  ASSERT_EQ(sink_.packets.size(), 1u);
  EXPECT_EQ(sink_.packets[0].size(), 1024u);
}

TEST_F(ParserTest, ZeroLengthPacketIsDroppedWithoutLosingWhatFollows) {
  // AA 55 00 00 with a correct CRC over the two length bytes.
  Bytes empty = {0xAA, 0x55, 0x00, 0x00, 0x00, 0x00};
  Bytes good = Packet(0xE1, {1});
  Bytes stream = empty;
  stream.insert(stream.end(), good.begin(), good.end());
  Feed(stream);
  for (int i = 0; i < 8 && sink_.packets.empty(); ++i) parser_.Run(ring_, sink_);
  ASSERT_EQ(sink_.packets.size(), 1u);
  EXPECT_EQ(sink_.packets[0][4], 0xE1);
}

TEST_F(ParserTest, StrayBytesAreDroppedOnePerRun) {
  Bytes good = Packet(0xA6, {3});
  Bytes stream = {0x01, 0x02, 0x03};
  stream.insert(stream.end(), good.begin(), good.end());
  Feed(stream);
  EXPECT_TRUE(sink_.packets.empty());
  EXPECT_EQ(ring_.count(), stream.size() - 1);
  parser_.Run(ring_, sink_);
  parser_.Run(ring_, sink_);
  EXPECT_TRUE(sink_.packets.empty());
  parser_.Run(ring_, sink_);
  ASSERT_EQ(sink_.packets.size(), 1u);
  EXPECT_EQ(sink_.packets[0], good);
}

TEST_F(ParserTest, WrongSecondMarkKeepsSearchingInsideHeldBytes) {
  Bytes good = Packet(0x82, {3, 0, 0, 0});
  Bytes stream = {0xAA, 0x00};
  stream.insert(stream.end(), good.begin(), good.end());
  Feed(stream);
  for (int i = 0; i < 4 && sink_.packets.empty(); ++i) parser_.Run(ring_, sink_);
  ASSERT_EQ(sink_.packets.size(), 1u);
  EXPECT_EQ(sink_.packets[0], good);
}

TEST_F(ParserTest, FullRingRefusesTheBlockAndParsingGoesOn) {
  Bytes good = Packet(0x90, {1, 2, 3, 4});
  // Fill the ring with packets until the next one would not fit.
  size_t pushed = 0;
  while (ring_.free_space() >= good.size()) {
    ring_.Push(good.data(), good.size());
    ++pushed;
  }
  EXPECT_FALSE(ring_.Push(good.data(), good.size()));
  parser_.Run(ring_, sink_);
  EXPECT_EQ(sink_.packets.size(), pushed);
  EXPECT_EQ(ring_.count(), 0u);
}

TEST_F(ParserTest, RandomNoiseNeverHidesLaterPackets) {
  uint32_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return static_cast<uint8_t>(seed >> 16);
  };
  for (int i = 0; i < 200; ++i) {
    Bytes noise(next() % 40);
    for (auto& b : noise) b = next();
    Feed(noise);
  }
  sink_.packets.clear();
  // Enough filler to flush any half packet the noise left open, then a real packet.
  Bytes filler(1100, 0x00);
  Bytes good = Packet(0xBB, {1, 0});
  Feed(filler);
  Feed(good);
  for (int i = 0; i < 20000 && ring_.count() > 0; ++i) parser_.Run(ring_, sink_);
  ASSERT_FALSE(sink_.packets.empty());
  EXPECT_EQ(sink_.packets.back(), good);
}

}  // namespace
}  // namespace rq700
