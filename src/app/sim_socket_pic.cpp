// The PIC models of the simulated socket, by catalogue Tag.
#include <string_view>

#include "app/programmer.h"
#include "app/sim_socket.h"
#include "sim/pic14_chip.h"

namespace app {
namespace {

struct PicCode {
  int first, last;  // Tags
  std::string_view part;
};

constexpr PicCode kPic14Codes[] = {
    {301, 301, "16C84"},  {302, 302, "16CR83"},  {303, 303, "16F83"},   {304, 304, "16CR84"},
    {305, 305, "16F84"},  {306, 306, "16F84A"},  {423, 423, "12F683"},  {424, 424, "16F684"},
    {426, 426, "16F785"}, {512, 512, "16F874A"}, {513, 513, "16F877A"},
};

}  // namespace

std::unique_ptr<sim::Chip> MakePicChip(const Programmer& p) {
  for (const PicCode& code : kPic14Codes) {
    if (p.dev.device_code < code.first || p.dev.device_code > code.last) continue;
    if (const sim::Pic14Part* part = sim::FindPic14Part(code.part)) {
      return std::make_unique<sim::Pic14Chip>(*part);
    }
  }
  return nullptr;
}

}  // namespace app
