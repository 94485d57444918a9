#include "app/programmer.h"
#include "families/parallel/eeprom.h"
#include "ui/panels/family_panels.h"

namespace ui {

PanelDef EepromPanel() {
  PanelDef def;
  def.name = "p29CxxxSetting";
  def.title = " AT28C/29Cxxx Sector Progamming ";
  def.controls = {
      panel::Combo("cbSsize", "Page size", {" 64", " 128", " 256", " 512", " 1024", " 2048"},
                   &families::eeprom::cbSsizeChange),
      panel::Check("cbAT28CxxDis", "Disable software Unprotect"),
      panel::Check("cbAT28CxxbyteProg",
                   "Byte programming  && disable Software Unprotect (10mS/byte)"),
  };
  return def;
}

}  // namespace ui
