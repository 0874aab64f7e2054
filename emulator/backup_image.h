#ifndef RQ700_EMULATOR_BACKUP_IMAGE_H_
#define RQ700_EMULATOR_BACKUP_IMAGE_H_

#include <string>

#include "emulator/device_state.h"

namespace rq700::emu {

// The device's state as a backup container (".zbf") and back, so that the virtual device
// can stand in for a player's own unit: started from the backup of it, and written out
// again as the backup of what was edited.

// Loads a backup into `state` as a restore of it into a device whose user slots are all
// empty would leave it: every user slot the backup names, the system settings, every
// preset it holds; the working preset becomes the current one. The container checks of a
// restore apply, and every item must be one the device can place (its type, its number,
// its exact size); otherwise false, `state` untouched, and the reason in `error`.
// `wrong_format` tells a file of the wrong format from one that cannot be read at all.
bool LoadBackupFile(const std::string& path, DeviceState& state, std::string* error,
                    bool* wrong_format = nullptr);

// Writes the state as the backup dialogue gathers it from a device: the non-empty user
// amplifier slots ("RQ700_NR"), the non-empty impulse-response slots ("RQ700_IR"), the
// system chunk ("RQ700_SYSTEM"), the 200 stored presets ("RQ700_PRESET"), each record
// left out when it has no item. The file is written beside the target and renamed over it
// only when complete; on failure the target keeps what it had.
bool SaveBackupFile(const std::string& path, const DeviceState& state, std::string* error);

}  // namespace rq700::emu

#endif  // RQ700_EMULATOR_BACKUP_IMAGE_H_
