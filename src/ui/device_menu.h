#pragma once

#include <QMenu>
#include <string_view>

#include "app/catalogue.h"

namespace ui {

// The device catalogue as a popup menu (mnuDevice): groups, separators,
// heading lines and items exactly as the catalogue lists them. Hidden
// entries never show, disabled ones show greyed; items that select nothing
// show greyed too, since clicking them would do nothing. Submenus are filled
// the first time they open, so the popup opens at once however large the
// catalogue grows.
class DeviceMenu : public QMenu {
  Q_OBJECT

 public:
  DeviceMenu(const QString& title, QWidget* parent);

  // The menu action that shows `node`, filling the submenus on the way
  // (for tests and for showing the current device).
  QAction* ActionFor(const app::CatalogueNode& node);

 signals:
  void DeviceChosen(const app::CatalogueNode* node);

 private:
  void Fill(QMenu* menu, const app::CatalogueNode& group);
  void FillOnce(QMenu* menu);
};

// Menu text for a caption: '&' would turn into an accelerator otherwise.
QString MenuText(std::string_view caption);

}  // namespace ui
