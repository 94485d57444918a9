#include "app/number_parse.h"

#include <cstdio>
#include <limits>

namespace app {

bool ParseNumber(std::string_view text, uint64_t& value) {
  unsigned base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return false;
  uint64_t v = 0;
  for (const char c : text) {
    unsigned digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<unsigned>(c - '0');
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = static_cast<unsigned>(c - 'a' + 10);
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = static_cast<unsigned>(c - 'A' + 10);
    } else {
      return false;
    }
    if (v > (std::numeric_limits<uint64_t>::max() - digit) / base) return false;
    v = v * base + digit;
  }
  value = v;
  return true;
}

std::string NumberText(int64_t value) {
  char text[32];
  const unsigned long long magnitude = value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                                                 : static_cast<unsigned long long>(value);
  if (magnitude >= 0x10000) {
    std::snprintf(text, sizeof text, "%s0x%llX", value < 0 ? "-" : "", magnitude);
  } else {
    std::snprintf(text, sizeof text, "%lld", static_cast<long long>(value));
  }
  return text;
}

std::string ParseSignedNumberInRange(std::string_view text, std::string_view what, int64_t min,
                                     int64_t max, int64_t& value) {
  std::string_view digits = text;
  const bool negative = !digits.empty() && digits.front() == '-';
  if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) digits.remove_prefix(1);
  uint64_t v = 0;
  constexpr uint64_t kLimit = uint64_t{1} << 62;  // far beyond any range asked for
  if (ParseNumber(digits, v) && v < kLimit) {
    const int64_t signed_value = negative ? -static_cast<int64_t>(v) : static_cast<int64_t>(v);
    if (signed_value >= min && signed_value <= max) {
      value = signed_value;
      return {};
    }
  }
  return std::string(what) + " must be a number from " + NumberText(min) + " to " +
         NumberText(max) + " (0x.. or decimal, with - below 0), not \"" + std::string(text) + "\"";
}

std::string ParseHexInRange(std::string_view text, std::string_view what, int64_t min, int64_t max,
                            int64_t& value) {
  std::string_view digits = text;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    digits.remove_prefix(2);
  }
  uint64_t v = 0;
  bool ok = !digits.empty() && digits.size() <= 16;
  for (const char c : digits) {
    if (!ok) break;
    unsigned digit = 0;
    if (c >= '0' && c <= '9') {
      digit = static_cast<unsigned>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
      digit = static_cast<unsigned>(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'F') {
      digit = static_cast<unsigned>(c - 'A' + 10);
    } else {
      ok = false;
      break;
    }
    v = v << 4 | digit;
  }
  if (ok && min >= 0 && v >= static_cast<uint64_t>(min) && v <= static_cast<uint64_t>(max)) {
    value = static_cast<int64_t>(v);
    return {};
  }
  char range[64];
  std::snprintf(range, sizeof range, "0x%llX to 0x%llX", static_cast<unsigned long long>(min),
                static_cast<unsigned long long>(max));
  return std::string(what) + " must be a hexadecimal number from " + range + ", not \"" +
         std::string(text) + "\"";
}

std::string ParseNumberInRange(std::string_view text, std::string_view what, int64_t min,
                               int64_t max, int64_t& value) {
  uint64_t v = 0;
  if (ParseNumber(text, v) && min >= 0 && v >= static_cast<uint64_t>(min) &&
      v <= static_cast<uint64_t>(max)) {
    value = static_cast<int64_t>(v);
    return {};
  }
  return std::string(what) + " must be a number from " + NumberText(min) + " to " +
         NumberText(max) + " (0x.. or decimal), not \"" + std::string(text) + "\"";
}

}  // namespace app
