#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "catalog/models.h"
#include "catalog/modules.h"
#include "catalog/version_label.h"

namespace rq700::catalog {
namespace {

// A name replaced on one thread while another draws it is seen whole, old or new.
TEST(CatalogNamesThreads, ReplacedNamesAreNeverSeenHalfDone) {
  UserSlotNames slots;
  VersionLabel version;
  const std::string a = "AAAAAAAAAAAAAAA";
  const std::string b = "BB";
  std::atomic<bool> stop{false};
  std::thread writer([&] {
    uint8_t block[kSlotBlockSize] = {};
    for (int i = 0; i < 2000; ++i) {
      const std::string& name = (i % 2) ? a : b;
      slots.SetAmpName(1, name);
      std::fill(std::begin(block), std::end(block), 0);
      std::copy(name.begin(), name.end(), block);
      slots.SetIrNamesFromBlock(block);
      version.Set(i % 2 ? "Version 1.0.0" : "Version 2.2.2");
    }
    stop = true;
  });
  int reads = 0;
  while (!stop || reads < 100) {
    std::string amp = slots.ModelName(kAmp, 56);
    std::string ir = slots.IrName(1);
    std::string v = version.Get();
    ASSERT_TRUE(amp == a || amp == b || amp == "EMPTY") << amp;
    ASSERT_TRUE(ir == a || ir == b || ir == "IR-1") << ir;
    ASSERT_TRUE(v == "Version 1.0.0" || v == "Version 2.2.2" || v == "Version 2.0.0") << v;
    ++reads;
  }
  writer.join();
}

}  // namespace
}  // namespace rq700::catalog
