// The microcontroller models of the simulated socket: the MCS-51 engine
// with the part's row, and the MCS-48 model.
#include <string_view>

#include "app/programmer.h"
#include "app/sim_socket.h"
#include "sim/mcs48_chip.h"
#include "sim/mcs51_chip.h"

namespace app {
namespace {

struct PartCode {
  int family;
  int first, last;  // device codes
  std::string_view part;
};

// The datasheet part each catalogue code stands for. Items that share a code
// (AT89C52 and IS89C52, AT89C1051 and 1051U) get the first part's model;
// the AT89C2051x2 is a 2 KB AT89C2051.
constexpr PartCode kCodes[] = {
    {10, 2, 2, "AT89C51"},     {10, 3, 3, "AT89C52"},    {10, 4, 4, "AT89C55"},
    {10, 5, 5, "AT89S8252"},   {10, 6, 6, "AT89S53"},    {10, 7, 7, "AT89C55WD"},
    {10, 8, 8, "AT89C51RC"},   {10, 9, 9, "87C51"},      {10, 10, 10, "87C52"},
    {10, 11, 11, "87C54"},     {10, 12, 12, "87C58"},    {10, 13, 13, "SST89C54"},
    {10, 14, 14, "SST89C58"},  {10, 50, 50, "AT89S51"},  {10, 51, 51, "AT89S52"},
    {10, 52, 52, "AT89S8253"}, {10, 151, 151, "87C51"},  {10, 152, 152, "87C52"},
    {10, 153, 153, "87C54"},   {10, 154, 154, "87C58"},  {10, 301, 303, "87C51"},
    {11, 2, 2, "AT89C1051"},   {11, 3, 3, "AT89C2051"},  {11, 4, 4, "AT89C4051"},
    {11, 5, 5, "AT89C2051"},   {28, 101, 101, "8748H"},  {28, 102, 102, "8749H"},
    {29, 201, 201, "8048AH"},  {29, 202, 202, "8049AH"}, {29, 203, 203, "8050AH"},
};

std::string_view PartFor(int family, int device_code) {
  for (const PartCode& code : kCodes) {
    if (code.family == family && device_code >= code.first && device_code <= code.last) {
      return code.part;
    }
  }
  return {};
}

}  // namespace

std::unique_ptr<sim::Chip> MakeMcuChip(const Programmer& p) {
  const std::string_view name = PartFor(p.dev.family, p.dev.device_code);
  if (const sim::Mcs51Part* part = sim::FindMcs51Part(name)) {
    // The socket's adapter is the one the user says is fitted.
    return std::make_unique<sim::Mcs51Chip>(*part, p.dev.mcs51.new_adapter);
  }
  if (const sim::Mcs48Part* part = sim::FindMcs48Part(name)) {
    return std::make_unique<sim::Mcs48Chip>(*part);
  }
  return nullptr;
}

}  // namespace app
