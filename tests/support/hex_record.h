// One Intel HEX record as text (without the line end), for tests that write
// a file by hand to load or look for a record in what was saved.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace daraz_test {

inline std::string HexRecord(uint16_t address, uint8_t type, const std::vector<uint8_t>& data) {
  std::vector<uint8_t> bytes = {static_cast<uint8_t>(data.size()),
                                static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(address),
                                type};
  bytes.insert(bytes.end(), data.begin(), data.end());
  unsigned sum = 0;
  std::string line = ":";
  char hex[3];
  for (const uint8_t b : bytes) {
    sum += b;
    std::snprintf(hex, sizeof hex, "%02X", b);
    line += hex;
  }
  std::snprintf(hex, sizeof hex, "%02X", (0x100 - (sum & 0xFF)) & 0xFF);
  return line + hex;
}

}  // namespace daraz_test
