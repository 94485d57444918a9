// pPIC18FxxxSetting: the configuration bytes as boxes, one row per byte with
// bit 7 on the left and the byte's value beside them (captions and the
// enabled set are the selection's), and the editable ID field. The controls
// are described as data; the grid and the editable field are built here.
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "app/programmer.h"
#include "families/mcu/pic18_config.h"
#include "ui/control_binder.h"
#include "ui/panels/family_panels.h"

namespace ui {
namespace {

namespace pic18 = families::pic18;

constexpr const char* kByteNames[14] = {"CONFIG1L", "CONFIG1H", "CONFIG2L", "CONFIG2H", "CONFIG3L",
                                        "CONFIG3H", "CONFIG4L", "CONFIG4H", "CONFIG5L", "CONFIG5H",
                                        "CONFIG6L", "CONFIG6H", "CONFIG7L", "CONFIG7H"};

QString Q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

PanelDef Pic18Panel() {
  PanelDef def;
  def.name = pic18::kPanel;
  def.title = "PIC18Fxxx  Configuration Bits";
  for (int k = 0; k < 14; ++k) {
    for (int bit = 7; bit >= 0; --bit) {
      def.controls.push_back(panel::Check(pic18::ConfigBoxName(k / 2, (k % 2) * 8 + bit), "-",
                                          &pic18::cbPIC18_0000Click));
    }
    def.controls.push_back(panel::Field(pic18::ConfigByteField(k), kByteNames[k]));
  }
  // Editable: the factory below builds it so.
  def.controls.push_back(panel::Field(pic18::kIdField, "ID"));
  return def;
}

QWidget* Pic18PanelWidget(PanelContext& context) {
  const PanelDef def = Pic18Panel();
  auto* box = new QGroupBox(Q(def.title));
  box->setObjectName(Q(def.name));
  auto* grid = new QGridLayout(box);
  ControlBinder& binder = context.binder;
  int row = 0, column = 1;
  for (const PanelControl& c : def.controls) {
    if (c.kind == PanelControl::Kind::kCheck) {
      auto* check = new QCheckBox(Q(c.caption), box);
      check->setObjectName(Q(c.name));
      binder.BindButton(check, c.name);
      context.hooks[c.name] = c.changed;
      grid->addWidget(check, row, column++);
      continue;
    }
    auto* field = new QLineEdit(box);
    field->setObjectName(Q(c.name));
    binder.BindField(field, c.name);
    grid->addWidget(new QLabel(Q(c.caption), box), row, 0);
    if (c.name != pic18::kIdField) {
      // A byte: its boxes are on the row, the value after them.
      field->setReadOnly(true);
      field->setMaximumWidth(field->fontMetrics().horizontalAdvance("0x0000"));
      grid->addWidget(field, row, column);
    } else {
      field->setMaxLength(18);
      grid->addWidget(field, row, 1, 1, 8);
      app::Programmer& p = context.programmer;
      QObject::connect(field, &QLineEdit::textEdited, box, [&p, &binder](const QString& text) {
        p.controls.SetText(pic18::kIdField, text.toStdString());
        pic18::edPIC18F_IDChange(p);
        if (binder.on_user_change) binder.on_user_change(pic18::kIdField);
      });
      QObject::connect(field, &QLineEdit::editingFinished, box, [&p, &binder] {
        pic18::edPIC18F_ID_exit(p);
        binder.Render();
      });
    }
    ++row;
    column = 1;
  }
  return box;
}

}  // namespace ui
