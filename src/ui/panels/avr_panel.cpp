// pAVRsetting: the AT90S lock mode, the six fuse boxes (captions and the
// enabled set are the selection's), the fuse byte they compose, the New
// Adapter box and the two write buttons.
#include <string>

#include "families/mcu/avr.h"
#include "families/mcu/mcu_select.h"
#include "ui/panels/family_panels.h"

namespace ui {
namespace {

namespace avr = families::avr;

void rbAVRm1Click(app::Programmer& p) { avr::rbAVRmClick(p, 1); }
void rbAVRm2Click(app::Programmer& p) { avr::rbAVRmClick(p, 2); }
void rbAVRm3Click(app::Programmer& p) { avr::rbAVRmClick(p, 3); }

}  // namespace

PanelDef AvrPanel() {
  PanelDef def;
  def.name = "pAVRsetting";
  def.title = "AVR 8-bit RISC   Lock Bit/FuseBit";
  def.controls = {
      panel::Radio("rbAVRm1", "1. No program lock features", &rbAVRm1Click),
      panel::Radio("rbAVRm2", "2. Further programming of the  Flash/EEPROM is disabled ",
                   &rbAVRm2Click),
      panel::Radio("rbAVRm3", "3. Same as mode 2, but verify is also disabled.", &rbAVRm3Click),
      panel::Button("sbAVRlockbit", "Lock Bit", &avr::sbAVRlockbitClick),
  };
  const char* captions[6] = {"CKSEL0", "CKSEL1", "CKSEL2 ", "BODEN", "BODLEVEL", "SPIEN"};
  for (int i = 0; i < 6; ++i) {
    def.controls.push_back(panel::Check(std::string(families::mcu::kAvrFuseBoxes[i]), captions[i],
                                        &avr::cbFbit0Click));
  }
  def.controls.push_back(panel::Field("edEPRFuse", "Fuse"));
  def.controls.push_back(panel::Button("bbAVRfuse", "FuseBit", &avr::bbAVRfuseClick));
  def.controls.push_back(
      panel::Check("cbNewAdapterAVR", "New Adapter", &avr::cbNewAdapterAVRClick));
  return def;
}

}  // namespace ui
