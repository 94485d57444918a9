#pragma once

#include <array>
#include <cstdint>
#include <vector>

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
  // tWP and tWC as the selection set them, before a timing track bar
  // overrode them: the settings panel compares with these and restores them.
  int device_twp = 1;
  int device_twc = 10;
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
  int switch_pattern = 0;       // "DIP": 0..42
  int socket_picture = 0;       // chip outline drawn in the socket picture
  bool vcc_3v3 = false;         // needs a 3.3 V supply
  bool jumper_warning = false;  // show the jumper-removal reminder next time
  bool board_flag = false;      // board revision group; swaps the DIP pictures
  bool sector_protect_display = false;

  // Flash families.
  int pin7 = 0;                                     // "pin7"
  int q_erase = 0;                                  // "qErase"
  int at49f00x = 0;                                 // "AT49F00x"
  int sequ = 0;                                     // "Sequ"
  std::array<uint32_t, 6> unlock = kDefaultUnlock;  // working command-address table
  bool fast_mode_flag = false;  // set by chip identification for parts with a fast mode

  // Serial / MCU families that keep a word count apart from the byte size.
  uint32_t family_size = 0;
  int lock_mode = 0;  // MCS-51 lock-bit choice 0..3

  // --- parallel EPROM / EEPROM / RAM and microcontroller families ---------
  // (fields these families' handlers and routines add go here)

  // Set while a selection resets the settings panels; the timing track bars'
  // handler ignores the changes that causes.
  bool settings_update = false;

  // MCS-51 parameters (Configs group "MCS-51") and the socket record: the
  // address-register patterns that put the chip into each mode.
  struct Mcs51Socket {
    uint32_t enter = 0, next_address = 0, write_code = 0x170000, read_code = 0x60000,
             chip_erase = 0x108000, lock1 = 0x178000, lock2 = 0x118000, lock3 = 0x128000,
             signature = 0x30;
  };
  struct Mcs51 {
    int at89s = 0;        // "at89S": serial-capable part (lock-bit read layout)
    int twp = 5;          // "tWP": program pulse width
    int twc = 2000;       // "tWC": wait after each byte write
    int pulses = 1;       // "Pulses": program pulses per write attempt
    int type = 40;        // "type"
    int twpb = 10;        // "tWPb": lock-bit pulse width
    int twpe = 25000;     // "tWPe": erase pulse width
    int ird_lbit = 0;     // "ird_lbit": lock bits can be read back
    int t_erase = 0;      // "tErase": erase a second time
    int vpp_byte = 0xFF;  // 0xFF: control bit 0 goes low before every write
    int sub_type = 1;
    bool new_adapter = false;  // mirrors cbNewAdapter
    int sig_lbit = 0;          // "sig_Lbit": the byte the last lock-bit read returned
    uint8_t option_word = 0;   // the four cbMCS51spi boxes, bit 0 first
    Mcs51Socket socket;
    std::array<uint8_t, 3> signature{};
  } mcs51;

  // AT90S AVR: flash is the device size, the EEPROM sits at image 0x40000.
  struct Avr {
    uint32_t flash_size = 0;
    uint32_t eeprom_size = 0;
    int lock_mode = 1;         // 1..3 -> lock byte 0xFF, 0xFD, 0xF9
    uint8_t fuse = 0xFF;       // the six fuse boxes as a byte
    bool new_adapter = false;  // mirrors cbNewAdapterAVR
    // The AT90S2333/4433 read LB1/LB2 on bits 1 and 2, the others on 7 and 6.
    bool locks_in_low_bits = false;
    std::array<uint8_t, 3> signature{};  // what the last Get ID read
    uint8_t fuse_lock = 0xFF;            // the fuse and lock byte it read
  } avr;

  // PIC10/12/16: the device size is the program-memory word count; tWC is
  // the write time in microseconds and tWP the pulse time.
  struct Pic16 {
    uint32_t program_words = 0;
    uint32_t eeprom_size = 0;    // data EEPROM bytes, 0 when none
    uint32_t id_index = 0x2000;  // image word of the first ID location
    int id_words = 4;
    uint32_t config_index = 0x2007;  // image word of the configuration word
    uint16_t config_mask = 0x3FFF;
    uint16_t blank_checksum = 0;
    uint16_t checksum_addend = 0;
    // Where a published blank checksum takes configuration bits beyond the
    // mask: the mask the sum uses instead (0: config_mask), and the bits of
    // the second configuration word (0x2008) it adds.
    uint16_t checksum_config_mask = 0;
    uint16_t checksum_config2_mask = 0;
    int algorithm = 0;          // erase / program / configuration-table choice
    int reserved_words = 0;     // calibration words kept at the end of program memory
    int checksum_skip_words = 0;  // trailing program words the blank checksum leaves out
    uint32_t osccal_index = 0;  // program word holding the calibration value
    uint32_t osccal_backup_index = 0;
    uint16_t config_word = 0x3FFF;  // the configuration value the panel shows
  } pic16;

  // PIC18F: the device size is the code word count.
  struct Pic18 {
    uint32_t code_words = 0;
    uint32_t eeprom_size = 0;
    int erase_algorithm = 0;
    uint32_t write_buffer = 8;  // bytes per programming chunk
    uint32_t panels = 0;        // 8 KB panels of the multi-panel write
  } pic18;

  // --- flash and serial-memory families -------------------------------------
  // (fields these families' handlers and routines add go here)
  int layout = -1;               // sector/block layout index the erase and protect tools walk
  bool layout_is_block = false;  // the index is into the Intel block table, not the sector table
  bool embedded = false;         // Am28FxxxA: embedded program and erase algorithms
  bool page_program = false;     // type 15, MX29F1610: status-polled page program
  bool single_pulse = false;     // type 15, Atmel: single-pulse program in fast mode
  // Type 15's own working command-address table (the byte-mode set by default).
  std::array<uint32_t, 6> byte_mode_unlock{0xAAAA, 0x5555, 0xAAAA, 0xAAAA, 0x5555, 0xAAAA};
  // What the last flash Get ID read besides the two codes, for the CFI
  // report and the protection tools: the CFI buffer (entry k = the byte at
  // query offset 0x10 + k), the four bytes at addresses 0..3 (continuation
  // form), or the two boot-block lock bytes (repeat form).
  enum class IdExtra { kNone, kFourBytes, kLockBytes };
  std::array<int, 112> cfi{};
  IdExtra id_extra = IdExtra::kNone;
  std::array<uint8_t, 4> id_bytes{};
  std::array<uint8_t, 2> lock_bytes{};
  bool block_unlock = false;    // C3 blocks come out of reset locked: unlock before writing
  bool cfi_no_primary = false;  // the CFI report stops after the erase-block regions
  bool three_mbit = false;      // 3-Mbit firmware-hub parts
  int rc_time = 50;             // R/C# wait of the multiplexed address load, in DelayTicks
  // The last sector status read: one byte per sector of the layout (1
  // protected, 0 not), and their sum.
  std::vector<uint8_t> sector_status;
  int protected_count = 0;
  bool slow_ack = false;        // I2C: slower acknowledge clocking
  // Microwire frame templates (start bit, opcode, address), as widened for the device.
  struct Microwire {
    uint32_t read = 0x300, write = 0x280, ewen = 0x260, ewds = 0x200;
    uint32_t erase = 0x380, eral = 0x240, wral = 0x220;
    int address_bits = 7, data_bits = 8, frame_length = 10;
    bool word_mode = false;  // 16-bit organisation
  } microwire;
  bool microwire_icsp = false;  // the 93Cxx sits on the ICSP connector (cb93ICSP)
  int cat64_shift = 0;          // CAT64LCxx: word address shift inside the frame
  bool nvram_words = false;     // serial NVRAM addressed by words rather than bytes
  // SPI command table (EEPROM and flash).
  struct Spi {
    uint8_t read = 0x03, write = 0x02, wren = 0x06, wrdi = 0x04, rdsr = 0x05, wrsr = 0x01;
    uint8_t chip_erase = 0xC7, id_read = 0x9F, ewsr = 0x50, aai_program = 0xAD;
    int clock_stretch = 0;  // family 6: ticks added to every wait (tb_clip)
    bool aai = false;       // auto-address-increment programming instead of pages
    bool series45 = false;  // page-oriented 45-series part
    uint8_t page_read45 = 0xD2, status45 = 0xD7, buffer1_write45 = 0x84, buffer2_write45 = 0x87;
    uint8_t program_erase45_1 = 0x83, program_erase45_2 = 0x86;
    uint8_t program45_1 = 0x88, program45_2 = 0x89, page_erase45 = 0x81, block_erase45 = 0x50;
  } spi;
  uint8_t spi_status = 0;  // status-register image the SPI EEPROM program writes back
  bool spi_panel_update = false;  // set while the selection fills the block-protect panel
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
