#include "families/flash/flash_select.h"

#include "families/flash/fwh_select.h"
#include "families/flash/intel_select.h"
#include "families/flash/jedec_select.h"
#include "families/flash/protect_select.h"
#include "families/flash/protect_wizard.h"
#include "families/flash/wide_select.h"

namespace families {

void RegisterFlashSelection(app::FamilyRegistry& registry) {
  using app::HandlerId;
  registry.RegisterHandler(HandlerId::M29F_Click, &flash::M29F_Click);
  registry.RegisterHandler(HandlerId::AT49F00x_Click, &flash::AT49F00x_Click);
  registry.RegisterHandler(HandlerId::Am29Fx00_Click, &flash::Am29Fx00_Click);
  registry.RegisterHandler(HandlerId::SST28xF040A1Click, &flash::SST28xF040A1Click);
  registry.RegisterHandler(HandlerId::M28F_Click, &flash::M28F_Click);
  registry.RegisterHandler(HandlerId::i28Fx00_Click, &flash::i28Fx00_Click);
  registry.RegisterHandler(HandlerId::MX28F20001Click, &flash::MX28F20001Click);
  registry.RegisterHandler(HandlerId::MBM29LV160Click, &flash::MBM29LV160Click);
  registry.RegisterHandler(HandlerId::N28F4001Click, &flash::N28F4001Click);
  registry.RegisterHandler(HandlerId::i28F800C3B1Click, &flash::i28F800C3B1Click);
  registry.RegisterHandler(HandlerId::N82802AB_Click, &flash::N82802AB_Click);
  registry.RegisterHandler(HandlerId::SST49LF002_Click, &flash::SST49LF002_Click);
  registry.RegisterHandler(HandlerId::EN29F002T_Click, &flash::EN29F002T_Click);
  registry.RegisterHandler(HandlerId::HY29LV1601Click, &flash::HY29LV1601Click);
  flash::RegisterUnprotectWizard(registry);
}

}  // namespace families
