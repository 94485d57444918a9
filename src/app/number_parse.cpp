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
  if (value >= 0x10000) {
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
  } else {
    std::snprintf(text, sizeof text, "%lld", static_cast<long long>(value));
  }
  return text;
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
