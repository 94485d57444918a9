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

// A bound as ParseNumberInRange's errors show it: hexadecimal from 0x10000 on.
std::string NumberText(int64_t value);

}  // namespace app
