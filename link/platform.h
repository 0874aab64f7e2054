#ifndef RQ700_LINK_PLATFORM_H_
#define RQ700_LINK_PLATFORM_H_

#include <cstdint>
#include <string>

namespace rq700 {

// The few calls that differ between operating systems, kept in one place.

// The current user's id as text (the uid on POSIX systems, the user name elsewhere).
std::string CurrentUserId();

// Milliseconds of a monotonic clock.
uint64_t MonotonicMs();

}  // namespace rq700

#endif  // RQ700_LINK_PLATFORM_H_
