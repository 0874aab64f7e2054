#ifndef RQ700_EDITOR_SAVE_PATH_H_
#define RQ700_EDITOR_SAVE_PATH_H_

#include <string>
#include <string_view>

#include "editor/shell.h"

namespace rq700 {

// The extension of a path in lower case, without its dot ("" when there is none).
std::string LowerExtension(const std::string& path);

// The file a save chooser's answer names once the default extension (`extension`, lower
// case, without its dot) is added. The chooser itself asks before replacing the file it
// returns; a name typed without the extension names another file, so when that file exists
// the player is asked here as well. Empty when `chosen` is empty (cancelled) or the player
// keeps the existing file.
std::string SavePathWithExtension(Shell& shell, std::string chosen, std::string_view extension);

}  // namespace rq700

#endif  // RQ700_EDITOR_SAVE_PATH_H_
