#pragma once

// The Microwire-style serial memories: family 8 (93Cxx, AT59C, CAT35C; and
// 51, which re-selects as 8), family 32 (CAT64LC10/20/40) and family 52
// (X24C44, AT24C44, S24H30, S24H45).

#include "app/programmer.h"

namespace families::serial::microwire {

void Read8(app::Programmer& p);
void Verify8(app::Programmer& p);
void Program8(app::Programmer& p);
void Erase8(app::Programmer& p);

void Read32(app::Programmer& p);
void Verify32(app::Programmer& p);
void Program32(app::Programmer& p);

void Read52(app::Programmer& p);
void Verify52(app::Programmer& p);
void Program52(app::Programmer& p);

}  // namespace families::serial::microwire
