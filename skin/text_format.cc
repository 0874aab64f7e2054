#include "skin/text_format.h"

#include <cstdlib>

namespace rq700 {

std::string FormatNumber(int value) { return std::to_string(value); }

std::string FormatDbLevel(int value) {
  const long long level = static_cast<long long>(value) - 12;
  return (level >= 1 ? "+" : "") + std::to_string(level) + "dB";
}

std::string FormatTenths(int value, bool wide_range) {
  const long long v = static_cast<long long>(value) - (wide_range ? 200 : 120);
  const long long whole = v / 10;
  const long long tenth = std::llabs(v % 10);
  // -5 has a whole part of 0, which would lose its sign.
  const std::string sign = (v < 0 && whole == 0) ? "-" : "";
  return sign + std::to_string(whole) + "." + std::to_string(tenth);
}

}  // namespace rq700
