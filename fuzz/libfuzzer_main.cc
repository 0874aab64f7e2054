// libFuzzer's entry for one target, named at build time (RQ700_FUZZ_TARGET).
#include "fuzz/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  RQ700_FUZZ_TARGET(data, size);
  return 0;
}
