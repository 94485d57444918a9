#pragma once

#include <QGroupBox>

class QPushButton;

namespace ui {

class ControlBinder;

// The "Electronic ID" panel (pIDcode) that Get ID fills: manufacturer and
// device codes and names, lock byte and mode, and the CFI button.
class IdPanel : public QGroupBox {
  Q_OBJECT

 public:
  IdPanel(ControlBinder& binder, QWidget* parent = nullptr);
  QPushButton* cfi_button() const { return cfi_; }
  // The lock fields only some chips fill: an empty box next to the codes
  // reads like a missing value, so blank ones are not shown.
  void HideBlankLockFields();

 private:
  QPushButton* cfi_;
};

}  // namespace ui
