// pMCS51Setting: the lock-bit choice, the three MCS-51 boxes, the option
// group (retitled "SPI on/off" or "Fuse" by the selection) and the lock
// commands. Built from descriptions, stacked in one group; the option group
// follows its control's caption and visibility.
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/programmer.h"
#include "families/mcu/mcs51.h"
#include "families/mcu/mcu_select.h"
#include "ui/control_binder.h"
#include "ui/panels/family_panels.h"
#include "ui/panels/settings_page.h"

namespace ui {
namespace {

namespace mcs51 = families::mcs51;

void rbLock0Click(app::Programmer& p) { mcs51::rbLockClick(p, 0); }
void rbLock1Click(app::Programmer& p) { mcs51::rbLockClick(p, 1); }
void rbLock12Click(app::Programmer& p) { mcs51::rbLockClick(p, 2); }
void rbLock123Click(app::Programmer& p) { mcs51::rbLockClick(p, 3); }

PanelDef LockBits() {
  PanelDef def;
  def.name = "gbMCS51Lock";
  def.title = "Lock Bit";
  def.controls = {
      panel::Radio("rbLock0", "No Lock Bit", &rbLock0Click),
      panel::Radio("rbLock1", "Lock Bit 1          (MOVC)", &rbLock1Click),
      panel::Radio("rbLock12", "Lock Bit 1+2      (Verify)", &rbLock12Click),
      panel::Radio("rbLock123", "Lock Bit 1+2+3  (EXEc)", &rbLock123Click),
      panel::Check("cbAutoErase", "Auto Erase"),
      panel::Check("cbAutoLockBit", "Auto LockBit"),
      panel::Check("cbNewAdapter", "New Aadapter", &mcs51::cbNewAdapterClick),
      panel::Button("sbLockBit", "Lock Bit", &mcs51::sbLockBitClick),
      panel::Button("sbRdLB", "LB", &mcs51::sbRdLBClick),
      panel::Label("pRdLB"),
  };
  return def;
}

PanelDef LockPopup() {
  PanelDef def;
  def.name = "pdLockBit";
  def.title = "Lock";
  def.controls = {
      panel::Combo("Mcs51_lockbit", "Lock bits",
                   {"No Lock Bit", "Lock Bit 1", "Lock Bit 1+2", "Lock Bit 1+2+3"},
                   &mcs51::Mcs51_lockbitChange),
      panel::Button("btnLockBit", "Lock", &mcs51::btnLockBitClick),
  };
  return def;
}

PanelDef OptionGroup() {
  PanelDef def;
  def.name = "cbMCS51spi";
  def.title = "SPI on/off";
  for (int i = 0; i < 4; ++i) {
    def.controls.push_back(panel::Check(std::string(families::mcu::kMcs51OptionBoxes[i]), "",
                                        &mcs51::cbMCS51spiClick));
  }
  def.controls.push_back(panel::Button("btnMCS51spiWrite", "Write", &mcs51::btnMCS51spiWriteClick));
  return def;
}

}  // namespace

QWidget* Mcs51Panel(PanelContext& context) {
  auto* box = new QGroupBox("MCS-51");
  box->setObjectName("pMCS51Setting");
  auto* column = new QVBoxLayout(box);
  for (const PanelDef& def : {LockBits(), LockPopup(), OptionGroup()}) {
    QWidget* part = SettingsPage::BuildPanel(def, context, box);
    column->addWidget(part);
  }
  if (auto* lb = box->findChild<QPushButton*>("sbRdLB")) lb->setToolTip("Read LockBit");
  // The option group's caption and visibility are the selection's.
  if (auto* group = box->findChild<QGroupBox*>("cbMCS51spi")) {
    context.binder.BindGroup(group, "cbMCS51spi");
    context.binder.BindWidget(group, "cbMCS51spi", false);
  }
  return box;
}

}  // namespace ui
