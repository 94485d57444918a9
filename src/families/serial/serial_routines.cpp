// The serial memories' dispatch cells.
#include "families/serial/i2c.h"
#include "families/serial/microwire.h"
#include "families/serial/serial_select.h"
#include "families/serial/spi.h"

namespace families {

void RegisterSerialRoutines(app::FamilyRegistry& registry) {
  using app::Action;
  using Routine = app::Routine;
  namespace mw = serial::microwire;
  namespace spi = serial::spi;
  struct Cells {
    int family;
    Routine read = nullptr, program = nullptr, verify = nullptr, blank = nullptr, erase = nullptr,
            id = nullptr;
  };
  const Cells cells[] = {
      {39, &serial::i2c::Read39, &serial::i2c::Program39, &serial::i2c::Verify39},
      {1, &serial::i2c::Read1, &serial::i2c::Program1, &serial::i2c::Verify1},
      {2, &serial::i2c::Read2, &serial::i2c::Program2, &serial::i2c::Verify2},
      // No selection sets 51; a stored 51 re-selects as 8, so its cells are 8's.
      {8, &mw::Read8, &mw::Program8, &mw::Verify8, nullptr, &mw::Erase8},
      {51, &mw::Read8, &mw::Program8, &mw::Verify8, nullptr, &mw::Erase8},
      {32, &mw::Read32, &mw::Program32, &mw::Verify32},
      {52, &mw::Read52, &mw::Program52, &mw::Verify52},
      {6, &spi::Read6, &spi::Program6, &spi::Verify6, &spi::Blank6},
      {57, &spi::Read57, &spi::Program57, &spi::Verify57, &spi::Blank57, &spi::Erase57,
       &spi::GetId57},
  };
  for (const Cells& c : cells) {
    const std::pair<Action, Routine> actions[] = {
        {Action::kRead, c.read},   {Action::kProgram, c.program}, {Action::kVerify, c.verify},
        {Action::kBlank, c.blank}, {Action::kErase, c.erase},     {Action::kGetId, c.id},
    };
    for (const auto& [action, routine] : actions) {
      if (routine != nullptr) registry.Register(c.family, action, routine);
    }
  }
}

}  // namespace families
