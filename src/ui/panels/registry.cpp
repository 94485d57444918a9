// Every family settings panel that is built in registers here, one line
// per family group: registry.Add(...) for a panel described as data,
// registry.AddFactory(...) for one built by code.
#include "ui/panels/family_panels.h"
#include "ui/panels/panel_def.h"

namespace ui {

void RegisterAllPanels(PanelRegistry& registry) {
  registry.AddFactory("p27CSettings", &UvEpromPanel);
  registry.Add(JedecFlashPanel());
  registry.Add(IntelFlashPanel());
  registry.Add(FirmwareHubPanel());
  registry.Add(EepromPanel());
  registry.AddFactory("gbUnprotect", &GuidedPanel);
  registry.AddFactory("pMXICF29040", &ProtectPanel);
  AddSerialPanels(registry);
  registry.AddFactory("pMCS51Setting", &Mcs51Panel);
  registry.Add(AvrPanel());
  registry.AddFactory("pPICSettings", &PicPanel);
  registry.AddFactory("pPIC18FxxxSetting", &Pic18PanelWidget);
}

PanelDef CommonOptionsPanel() {
  PanelDef def;
  def.name = "pOptions";
  def.title = "Options";
  def.controls = {
      panel::Check("cbSkip_0xFF", "Skip Write 0xFF"),
      panel::Check("cbFastPro", "Fast Programming"),
      panel::Check("cb28FastErase", "Fast Erase"),
      panel::Check("cb5555", "( 555,2AA,555,.. )"),
  };
  return def;
}

}  // namespace ui
