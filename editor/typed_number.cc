#include "editor/typed_number.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>

namespace rq700 {
namespace {

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Position of the first digit (or whatever stands there) after white space and a sign.
size_t SkipSpaceAndSign(std::string_view text, bool* negative) {
  size_t i = 0;
  while (i < text.size() && IsSpace(text[i])) ++i;
  *negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    *negative = text[i] == '-';
    ++i;
  }
  return i;
}

size_t SkipDigits(std::string_view text, size_t i) {
  while (i < text.size() && IsDigit(text[i])) ++i;
  return i;
}

}  // namespace

int ReadTypedInteger(std::string_view text) {
  bool negative = false;
  size_t i = SkipSpaceAndSign(text, &negative);
  // One past the largest magnitude: enough to saturate either way without overflowing.
  constexpr int64_t kCap = int64_t{std::numeric_limits<int>::max()} + 1;
  int64_t magnitude = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > kCap) magnitude = kCap;
  }
  if (negative) return static_cast<int>(-magnitude);
  return static_cast<int>(magnitude == kCap ? kCap - 1 : magnitude);
}

double ReadTypedReal(std::string_view text) {
  bool negative = false;
  const size_t start = SkipSpaceAndSign(text, &negative);
  size_t end = SkipDigits(text, start);
  size_t digits = end - start;
  if (end < text.size() && text[end] == '.') {
    const size_t fraction = end + 1;
    end = SkipDigits(text, fraction);
    digits += end - fraction;
  }
  if (digits == 0) return 0.0;
  // An exponent counts only with at least one digit: "2e" reads as 2.
  bool tiny = false;
  if (end < text.size() && (text[end] == 'e' || text[end] == 'E')) {
    size_t i = end + 1;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) tiny = text[i++] == '-';
    if (i < text.size() && IsDigit(text[i])) end = SkipDigits(text, i);
  }
  double value = 0.0;
  const auto result = std::from_chars(text.data() + start, text.data() + end, value);
  if (result.ec == std::errc::result_out_of_range) value = tiny ? 0.0 : HUGE_VAL;
  return negative ? -value : value;
}

}  // namespace rq700
