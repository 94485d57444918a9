// The MX26C1000/2000 rows. The parts take the 28F command set (40/C0
// program and program verify, 20 20 erase, A0 erase verify) on the
// program strobe while Vpp is on pin 1, and read like a 27C010/27C020
// without it. Program and erase are timed by the host: a typical byte
// needs one 10 us program operation, the array one 10 ms erase operation.
// The erase algorithm starts from an array programmed to 0x00, as for the
// 28F parts, so an erase of programmed data is over-erase (the model logs
// it). Write cycle: tWP 60 ns, tAH 60 ns, tDS 50 ns, tAS 0, 2 us after Vcc.
// No routine of this family reads the identifier: the maker code is
// Macronix's, the device code is left unknown (0).
#include "sim/mx26c_parts.h"

namespace sim {
namespace {

constexpr WriteTiming kWrite{.power_up_ns = 2 * kUs,
                             .pulse_ns = 60,
                             .address_setup_ns = 0,
                             .address_hold_ns = 60,
                             .data_setup_ns = 50};

constexpr uint32_t K = 1024;

constexpr Flash12VPart kParts[] = {
    {.name = "MX26C1000",
     .size = 128 * K,
     .manufacturer = 0xC2,
     .device = 0x00,
     .write = kWrite,
     .program_cell_ns = 10 * kUs,
     .erase_ns = 10 * kMs},
    {.name = "MX26C2000",
     .size = 256 * K,
     .manufacturer = 0xC2,
     .device = 0x00,
     .write = kWrite,
     .program_cell_ns = 10 * kUs,
     .erase_ns = 10 * kMs},
};

}  // namespace

const Flash12VPart* FindMx26cPart(std::string_view name) {
  for (const Flash12VPart& part : kParts) {
    if (part.name == name) return &part;
  }
  return nullptr;
}

}  // namespace sim
