#pragma once

#include <QLineEdit>

#include "app/catalogue.h"

class QCompleter;
class QStandardItemModel;

namespace ui {

// "Find device…": a field that lists the catalogue items matching what is
// typed (case and blanks ignored, a '/' matches group paths) and chooses
// the one picked, through the same handler as the menu.
class DeviceFinder : public QLineEdit {
  Q_OBJECT

 public:
  explicit DeviceFinder(QWidget* parent = nullptr);

  // The items listed for the current text, in menu order.
  const std::vector<const app::CatalogueNode*>& hits() const { return hits_; }
  // Chooses hit `row` as if it had been picked from the list.
  void Choose(int row);

 signals:
  void DeviceChosen(const app::CatalogueNode* node);

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Search(const QString& text);

  QCompleter* completer_;
  QStandardItemModel* model_;
  std::vector<const app::CatalogueNode*> hits_;
};

}  // namespace ui
