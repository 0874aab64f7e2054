#include "catalog/value_format.h"

#include <cstdlib>

namespace rq700::catalog {

namespace {
constexpr std::string_view kLevelLabels[kSystemLevelCount] = {
    "-\u221E"
    "dB",
    "-60dB",
    "-45dB",
    "-35dB",
    "-30dB",
    "-25dB",
    "-20dB",
    "-10dB",
    "-05dB",
    "0dB",
    "0.5dB",
    "1.0dB",
    "1.5dB",
    "2.0dB",
    "2.5dB",
    "3.0dB",
    "3.5dB",
    "4.0dB",
    "4.5dB",
    "5.0dB",
    "5.5dB",
    "6.0dB"};
}  // namespace

std::string FormatPlain(int value) { return std::to_string(value); }

std::string FormatEqGainDb(int value) {
  const int db = value - 12;
  return (value > 12 ? "+" : "") + std::to_string(db) + "dB";
}

std::string FormatCustomEqGain(int value) { return std::to_string(value - 12); }

std::string FormatTenths(int tenths) {
  const int magnitude = std::abs(tenths);
  return (tenths < 0 ? "-" : "") + std::to_string(magnitude / 10) + "." +
         std::to_string(magnitude % 10);
}

std::string FormatPercent(int value) { return std::to_string(value) + "%"; }

std::string_view SystemLevelLabel(int step) {
  if (step < 0 || step >= kSystemLevelCount) return {};
  return kLevelLabels[step];
}

int ClampDelayTime(int ms) {
  if (ms < kDelayTimeMin) return kDelayTimeMin;
  if (ms > kDelayTimeMax) return kDelayTimeMax;
  return ms;
}

int ClampEqFrequency(int hz) { return hz < kEqFrequencyMin ? kEqFrequencyMin : hz; }

}  // namespace rq700::catalog
