#pragma once

// The UV EPROMs the simulated socket can hold, each with its pin layout on
// the board and its datasheet timing.

#include <span>
#include <string_view>

#include "sim/eprom_chip.h"

namespace sim {

struct EpromPart {
  std::string_view name;
  ProgramPin program_pin;
  VppPin vpp_pin;
  bool wide;
  EpromTiming timing;
};

// Every part, in catalogue order.
std::span<const EpromPart> EpromParts();
// By name ("27C256", "2716", ...); nullptr when unknown.
const EpromPart* FindEpromPart(std::string_view name);
// The part's configuration at `size` bytes as the board addresses it.
EpromConfig ConfigOf(const EpromPart& part, uint32_t size);

}  // namespace sim
