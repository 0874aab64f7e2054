#ifndef RQ700_EDITOR_TYPED_NUMBER_H_
#define RQ700_EDITOR_TYPED_NUMBER_H_

// Numbers read from what the user typed into the value entry box, the lenient way the
// editor has always read them: leading white space, an optional sign, then as many digits
// as follow; reading stops at the first other character, and text with no number reads
// as 0. Independent of the process locale (a full stop is always the decimal point).

#include <string_view>

namespace rq700 {

// A whole number. Beyond the range of int it is the nearest end of that range.
int ReadTypedInteger(std::string_view text);

// A real number: digits, an optional fraction after a full stop and an optional exponent
// ("e" or "E", a sign, digits). Out of range: plus or minus infinity, or 0 for underflow.
double ReadTypedReal(std::string_view text);

}  // namespace rq700

#endif  // RQ700_EDITOR_TYPED_NUMBER_H_
