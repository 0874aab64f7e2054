#ifndef RQ700_SKIN_TEXT_FORMAT_H_
#define RQ700_SKIN_TEXT_FORMAT_H_

#include <string>

namespace rq700 {

// The texts of the value operations.
std::string FormatNumber(int value);
// value - 12, with a "+" when 1 or more, then "dB".
std::string FormatDbLevel(int value);
// value - 200 (wide range) or value - 120, as a signed number with one decimal place.
std::string FormatTenths(int value, bool wide_range);

}  // namespace rq700

#endif  // RQ700_SKIN_TEXT_FORMAT_H_
