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
