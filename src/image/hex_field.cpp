#include "image/hex_field.h"

#include "image/hex_digits.h"

namespace image {

namespace {
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
}  // namespace

bool ParseHexField(std::string_view text, uint32_t& value) {
  size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  // "0x" is a prefix only when a digit follows; "0x" alone reads as 0.
  if (i + 2 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
      HexNibble(text[i + 2]) >= 0) {
    i += 2;
  }
  if (i >= text.size() || HexNibble(text[i]) < 0) return false;
  uint32_t v = 0;
  for (; i < text.size(); ++i) {
    const int d = HexNibble(text[i]);
    if (d < 0) break;
    v = (v << 4) | static_cast<uint32_t>(d);
  }
  value = v;
  return true;
}

}  // namespace image
