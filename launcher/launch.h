#ifndef RQ700_LAUNCHER_LAUNCH_H_
#define RQ700_LAUNCHER_LAUNCH_H_

#include <string>
#include <vector>

namespace rq700 {

// Starts a program without waiting for it. The Qt implementation lives with main; tests
// record what they are asked to start.
class ProcessStarter {
 public:
  virtual ~ProcessStarter() = default;
  // `program` and `working_folder` are relative to the launcher's current directory.
  virtual bool StartDetached(const std::string& program, const std::vector<std::string>& args,
                             const std::string& working_folder) = 0;
};

// The editor, named after the model, in a folder of the same name below the suite's
// folder (the current directory by default): "./ZORVA_RQ700/ZORVA_RQ700" (".exe" on
// Windows), run in "./ZORVA_RQ700".
std::string EditorProgram(const std::string& suite_folder = ".");
std::string EditorFolder(const std::string& suite_folder = ".");

// Starts the editor with the device path as its one argument and does not wait for it.
// A failure to start is not reported: the launcher ends either way.
void LaunchEditor(const std::string& device_path, ProcessStarter& starter,
                  const std::string& suite_folder = ".");

}  // namespace rq700

#endif  // RQ700_LAUNCHER_LAUNCH_H_
