#include "ui/control_binder.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QStringList>
#include <QWidget>

#include "app/controls.h"
#include "ui/shown_text.h"

namespace ui {
namespace {

QColor FromColourRef(uint32_t bgr) {
  return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

QString Text(const app::ControlState& state) { return QString::fromStdString(state.text); }

}  // namespace

ControlBinder::ControlBinder(app::Controls& controls, QObject* parent)
    : QObject(parent), controls_(controls) {}

void ControlBinder::BindButton(QAbstractButton* button, const std::string& name) {
  bindings_.push_back({Kind::kButton, name, button});
  connect(button, &QAbstractButton::toggled, this, [this, name](bool checked) {
    if (rendering_) return;
    controls_[name].checked = checked;
    UserChanged(name);
  });
}

void ControlBinder::BindLabel(QLabel* label, const std::string& name) {
  bindings_.push_back({Kind::kLabel, name, label});
}

void ControlBinder::BindField(QLineEdit* field, const std::string& name) {
  bindings_.push_back({Kind::kField, name, field});
}

void ControlBinder::BindCombo(QComboBox* combo, const std::string& name) {
  bindings_.push_back({Kind::kCombo, name, combo});
  connect(combo, &QComboBox::currentIndexChanged, this, [this, name](int index) {
    if (rendering_ || index < 0) return;
    controls_[name].index = index;
    UserChanged(name);
  });
}

void ControlBinder::BindSlider(QAbstractSlider* slider, const std::string& name) {
  bindings_.push_back({Kind::kSlider, name, slider});
  connect(slider, &QAbstractSlider::valueChanged, this, [this, name](int value) {
    if (rendering_) return;
    controls_[name].index = value;
    UserChanged(name);
  });
}

void ControlBinder::BindGroup(QGroupBox* group, const std::string& name) {
  bindings_.push_back({Kind::kGroup, name, group});
}

void ControlBinder::BindWidget(QWidget* widget, const std::string& name, bool visible_by_default) {
  bindings_.push_back({Kind::kWidget, name, widget, visible_by_default});
  if (!visible_by_default) widget->hide();
}

void ControlBinder::BindAction(QAction* action, const std::string& name) {
  bindings_.push_back({Kind::kAction, name, action});
}

void ControlBinder::UserChanged(const std::string& name) {
  if (on_user_change) on_user_change(name);
}

void ControlBinder::Render(bool force) {
  if (!force && controls_.generation() == rendered_generation_) return;
  rendering_ = true;
  for (const Binding& b : bindings_) Apply(b);
  rendering_ = false;
  rendered_generation_ = controls_.generation();
  emit Rendered();
}

void ControlBinder::Apply(const Binding& b) {
  if (b.object.isNull()) return;
  const app::ControlState* state = controls_.Find(b.name);

  if (b.kind == Kind::kAction) {
    auto* action = static_cast<QAction*>(b.object.data());
    action->setVisible(state == nullptr || state->visible);
    action->setEnabled(state == nullptr || state->enabled);
    return;
  }

  auto* widget = static_cast<QWidget*>(b.object.data());
  const bool visible = state != nullptr ? state->visible : b.visible_by_default;
  if (widget->isHidden() == visible) widget->setVisible(visible);
  if (state == nullptr) return;
  widget->setEnabled(state->enabled);

  const QString text = Text(*state);
  switch (b.kind) {
    case Kind::kButton: {
      auto* button = static_cast<QAbstractButton*>(widget);
      const QSignalBlocker block(button);
      if (button->isCheckable()) button->setChecked(state->checked);
      if (!text.isEmpty() && button->text() != text) button->setText(text);
      break;
    }
    case Kind::kLabel: {
      auto* label = static_cast<QLabel*>(widget);
      // A label with a caption of its own keeps it until the core gives it
      // another; a label that only shows the core's text follows it always.
      if (!text.isEmpty() || label->property("coreText").toBool()) {
        label->setText(ShownCaption(text));
      }
      QPalette palette = label->palette();
      palette.setColor(QPalette::WindowText, FromColourRef(state->colour));
      label->setPalette(palette);
      break;
    }
    case Kind::kField: {
      auto* field = static_cast<QLineEdit*>(widget);
      if (field->text() != text) {
        const QSignalBlocker block(field);
        field->setText(text);
      }
      break;
    }
    case Kind::kCombo: {
      auto* combo = static_cast<QComboBox*>(widget);
      const QSignalBlocker block(combo);
      if (!state->items.empty()) {
        QStringList items;
        for (const std::string& item : state->items) items << QString::fromStdString(item);
        QStringList shown;
        for (int i = 0; i < combo->count(); ++i) shown << combo->itemText(i);
        if (items != shown) {
          combo->clear();
          combo->addItems(items);
        }
      }
      if (state->index >= 0 && state->index < combo->count()) combo->setCurrentIndex(state->index);
      break;
    }
    case Kind::kSlider: {
      auto* slider = static_cast<QAbstractSlider*>(widget);
      if (slider->value() != state->index) slider->setValue(state->index);
      break;
    }
    case Kind::kGroup: {
      auto* group = static_cast<QGroupBox*>(widget);
      if (!text.isEmpty()) group->setTitle(text);
      break;
    }
    case Kind::kWidget:
    case Kind::kAction:
      break;
  }
}

}  // namespace ui
