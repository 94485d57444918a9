// The dispatch cells of the PICs: family 17 reads, verifies and
// blank-checks with the routines of family 16; the 12-bit parts share one
// read and verify, the blank check of family 16, and family 53 programs and
// erases with the routines of family 17.
#include "families/mcu/pic.h"
#include "families/mcu/pic_config.h"

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
  for (const int family : {18, 53}) {
    registry.Register(family, Action::kRead, &pic::ReadPic12);
    registry.Register(family, Action::kVerify, &pic::VerifyPic12);
    registry.Register(family, Action::kBlank, &pic::BlankCheckPic);
  }
  registry.Register(18, Action::kProgram, &pic::ProgramOtpPic12);
  registry.Register(53, Action::kProgram, &pic::ProgramPic);
  registry.Register(53, Action::kErase, &pic::ErasePic);
  // A loaded file's configuration word shows in the panel as it stands.
  for (const int family : {16, 17, 18, 53}) registry.RegisterPanelRefresh(family, &pic::SetFuses);
}

}  // namespace families
