#ifndef RQ700_FUZZ_FUZZ_TARGETS_H_
#define RQ700_FUZZ_FUZZ_TARGETS_H_

// The coverage-guided fuzz targets: one entry per input the suite takes from outside
// (the device's packet stream, the files a user opens, the update loader's replies). The
// same entries run under libFuzzer (fuzz/libfuzzer_main.cc) and in the ordinary test build,
// which replays the kept crash inputs and the seeds through them.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string_view>
#include <vector>

namespace rq700::fuzz {

using Input = std::vector<uint8_t>;

struct FuzzTarget {
  const char* name;
  // Runs one input; a broken rule aborts (FUZZ_CHECK), so libFuzzer keeps the input.
  void (*run)(const uint8_t* data, size_t size);
  // Valid inputs made by the suite's own writers and by the virtual device.
  std::vector<Input> (*seeds)();
};

std::span<const FuzzTarget> FuzzTargets();
const FuzzTarget* FindFuzzTarget(std::string_view name);

// The targets, one per file.
void FuzzPackets(const uint8_t* data, size_t size);
std::vector<Input> PacketSeeds();
void FuzzPresetFile(const uint8_t* data, size_t size);
std::vector<Input> PresetFileSeeds();
void FuzzBackup(const uint8_t* data, size_t size);
std::vector<Input> BackupSeeds();
void FuzzWav(const uint8_t* data, size_t size);
std::vector<Input> WavSeeds();
void FuzzAmp(const uint8_t* data, size_t size);
std::vector<Input> AmpSeeds();
void FuzzFirmware(const uint8_t* data, size_t size);
std::vector<Input> FirmwareSeeds();
void FuzzUpdateReplies(const uint8_t* data, size_t size);
std::vector<Input> UpdateReplySeeds();

// Bytes held in a file that lives in memory only, for readers that take a path. One per
// thread; each call replaces the previous contents and returns the path to open.
const char* MemoryFile(const uint8_t* data, size_t size);

}  // namespace rq700::fuzz

// A rule every accepted input must keep; a broken one is a finding.
#define FUZZ_CHECK(cond)                                                           \
  do {                                                                             \
    if (!(cond)) {                                                                 \
      std::fprintf(stderr, "%s:%d: broken rule: %s\n", __FILE__, __LINE__, #cond); \
      std::abort();                                                                \
    }                                                                              \
  } while (0)

#endif  // RQ700_FUZZ_FUZZ_TARGETS_H_
