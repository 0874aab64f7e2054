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

}  // namespace
}  // namespace rq700
