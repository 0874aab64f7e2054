#include <unistd.h>

#include "link/platform.h"

namespace rq700 {

std::string CurrentUserId() { return std::to_string(getuid()); }

}  // namespace rq700
