// rq700-fuzz-seeds TARGET FOLDER: writes the seed inputs of a fuzz target into FOLDER,
// one file each (seed-N), made by the suite's own writers and its virtual device.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "fuzz/fuzz_targets.h"

int main(int argc, char** argv) {
  using namespace rq700::fuzz;
  if (argc != 3) {
    std::fprintf(stderr, "usage: rq700-fuzz-seeds TARGET FOLDER\n");
    return 2;
  }
  const FuzzTarget* target = FindFuzzTarget(argv[1]);
  if (target == nullptr) {
    std::fprintf(stderr, "rq700-fuzz-seeds: no target '%s'; targets:", argv[1]);
    for (const FuzzTarget& t : FuzzTargets()) std::fprintf(stderr, " %s", t.name);
    std::fprintf(stderr, "\n");
    return 2;
  }
  std::error_code ec;
  std::filesystem::create_directories(argv[2], ec);
  int n = 0;
  for (const Input& seed : target->seeds()) {
    const std::string path = std::string(argv[2]) + "/seed-" + std::to_string(n++);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(seed.data()),
              static_cast<std::streamsize>(seed.size()));
    if (!out) {
      std::fprintf(stderr, "rq700-fuzz-seeds: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  std::printf("%d seeds for %s in %s\n", n, target->name, argv[2]);
  return 0;
}
