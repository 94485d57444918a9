#pragma once

// The secondary windows created at start-up next to the main window: the
// About box, the CFI report and the OSCCAL editor. The CFI and OSCCAL
// windows are filled by the flash and PIC tools; this is their frame.

#include <QDialog>
#include <QString>
#include <array>
#include <vector>

class QLabel;
class QTableWidget;
class QVBoxLayout;

namespace ui {

class TMenuAbout : public QDialog {
  Q_OBJECT

 public:
  explicit TMenuAbout(QWidget* parent = nullptr);
};

// The CFI report: one row per query field (description, address, code,
// decoded value).
class TfrmCFI : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmCFI(QWidget* parent = nullptr);
  void SetTitle(const QString& title);
  void SetRows(const std::vector<std::array<QString, 4>>& rows);
  void SetHeader(const std::array<QString, 4>& header);
  // The selected rows as tab-separated lines (what Ctrl+C copies).
  QString SelectedText() const;
  QTableWidget* sgCFI() const { return grid_; }

 private:
  QLabel* title_;
  QTableWidget* grid_;
};

// The OSCCAL editor of the PIC 12-bit parts; the PIC tools put their
// controls into body().
class TfrmOSCCAL : public QDialog {
  Q_OBJECT

 public:
  explicit TfrmOSCCAL(QWidget* parent = nullptr);
  QVBoxLayout* body() const { return body_; }

 private:
  QVBoxLayout* body_;
};

}  // namespace ui
