#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "hw/port_io.h"

namespace hw {

// The port choice list (`cbPort`), in this order; the index is what the
// settings store keeps.
struct PortChoice {
  std::string_view text;
  uint16_t base;
};
inline constexpr std::array<PortChoice, 4> kPortChoices{{
    {"LPT1 (0x378)", 0x378},
    {"LPT2 (0x278)", 0x278},
    {"LPT3 (0x3BC)", 0x3BC},
    {"LPT4 (0xEC00)", 0xEC00},
}};

// A backend ready for use, or the reason there is none.
struct OpenResult {
  std::unique_ptr<PortIo> port;
  std::string reason;  // empty when port is set
  explicit operator bool() const { return port != nullptr; }
};

// ppdev on the /dev/parportN whose base address is `base`.
OpenResult OpenPpdevByBase(uint16_t base, const std::string& root = "");
// ppdev on an explicit device path.
OpenResult OpenPpdevDevice(const std::string& path, uint16_t base);
// Raw port I/O at `base`.
OpenResult OpenDirect(uint16_t base);

}  // namespace hw
