#include "ui/hex_editor.h"

#include <QEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "image/hex_field.h"
#include "image/memory_image.h"

namespace ui {

TfrmEditHEX::TfrmEditHEX(uint8_t* image, QWidget* parent)
    : QDialog(parent, Qt::Tool), image_(image) {
  setObjectName("frmEditHEX");
  setWindowTitle("Edit HEX");

  ed_hex_adres_ = new QLineEdit(this);
  ed_hex_adres_->setObjectName("edHexAdres");
  ed_hex_adres_->setReadOnly(true);
  ed_hex_data_ = new QLineEdit(this);
  ed_hex_data_->setObjectName("edHexData");
  ed_hex_data_->installEventFilter(this);
  sb_address_ = new QScrollBar(Qt::Vertical, this);
  sb_address_->setObjectName("sbAddress");
  btn_edit_hex_ = new QPushButton("&Close", this);
  btn_edit_hex_->setObjectName("btnEditHex");
  btn_edit_hex_->setAutoDefault(false);

  QFont mono("monospace");
  mono.setStyleHint(QFont::TypeWriter);
  ed_hex_adres_->setFont(mono);
  ed_hex_data_->setFont(mono);
  const int field_width = ed_hex_adres_->fontMetrics().horizontalAdvance("00000000") + 12;
  ed_hex_adres_->setFixedWidth(field_width);
  ed_hex_data_->setFixedWidth(field_width);

  auto* form = new QFormLayout;
  form->addRow("Address (HEX)", ed_hex_adres_);
  form->addRow("DATA (HEX)", ed_hex_data_);
  auto* left = new QVBoxLayout;
  left->addLayout(form);
  left->addStretch();
  left->addWidget(btn_edit_hex_, 0, Qt::AlignRight);
  auto* layout = new QHBoxLayout(this);
  layout->addLayout(left);
  layout->addWidget(sb_address_);

  connect(sb_address_, &QScrollBar::valueChanged, this, &TfrmEditHEX::sbAddressChange);
  connect(ed_hex_data_, &QLineEdit::textEdited, this, &TfrmEditHEX::edHexDataChange);
  connect(ed_hex_data_, &QLineEdit::editingFinished, this, &TfrmEditHEX::edHexDataChange);
  connect(btn_edit_hex_, &QPushButton::clicked, this, &QDialog::close);
}

void TfrmEditHEX::OpenAt(const ByteArea& area, uint32_t k) {
  area_ = area;
  {
    // The bar ends at the last value of the area.
    const QSignalBlocker block(sb_address_);
    sb_address_->setRange(0, area.count == 0 ? 0 : static_cast<int>(area.count - 1));
    sb_address_->setValue(static_cast<int>(k));
  }
  ShowPosition(k);
  show();
  raise();
}

void TfrmEditHEX::sbAddressChange(int position) {
  if (position < 0) return;
  ShowPosition(static_cast<uint32_t>(position));
}

void TfrmEditHEX::ShowPosition(uint32_t k) {
  position_ = k;
  const uint64_t address = area_.offset + uint64_t{k} * area_.stride;
  edit_address_ = static_cast<uint32_t>(std::min<uint64_t>(address, image::kImageSize - 1));
  ed_hex_adres_->setText(QStringLiteral("%1").arg(k, 6, 16, QLatin1Char('0')).toUpper());
  {
    // Showing the byte is not an edit: nothing may be written back.
    const QSignalBlocker block(ed_hex_data_);
    ed_hex_data_->setText(
        QStringLiteral("%1").arg(image_[edit_address_], 2, 16, QLatin1Char('0')).toUpper());
  }
  emit PositionChanged(k);
}

void TfrmEditHEX::edHexDataChange() {
  uint32_t value = 0;
  if (!image::ParseHexField(ed_hex_data_->text().toStdString(), value)) return;
  image_[edit_address_] = static_cast<uint8_t>(value);
  emit ByteWritten(edit_address_);
}

bool TfrmEditHEX::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ed_hex_data_ && event->type() == QEvent::MouseButtonDblClick) edHexDataChange();
  return QDialog::eventFilter(watched, event);
}

}  // namespace ui
