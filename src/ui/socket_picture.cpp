#include "ui/socket_picture.h"

#include <QPainter>
#include <QPainterPath>
#include <array>

namespace ui {
namespace {

struct CodeRow {
  int code;
  SocketOutline::Kind kind;
  int pins;
  const char* label;
  int wire_from, wire_to;
};

constexpr auto kDip = SocketOutline::Kind::kDip;
constexpr auto kPlcc = SocketOutline::Kind::kPlcc;
constexpr auto kTsop = SocketOutline::Kind::kTsop;

// Socket picture codes the device families set.
constexpr std::array<CodeRow, 15> kCodes{{
    {32, kDip, 32, "DIP32", 0, 0},
    {28, kDip, 28, "DIP28", 0, 0},
    {2716, kDip, 24, "DIP24  2716", 0, 0},
    {2732, kDip, 24, "DIP24  2732", 0, 0},
    {2816, kDip, 24, "DIP24", 0, 0},
    {29256, kDip, 28, "DIP28", 3, 31},  // AT29C256: pin 3 wired to pin 31
    {28001, kDip, 32, "DIP32", 1, 30},  // 28F001BX: pin 1 wired to pin 30
    {8749, kDip, 40, "40-pin adapter", 0, 0},
    {51, kDip, 40, "MCS-51  DIP40", 0, 0},
    {2051, kDip, 20, "DIP20", 0, 0},
    {240, kDip, 8, "DIP8", 0, 0},
    {16, kDip, 18, "PIC", 0, 0},
    {90, kDip, 40, "AVR adapter", 0, 0},  // AT90S parts on their DIP20/28/40 adapter
    {82802, kPlcc, 32, "PLCC32", 0, 0},
    {48, kTsop, 48, "TSOP", 0, 0},  // the TSOP40/TSOP48/PSOP44 flash adapters
}};

constexpr int kSocketPins = 32;
constexpr int kColumns = kSocketPins / 2;  // pin positions along the socket
constexpr qreal kWidth = 236;
constexpr qreal kHeight = 78;
constexpr int kShownHeight = 68;  // as the switch picture beside it
constexpr qreal kPitch = 10;
// Room left of the socket for chips that overhang it on an adapter.
constexpr qreal kSocketLeft = 48;
constexpr qreal kSocketTop = 10;
constexpr qreal kSocketHeight = 58;

const QColor kSocketBody(0x3F, 0x72, 0xB8);
const QColor kHole(0x14, 0x1E, 0x30);
const QColor kChip(0x24, 0x24, 0x26);
const QColor kAdapter(0x2E, 0x6B, 0x3A, 230);

qreal ColumnX(qreal column) { return kSocketLeft + 8 + column * kPitch + kPitch / 2; }
constexpr qreal kBottomRow = kSocketTop + kSocketHeight - 9;
constexpr qreal kTopRow = kSocketTop + 9;

// Socket pins count up the bottom row from the left (pin 1 beside the
// notch), then back along the top row.
QPointF SocketPin(int pin) {
  if (pin <= kColumns) return {ColumnX(pin - 1), kBottomRow};
  return {ColumnX(kSocketPins - pin), kTopRow};
}

}  // namespace

SocketOutline OutlineForCode(int code) {
  for (const CodeRow& row : kCodes) {
    if (row.code == code) {
      return SocketOutline{row.kind, row.pins, QString::fromLatin1(row.label), row.wire_from,
                           row.wire_to};
    }
  }
  return {};
}

SocketPicture::SocketPicture(QWidget* parent) : QWidget(parent) {
  setObjectName("imgSocket");
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  SetCode(0);
}

void SocketPicture::SetCode(int code) {
  if (code == code_) return;
  code_ = code;
  outline_ = OutlineForCode(code);
  update();
}

// The room left of the socket is only drawn when a chip overhangs into it.
qreal SocketPicture::ContentLeft() const {
  const bool overhang = outline_.kind == SocketOutline::Kind::kDip && outline_.pins > kSocketPins;
  return overhang ? 0 : kSocketLeft - 4;
}

QSize SocketPicture::sizeHint() const {
  return QSize(qRound((kWidth - (kSocketLeft - 4)) * kShownHeight / kHeight), kShownHeight);
}
QSize SocketPicture::minimumSizeHint() const { return sizeHint(); }

void SocketPicture::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal left = ContentLeft();
  const qreal scale = std::min(width() / (kWidth - left), height() / kHeight);
  // Left-aligned, so the pictures sit side by side however wide the row.
  painter.translate(-left * scale, (height() - kHeight * scale) / 2);
  painter.scale(scale, scale);

  // The ZIF socket: body, the lever at the far end, two rows of contacts.
  const QRectF body(kSocketLeft, kSocketTop, kColumns * kPitch + 16, kSocketHeight);
  painter.setPen(QPen(kSocketBody.darker(150), 1));
  painter.setBrush(kSocketBody);
  painter.drawRoundedRect(body, 3, 3);
  painter.setBrush(QColor(0xD0, 0xD0, 0xD0));
  painter.drawRoundedRect(QRectF(body.right() - 1, body.top() + 2, 9, 7), 2, 2);
  painter.drawRect(QRectF(body.right() + 3, body.top() + 8, 3, body.height() - 12));
  painter.setPen(Qt::NoPen);
  painter.setBrush(kHole);
  for (int pin = 1; pin <= kSocketPins; ++pin) {
    const QPointF c = SocketPin(pin);
    painter.drawRect(QRectF(c.x() - 2, c.y() - 2, 4, 4));
  }
  QFont font = painter.font();
  font.setPixelSize(9);
  painter.setFont(font);
  painter.setPen(QColor(0xE8, 0xF0, 0xFF));
  painter.drawText(QRectF(body.left() + 1, body.bottom() - 9, 10, 9), Qt::AlignCenter, "1");

  if (outline_.kind == SocketOutline::Kind::kEmpty) return;

  QFont label_font = painter.font();
  label_font.setPixelSize(11);
  label_font.setBold(true);

  if (outline_.kind == SocketOutline::Kind::kTsop) {
    // An adapter board over the socket carrying the thin package, its
    // leads along the two short sides.
    painter.setPen(Qt::NoPen);
    painter.setBrush(kAdapter);
    painter.drawRoundedRect(body.adjusted(10, -6, -10, 6), 4, 4);
    const QRectF chip(body.center().x() - 38, body.center().y() - 16, 76, 32);
    painter.setPen(QPen(QColor(0xC8, 0xC8, 0xC8), 1));
    for (qreal y = chip.top() + 2; y < chip.bottom() - 1; y += 3) {
      painter.drawLine(QPointF(chip.left() - 4, y), QPointF(chip.left(), y));
      painter.drawLine(QPointF(chip.right(), y), QPointF(chip.right() + 4, y));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(kChip);
    painter.drawRect(chip);
    painter.setBrush(QColor(0xBB, 0xBB, 0xBB));
    painter.drawEllipse(QPointF(chip.left() + 5, chip.bottom() - 5), 2, 2);
    painter.setFont(label_font);
    painter.setPen(Qt::white);
    painter.drawText(chip, Qt::AlignCenter, outline_.label);
    return;
  }

  if (outline_.kind == SocketOutline::Kind::kPlcc) {
    // An adapter board over the socket carrying the square chip carrier.
    painter.setPen(Qt::NoPen);
    painter.setBrush(kAdapter);
    painter.drawRoundedRect(body.adjusted(10, -6, -10, 6), 4, 4);
    const QRectF chip(body.center().x() - 22, body.center().y() - 22, 44, 44);
    QPainterPath carrier;
    carrier.moveTo(chip.left() + 7, chip.top());
    carrier.lineTo(chip.topRight());
    carrier.lineTo(chip.bottomRight());
    carrier.lineTo(chip.bottomLeft());
    carrier.lineTo(chip.left(), chip.top() + 7);
    carrier.closeSubpath();
    painter.fillPath(carrier, kChip);
    painter.setFont(label_font);
    painter.setPen(Qt::white);
    painter.drawText(chip, Qt::AlignCenter, outline_.label);
    return;
  }

  // A DIP chip: pins/2 columns ending at the socket's far end; longer chips
  // overhang on the pin-1 side, on an adapter.
  const int columns = outline_.pins / 2;
  const qreal first = kColumns - columns;
  if (first < 0) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(kAdapter);
    painter.drawRoundedRect(QRectF(ColumnX(first) - kPitch, kSocketTop - 6,
                                   (columns + 1) * kPitch + 2, kSocketHeight + 12),
                            4, 4);
  }
  const QRectF chip(ColumnX(first) - kPitch / 2 + 1, kTopRow + 5, columns * kPitch - 2,
                    kBottomRow - kTopRow - 10);
  painter.setPen(QPen(QColor(0x9A, 0x9A, 0x9A), 1));
  painter.setBrush(QColor(0xC8, 0xC8, 0xC8));
  for (int c = 0; c < columns; ++c) {
    const qreal x = ColumnX(first + c);
    painter.drawRect(QRectF(x - 2, kTopRow - 3, 4, chip.top() - kTopRow + 3));
    painter.drawRect(QRectF(x - 2, chip.bottom(), 4, kBottomRow + 3 - chip.bottom()));
  }
  painter.setPen(Qt::NoPen);
  painter.setBrush(kChip);
  painter.drawRoundedRect(chip, 2, 2);
  // The notch and the pin-1 dot, at the socket's pin-1 end.
  painter.setBrush(kSocketBody.darker(160));
  painter.drawEllipse(QPointF(chip.left(), chip.center().y()), 4, 4);
  painter.setBrush(QColor(0xBB, 0xBB, 0xBB));
  painter.drawEllipse(QPointF(chip.left() + 6, chip.bottom() - 5), 2, 2);
  painter.setFont(label_font);
  painter.setPen(Qt::white);
  painter.drawText(chip.adjusted(8, 0, 0, 0), Qt::AlignCenter, outline_.label);

  if (outline_.wire_from != 0) {
    const QPointF a = SocketPin(outline_.wire_from);
    const QPointF b = SocketPin(outline_.wire_to);
    QPainterPath wire;
    wire.moveTo(a);
    wire.cubicTo(a + QPointF(-18, 0), b + QPointF(-18, 0), b);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(0xE5, 0x39, 0x35), 2.2, Qt::SolidLine, Qt::RoundCap));
    painter.drawPath(wire);
  }
}

}  // namespace ui
