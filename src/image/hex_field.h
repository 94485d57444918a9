#pragma once

#include <cstdint>
#include <string_view>

namespace image {

// Reads a hexadecimal field the way every hex edit field of the product
// does: optional leading blanks, an optional 0x or 0X prefix, then the
// longest run of hexadecimal digits in either case, of which the low 32 bits
// are kept. Returns false and leaves `value` alone when there is no digit.
bool ParseHexField(std::string_view text, uint32_t& value);

}  // namespace image
