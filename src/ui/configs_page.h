#pragma once

#include <QWidget>
#include <vector>

class QLineEdit;

namespace app {
class Programmer;
}

namespace ui {

// The "Configs" page: the device descriptor's fields, read-only, under
// their labels, in the groups "EPROM", "MCS-51" and "PIC".
class ConfigsPage : public QWidget {
  Q_OBJECT

 public:
  explicit ConfigsPage(const app::Programmer& programmer, QWidget* parent = nullptr);
  void Refresh();
  // The field under `label` in `group` (for tests), nullptr when none.
  QLineEdit* Field(const QString& group, const QString& label) const;

 private:
  struct Entry {
    QString group;
    QString label;
    QLineEdit* field;
    QString (*value)(const app::Programmer&);
  };
  const app::Programmer& programmer_;
  std::vector<Entry> entries_;
};

}  // namespace ui
