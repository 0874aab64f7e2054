#ifndef RQ700_LINK_PACKET_PARSER_H_
#define RQ700_LINK_PACKET_PARSER_H_

#include <cstddef>
#include <cstdint>

#include "link/packet.h"
#include "link/rx_ring.h"

namespace rq700 {

// Receives every packet that passed the checks: marks, length and CRC. `packet` holds the
// whole packet from the start mark (command at offset 4, payload from offset 5) and is
// valid only during the call.
class PacketSink {
 public:
  virtual ~PacketSink() = default;
  virtual void OnPacket(const uint8_t* packet, size_t size) = 0;
  // A read brought nothing: the device has been quiet for a whole read time-out.
  virtual void OnQuiet() {}
};

// Seven-state parser that cuts the byte stream held in an RxRing into packets. Bytes
// already taken from the ring are never thrown away after damage: the search for the next
// start mark goes on inside them. Only the first state drops bytes, one per run.
class PacketParser {
 public:
  enum State : uint8_t {
    kStartMark1 = 0,
    kStartMark2 = 1,
    kLength = 2,
    kBody = 3,
    kCheck = 4,
    kDeliver = 5,
    kResync = 6,
  };

  // Processes what the ring holds, handing each good packet to `sink`, and returns when
  // the parser needs more bytes.
  void Run(RxRing& ring, PacketSink& sink);

  State state() const { return state_; }
  uint16_t held() const { return held_; }

 private:
  void Step(RxRing& ring, PacketSink& sink);
  void Resync();

  State state_ = kStartMark1;
  uint16_t held_ = 0;
  uint8_t buffer_[kMaxReceivedPacket] = {};
};

}  // namespace rq700

#endif  // RQ700_LINK_PACKET_PARSER_H_
