#include "link/device_enum.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "link/socket_port.h"

namespace rq700 {
namespace {

namespace fs = std::filesystem;

class DeviceEnumTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("rq700-enum-test-" + std::to_string(getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  fs::path dir_;
};

TEST_F(DeviceEnumTest, AnnouncedDevicesAreListedInNameOrderWithTheirIds) {
  SocketListener a, b;
  ASSERT_TRUE(a.Listen((dir_ / "a.sock").string()));
  ASSERT_TRUE(b.Listen((dir_ / "b.sock").string()));
  ASSERT_TRUE(AnnounceVirtualDevice((dir_ / "b.device").string(),
                                    {"emu:" + (dir_ / "b.sock").string(), 0x0483, 0x5750, 0x00C8}));
  ASSERT_TRUE(AnnounceVirtualDevice((dir_ / "a.device").string(),
                                    {"emu:" + (dir_ / "a.sock").string(), 0x0483, 0x5703, 0x00C9}));
  auto entries = EnumerateVirtualDevices(dir_.string());
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].path, "emu:" + (dir_ / "a.sock").string());
  EXPECT_EQ(entries[0].vendor_id, 0x0483);
  EXPECT_EQ(entries[0].product_id, 0x5703);
  EXPECT_EQ(entries[0].release_number, 0x00C9);
  EXPECT_EQ(entries[1].product_id, 0x5750);

  // Withdrawn, or left behind by an emulator whose socket is gone: not listed.
  EXPECT_TRUE(WithdrawVirtualDevice((dir_ / "b.device").string()));
  a.Close();
  EXPECT_TRUE(EnumerateVirtualDevices(dir_.string()).empty());
}

TEST_F(DeviceEnumTest, BrokenAnnouncementsAreSkipped) {
  SocketListener s;
  ASSERT_TRUE(s.Listen((dir_ / "s.sock").string()));
  std::ofstream(dir_ / "1.device") << "garbage\n";
  std::ofstream(dir_ / "2.device")
      << "path=emu:" << (dir_ / "s.sock").string() << "\nvendor=zz\nproduct=0x5703\n";
  std::ofstream(dir_ / "3.device") << "path=emu:" << (dir_ / "s.sock").string()
                                   << "\nvendor=1155\nproduct=0x5703\nrelease=200\n";
  auto entries = EnumerateVirtualDevices(dir_.string());
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].vendor_id, 0x0483);
  EXPECT_EQ(entries[0].release_number, 0x00C8);
  EXPECT_TRUE(EnumerateVirtualDevices((dir_ / "missing").string()).empty());
}

TEST(EmulatorDirectoryTest, FollowsTheEnvironment) {
  setenv("RQ700_EMU_DIR", "/x/emu", 1);
  EXPECT_EQ(EmulatorDirectory(), "/x/emu");
  unsetenv("RQ700_EMU_DIR");
  setenv("XDG_RUNTIME_DIR", "/run/user/77", 1);
  EXPECT_EQ(EmulatorDirectory(), "/run/user/77/rq700-emu");
  unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(EmulatorDirectory(),
            (fs::temp_directory_path() / ("rq700-emu-" + std::to_string(getuid()))).string());
}

// The /tmp fallback is shared by every local user: only a folder of the user's own that
// nobody else can write to is used, so an announcement planted by another user leads
// nowhere, for detection and for the emulator alike.
TEST_F(DeviceEnumTest, FallbackFolderIsUsedOnlyWhenItIsTheUsersAlone) {
  unsetenv("RQ700_EMU_DIR");
  unsetenv("XDG_RUNTIME_DIR");
  setenv("TMPDIR", dir_.c_str(), 1);
  const fs::path fallback = dir_ / ("rq700-emu-" + std::to_string(getuid()));
  ASSERT_EQ(TrustedEmulatorDirectory(true), fallback.string());
  EXPECT_EQ(fs::symlink_status(fallback).permissions() & fs::perms::all, fs::perms::owner_all);

  SocketListener socket;
  ASSERT_TRUE(socket.Listen((fallback / "s.sock").string()));
  ASSERT_TRUE(AnnounceVirtualDevice((fallback / "s.device").string(),
                                    {"emu:" + (fallback / "s.sock").string(), 0x0483, 0x5703, 0}));
  auto virtual_devices = [] {
    int n = 0;
    for (const DeviceEntry& e : EnumerateDevices()) n += e.path.rfind("emu:", 0) == 0;
    return n;
  };
  EXPECT_EQ(virtual_devices(), 1);

  auto ignored = [&](const char* why) {
    EXPECT_EQ(TrustedEmulatorDirectory(true), "") << why;
    EXPECT_EQ(virtual_devices(), 0) << why;
  };
  fs::permissions(fallback, fs::perms::others_write | fs::perms::group_write,
                  fs::perm_options::add);
  ignored("writable by others");
  fs::permissions(fallback, fs::perms::owner_all, fs::perm_options::replace);
  fs::rename(fallback, dir_ / "elsewhere");
  fs::create_directory_symlink(dir_ / "elsewhere", fallback);
  ignored("a link");
  fs::remove(fallback);
  fs::rename(dir_ / "elsewhere", fallback);
  if (geteuid() == 0) {
    ASSERT_EQ(chown(fallback.c_str(), 65534, 65534), 0);
    ignored("another user's");
  }
  unsetenv("TMPDIR");
}

}  // namespace
}  // namespace rq700
