#include "ui/panels/settings_page.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSlider>
#include <QVBoxLayout>

#include "app/controls.h"
#include "app/programmer.h"
#include "ui/control_binder.h"

namespace ui {
namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// A track bar shows its position (the control's index) beside the slider.
QWidget* TrackBar(const PanelControl& c, PanelContext& context, QWidget* parent) {
  auto* row = new QWidget(parent);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* slider = new QSlider(Qt::Horizontal, row);
  slider->setObjectName(Q(c.name));
  slider->setRange(c.minimum, c.maximum);
  auto* value = new QLabel(QString::number(slider->value()), row);
  value->setMinimumWidth(value->fontMetrics().horizontalAdvance("00000"));
  layout->addWidget(slider, 1);
  layout->addWidget(value);
  QObject::connect(slider, &QSlider::valueChanged, value,
                   [value](int v) { value->setText(QString::number(v)); });
  context.binder.BindSlider(slider, c.name);
  return row;
}

}  // namespace

QWidget* SettingsPage::BuildPanel(const PanelDef& def, PanelContext& context, QWidget* parent) {
  for (const PanelControl& c : def.controls) {
    if (c.changed != nullptr) context.hooks[c.name] = c.changed;
  }
  auto* box = new QGroupBox(Q(def.title), parent);
  box->setObjectName(Q(def.name));
  // Check boxes, radio buttons and buttons two to a row; captioned fields
  // and bars a row each, caption on the left.
  auto* layout = new QGridLayout(box);
  layout->setColumnStretch(1, 1);
  layout->setColumnStretch(3, 1);
  int row = 0;
  int half = 0;  // 0: the next small control starts a row, 1: it goes right
  auto add_small = [&](QWidget* w) {
    layout->addWidget(w, row, half * 2, 1, 2);
    half ^= 1;
    if (half == 0) ++row;
  };
  auto add_wide = [&](const QString& caption, QWidget* w) {
    if (half != 0) {
      half = 0;
      ++row;
    }
    if (caption.isEmpty()) {
      layout->addWidget(w, row, 0, 1, 4);
    } else {
      layout->addWidget(new QLabel(caption, box), row, 0);
      layout->addWidget(w, row, 1, 1, 3);
    }
    ++row;
  };
  QButtonGroup* radios = nullptr;
  ControlBinder& binder = context.binder;

  for (const PanelControl& c : def.controls) {
    using K = PanelControl::Kind;
    const QString caption = Q(c.caption);
    switch (c.kind) {
      case K::kCheck:
      case K::kRadio: {
        QAbstractButton* button = c.kind == K::kCheck
                                      ? static_cast<QAbstractButton*>(new QCheckBox(caption, box))
                                      : new QRadioButton(caption, box);
        if (c.kind == K::kRadio) {
          if (radios == nullptr) radios = new QButtonGroup(box);
          radios->addButton(button);
        }
        button->setObjectName(Q(c.name));
        binder.BindButton(button, c.name);
        add_small(button);
        break;
      }
      case K::kLabel: {
        auto* label = new QLabel(caption, box);
        label->setObjectName(Q(c.name));
        label->setProperty("coreText", caption.isEmpty());
        binder.BindLabel(label, c.name);
        add_wide({}, label);
        break;
      }
      case K::kField: {
        auto* field = new QLineEdit(box);
        field->setObjectName(Q(c.name));
        field->setReadOnly(true);
        field->setMaximumWidth(field->fontMetrics().horizontalAdvance(QString(16, '0')));
        binder.BindField(field, c.name);
        add_wide(caption, field);
        break;
      }
      case K::kCombo: {
        auto* combo = new QComboBox(box);
        combo->setObjectName(Q(c.name));
        for (const std::string& item : c.items) combo->addItem(Q(item));
        binder.BindCombo(combo, c.name);
        add_wide(caption, combo);
        break;
      }
      case K::kTrackBar:
        add_wide(caption, TrackBar(c, context, box));
        break;
      case K::kButton: {
        auto* button = new QPushButton(caption, box);
        button->setObjectName(Q(c.name));
        binder.BindButton(button, c.name);
        const auto run = c.run;
        QObject::connect(button, &QPushButton::clicked, box, [&context, run] {
          if (run != nullptr && context.run) context.run(run);
        });
        add_small(button);
        break;
      }
    }
  }
  return box;
}

SettingsPage::SettingsPage(const PanelRegistry& registry, PanelContext& context, QWidget* parent)
    : QWidget(parent) {
  setObjectName("pSettings");
  auto* inner = new QWidget;
  auto* column = new QVBoxLayout(inner);

  column->addWidget(BuildPanel(CommonOptionsPanel(), context, inner));
  for (const PanelDef& def : registry.panels()) {
    QWidget* panel = BuildPanel(def, context, inner);
    context.binder.BindWidget(panel, def.name, false);
    family_panels_.push_back(panel);
    column->addWidget(panel);
  }
  for (const PanelRegistry::Factory& factory : registry.factories()) {
    QWidget* panel = factory.make(context);
    if (panel == nullptr) continue;
    panel->setParent(inner);
    context.binder.BindWidget(panel, factory.name, false);
    family_panels_.push_back(panel);
    column->addWidget(panel);
  }
  empty_note_ = new QLabel("No further settings for this device.", inner);
  empty_note_->setObjectName("lbNoSettings");
  empty_note_->setEnabled(false);
  column->addWidget(empty_note_);
  column->addStretch();

  auto* scroll = new QScrollArea(this);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidget(inner);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(scroll);
}

void SettingsPage::ControlChanged(PanelContext& context, const std::string& name) {
  const auto it = context.hooks.find(name);
  if (it != context.hooks.end()) it->second(context.programmer);
}

void SettingsPage::UpdateEmptyNote() {
  bool any = false;
  for (QWidget* panel : family_panels_) any = any || !panel->isHidden();
  empty_note_->setVisible(!any);
}

}  // namespace ui
