#include "ui/id_panel.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/control_binder.h"

namespace ui {
namespace {

QLineEdit* Field(ControlBinder& binder, QWidget* parent, const char* name, int chars) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(name);
  field->setReadOnly(true);
  if (chars > 0) {
    field->setFixedWidth(field->fontMetrics().horizontalAdvance(QString(chars, '0')) + 14);
  }
  binder.BindField(field, name);
  return field;
}

}  // namespace

IdPanel::IdPanel(ControlBinder& binder, QWidget* parent) : QGroupBox("Electronic ID", parent) {
  setObjectName("pIDcode");
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(6, 2, 6, 4);
  grid->setVerticalSpacing(2);
  grid->addWidget(new QLabel("Manufacturer", this), 0, 0);
  grid->addWidget(Field(binder, this, "edManufacID", 7), 0, 1);
  grid->addWidget(Field(binder, this, "edManufacName", 0), 0, 2);
  grid->addWidget(new QLabel("Device", this), 1, 0);
  grid->addWidget(Field(binder, this, "edDeviceID", 7), 1, 1);
  grid->addWidget(Field(binder, this, "edDeviceName", 0), 1, 2);

  auto* lock_label = new QLabel("Lock Bit", this);
  lock_label->setObjectName("lbLockbit");
  binder.BindLabel(lock_label, "lbLockbit");
  grid->addWidget(lock_label, 0, 3);
  grid->addWidget(Field(binder, this, "edLockbit", 5), 0, 4);
  grid->addWidget(Field(binder, this, "edLockbit2", 5), 0, 5);
  grid->addWidget(Field(binder, this, "edLockMode", 0), 1, 3, 1, 3);

  cfi_ = new QPushButton("CFI Query", this);
  cfi_->setObjectName("btnCFI");
  binder.BindWidget(cfi_, "btnCFI", false);
  grid->addWidget(cfi_, 0, 6, 2, 1);
  grid->setColumnStretch(2, 1);
  binder.BindWidget(this, "pIDcode", false);
}

void IdPanel::HideBlankLockFields() {
  for (const char* name : {"edLockbit2", "edLockMode"}) {
    auto* field = findChild<QLineEdit*>(name);
    if (field != nullptr && field->text().trimmed().isEmpty()) field->hide();
  }
}

}  // namespace ui
