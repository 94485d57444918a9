#pragma once

// The settings panels of the device families, one function per panel.

#include "ui/panels/panel_def.h"

namespace ui {

// p27CSettings: the EPROM timing track bars, each with the timing in use
// beside it, and the peak counters of the last program run.
QWidget* UvEpromPanel(PanelContext& context);

// p49F00xsetting: temporary sector unprotect and the fast-mode box of the
// JEDEC flash families 15 and 22, with the socket adapter.
PanelDef JedecFlashPanel();
// p28Fx00setting: erase by memory map and the J3's write buffer of the
// Intel flash families 24, 25, 26 and 55, with the socket adapter.
PanelDef IntelFlashPanel();
// pFirwareHubSetting: the R/C# time, smart and quadruple program of the
// firmware-hub families 34 and 35.
PanelDef FirmwareHubPanel();
// p29CxxxSetting: the AT28C / AT29C page or sector size and the software
// data protection choices.
PanelDef EepromPanel();

// pMXICF29040: the sector protection grid with its status, protect and
// unprotect buttons and the disable-ID-check box.
QWidget* ProtectPanel(PanelContext& context);

// gbUnprotect: the guided panel (app/guided_panel.h), built by code for its
// pictures.
QWidget* GuidedPanel(PanelContext& context);

// p24CSettings (24Cxxx pin 7, 93Cxx organisation and ICSP, serial NVRAM)
// and p25CxxxSetting (SPI EEPROM and flash).
void AddSerialPanels(PanelRegistry& registry);

// pMCS51Setting: the MCS-51 lock bits, boxes, option group and lock
// commands (a factory: it stacks several groups).
QWidget* Mcs51Panel(PanelContext& context);

// pAVRsetting: the AT90S lock mode, fuse boxes and their writes.
PanelDef AvrPanel();

// pPIC18FxxxSetting: the PIC18 configuration boxes, one row per byte, and
// the ID field (the description, and the factory that lays it out).
PanelDef Pic18Panel();
QWidget* Pic18PanelWidget(PanelContext& context);
// pPICSettings: the PIC10/12/16 configuration lists and boxes, the word and
// ID, "MCLRE +5V", the OSCCAL button and the 0x2008/0x2009 words.
QWidget* PicPanel(PanelContext& context);
// The OSCCAL window's edits and buttons, opened by the panel's button.
class TfrmOSCCAL;
void BuildOsccalWindow(TfrmOSCCAL& window, PanelContext& context);

}  // namespace ui
