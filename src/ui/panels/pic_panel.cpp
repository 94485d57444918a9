// pPICSettings: the configuration lists and boxes of the PIC10/12/16 parts
// (items, captions and the enabled set are the selection's), the word they
// compose, the user ID, "MCLRE +5V", the OSCCAL button and the 0x2008/0x2009
// calibration words; and the OSCCAL window's controls.
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <string>

#include "app/programmer.h"
#include "families/mcu/pic_config.h"
#include "families/mcu/pic_tools.h"
#include "ui/control_binder.h"
#include "ui/panels/family_panels.h"
#include "ui/panels/settings_page.h"
#include "ui/side_windows.h"

namespace ui {
namespace {

namespace pic = families::pic;
using Handler = void (*)(app::Programmer&);

PanelDef ConfigGroup() {
  PanelDef def;
  def.name = "gbPICconfig";
  def.title = "Configuration";
  def.controls = {
      panel::Combo(std::string(pic::kLists[0]), "Oscillator", {}, &pic::cbPICChange),
      panel::Combo(std::string(pic::kLists[1]), "Code Protect", {}, &pic::cbPICChange),
      panel::Label("lbPICbod", "Brown-out"),
      panel::Combo(std::string(pic::kLists[2]), "", {}, &pic::cbPICChange),
  };
  const char* captions[8] = {
      "WatchDog",         "Power-up Timer", "MCLR enable", "Brown-out Enable",
      "LowVoltage Prog.", "CP EEPROM",      "WRT",         "Debugger"};
  for (int b = 0; b < 8; ++b) {
    def.controls.push_back(
        panel::Check(std::string(pic::kBoxes[b]), captions[b], &pic::cbWDTEClick));
  }
  def.controls.push_back(panel::Field(pic::kConfigField, "Config"));
  def.controls.push_back(panel::Label(pic::kConfigBinary));
  def.controls.push_back(panel::Button("btnOSCCAL", "OSCCAL", &pic::btnOSCCALClick));
  return def;
}

// An edit the user types into: the text goes to the control when editing
// ends, then `changed` runs (window thread, never while an action runs).
QLineEdit* Edit(PanelContext& context, QWidget* parent, const std::string& name,
                Handler changed = nullptr) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromStdString(name));
  edit->setMaximumWidth(edit->fontMetrics().horizontalAdvance(QString(10, '0')));
  context.binder.BindField(edit, name);
  app::Programmer& p = context.programmer;
  QObject::connect(edit, &QLineEdit::editingFinished, edit, [edit, &p, name, changed] {
    if (p.busy()) return;
    p.controls.SetText(name, edit->text().toStdString());
    if (changed != nullptr) changed(p);
  });
  return edit;
}

QPushButton* Button(PanelContext& context, QWidget* parent, const char* name, const char* caption,
                    Handler run) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  context.binder.BindButton(button, name);
  QObject::connect(button, &QPushButton::clicked, parent, [&context, run] {
    if (context.run) context.run(run);
  });
  return button;
}

QWidget* CalibrationGroup(PanelContext& context, QWidget* parent) {
  auto* group = new QGroupBox("CFG 0x2008,0x2009", parent);
  group->setObjectName("gbPIC16F684");
  auto* grid = new QGridLayout(group);
  grid->addWidget(new QLabel("0x2008", group), 0, 0);
  grid->addWidget(Edit(context, group, pic::kCalib2008), 0, 1);
  grid->addWidget(new QLabel("0x2009", group), 1, 0);
  grid->addWidget(Edit(context, group, pic::kCalib2009), 1, 1);
  grid->addWidget(Button(context, group, "btnPIC16F684rd", "Read", &pic::btnPIC16F684rdClick), 0,
                  2);
  grid->addWidget(Button(context, group, "btnPIC16F684wr", "Write", &pic::btnPIC16F684wrClick), 1,
                  2);
  context.binder.BindWidget(group, "gbPIC16F684", false);
  return group;
}

}  // namespace

QWidget* PicPanel(PanelContext& context) {
  auto* box = new QGroupBox("PIC");
  box->setObjectName("pPICSettings");
  auto* column = new QVBoxLayout(box);
  column->addWidget(SettingsPage::BuildPanel(ConfigGroup(), context, box));

  auto* row = new QGridLayout;
  row->addWidget(new QLabel("ID", box), 0, 0);
  row->addWidget(Edit(context, box, pic::kIdField, &pic::edPIC_IDChange), 0, 1);
  // The box powers the chip at once: through the frame, on the worker.
  auto* mclre = new QCheckBox("MCLRE +5V", box);
  mclre->setObjectName(pic::kMclre5);
  context.binder.BindButton(mclre, pic::kMclre5);
  QObject::connect(mclre, &QCheckBox::clicked, box, [&context] {
    if (context.run) context.run(&pic::cbMCLRE5_Click);
  });
  row->addWidget(mclre, 0, 2);
  column->addLayout(row);
  column->addWidget(CalibrationGroup(context, box));
  return box;
}

void BuildOsccalWindow(TfrmOSCCAL& window, PanelContext& context) {
  QVBoxLayout* body = window.body();
  for (const char* warning :
       {"Write OSCCAL and Find OSCCAL", "OSCCAL will erase chip", "Code and data will be lost"}) {
    body->addWidget(new QLabel(warning, &window));
  }
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel("OSCCAL", &window), 0, 0);
  grid->addWidget(Edit(context, &window, pic::kOsccalEdit), 0, 1);
  auto* second = new QLabel("BandGap", &window);
  second->setObjectName(pic::kOsccalSecondLabel);
  context.binder.BindLabel(second, pic::kOsccalSecondLabel);
  grid->addWidget(second, 1, 0);
  grid->addWidget(Edit(context, &window, pic::kOsccalSecond), 1, 1);
  grid->addWidget(Button(context, &window, "btnOSCCALrd", "Read", &pic::btnOSCCALrdClick), 0, 2);
  grid->addWidget(Button(context, &window, "btnOSCCALwr", "Write", &pic::btnOSCCALwrClick), 1, 2);
  body->addLayout(grid);
  // The panel's button opens the window; its routine reads the chip.
  QWidget* top = window.parentWidget();
  auto* open = top != nullptr ? top->findChild<QPushButton*>("btnOSCCAL") : nullptr;
  if (open != nullptr) {
    app::Programmer& p = context.programmer;
    QObject::connect(open, &QPushButton::clicked, &window, [&window, &p] {
      if (p.busy()) return;
      p.controls.Show("frmOSCCAL");
      window.show();
    });
  }
}

}  // namespace ui
