#ifndef RQ700_LAUNCHER_ACCESS_CHECK_H_
#define RQ700_LAUNCHER_ACCESS_CHECK_H_

#include <string>

namespace rq700 {

// True when the device node at `path` exists but the current user lacks the rights to
// read and write it (a missing udev rule on Linux). False for anything else, including
// virtual devices and paths that are not files.
bool DeviceAccessDenied(const std::string& path);

}  // namespace rq700

#endif  // RQ700_LAUNCHER_ACCESS_CHECK_H_
