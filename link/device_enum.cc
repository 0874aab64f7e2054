#include "link/device_enum.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "link/hid_port.h"
#include "link/platform.h"

namespace rq700 {
namespace fs = std::filesystem;

namespace {

std::optional<uint16_t> ParseNumber(const std::string& text) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  const unsigned long value = std::strtoul(text.c_str(), &end, 0);
  if (end == text.c_str() || *end != '\0' || value > 0xFFFF) return std::nullopt;
  return static_cast<uint16_t>(value);
}

std::string Hex4(uint16_t value) {
  char text[8];
  std::snprintf(text, sizeof(text), "0x%04X", value);
  return text;
}

}  // namespace

namespace {

// The folder the user or the session named, if any: trusted as given.
std::optional<std::string> ChosenEmulatorDirectory() {
  if (const char* dir = std::getenv("RQ700_EMU_DIR"); dir != nullptr && *dir != '\0') {
    return dir;
  }
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR");
      runtime != nullptr && *runtime != '\0') {
    return std::string(runtime) + "/rq700-emu";
  }
  return std::nullopt;
}

std::string FallbackEmulatorDirectory() {
  return (fs::temp_directory_path() / ("rq700-emu-" + CurrentUserId())).string();
}

}  // namespace

std::string EmulatorDirectory() {
  return ChosenEmulatorDirectory().value_or(FallbackEmulatorDirectory());
}

std::string TrustedEmulatorDirectory(bool create) {
  if (auto chosen = ChosenEmulatorDirectory()) return *chosen;
  const std::string fallback = FallbackEmulatorDirectory();
  std::string why;
  if (IsPrivateFolder(fallback, create, &why)) return fallback;
  static std::atomic<bool> told{false};
  if (!told.exchange(true)) {
    std::fprintf(stderr,
                 "rq700: ignoring the virtual-device folder %s: it %s; set RQ700_EMU_DIR or "
                 "XDG_RUNTIME_DIR to a folder of your own\n",
                 fallback.c_str(), why.c_str());
  }
  return {};
}

bool AnnounceVirtualDevice(const std::string& announcement_file, const DeviceEntry& entry) {
  std::error_code error;
  const fs::path file(announcement_file);
  if (file.has_parent_path()) fs::create_directories(file.parent_path(), error);
  const fs::path temporary = file.string() + ".tmp";
  {
    std::ofstream out(temporary, std::ios::trunc);
    out << "path=" << entry.path << "\n"
        << "vendor=" << Hex4(entry.vendor_id) << "\n"
        << "product=" << Hex4(entry.product_id) << "\n"
        << "release=" << Hex4(entry.release_number) << "\n";
    if (!out.flush()) return false;
  }
  fs::rename(temporary, file, error);
  return !error;
}

bool WithdrawVirtualDevice(const std::string& announcement_file) {
  std::error_code error;
  return fs::remove(announcement_file, error);
}

std::optional<DeviceEntry> ReadAnnouncement(const std::string& announcement_file) {
  std::ifstream in(announcement_file);
  if (!in) return std::nullopt;
  DeviceEntry entry;
  bool have_path = false, have_vendor = false, have_product = false;
  std::string line;
  while (std::getline(in, line)) {
    const size_t equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string key = line.substr(0, equals);
    const std::string value = line.substr(equals + 1);
    if (key == "path") {
      entry.path = value;
      have_path = !value.empty();
    } else if (auto number = ParseNumber(value)) {
      if (key == "vendor") entry.vendor_id = *number, have_vendor = true;
      if (key == "product") entry.product_id = *number, have_product = true;
      if (key == "release") entry.release_number = *number;
    }
  }
  if (!have_path || !have_vendor || !have_product) return std::nullopt;
  return entry;
}

std::vector<DeviceEntry> EnumerateVirtualDevices(const std::string& directory) {
  std::vector<std::string> files;
  std::error_code error;
  for (fs::directory_iterator it(directory, error), end; !error && it != end; it.increment(error)) {
    if (it->path().extension() == ".device") files.push_back(it->path().string());
  }
  std::sort(files.begin(), files.end());
  std::vector<DeviceEntry> entries;
  for (const std::string& file : files) {
    auto entry = ReadAnnouncement(file);
    if (!entry) continue;
    std::string socket = entry->path;
    if (socket.rfind(kEmulatorPathPrefix, 0) == 0) {
      socket = socket.substr(sizeof(kEmulatorPathPrefix) - 1);
    }
    if (!fs::exists(socket, error)) continue;  // left behind by an emulator that died
    entries.push_back(*entry);
  }
  return entries;
}

std::vector<DeviceEntry> EnumerateDevices() {
  std::vector<DeviceEntry> entries = EnumerateHidDevices();
  const std::string directory = TrustedEmulatorDirectory(false);
  if (directory.empty()) return entries;
  std::vector<DeviceEntry> virtual_devices = EnumerateVirtualDevices(directory);
  entries.insert(entries.end(), virtual_devices.begin(), virtual_devices.end());
  return entries;
}

}  // namespace rq700
