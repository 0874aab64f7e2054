#ifndef RQ700_CATALOG_VALUE_FORMAT_H_
#define RQ700_CATALOG_VALUE_FORMAT_H_

#include <string>
#include <string_view>

// How the panels and pages print values. All texts are UTF-8.
namespace rq700::catalog {

inline constexpr int kDelayTimeMin = 40;    // ms
inline constexpr int kDelayTimeMax = 2500;  // ms
inline constexpr int kEqFrequencyMin = 60;  // Hz
inline constexpr int kEqFrequencyMax = 18000;
inline constexpr int kEqGainMax = 24;
inline constexpr int kSystemLevelCount = 22;

// "%d".
std::string FormatPlain(int value);
// A fixed-band EQ gain 0..24 as dB around 12: 24 -> "+12dB", 12 -> "0dB", 0 -> "-12dB".
std::string FormatEqGainDb(int value);
// A CUSTOM EQ gain: value-12 without unit.
std::string FormatCustomEqGain(int value);
// A signed value in tenths: -5 -> "-0.5", 120 -> "12.0", -120 -> "-12.0".
std::string FormatTenths(int tenths);
// "%d%%".
std::string FormatPercent(int value);
// The system page's level step 0..21 ("-∞dB" ... "6.0dB"); empty outside the table.
std::string_view SystemLevelLabel(int step);

// A stored delay time brought into 40..2500 ms before it is drawn.
int ClampDelayTime(int ms);
// A stored CUSTOM EQ frequency raised to at least 60 Hz before it is drawn.
int ClampEqFrequency(int hz);

}  // namespace rq700::catalog

#endif  // RQ700_CATALOG_VALUE_FORMAT_H_
