#ifndef RQ700_LINK_DEVICE_ENUM_H_
#define RQ700_LINK_DEVICE_ENUM_H_

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace rq700 {

// One HID device as detection sees it, real or virtual alike.
struct DeviceEntry {
  std::string path;
  uint16_t vendor_id = 0;
  uint16_t product_id = 0;
  uint16_t release_number = 0;
};

// The folder in which virtual devices announce themselves: $RQ700_EMU_DIR, else
// $XDG_RUNTIME_DIR/rq700-emu, else /tmp/rq700-emu-<uid>.
std::string EmulatorDirectory();

// EmulatorDirectory() when it may be used. The /tmp fallback is shared by every local
// user, so it is used only when it is a folder of the current user that nobody else can
// write to (as ssh-agent and tmux treat theirs): otherwise another user could plant an
// announcement there and be sent the player's presets. With `create` a missing fallback
// is made, mode 0700. Empty, with the reason on stderr (once per process), when the
// fallback fails those checks.
std::string TrustedEmulatorDirectory(bool create);

// A virtual device announces itself with a small text file "<name>.device" in the
// emulator directory, one "key=value" per line:
//
//   path=emu:/run/user/1000/rq700-emu/rq700.sock
//   vendor=0x0483
//   product=0x5703
//   release=0x00C8
//
// Numbers are hexadecimal with 0x or decimal. The file is written to a temporary name and
// renamed, so a reader never sees half of it. An announcement whose socket is gone is
// skipped.
bool AnnounceVirtualDevice(const std::string& announcement_file, const DeviceEntry& entry);
bool WithdrawVirtualDevice(const std::string& announcement_file);
std::optional<DeviceEntry> ReadAnnouncement(const std::string& announcement_file);

// Virtual devices announced in `directory`, in file-name order.
std::vector<DeviceEntry> EnumerateVirtualDevices(const std::string& directory);
// Real HID devices, in the order the system lists them (hidapi, or SetupAPI on Windows).
// Lives with the platform's HID port.
std::vector<DeviceEntry> EnumerateHidDevices();
// Real devices first, then the virtual ones of TrustedEmulatorDirectory().
std::vector<DeviceEntry> EnumerateDevices();

}  // namespace rq700

#endif  // RQ700_LINK_DEVICE_ENUM_H_
