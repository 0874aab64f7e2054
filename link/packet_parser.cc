#include "link/packet_parser.h"

#include <cstring>

#include "link/crc16.h"

namespace rq700 {

void PacketParser::Run(RxRing& ring, PacketSink& sink) {
  State before;
  do {
    before = state_;
    Step(ring, sink);
  } while (state_ != before);
}

void PacketParser::Step(RxRing& ring, PacketSink& sink) {
  switch (state_) {
    case kStartMark1:
      if (!ring.Pop(1, buffer_)) return;
      if (buffer_[0] == 0xAA) {
        held_ = 1;
        state_ = kStartMark2;
      }
      return;

    case kStartMark2:
      if (held_ < 2) {
        if (!ring.Pop(1, buffer_ + 1)) return;
        held_ = 2;
      }
      state_ = buffer_[1] == 0x55 ? kLength : kResync;
      return;

    case kLength: {
      if (held_ < 4) {
        if (!ring.Pop(4 - held_, buffer_ + held_)) return;
        held_ = 4;
      }
      const uint16_t length = PacketLength(buffer_);
      // A length of 0 would be a packet without a command byte: treat it as damage.
      state_ = (length >= 1 && length <= kMaxReceivedLength) ? kBody : kResync;
      return;
    }

    case kBody: {
      const uint16_t total = static_cast<uint16_t>(PacketLength(buffer_) + kPacketOverhead);
      if (held_ < total) {
        if (!ring.Pop(total - held_, buffer_ + held_)) return;
        held_ = total;
      }
      state_ = kCheck;
      return;
    }

    case kCheck: {
      const uint16_t length = PacketLength(buffer_);
      const uint16_t stored =
          static_cast<uint16_t>((buffer_[4 + length] << 8) | buffer_[5 + length]);
      state_ =
          stored == Crc16Gsm(buffer_ + 2, static_cast<size_t>(length) + 2) ? kDeliver : kResync;
      return;
    }

    case kDeliver: {
      const uint16_t total = static_cast<uint16_t>(PacketLength(buffer_) + kPacketOverhead);
      sink.OnPacket(buffer_, total);
      if (held_ == total) {
        held_ = 0;
        state_ = kStartMark1;
      } else {
        // Bytes beyond this packet are held: keep them and look for a start mark there.
        const uint16_t extra = static_cast<uint16_t>(held_ - total);
        std::memmove(buffer_ + 1, buffer_ + total, extra);
        held_ = static_cast<uint16_t>(extra + 1);
        state_ = kResync;
      }
      return;
    }

    case kResync:
      Resync();
      return;
  }
}

void PacketParser::Resync() {
  uint16_t from = 1;
  while (from < held_ && buffer_[from] != 0xAA) ++from;
  const uint16_t moved = static_cast<uint16_t>(held_ - from);
  if (moved > 0) std::memmove(buffer_, buffer_ + from, moved);
  held_ = moved;
  state_ = held_ > 0 ? kStartMark2 : kStartMark1;
}

}  // namespace rq700
