#pragma once

// The settings panels of the device families, one function per panel.

#include "ui/panels/panel_def.h"

namespace ui {

// p27CSettings: the EPROM timing track bars, each with the timing in use
// beside it, and the peak counters of the last program run.
QWidget* UvEpromPanel(PanelContext& context);

// p29CxxxSetting: the AT28C / AT29C page or sector size and the software
// data protection choices.
PanelDef EepromPanel();

// gbUnprotect: the guided panel (app/guided_panel.h), built by code for its
// pictures.
QWidget* GuidedPanel(PanelContext& context);

}  // namespace ui
