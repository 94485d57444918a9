#include "families/parallel/parallel_select.h"

namespace families {

void RegisterParallelSelection(app::FamilyRegistry& registry) {
  using app::HandlerId;
  registry.RegisterHandler(HandlerId::M27C_Click, &parallel::M27C_Click);
  registry.RegisterHandler(HandlerId::M27_Click, &parallel::M27_Click);
  registry.RegisterHandler(HandlerId::M28C_Click, &parallel::M28C_Click);
  registry.RegisterHandler(HandlerId::AT28Cxxx_Click, &parallel::AT28Cxxx_Click);
  registry.RegisterHandler(HandlerId::AT29C_Click, &parallel::AT29C_Click);
  registry.RegisterHandler(HandlerId::M27E_Click, &parallel::M27E_Click);
  registry.RegisterHandler(HandlerId::MX26C10001Click, &parallel::MX26C10001Click);
  registry.RegisterHandler(HandlerId::SST37VF_Click, &parallel::SST37VF_Click);
  registry.RegisterHandler(HandlerId::SRAM_Click, &parallel::SRAM_Click);
  registry.RegisterHandler(HandlerId::DS12XX_Click, &parallel::DS12XX_Click);
}

}  // namespace families
