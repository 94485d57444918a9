// The settings panels of the JEDEC and Intel flash families. Their boxes
// are read by the routines when an action starts; the captions the
// selection handlers give them (p49F00xsetting's per-Tag title, the fast
// mode box's) come from the core.
#include "families/flash/fwh_select.h"
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

PanelDef FirmwareHubPanel() {
  PanelDef def;
  def.name = "pFirwareHubSetting";
  def.title = "Firmware Hub / LPC";
  def.controls = {
      // The wait of each R/C# address load, in ticks; the field shows it in time.
      panel::TrackBar("tbRCtime", "R/C# time", 10, 500, &families::flash::tbRCtimeChange),
      panel::Label("edRCtime"),
      panel::Check("cbSamartProg",
                   "Smart Program chip SST and Winbond ( reduce time Prog. 30-40%)"),
      panel::Check("cbQuadruple", "Quadruple Byte Program ( ST micro M50xxxx )"),
      panel::Label("lbAdapter"),
  };
  return def;
}

}  // namespace ui
