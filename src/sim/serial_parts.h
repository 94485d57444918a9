#pragma once

// The serial memories the simulated socket can hold, with their datasheet
// timing and identification. The catalogue side (which device code is
// which part) is app/sim_socket_serial.cpp.

#include <cstdint>
#include <string_view>

#include "sim/cat64lc.h"
#include "sim/i2c_eeprom.h"
#include "sim/microwire_eeprom.h"
#include "sim/spi_eeprom.h"
#include "sim/spi_flash.h"
#include "sim/x24c44.h"

namespace sim {

enum class I2cPart { kX24C01, kOneByte, kSde2526, kTwoByte };
I2cConfig I2cPartConfig(I2cPart part, uint32_t size, uint32_t page);

MicrowireConfig MicrowirePartConfig(uint32_t size, int address_bits_x8, bool org16, bool icsp);
Cat64Config Cat64PartConfig(uint32_t size, int shift);
NvramConfig NvramPartConfig(bool words);
// `page` 0: a byte-write part (its own page is 16 bytes).
SpiEepromConfig SpiEepromPartConfig(uint32_t size, uint32_t page, bool wpen);

// The flash by its catalogue caption ("MX25L4005", "SST25VF080", ...),
// with the variant and page its catalogue row gives. A caption of no
// maker the table knows gets the common command set and no identification.
SpiFlashConfig SpiFlashPartConfig(std::string_view caption, uint32_t size, uint32_t page,
                                  SpiFlashKind kind, uint8_t aai_opcode);

}  // namespace sim
