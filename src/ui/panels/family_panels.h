#pragma once

// The settings panels of the device families, one function per panel.

#include "ui/panels/panel_def.h"

namespace ui {

// p27CSettings: the EPROM timing track bars and the peak counters of the
// last program run.
PanelDef UvEpromPanel();

// p29CxxxSetting: the AT28C / AT29C page or sector size and the software
// data protection choices.
PanelDef EepromPanel();

// gbUnprotect: the guided panel (app/guided_panel.h), built by code for its
// pictures.
QWidget* GuidedPanel(PanelContext& context);

}  // namespace ui
