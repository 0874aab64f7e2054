#include "link/rx_ring.h"

#include <algorithm>
#include <cstring>

namespace rq700 {

bool RxRing::Push(const uint8_t* bytes, size_t n) {
  if (n > kCapacity - count_) return false;
  if (n == 0) return true;  // an empty read may come with no buffer at all
  // Copy in at most two runs: up to the end of storage, then from the start.
  size_t first = std::min<size_t>(n, kCapacity - write_index_);
  std::memcpy(storage_ + write_index_, bytes, first);
  std::memcpy(storage_, bytes + first, n - first);
  write_index_ = static_cast<uint32_t>((write_index_ + n) % kCapacity);
  count_ += static_cast<uint32_t>(n);
  return true;
}

bool RxRing::Pop(size_t n, uint8_t* out) {
  if (n > count_) return false;
  if (n == 0) return true;
  size_t first = std::min<size_t>(n, kCapacity - read_index_);
  std::memcpy(out, storage_ + read_index_, first);
  std::memcpy(out + first, storage_, n - first);
  read_index_ = static_cast<uint32_t>((read_index_ + n) % kCapacity);
  count_ -= static_cast<uint32_t>(n);
  return true;
}

}  // namespace rq700
