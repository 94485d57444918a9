#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <string>
#include <vector>

class QAbstractButton;
class QAbstractSlider;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QWidget;
class QGroupBox;

namespace app {
class Controls;
}

namespace ui {

// Ties window widgets to the core's controls by their names: Render() shows
// what the core set (visible, enabled, checked, text, items, colour), and
// what the user changes is written back so the core reads it. Several
// widgets may show the same control.
class ControlBinder : public QObject {
  Q_OBJECT

 public:
  explicit ControlBinder(app::Controls& controls, QObject* parent = nullptr);

  // Check boxes and radio buttons: checked state and caption; the user's
  // click is written back.
  void BindButton(QAbstractButton* button, const std::string& name);
  // Labels and read-only fields: text and colour.
  void BindLabel(QLabel* label, const std::string& name);
  void BindField(QLineEdit* field, const std::string& name);
  // Drop-down lists: items and index; the user's choice is written back.
  void BindCombo(QComboBox* combo, const std::string& name);
  // Track bars: position (the control's index); the user's move is written
  // back.
  void BindSlider(QAbstractSlider* slider, const std::string& name);
  // Group boxes: caption.
  void BindGroup(QGroupBox* group, const std::string& name);
  // Panels and other containers: only shown and enabled. A control the core
  // has not touched yet keeps `visible_by_default`.
  void BindWidget(QWidget* widget, const std::string& name, bool visible_by_default = true);
  // Menu items and tool-bar buttons: shown and enabled.
  void BindAction(QAction* action, const std::string& name);

  // Applies the controls to the widgets; does nothing when nothing changed
  // since the last call unless `force`.
  void Render(bool force = false);

  // Called after a user change was written back, with the control's name.
  std::function<void(const std::string&)> on_user_change;

 signals:
  // The widgets show the controls anew: for views that derive more from
  // them than one widget per control.
  void Rendered();

 private:
  enum class Kind { kButton, kLabel, kField, kCombo, kSlider, kGroup, kWidget, kAction };
  struct Binding {
    Kind kind;
    std::string name;
    QPointer<QObject> object;
    bool visible_by_default = true;
  };
  void Apply(const Binding& binding);
  void UserChanged(const std::string& name);

  app::Controls& controls_;
  std::vector<Binding> bindings_;
  uint64_t rendered_generation_ = ~uint64_t{0};
  bool rendering_ = false;
};

}  // namespace ui
