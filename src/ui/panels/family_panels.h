#pragma once

// The settings panels of the device families, one function per panel.

#include "ui/panels/panel_def.h"

namespace ui {

// p27CSettings: the EPROM timing track bars and the peak counters of the
// last program run.
PanelDef UvEpromPanel();

// p24CSettings (24Cxxx pin 7, 93Cxx organisation and ICSP, serial NVRAM)
// and p25CxxxSetting (SPI EEPROM and flash).
void AddSerialPanels(PanelRegistry& registry);

}  // namespace ui
