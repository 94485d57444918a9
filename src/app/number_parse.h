#pragma once

// Numbers as the command line takes them: 0x (or 0X) and hexadecimal
// digits, or decimal digits. Leading zeros are decimal, never octal, so
// "010" is ten.

#include <cstdint>
#include <string>
#include <string_view>

namespace app {

// The whole of `text` as a number; false for anything else (a sign, blanks,
// trailing characters, no digit) and for a value beyond 64 bits.
bool ParseNumber(std::string_view text, uint64_t& value);

// The same, range-checked (0 <= min <= max: a sign is never taken). Returns
// an empty string and sets `value`, or the error text naming `what` and the
// range; `value` is then left alone.
std::string ParseNumberInRange(std::string_view text, std::string_view what, int64_t min,
                               int64_t max, int64_t& value);

// A number that may carry a sign ("-0xE000", "+16", "-8"), range-checked
// with min <= max on either side of 0. Errors as ParseNumberInRange's.
std::string ParseSignedNumberInRange(std::string_view text, std::string_view what, int64_t min,
                                     int64_t max, int64_t& value);

// A hexadecimal field of the command line: hexadecimal digits with or
// without 0x ("1A2" is 0x1A2), range-checked (0 <= min <= max). Errors
// name `what` and the range in hexadecimal.
std::string ParseHexInRange(std::string_view text, std::string_view what, int64_t min, int64_t max,
                            int64_t& value);

// A bound as ParseNumberInRange's errors show it: hexadecimal from 0x10000 on
// (either sign).
std::string NumberText(int64_t value);

}  // namespace app
