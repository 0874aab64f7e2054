#include <unistd.h>

#include <cerrno>

#include "launcher/access_check.h"
#include "link/hid_port.h"

namespace rq700 {

bool DeviceAccessDenied(const std::string& path) {
  if (path.empty() || path.rfind(kEmulatorPathPrefix, 0) == 0) return false;
  if (access(path.c_str(), F_OK) != 0) return false;
  return access(path.c_str(), R_OK | W_OK) != 0 && (errno == EACCES || errno == EPERM);
}

}  // namespace rq700
