#include "launcher/launch.h"

#include "link/launcher_device.h"

namespace rq700 {

std::string EditorFolder(const std::string& suite_folder) {
  return suite_folder + "/" + kTargetModel;
}

std::string EditorProgram(const std::string& suite_folder) {
#ifdef _WIN32
  return EditorFolder(suite_folder) + "/" + kTargetModel + ".exe";
#else
  return EditorFolder(suite_folder) + "/" + kTargetModel;
#endif
}

void LaunchEditor(const std::string& device_path, ProcessStarter& starter,
                  const std::string& suite_folder) {
  starter.StartDetached(EditorProgram(suite_folder), {device_path}, EditorFolder(suite_folder));
}

}  // namespace rq700
