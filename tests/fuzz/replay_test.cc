// Every fuzz target run on its seeds and on every input a fuzz run once found, through the
// same entries libFuzzer calls. A broken rule aborts the program; the AddressSanitizer
// build sees what the ordinary build cannot.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "files/amp_file.h"
#include "files/backup_reader.h"
#include "files/firmware_image.h"
#include "files/preset_file.h"
#include "files/wav_reader.h"
#include "fuzz/fuzz_targets.h"

namespace rq700::fuzz {
namespace {

TEST(FuzzReplay, SeedsAndKeptFindingsOfEveryTarget) {
  int kept = 0;
  for (const FuzzTarget& target : FuzzTargets()) {
    SCOPED_TRACE(target.name);
    const std::vector<Input> seeds = target.seeds();
    EXPECT_FALSE(seeds.empty());
    for (const Input& seed : seeds) {
      EXPECT_FALSE(seed.empty());
      target.run(seed.data(), seed.size());
      // Every cut of a seed too: the readers meet short files and streams daily.
      for (size_t cut = 1; cut < seed.size(); cut += 1 + seed.size() / 16) {
        target.run(seed.data(), cut);
      }
    }
    const std::filesystem::path folder =
        std::filesystem::path(RQ700_FUZZ_REGRESSIONS) / target.name;
    if (!std::filesystem::is_directory(folder)) continue;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      std::ifstream in(entry.path(), std::ios::binary);
      const Input bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      target.run(bytes.data(), bytes.size());
      ++kept;
    }
  }
  RecordProperty("kept_findings", kept);
}

TEST(FuzzReplay, FileSeedsPassTheirReaders) {
  // A refused seed would leave the fuzzer to find the format from nothing.
  auto seeds = [](const char* name) { return FindFuzzTarget(name)->seeds(); };
  for (const Input& seed : seeds("wav")) {
    files::WavReader wav;
    EXPECT_TRUE(wav.ReadBytes(seed, "seed.wav"));
  }
  for (const Input& seed : seeds("amp")) {
    files::AmpFile amp;
    EXPECT_TRUE(amp.ReadBytes(seed, "seed.amp"));
  }
  for (const Input& seed : seeds("firmware")) {
    files::FirmwareImage image;
    EXPECT_EQ(image.OpenBytes(seed), seed.size()) << image.error();
  }
  for (const Input& seed : seeds("preset_file")) {
    files::CPresetFileRq700 file;
    int error = -1;
    EXPECT_TRUE(file.Load(MemoryFile(seed.data(), seed.size()), &error)) << error;
  }
  for (const Input& seed : seeds("backup")) {
    files::BackupReader reader;
    EXPECT_TRUE(reader.Open(MemoryFile(seed.data() + 1, seed.size() - 1))) << reader.error();
  }
}

}  // namespace
}  // namespace rq700::fuzz
