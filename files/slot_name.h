#ifndef RQ700_FILES_SLOT_NAME_H_
#define RQ700_FILES_SLOT_NAME_H_

#include <optional>
#include <string>
#include <string_view>

namespace rq700::files {

inline constexpr size_t kSlotNameMax = 15;
inline constexpr std::string_view kImportFileError = "File Error!!";

// The name an imported file gives a user slot: the file name without folder (split at the
// last backslash, else the last slash) and without its last extension, cut to 15
// characters. The path is UTF-8; the result holds one Latin-1 byte per character. No
// result when one of those characters is above U+00FF or the path is not valid UTF-8.
std::optional<std::string> SlotNameFromPath(std::string_view utf8_path);

// The name as the model list shows it after an import: ASCII letters in upper case.
std::string SlotDisplayName(std::string_view latin1_name);

}  // namespace rq700::files

#endif  // RQ700_FILES_SLOT_NAME_H_
