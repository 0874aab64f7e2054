#include "fuzz/fuzz_targets.h"

#include <sys/mman.h>
#include <unistd.h>

#include <string>

namespace rq700::fuzz {

namespace {

constexpr FuzzTarget kTargets[] = {
    {"packets", FuzzPackets, PacketSeeds},
    {"preset_file", FuzzPresetFile, PresetFileSeeds},
    {"backup", FuzzBackup, BackupSeeds},
    {"wav", FuzzWav, WavSeeds},
    {"amp", FuzzAmp, AmpSeeds},
    {"firmware", FuzzFirmware, FirmwareSeeds},
    {"update_replies", FuzzUpdateReplies, UpdateReplySeeds},
};

}  // namespace

std::span<const FuzzTarget> FuzzTargets() { return kTargets; }

const FuzzTarget* FindFuzzTarget(std::string_view name) {
  for (const FuzzTarget& t : kTargets) {
    if (name == t.name) return &t;
  }
  return nullptr;
}

const char* MemoryFile(const uint8_t* data, size_t size) {
  // Opening /proc/self/fd/N gives the reader its own offset into the same memory file.
  thread_local int fd = -1;
  thread_local std::string path;
  if (fd < 0) {
    fd = ::memfd_create("rq700-fuzz", MFD_CLOEXEC);
    FUZZ_CHECK(fd >= 0);
    path = "/proc/self/fd/" + std::to_string(fd);
  }
  FUZZ_CHECK(::ftruncate(fd, 0) == 0);
  size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pwrite(fd, data + done, size - done, static_cast<off_t>(done));
    FUZZ_CHECK(n > 0);
    done += static_cast<size_t>(n);
  }
  return path.c_str();
}

}  // namespace rq700::fuzz
