// The settings panels of the JEDEC and Intel flash families. Their boxes
// are read by the routines when an action starts; the captions the
// selection handlers give them (p49F00xsetting's per-Tag title, the fast
// mode box's) come from the core.
#include "ui/panels/family_panels.h"

namespace ui {

PanelDef JedecFlashPanel() {
  PanelDef def;
  def.name = "p49F00xsetting";
  def.title = "29F / 49F";
  def.controls = {
      panel::Label("p49F00xsetting"),  // " 49F00x   [ pin #RESET/Vpp (12V) ]" and the like
      panel::Check("cbProtect", "Temporary Sector Unprotect"),
      panel::Check("cbFujitsu_fastmode", "Fast Mode Programming ( Fujitsu, AMD, ST Chip)"),
      panel::Label("lbAdapter"),
      panel::Label("lbAdapter2"),
  };
  return def;
}

PanelDef IntelFlashPanel() {
  PanelDef def;
  def.name = "p28Fx00setting";
  def.title = "28Fx00";
  def.controls = {
      panel::Check("cbMemMap", "Erase By Memory Map  8KB/block "),
      panel::Check("cb28F320J3buffer", "Write buffer (28F320/640 J3)"),
      panel::Label("lbAdapter"),
      panel::Label("lbAdapter2"),
  };
  return def;
}

}  // namespace ui
