#pragma once

// The items of the SPI block-protect combo box.

#include <cstdint>
#include <string>
#include <vector>

namespace families::serial {

// " None", the upper quarter, the upper half and the whole array of a
// device of `size` bytes; the width of the last item's start address
// follows the Tag range (1, 2 or 3 address bytes).
std::vector<std::string> BlockProtectItems(uint32_t size, int tag);

}  // namespace families::serial
