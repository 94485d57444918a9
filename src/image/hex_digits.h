#pragma once

// Table-driven hexadecimal conversion for the text formats: one lookup per
// character when reading, one two-character copy per byte when writing.

#include <array>
#include <cstdint>

namespace image {

namespace detail {
constexpr std::array<int8_t, 256> MakeNibbleTable() {
  std::array<int8_t, 256> t{};
  for (auto& v : t) v = -1;
  for (int c = '0'; c <= '9'; ++c) t[c] = static_cast<int8_t>(c - '0');
  for (int c = 'A'; c <= 'F'; ++c) t[c] = static_cast<int8_t>(c - 'A' + 10);
  for (int c = 'a'; c <= 'f'; ++c) t[c] = static_cast<int8_t>(c - 'a' + 10);
  return t;
}
// Byte value -> its two upper-case digits.
constexpr std::array<char, 512> MakePairTable() {
  constexpr char kDigits[] = "0123456789ABCDEF";
  std::array<char, 512> t{};
  for (int b = 0; b < 256; ++b) {
    t[2 * b] = kDigits[b >> 4];
    t[2 * b + 1] = kDigits[b & 15];
  }
  return t;
}
inline constexpr std::array<int8_t, 256> kNibble = MakeNibbleTable();
inline constexpr std::array<char, 512> kPairs = MakePairTable();
}  // namespace detail

// 0..15, or -1 for a character that is not a hexadecimal digit.
inline int HexNibble(char c) { return detail::kNibble[static_cast<uint8_t>(c)]; }

// Two digits at p as a byte 0..255, or -1 when either is not a digit.
// The caller guarantees two readable characters.
inline int HexByte(const char* p) {
  const int hi = HexNibble(p[0]);
  const int lo = HexNibble(p[1]);
  return (hi | lo) < 0 ? -1 : (hi << 4) | lo;
}

// Writes the two upper-case digits of b at out; returns out + 2.
inline char* PutHexByte(char* out, uint8_t b) {
  out[0] = detail::kPairs[2 * b];
  out[1] = detail::kPairs[2 * b + 1];
  return out + 2;
}

}  // namespace image
