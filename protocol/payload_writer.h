#ifndef RQ700_PROTOCOL_PAYLOAD_WRITER_H_
#define RQ700_PROTOCOL_PAYLOAD_WRITER_H_

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace rq700 {

// Appends payload bytes in place (the sequencer's transmit buffer from the command's
// payload offset on). The largest payload is far below the buffer, so no bound is checked
// per byte; `capacity` is for encoders that copy variable amounts.
struct PayloadWriter {
  uint8_t* out;
  size_t capacity;
  size_t size = 0;

  void Byte(uint8_t value) { out[size++] = value; }
  // A byte-wide module value: 00, then the byte.
  void Value(uint8_t value) {
    Byte(0);
    Byte(value);
  }
  // A big-endian word.
  void Word(uint16_t value) {
    Byte(static_cast<uint8_t>(value >> 8));
    Byte(static_cast<uint8_t>(value & 0xFF));
  }
  void Bytes(const uint8_t* bytes, size_t n) {
    std::memcpy(out + size, bytes, n);
    size += n;
  }
  size_t room() const { return capacity - size; }
};

}  // namespace rq700

#endif  // RQ700_PROTOCOL_PAYLOAD_WRITER_H_
