#pragma once

// The faults and hand-fitted wires a user can put on the simulated board
// (`--sim-fault`, `--sim-jumper`), one table each. The parser, its error
// texts and the command line's help all read these tables; a family that
// models a new fault adds its row here.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "sim/board.h"

namespace sim {

// One number of a fault's text, e.g. the ADDR of "weak:ADDR:PULSES".
struct FaultArg {
  enum class Field { kAddress, kArg1, kArg2 };  // where it goes in ChipFault
  std::string_view name;                        // empty: no such argument
  int64_t min = 0, max = 0;
  Field field = Field::kAddress;
  std::string_view prefix = {};  // written before the number ("A" for an address line)
};

struct FaultKind {
  std::string_view name;  // as typed, before the first ':'
  bool board = false;     // a board fault (BoardFault), else a chip fault (ChipFault)
  BoardFault board_fault = BoardFault::kNone;
  std::string_view chip_kind;  // ChipFault::kind, the name the chip models know
  std::array<FaultArg, 3> args{};
  std::string_view help;

  int arg_count() const;
  // "weak:ADDR:PULSES"
  std::string Pattern() const;
};

std::span<const FaultKind> FaultKinds();
const FaultKind* FindFaultKind(std::string_view name);

// A wire the user fits by hand; chip models read it by name
// (Chip::Jumper).
struct JumperKind {
  std::string_view name;
  std::string_view help;
};

std::span<const JumperKind> JumperKinds();
const JumperKind* FindJumperKind(std::string_view name);

}  // namespace sim
