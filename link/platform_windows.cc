#include <windows.h>

#include "link/platform.h"

namespace rq700 {

std::string CurrentUserId() {
  wchar_t name[256 + 1];
  DWORD size = static_cast<DWORD>(std::size(name));
  if (!GetUserNameW(name, &size) || size == 0) return "user";
  return Utf8FromWide(std::wstring(name, size - 1));  // size counts the terminating zero
}

// The temporary folder is the user's own on Windows (below the profile); nothing on
// Windows announces virtual devices there.
bool IsPrivateFolder(const std::string& path, bool create, std::string* why) {
  const std::wstring wide = WideFromUtf8(path);
  if (create) CreateDirectoryW(wide.c_str(), nullptr);
  const DWORD attributes = GetFileAttributesW(wide.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
      (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    *why = "is not a folder of its own";
    return false;
  }
  return true;
}

std::wstring WideFromUtf8(const std::string& text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
  return wide;
}

std::string Utf8FromWide(const std::wstring& text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), size, utf8.data(), length, nullptr, nullptr);
  return utf8;
}

}  // namespace rq700
