#pragma once

#include <QWidget>

#include "ui/panels/panel_def.h"

class QLabel;

namespace ui {

// The "Settings" page: the shared options, then every family panel, each
// shown only while the core marks it visible.
class SettingsPage : public QWidget {
  Q_OBJECT

 public:
  SettingsPage(const PanelRegistry& registry, PanelContext& context, QWidget* parent = nullptr);

  // The user changed control `name`: runs its panel's handler, if any.
  static void ControlChanged(PanelContext& context, const std::string& name);

  // After the controls were rendered: says so when the device has no panel.
  void UpdateEmptyNote();

  // Builds one panel from its description (also for the options group).
  static QWidget* BuildPanel(const PanelDef& def, PanelContext& context, QWidget* parent);

 private:
  std::vector<QWidget*> family_panels_;
  QLabel* empty_note_;
};

}  // namespace ui
