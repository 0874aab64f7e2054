#ifndef RQ700_LINK_PLATFORM_H_
#define RQ700_LINK_PLATFORM_H_

#include <chrono>
#include <cstdint>
#include <string>

namespace rq700 {

// The few calls that differ between operating systems, kept in one place.

// The current user's id as text (the uid on POSIX systems, the user name elsewhere).
std::string CurrentUserId();

// Whether `path` may hold the current user's private files: a folder itself (not a link)
// that the user owns and nobody else may write to. With `create` a missing folder is made
// first, for the user alone. False with the reason in `why` otherwise.
bool IsPrivateFolder(const std::string& path, bool create, std::string* why);

// Milliseconds of a monotonic clock.
inline uint64_t MonotonicMs() {
  return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count());
}

#ifdef _WIN32
// Text is UTF-8 inside the program and UTF-16 at the Windows API. Malformed input turns
// into replacement characters rather than being cut short.
std::wstring WideFromUtf8(const std::string& text);
std::string Utf8FromWide(const std::wstring& text);
#endif

}  // namespace rq700

#endif  // RQ700_LINK_PLATFORM_H_
