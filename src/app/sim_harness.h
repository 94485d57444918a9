#pragma once

// What a user sets up on the simulated board from outside a routine: faults
// (`--sim-fault`), hand-fitted wires (`--sim-jumper`) and the chip file
// (`--sim-chip`). The kinds come from the tables in sim/fault_kinds.h.

#include <string>
#include <string_view>

#include "sim/board.h"
#include "sim/chip.h"
#include "sim/fault_kinds.h"

namespace app {

struct SimFault {
  const sim::FaultKind* kind = nullptr;
  sim::BoardFault board = sim::BoardFault::kNone;  // kind->board
  sim::ChipFault chip;                             // !kind->board
};

// "weak:0x100:5", "noboard", ... Returns an empty string and fills `fault`,
// or the error text: an unknown kind lists every kind with its pattern.
std::string ParseSimFault(std::string_view text, SimFault& fault);

// Empty for a known jumper name, else the error text listing them.
std::string CheckSimJumper(std::string_view name);

// "noboard, stuck-loopback-0, ..., weak:ADDR:PULSES, ..."
std::string FaultPatterns();
// "erase, wirelink"
std::string JumperNames();

// Whether `path` can serve as the chip file before anything is run: empty
// when it is a writable regular file, or a new name in a writable folder;
// else why not (a folder, a device, no permission, ...).
std::string CheckSimChipPath(const std::string& path);

// The chip file through the file system: empty on success, else the error
// text. A failed load leaves the chip as it was; a failed save leaves the
// old file as it was. A file that already holds exactly what would be
// written is left alone.
std::string LoadSimChip(const std::string& path, sim::Chip& chip, std::string_view device);
std::string SaveSimChip(const std::string& path, const sim::Chip& chip, std::string_view device);

}  // namespace app
