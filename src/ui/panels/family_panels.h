#pragma once

// The settings panels of the device families, one function per panel.

#include "ui/panels/panel_def.h"

namespace ui {

// p27CSettings: the EPROM timing track bars and the peak counters of the
// last program run.
PanelDef UvEpromPanel();

// pMCS51Setting: the MCS-51 lock bits, boxes, option group and lock
// commands (a factory: it stacks several groups).
QWidget* Mcs51Panel(PanelContext& context);

}  // namespace ui
