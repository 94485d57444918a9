// The firmware-hub families' dispatch cells: 34 owns all six; 35 reads,
// verifies and blank checks as 34.
#include <initializer_list>

#include "families/flash/fwh/fwh.h"

namespace families {

void RegisterFirmwareHub(app::FamilyRegistry& registry) {
  using app::Action;
  using namespace fwh;
  for (const int family : {34, 35}) {
    registry.Register(family, Action::kRead, &Read);
    registry.Register(family, Action::kVerify, &Verify);
    registry.Register(family, Action::kBlank, &Blank);
  }
  registry.Register(34, Action::kProgram, &F3);
  registry.Register(34, Action::kErase, &F4);
  registry.Register(34, Action::kGetId, &F5);
  registry.Register(35, Action::kProgram, &F6);
  registry.Register(35, Action::kErase, &F7);
  registry.Register(35, Action::kGetId, &F8);
}

}  // namespace families
