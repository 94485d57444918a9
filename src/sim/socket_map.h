#pragma once

// How a byte-wide memory's pins meet the board's address lines in the
// 32-pin socket. The board's lines follow a 27C-series EPROM's pinout; parts
// of another pinout see some of them on other pins:
//  - kDirect: chip address line n is board line n, as far as the part has
//    address pins (the lines above its size reach pins the switches give
//    to other signals).
//  - kScrambled: the EEPROMs, RAMs and NVRAMs whose WE# sits where a
//    27C010 has A14 (socket pin 29). Board A14 reaches that pin, which the
//    switches give to the program line instead, so the part's own A14 is
//    wired to board A15 and (32-pin parts) its A15 to board A18. Lines A0
//    to A13, A16 and A17 go straight through.
// A second chip select that must be held high (CS2 of a 6264 on board A13,
// of a 628128 on board A17) is a board line too.

#include <cstdint>

namespace sim {

struct SocketMap {
  enum class Layout { kDirect, kScrambled };

  Layout layout = Layout::kDirect;
  uint32_t size = 0;     // addressable units of the part (a power of two, or the cells)
  int select_line = -1;  // board line of an active-high chip select; -1: none

  // The part's own address for a board address.
  uint32_t ChipAddress(uint32_t board) const {
    uint32_t chip = board;
    if (layout == Layout::kScrambled) {
      chip = (board & 0x33FFFu) | ((board >> 1) & 0x4000u) | ((board >> 3) & 0x8000u);
    }
    return size == 0 ? chip : chip % size;
  }
  // Whether the part is selected at all.
  bool Selected(uint32_t board) const {
    return select_line < 0 || ((board >> select_line) & 1u) != 0;
  }
};

}  // namespace sim
