#pragma once

#include <array>
#include <cstdint>

namespace app {

// The six command addresses of the JEDEC flash routines, as set by default.
inline constexpr std::array<uint32_t, 6> kDefaultUnlock{0x5555, 0x2AAA, 0x5555,
                                                        0x5555, 0x2AAA, 0x5555};

// The current device, as the family handlers fill it. The device size and
// buffer offset live in the memory image; the check boxes the routines read
// (skip 0xFF, fast programming, ...) live in Controls. Comments give the
// Configs page label where there is one.
struct Descriptor {
  int family = 0;          // "eep": the family type code every action dispatches on
  int device_code = 0;     // Tag of the chosen catalogue item
  int twp = 1;             // "tWP": first pulse width / main write time, in DelayTicks
  int twc = 10;            // "tWC": write-recovery / write-cycle wait, in DelayTicks
  int add_step = 0;        // "addStep": pulse widening per retry
  bool read_level = false;    // "epr64": control bit 3 is 0 during reads when set
  bool separate_vpp = false;  // Vpp has a pin of its own (not shared with OE)
  bool scramble = false;      // "swap": addresses pass through ScrambleAddress
  bool pin28 = false;         // "pin28": socket pin 28 driven high
  bool pin30 = false;         // "pin30": socket pin 30 driven high
  bool serial = false;        // "serial": actions skip the parallel hardware check
  bool pic = false;           // "PIC": status shows the configuration word
  uint32_t page_size = 0;     // "Ssize": page, sector or buffer size in bytes
  int address_bits = 12;      // index of the highest address bit
  bool fixed_address_bits = false;
  uint32_t top_address_mask = 1u << 12;
  int switch_pattern = 0;     // "DIP": 0..42
  int socket_picture = 0;     // chip outline drawn in the socket picture
  bool vcc_3v3 = false;       // needs a 3.3 V supply
  bool jumper_warning = false;  // show the jumper-removal reminder next time
  bool board_flag = false;    // board revision group; swaps the DIP pictures
  bool sector_protect_display = false;

  // Flash families.
  int pin7 = 0;        // "pin7"
  int q_erase = 0;     // "qErase"
  int at49f00x = 0;    // "AT49F00x"
  int sequ = 0;        // "Sequ"
  std::array<uint32_t, 6> unlock = kDefaultUnlock;  // working command-address table
  bool fast_mode_flag = false;  // set by chip identification for parts with a fast mode

  // Serial / MCU families that keep a word count apart from the byte size.
  uint32_t family_size = 0;
  int lock_mode = 0;  // MCS-51 lock-bit choice 0..3

  // --- parallel EPROM / EEPROM / RAM and microcontroller families ---------
  // (fields these families' handlers and routines add go here)

  // --- flash and serial-memory families -------------------------------------
  // (fields these families' handlers and routines add go here)
};

// The fields a selection can take back (a Tag-0 item restores them).
struct SelectionBackup {
  int twc = 10, twp = 1, address_bits = 12;
  bool read_level = false;
  int family = 0;
  bool scramble = false, pin28 = false, pin30 = false, serial = false, pic = false;
  bool fixed_address_bits = false, separate_vpp = false, skip_ff = false;
  // Kept as well, so that a restart after a Tag-0 item re-selects the device.
  int device_code = 0;
};

}  // namespace app
