#include "catalog/modules.h"

#include <array>

namespace rq700::catalog {

namespace {
constexpr std::array<std::string_view, kModuleCount> kModuleNames = {
    "FX/COMP", "DS/OD", "AMP", "CAB", "NS", "EQ", "MOD", "DELAY", "REVERB"};
}  // namespace

std::string_view ModuleName(int module) {
  if (!IsModule(module)) return {};
  return kModuleNames[module - 1];
}

}  // namespace rq700::catalog
