// The serial memories' dispatch cells.
#include "families/serial/i2c.h"
#include "families/serial/serial_select.h"

namespace families {

void RegisterSerialRoutines(app::FamilyRegistry& registry) {
  using app::Action;
  using Routine = app::Routine;
  struct Cells {
    int family;
    Routine read = nullptr, program = nullptr, verify = nullptr, blank = nullptr, erase = nullptr,
            id = nullptr;
  };
  const Cells cells[] = {
      {39, &serial::i2c::Read39, &serial::i2c::Program39, &serial::i2c::Verify39},
      {1, &serial::i2c::Read1, &serial::i2c::Program1, &serial::i2c::Verify1},
      {2, &serial::i2c::Read2, &serial::i2c::Program2, &serial::i2c::Verify2},
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
