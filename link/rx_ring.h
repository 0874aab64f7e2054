#ifndef RQ700_LINK_RX_RING_H_
#define RQ700_LINK_RX_RING_H_

#include <cstddef>
#include <cstdint>

namespace rq700 {

// Byte ring between the HID reads and the packet parser. Filled and emptied on the
// reader thread only, so it takes no lock.
struct RxRing {
  static constexpr uint32_t kCapacity = 10240;

  // Appends all n bytes, or none when fewer than n slots are free.
  bool Push(const uint8_t* bytes, size_t n);
  // Removes exactly n bytes in order into `out`, or none when fewer than n are held.
  bool Pop(size_t n, uint8_t* out);

  uint32_t count() const { return count_; }
  uint32_t free_space() const { return kCapacity - count_; }

  uint8_t storage_[kCapacity] = {};
  uint32_t count_ = 0;
  uint32_t write_index_ = 0;
  uint32_t read_index_ = 0;
};

}  // namespace rq700

#endif  // RQ700_LINK_RX_RING_H_
