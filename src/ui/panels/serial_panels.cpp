// The serial families' settings panels: p24CSettings, which the 24Cxx, the
// 93Cxx and the serial NVRAMs share under the caption their selection sets,
// and p25CxxxSetting for the SPI EEPROM and flash.
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>
#include <string>

#include "app/programmer.h"
#include "families/parallel/uv_eprom.h"
#include "families/serial/microwire_select.h"
#include "families/serial/serial_controls.h"
#include "families/serial/spi_select.h"
#include "ui/control_binder.h"
#include "ui/panels/family_panels.h"
#include "ui/panels/settings_page.h"

namespace ui {
namespace {

// A radio's handler runs for the button that became checked; its partner's
// toggle off calls nothing.
void Pin7High(app::Programmer& p) {
  if (p.controls.Checked("r24Cpin7high")) families::serial::r24Cpin7highClick(p);
}
void Pin7Low(app::Programmer& p) {
  if (p.controls.Checked("r24Cpin7Low")) families::serial::r24Cpin7LowClick(p);
}
void Org16(app::Programmer& p) {
  if (p.controls.Checked("rb93_16bit")) families::serial::rb93_16bitClick(p);
}
void Org8(app::Programmer& p) {
  if (p.controls.Checked("rb93_8bit")) families::serial::rb93_8bitClick(p);
}
void TwcMoved(app::Programmer& p) {
  families::uv_eprom::tbTWCChange(p, 1, p.controls.Index("tbTWC"));
  p.controls.SetText("edTWC", std::to_string(p.dev.twc));
}
void StretchMoved(app::Programmer& p) {
  families::uv_eprom::tbTWCChange(p, 3, p.controls.Index("tb_clip"));
}

// Two radio pairs share the panel but not a group: each half is built as a
// panel of its own inside it.
QWidget* Serial24CPanel(PanelContext& context) {
  auto* box = new QGroupBox;
  box->setObjectName("p24CSettings");
  auto* layout = new QVBoxLayout(box);
  auto* caption = new QLabel(box);
  caption->setObjectName("lb24CSettingsCaption");
  context.binder.BindLabel(caption, "p24CSettings");
  layout->addWidget(caption);

  PanelDef pin7;
  pin7.name = "p24CPin7";
  pin7.controls = {
      panel::Radio("r24Cpin7high", "High ( Wirte protect )", &Pin7High),
      panel::Radio("r24Cpin7Low", "Low  ( Normal Read/Wirte Operations )", &Pin7Low),
  };
  QWidget* pin7_box = SettingsPage::BuildPanel(pin7, context, box);
  context.binder.BindWidget(pin7_box, "r24Cpin7high");  // shown with its radios
  layout->addWidget(pin7_box);

  PanelDef mw;
  mw.name = "p93CSettings";
  mw.controls = {
      panel::Label("lb16bitmode"),
      panel::Radio("rb93_16bit", "16 bit mode (pin 6 = ' NC ' or float Pin )", &Org16),
      panel::Radio("rb93_8bit", "8 bit mode (pin 6 =  ' ORG' and  connect to GND", &Org8),
      panel::Check("cb93ICSP", "Program SMD Chip use ICSP connector",
                   &families::serial::cb93ICSP_Click),
  };
  QWidget* mw_box = SettingsPage::BuildPanel(mw, context, box);
  context.binder.BindWidget(mw_box, "rb93_16bit");
  layout->addWidget(mw_box);
  return box;
}

}  // namespace

void AddSerialPanels(PanelRegistry& registry) {
  registry.AddFactory("p24CSettings", &Serial24CPanel);

  PanelDef spi;
  spi.name = "p25CxxxSetting";
  spi.title = "SPI EEPROM/FLASH ( 25xxxx) setting";
  spi.controls = {
      panel::Check("cbWPEN25C", "WPEN ", &families::serial::cb25CxxxBPChange),
      panel::Combo("cb25CxxxBP", "Block Write Protect", {" None"},
                   &families::serial::cb25CxxxBPChange),
      panel::TrackBar("tb_clip", "Clock stretch", 1, 200, &StretchMoved),
      panel::Field("ed_tclip", "Stretch"),
      // The EPROM panel's bar, shared: the handler is the same.
      panel::TrackBar("tbTWC", "tWC", 1, 30000, &TwcMoved),
      panel::Field("edTWC", "tWC ticks"),
  };
  registry.Add(std::move(spi));
}

}  // namespace ui
