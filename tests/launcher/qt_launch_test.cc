// The editor really starts from the launcher's folder, in its own folder, with the path.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "launcher/launch.h"
#include "launcher/qt_launcher_shell.h"
#include "launcher/suite_folders.h"

namespace rq700 {
namespace {

namespace fs = std::filesystem;

TEST(QtLaunchTest, EditorStartsInItsFolderWithThePathAsItsOneArgument) {
  const fs::path dir =
      fs::canonical(fs::temp_directory_path()) / ("rq700-launch-" + std::to_string(getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir / "ZORVA_RQ700");
  const fs::path editor = dir / "ZORVA_RQ700" / "ZORVA_RQ700";
  {
    std::ofstream script(editor);
    script << "#!/bin/sh\n"
              "{ pwd; echo \"$#\"; echo \"$1\"; } > started.tmp && mv started.tmp started\n";
  }
  fs::permissions(editor, fs::perms::owner_all);
  const fs::path before = fs::current_path();
  fs::current_path(dir);

  QtProcessStarter starter;
  LaunchEditor("emu:/tmp/some dir/rq700.sock", starter);
  const fs::path report = dir / "ZORVA_RQ700" / "started";
  for (int i = 0; i < 500 && !fs::exists(report); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  fs::current_path(before);
  ASSERT_TRUE(fs::exists(report));
  std::ifstream in(report);
  std::string folder, count, path;
  std::getline(in, folder);
  std::getline(in, count);
  std::getline(in, path);
  EXPECT_EQ(folder, (dir / "ZORVA_RQ700").string());
  EXPECT_EQ(count, "1");
  EXPECT_EQ(path, "emu:/tmp/some dir/rq700.sock");

  // A missing editor is no error the launcher reports or stumbles over.
  fs::current_path(dir / "ZORVA_RQ700");
  LaunchEditor("emu:/nowhere", starter);
  fs::current_path(before);
  fs::remove_all(dir);
}

// An editor stand-in that notes the folder it runs in.
void WriteEditor(const fs::path& suite) {
  fs::create_directories(suite / "ZORVA_RQ700");
  std::ofstream(suite / "ZORVA_RQ700" / "ZORVA_RQ700")
      << "#!/bin/sh\npwd > started.tmp && mv started.tmp started\n";
  fs::permissions(suite / "ZORVA_RQ700" / "ZORVA_RQ700", fs::perms::owner_all);
}
// True once the stand-in in `suite` has run (within five seconds).
bool Started(const fs::path& suite) {
  for (int i = 0; i < 500; ++i) {
    if (fs::exists(suite / "ZORVA_RQ700" / "started")) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

TEST(QtLaunchTest, TheSuiteBesideTheLauncherIsFoundFromAnyFolder) {
  const fs::path dir =
      fs::canonical(fs::temp_directory_path()) / ("rq700-suite-" + std::to_string(getpid()));
  fs::remove_all(dir);
  // An editor also lies below the current directory: the one beside the launcher wins.
  WriteEditor(dir / "suite");
  WriteEditor(dir / "elsewhere");
  const SuiteFolders folders = FindSuiteFolders((dir / "suite").string(), "/home/u/.local/share");
  EXPECT_EQ(folders.suite, (dir / "suite").string());
  EXPECT_EQ(folders.FirmwareFolder(), (dir / "suite" / "Firmware").string() + "/");
  EXPECT_EQ(folders.user_firmware, "/home/u/.local/share/rq700-suite/Firmware/");

  const fs::path before = fs::current_path();
  fs::current_path(dir / "elsewhere");
  QtProcessStarter starter;
  LaunchEditor("emu:/tmp/rq700.sock", starter, folders.suite);
  const bool started = Started(dir / "suite");
  fs::current_path(before);
  ASSERT_TRUE(started);
  std::ifstream in(dir / "suite" / "ZORVA_RQ700" / "started");
  std::string folder;
  std::getline(in, folder);
  EXPECT_EQ(folder, (dir / "suite" / "ZORVA_RQ700").string());
  EXPECT_FALSE(fs::exists(dir / "elsewhere" / "ZORVA_RQ700" / "started"));

  // A launcher without the editor beside it keeps to the current directory; without a
  // data folder there is no user folder.
  const SuiteFolders here = FindSuiteFolders((dir / "elsewhere" / "ZORVA_RQ700").string(), "");
  EXPECT_EQ(here.suite, ".");
  EXPECT_EQ(here.ImageFolder(), "./img/");
  EXPECT_EQ(here.user_firmware, "");
  fs::remove_all(dir);
}

}  // namespace
}  // namespace rq700
