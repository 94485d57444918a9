#pragma once

#include <QDialog>

#include "ui/buffer_layout.h"

class QLineEdit;
class QScrollBar;
class QPushButton;

namespace ui {

// The byte editor ("Edit HEX"): a small tool window over the byte view that
// shows one value of the view's area and writes the typed byte straight
// into the image.
class TfrmEditHEX : public QDialog {
  Q_OBJECT

 public:
  TfrmEditHEX(uint8_t* image, QWidget* parent = nullptr);

  // Shows the editor on value k of `area` (k below the area's count).
  void OpenAt(const ByteArea& area, uint32_t k);
  uint32_t edit_address() const { return edit_address_; }
  uint32_t position() const { return position_; }

  QLineEdit* edHexAdres() const { return ed_hex_adres_; }
  QLineEdit* edHexData() const { return ed_hex_data_; }
  QScrollBar* sbAddress() const { return sb_address_; }

 signals:
  // A byte of the image changed.
  void ByteWritten(uint32_t address);
  // The editor moved to value k of its area.
  void PositionChanged(uint32_t k);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void sbAddressChange(int position);
  void edHexDataChange();
  void ShowPosition(uint32_t k);

  uint8_t* image_;
  ByteArea area_;
  uint32_t position_ = 0;
  uint32_t edit_address_ = 0;
  QLineEdit* ed_hex_adres_;
  QLineEdit* ed_hex_data_;
  QScrollBar* sb_address_;
  QPushButton* btn_edit_hex_;
};

}  // namespace ui
