// The JEDEC families' dispatch cells.
#include "families/flash/jedec.h"

namespace families {

void RegisterJedecFlash(app::FamilyRegistry& registry) {
  using app::Action;
  using namespace jedec;
  registry.Register(4, Action::kProgram, &P1);
  registry.Register(4, Action::kErase, &E1);
  registry.Register(4, Action::kGetId, &G1);
  // 12: program and erase as 4, its own Get ID.
  registry.Register(12, Action::kProgram, &P1);
  registry.Register(12, Action::kErase, &E1);
  registry.Register(12, Action::kGetId, &G2);
  // 27: all three as 4.
  registry.Register(27, Action::kProgram, &P1);
  registry.Register(27, Action::kErase, &E1);
  registry.Register(27, Action::kGetId, &G1);
  // 22: its own program (P2, or P3 in fast mode), erase as 4, Get ID as 12.
  registry.Register(22, Action::kProgram, &P2);
  registry.Register(22, Action::kErase, &E1);
  registry.Register(22, Action::kGetId, &G2);
  // 15: P4 (P5, P6 or P7 by the flags), E2, G3.
  registry.Register(15, Action::kProgram, &P4);
  registry.Register(15, Action::kErase, &E2);
  registry.Register(15, Action::kGetId, &G3);
  // 24 and 25: P8 and G4; E3 chip erase, E4 sector by sector.
  registry.Register(24, Action::kProgram, &P8);
  registry.Register(24, Action::kErase, &E3);
  registry.Register(24, Action::kGetId, &G4);
  registry.Register(25, Action::kProgram, &P8);
  registry.Register(25, Action::kErase, &E4);
  registry.Register(25, Action::kGetId, &G4);
}

}  // namespace families
