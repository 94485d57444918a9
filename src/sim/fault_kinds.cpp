#include "sim/fault_kinds.h"

namespace sim {
namespace {

using Field = FaultArg::Field;

// The board has 24 address lines.
constexpr FaultArg kAddr{"ADDR", 0, 0xFFFFFF, Field::kAddress};

constexpr FaultKind kFaultKinds[] = {
    {"noboard", true, BoardFault::kNoBoard, {}, {}, "nothing answers on the port: no board"},
    {"stuck-loopback-0",
     true,
     BoardFault::kLoopStuck0,
     {},
     {},
     "the loop-back line (status bit 7) always reads 0"},
    {"stuck-loopback-1",
     true,
     BoardFault::kLoopStuck1,
     {},
     {},
     "the loop-back line (status bit 7) always reads 1"},
    {"loopback-inverted",
     true,
     BoardFault::kLoopInverted,
     {},
     {},
     "the loop-back line reads the wrong way round"},
    {"weak",
     false,
     BoardFault::kNone,
     "weak",
     {kAddr, {"PULSES", 1, 1000, Field::kArg1}},
     "the cell at ADDR needs PULSES program pulses before it takes its value"},
    {"stuck",
     false,
     BoardFault::kNone,
     "stuck",
     {kAddr, {"BIT", 0, 15, Field::kArg1}, {"LEVEL", 0, 1, Field::kArg2}},
     "bit BIT at ADDR is stuck at LEVEL"},
    {"flaky",
     false,
     BoardFault::kNone,
     "flaky",
     {kAddr, {"READS", 1, 65535, Field::kArg1}},
     "the byte at ADDR reads wrong READS times, then right"},
    {"novpp",
     false,
     BoardFault::kNone,
     "novpp",
     {},
     "the programming voltage (Vpp) never reaches the socket"},
    // Parallel flash.
    {"protect",
     false,
     BoardFault::kNone,
     "protect",
     {kAddr},
     "flash: the sector (or block) holding ADDR is protected (locked)"},
    {"slow",
     false,
     BoardFault::kNone,
     "slow",
     {kAddr, {"FACTOR", 1, 1000000, Field::kArg1}},
     "flash: programming ADDR, or erasing or unlocking there, takes FACTOR times as long"},
    {"busy-forever",
     false,
     BoardFault::kNone,
     "busy-forever",
     {},
     "flash: an erase never ends; serial: the first write cycle (I2C) or every program and "
     "erase (SPI flash) never ends"},
    {"erase-pulses",
     false,
     BoardFault::kNone,
     "erase-pulses",
     {kAddr, {"N", 0, 1000, Field::kArg1}},
     "12 V flash: ADDR needs N more erase operations than the rest of the array"},
    {"sr4-once",
     false,
     BoardFault::kNone,
     "sr4-once",
     {kAddr},
     "status-register flash: the first program of ADDR fails (SR4), the next one takes"},
    {"erase-fail",
     false,
     BoardFault::kNone,
     "erase-fail",
     {kAddr},
     "status-register flash: erasing the block holding ADDR fails (SR5)"},
    {"nobypass",
     false,
     BoardFault::kNone,
     "nobypass",
     {},
     "JEDEC flash: the part has no unlock bypass (fast mode)"},
    {"write-time",
     false,
     BoardFault::kNone,
     "write-time",
     {FaultArg{"MS", 0, 1000, Field::kArg1}},
     "a parallel or serial EEPROM's write cycle lasts MS milliseconds"},
    {"sdp-on",
     false,
     BoardFault::kNone,
     "sdp-on",
     {},
     "the EEPROM's software data protection is on from the start"},
    {"sector-fail",
     false,
     BoardFault::kNone,
     "sector-fail",
     {kAddr, FaultArg{"N", 1, 1000, Field::kArg1}},
     "the first N writes of the page or sector holding ADDR change nothing"},
    {"erase-cycles",
     false,
     BoardFault::kNone,
     "erase-cycles",
     {FaultArg{"N", 0, 1000, Field::kArg1}},
     "the erase takes N erase cycles (0: it never completes)"},
    {"alias",
     false,
     BoardFault::kNone,
     "alias",
     {FaultArg{"n", 0, 23, Field::kArg1, "A"}, FaultArg{"m", 0, 23, Field::kArg2, "A"}},
     "address line An of the part is shorted to Am and follows it"},
    {"float",
     false,
     BoardFault::kNone,
     "float",
     {FaultArg{"n", 0, 23, Field::kArg1, "A"}},
     "address line An of the part is open (it reads high)"},
    {"battery-dead",
     false,
     BoardFault::kNone,
     "battery-dead",
     {},
     "the NVRAM's battery is dead: it forgets without Vcc"},
    // The serial memories.
    {"nack",
     false,
     BoardFault::kNone,
     "absent",
     {},
     "the serial socket is empty: no acknowledge, no output"},
    {"page",
     false,
     BoardFault::kNone,
     "page",
     {{"N", 1, 1024, Field::kArg1}},
     "the serial memory's real page is N bytes, smaller than its catalogue row says"},
    {"bp",
     false,
     BoardFault::kNone,
     "bp",
     {{"BITS", 1, 15, Field::kArg1}},
     "the SPI memory comes with block-protect bits BITS set (status bits 2 up)"},
    {"wpen-wp-low",
     false,
     BoardFault::kNone,
     "wpen_wp_low",
     {},
     "the SPI EEPROM comes with WPEN and everything protected, and WP# is held low"},
    {"org",
     false,
     BoardFault::kNone,
     "org",
     {{"BITS", 8, 16, Field::kArg1}},
     "the 93Cxx ORG strap is wired for 8 or 16 bits, whatever mode is chosen"},
    {"ewen-ignored", false, BoardFault::kNone, "ewen_ignored", {}, "the 93Cxx never leaves EWDS"},
    {"sto-ignored", false, BoardFault::kNone, "sto_ignored", {}, "the X24C44 ignores STO"},
    {"aai-strict",
     false,
     BoardFault::kNone,
     "aai_strict",
     {},
     "the SST part takes only AAI, RDSR and WRDI while in AAI mode"},
    {"slow-ack",
     false,
     BoardFault::kNone,
     "slow_ack",
     {},
     "the I2C part shows its acknowledge only after SCL is high 10 ticks"},
    {"never", false, BoardFault::kNone, "never", {kAddr}, "the cell at ADDR never programs"},
    {"lockbits",
     false,
     BoardFault::kNone,
     "lockbits",
     {FaultArg{"BITS", 1, 3, Field::kArg1}},
     "microcontroller: lock bits 1..BITS already programmed"},
    {"adapter-swap",
     false,
     BoardFault::kNone,
     "adapter-swap",
     {},
     "microcontroller: the fitted adapter's data wiring is the other one than New Adapter says"},
    {"rom",
     false,
     BoardFault::kNone,
     "rom",
     {},
     "microcontroller: a mask-ROM part in the socket, which reads but never programs"},
    // Wide and firmware-hub flash.
    {"locked",
     false,
     BoardFault::kNone,
     "locked",
     {kAddr},
     "word flash: the block holding byte ADDR is locked (a C3 block stays locked down)"},
    {"byte-strap",
     false,
     BoardFault::kNone,
     "byte-strap",
     {},
     "word flash: the part's BYTE# pin is strapped for byte mode"},
};

constexpr JumperKind kJumperKinds[] = {
    {"erase", "the erase jumpers of the electrically erasable EPROMs"},
    {"wirelink", "28F001BX: the wire from pin 1 to pin 30"},
};

}  // namespace

int FaultKind::arg_count() const {
  int n = 0;
  while (n < static_cast<int>(args.size()) && !args[n].name.empty()) ++n;
  return n;
}

std::string FaultKind::Pattern() const {
  std::string text(name);
  for (int i = 0; i < arg_count(); ++i) {
    text += ':';
    text += args[i].prefix;
    text += args[i].name;
  }
  return text;
}

std::span<const FaultKind> FaultKinds() { return kFaultKinds; }

const FaultKind* FindFaultKind(std::string_view name) {
  for (const FaultKind& kind : kFaultKinds) {
    if (kind.name == name) return &kind;
  }
  return nullptr;
}

std::span<const JumperKind> JumperKinds() { return kJumperKinds; }

const JumperKind* FindJumperKind(std::string_view name) {
  for (const JumperKind& jumper : kJumperKinds) {
    if (jumper.name == name) return &jumper;
  }
  return nullptr;
}

}  // namespace sim
