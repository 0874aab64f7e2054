#include <unistd.h>

#include <chrono>

#include "link/platform.h"

namespace rq700 {

std::string CurrentUserId() { return std::to_string(getuid()); }

uint64_t MonotonicMs() {
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count());
}

}  // namespace rq700
