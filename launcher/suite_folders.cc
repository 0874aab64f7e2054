#include "launcher/suite_folders.h"

#include <filesystem>
#include <system_error>

#include "launcher/launch.h"

namespace rq700 {

SuiteFolders FindSuiteFolders(const std::string& own_folder, const std::string& data_home) {
  SuiteFolders folders;
  std::error_code ec;
  // The own folder is preferred: a program found beside the launcher is the one it was
  // built and installed with, not one that happens to lie in the current directory.
  if (!own_folder.empty() && std::filesystem::is_regular_file(EditorProgram(own_folder), ec)) {
    folders.suite = own_folder;
  }
  if (!data_home.empty()) folders.user_firmware = data_home + "/rq700-suite/Firmware/";
  return folders;
}

}  // namespace rq700
