#include "families/mcu/mcu_select.h"

namespace families {

void RegisterMcuSelection(app::FamilyRegistry& registry) {
  using app::HandlerId;
  registry.RegisterHandler(HandlerId::muMCS51_Click, &mcu::muMCS51_Click);
  registry.RegisterHandler(HandlerId::AT89C51_Click, &mcu::AT89C51_Click);
  registry.RegisterHandler(HandlerId::AT89Cx051_Click, &mcu::AT89Cx051_Click);
  registry.RegisterHandler(HandlerId::AVR_Click, &mcu::AVR_Click);
  registry.RegisterHandler(HandlerId::M12C_Click, &mcu::M12C_Click);
  registry.RegisterHandler(HandlerId::PIC18F_Click, &mcu::PIC18F_Click);
  registry.RegisterHandler(HandlerId::D8748_Click, &mcu::D8748_Click);
}

}  // namespace families
