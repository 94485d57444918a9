// The wide families' dispatch cells: 44 owns all six; 45 and 56 read,
// verify and blank check as 44.
#include <initializer_list>

#include "families/flash/wide/wide.h"

namespace families {

void RegisterWideFlash(app::FamilyRegistry& registry) {
  using app::Action;
  using namespace wide;
  for (const int family : {44, 45, 56}) {
    registry.Register(family, Action::kRead, &W1);
    registry.Register(family, Action::kVerify, &W3);
    registry.Register(family, Action::kBlank, &W2);
  }
  registry.Register(44, Action::kProgram, &W4);
  registry.Register(44, Action::kErase, &W6);
  registry.Register(44, Action::kGetId, &W7);
  registry.Register(45, Action::kProgram, &W8);
  registry.Register(45, Action::kErase, &W9);
  registry.Register(45, Action::kGetId, &W10);
  registry.Register(56, Action::kProgram, &SectorWriteProgram);
  registry.Register(56, Action::kErase, &W29Erase);
  registry.Register(56, Action::kGetId, &W29GetId);
}

}  // namespace families
