#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "link/platform.h"

namespace rq700 {

std::string CurrentUserId() { return std::to_string(getuid()); }

bool IsPrivateFolder(const std::string& path, bool create, std::string* why) {
  if (create && ::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
    *why = std::string("cannot be created: ") + std::strerror(errno);
    return false;
  }
  // lstat: a link planted at the name could lead anywhere.
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0) {
    *why = std::string("cannot be read: ") + std::strerror(errno);
    return false;
  }
  if (!S_ISDIR(st.st_mode)) {
    *why = "is not a folder of its own";
    return false;
  }
  if (st.st_uid != ::geteuid()) {
    *why = "belongs to another user (uid " + std::to_string(st.st_uid) + ")";
    return false;
  }
  if ((st.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
    *why = "can be written by other users";
    return false;
  }
  return true;
}

}  // namespace rq700
