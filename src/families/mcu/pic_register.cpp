// The dispatch cells of the mid-range PICs: family 17 reads, verifies and
// blank-checks with the routines of family 16.
#include "families/mcu/pic.h"

namespace families {

void RegisterPic(app::FamilyRegistry& registry) {
  using app::Action;
  for (const int family : {16, 17}) {
    registry.Register(family, Action::kRead, &pic::ReadPic);
    registry.Register(family, Action::kVerify, &pic::VerifyPic);
    registry.Register(family, Action::kBlank, &pic::BlankCheckPic);
  }
  registry.Register(16, Action::kProgram, &pic::ProgramOtpPic);
  registry.Register(17, Action::kProgram, &pic::ProgramPic);
  registry.Register(17, Action::kErase, &pic::ErasePic);
  registry.Register(17, Action::kGetId, &pic::DeviceIdPic);
}

}  // namespace families
