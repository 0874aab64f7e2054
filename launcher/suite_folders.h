#ifndef RQ700_LAUNCHER_SUITE_FOLDERS_H_
#define RQ700_LAUNCHER_SUITE_FOLDERS_H_

#include <string>

namespace rq700 {

// Where the launcher finds its data, the editor and the firmware images.
struct SuiteFolders {
  // Holds img/, icons/, Firmware/ and the editor's folder; "." is the current directory.
  std::string suite = ".";
  // The user's own firmware images, beside the suite's (an installed suite's folder is
  // read-only); empty for none.
  std::string user_firmware;

  std::string ImageFolder() const { return suite + "/img/"; }
  std::string FirmwareFolder() const { return suite + "/Firmware/"; }
  std::string IconFile(const std::string& name) const { return suite + "/icons/" + name; }
};

// `own_folder` (the folder of the launcher's executable, links resolved) when the editor
// lies beside it: an installed suite, or build/dist/ started from anywhere. Otherwise the
// current directory, where a suite laid out by hand keeps working. `data_home` is the
// user's data folder ($XDG_DATA_HOME, else ~/.local/share); empty when unknown.
SuiteFolders FindSuiteFolders(const std::string& own_folder, const std::string& data_home);

}  // namespace rq700

#endif  // RQ700_LAUNCHER_SUITE_FOLDERS_H_
