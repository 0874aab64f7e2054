#include "launcher/launch.h"

#include "link/launcher_device.h"

namespace rq700 {

std::string EditorFolder() { return std::string("./") + kTargetModel; }

std::string EditorProgram() {
#ifdef _WIN32
  return EditorFolder() + "/" + kTargetModel + ".exe";
#else
  return EditorFolder() + "/" + kTargetModel;
#endif
}

void LaunchEditor(const std::string& device_path, ProcessStarter& starter) {
  starter.StartDetached(EditorProgram(), {device_path}, EditorFolder());
}

}  // namespace rq700
