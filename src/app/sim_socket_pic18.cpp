// The PIC18 models of the simulated socket, by catalogue Tag.
#include <string_view>

#include "app/programmer.h"
#include "app/sim_socket.h"
#include "sim/pic18_chip.h"

namespace app {
namespace {

struct Pic18Code {
  int tag;
  std::string_view part;
};

// clang-format off
constexpr Pic18Code kPic18Codes[] = {
    {101, "18F242"}, {102, "18F248"}, {103, "18F252"}, {104, "18F258"}, {105, "18F442"},
    {106, "18F448"}, {107, "18F452"}, {108, "18F458"},
    {111, "18F1220"}, {112, "18F2220"}, {113, "18F4220"}, {114, "18F1320"}, {115, "18F2320"},
    {116, "18F4320"},
    {121, "18F6520"}, {122, "18F8520"}, {123, "18F6620"}, {124, "18F8620"}, {125, "18F6720"},
    {126, "18F8720"},
    {131, "18F2439"}, {132, "18F2539"}, {133, "18F4439"}, {134, "18F4539"},
    {141, "18F2331"}, {142, "18F2431"}, {143, "18F4331"}, {144, "18F4431"},
    {151, "18F6525"}, {152, "18F6621"}, {153, "18F8525"}, {154, "18F8621"},
    {161, "18F6585"}, {162, "18F8585"}, {163, "18F6680"}, {164, "18F8680"},
    {171, "18F6410"}, {172, "18F8410"}, {173, "18F6490"}, {174, "18F8490"},
    {181, "18F2410"}, {182, "18F2420"}, {183, "18F2455"}, {184, "18F2480"}, {185, "18F2510"},
    {186, "18F2515"}, {187, "18F2520"}, {188, "18F2525"}, {189, "18F2550"}, {190, "18F2580"},
    {191, "18F2585"}, {192, "18F2610"}, {193, "18F2620"}, {194, "18F2680"},
    {195, "18F4410"}, {196, "18F4420"}, {197, "18F4455"}, {198, "18F4480"}, {199, "18F4510"},
    {200, "18F4515"}, {201, "18F4520"}, {202, "18F4525"}, {203, "18F4550"}, {204, "18F4580"},
    {205, "18F4585"}, {206, "18F4610"}, {207, "18F4620"}, {208, "18F4680"},
};
// clang-format on

}  // namespace

std::unique_ptr<sim::Chip> MakePic18Chip(const Programmer& p) {
  for (const Pic18Code& code : kPic18Codes) {
    if (p.dev.device_code != code.tag) continue;
    if (const sim::Pic18Part* part = sim::FindPic18Part(code.part)) {
      return std::make_unique<sim::Pic18Chip>(*part);
    }
  }
  return nullptr;
}

}  // namespace app
