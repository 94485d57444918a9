#pragma once

// Flash driven 16 bits wide on the TSOP adapters: JEDEC 29LV/29DL/39VF/29F
// (family 44), Intel B3/C3/J3 (45) and the W29C102 (56). Read, verify and
// blank check are shared by all three.

#include "app/dispatch.h"

namespace app {
class Programmer;
}

namespace families {

void RegisterWideFlash(app::FamilyRegistry& registry);

namespace wide {

void W1(app::Programmer& p);   // word read
void W2(app::Programmer& p);   // blank check
void W3(app::Programmer& p);   // word verify
void W4(app::Programmer& p);   // JEDEC word program; W5 with fast mode
void W5(app::Programmer& p);   // unlock-bypass word program
void W6(app::Programmer& p);   // JEDEC chip erase
void W7(app::Programmer& p);   // JEDEC word Get ID
void W8(app::Programmer& p);   // status-register word program (J3 buffered when checked)
void W9(app::Programmer& p);   // block erase of every block
void W10(app::Programmer& p);  // Intel word Get ID

// The W29C102 (56): sector write in words, chip erase, Get ID.
void SectorWriteProgram(app::Programmer& p);
void W29Erase(app::Programmer& p);
void W29GetId(app::Programmer& p);

}  // namespace wide
}  // namespace families
