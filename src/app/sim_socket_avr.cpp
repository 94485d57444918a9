// The AT90S model of the simulated socket, by catalogue Tag.
#include <string_view>

#include "app/programmer.h"
#include "app/sim_socket.h"
#include "sim/avr_chip.h"

namespace app {
namespace {

struct PartCode {
  int device_code;
  std::string_view part;
};

constexpr PartCode kCodes[] = {
    {101, "AT90S1200"}, {102, "AT90S2313"}, {103, "AT90S2333"}, {104, "AT90S4433"},
    {105, "AT90S4414"}, {106, "AT90S8515"}, {107, "AT90S4434"}, {108, "AT90S8535"},
};

}  // namespace

std::unique_ptr<sim::Chip> MakeAvrChip(const Programmer& p) {
  for (const PartCode& code : kCodes) {
    if (code.device_code != p.dev.device_code) continue;
    // The adapter fitted is the one the user says is.
    return std::make_unique<sim::AvrChip>(*sim::FindAvrPart(code.part), p.dev.avr.new_adapter);
  }
  return nullptr;
}

}  // namespace app
