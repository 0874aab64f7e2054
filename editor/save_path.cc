#include "editor/save_path.h"

#include <cctype>
#include <filesystem>
#include <system_error>

#include "editor/messages.h"
#include "files/file_io.h"

namespace rq700 {

std::string LowerExtension(const std::string& path) {
  const size_t cut = path.find_last_of("/\\");
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (cut != std::string::npos && dot < cut)) return {};
  std::string ext = path.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

std::string SavePathWithExtension(Shell& shell, std::string chosen, std::string_view extension) {
  if (chosen.empty() || LowerExtension(chosen) == extension) return chosen;
  chosen += '.';
  chosen += extension;
  std::error_code error;
  if (std::filesystem::exists(files::NativePath(chosen), error)) {
    const size_t cut = chosen.find_last_of("/\\");
    std::string question = cut == std::string::npos ? chosen : chosen.substr(cut + 1);
    question += text::kReplaceQuestionTail;
    if (!shell.AskYesNo(MessageOwner::kMainWindow, question, text::kConfirmSaveTitle,
                        MessageIcon::kWarning)) {
      return {};
    }
  }
  return chosen;
}

}  // namespace rq700
