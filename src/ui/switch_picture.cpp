#include "ui/switch_picture.h"

#include <QPainter>
#include <QPainterPath>

#include "ui/contrast.h"

namespace ui {
namespace {

// Everything is drawn in this logical box and scaled to the widget.
constexpr qreal kWidth = 252;
constexpr qreal kHeight = 78;
constexpr int kShownHeight = 68;

const QColor kBoard(0x2E, 0x6B, 0x3A);
const QColor kBoardEdge(0x1E, 0x4D, 0x29);
const QColor kDipBody(0xC6, 0x28, 0x28);
const QColor kDipSlot(0x5A, 0x0D, 0x0D);
const QColor kKnob(0xFA, 0xFA, 0xFA);
const QColor kPin(0xE0, 0xB8, 0x4C);
const QColor kCap(0x20, 0x20, 0x28);

// Which pair of the three jumper pins the cap joins: 0 none, 1 the upper
// pair (the Vpp position), 2 the lower pair (an address line instead).
int CapPosition(int picture) {
  switch (picture) {
    case 1:
    case 4:
      return 1;
    case 2:
    case 3:
    case 5:
      return 2;
    default:
      return 0;
  }
}

}  // namespace

SwitchPicture::SwitchPicture(QWidget* parent) : QWidget(parent) {
  setObjectName("dipSwitches");
  pictures_.fill(2);
  pictures_[0] = 4;
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void SwitchPicture::SetPictures(const std::array<int, 13>& pictures) {
  if (pictures == pictures_) return;
  pictures_ = pictures;
  update();
}

void SwitchPicture::SetJumperCaption(const QString& text, QColor colour) {
  if (text == jumper_caption_ && colour == jumper_colour_) return;
  jumper_caption_ = text;
  jumper_colour_ = colour;
  update();
}

// Drawn at the height of the status rows beside it, so the picture fills
// its box and the window keeps its small default width.
QSize SwitchPicture::sizeHint() const {
  return QSize(qRound(kWidth * kShownHeight / kHeight), kShownHeight);
}
QSize SwitchPicture::minimumSizeHint() const { return sizeHint(); }

void SwitchPicture::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  // Keep the aspect ratio.
  const qreal scale = std::min(width() / kWidth, height() / kHeight);
  // Left-aligned, so the pictures sit side by side however wide the row.
  painter.translate(0, (height() - kHeight * scale) / 2);
  painter.scale(scale, scale);

  painter.setPen(QPen(kBoardEdge, 1.5));
  painter.setBrush(kBoard);
  painter.drawRoundedRect(QRectF(1, 1, kWidth - 2, kHeight - 2), 6, 6);

  PaintJumper(painter, QRectF(6, 4, 48, kHeight - 8));
  PaintSwitches(painter, QRectF(60, 4, kWidth - 66, kHeight - 8));
}

void SwitchPicture::PaintJumper(QPainter& painter, const QRectF& area) const {
  // The caption plate: dark behind light text (the yellow "A19"), white
  // behind everything else, so every colour stays readable. Lightness as
  // the eye sees it: pure yellow is nearly as bright as white.
  const QRectF plate(area.left(), area.top() + 2, area.width(), 17);
  const bool light_text = RelativeLuminance(jumper_colour_) > 0.4;
  painter.setPen(Qt::NoPen);
  painter.setBrush(light_text ? QColor(0x30, 0x30, 0x30) : QColor(Qt::white));
  painter.drawRoundedRect(plate, 3, 3);
  QFont font = painter.font();
  font.setPixelSize(12);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(jumper_colour_);
  painter.drawText(plate, Qt::AlignCenter, jumper_caption_);

  // Three pins, top to bottom, and the cap over one pair.
  const qreal x = area.center().x();
  const qreal top = plate.bottom() + 10;
  const qreal pitch = 14;
  const int cap = CapPosition(pictures_[0]);
  if (cap != 0) {
    const qreal y = top + (cap - 1) * pitch - 6;
    painter.setPen(Qt::NoPen);
    painter.setBrush(kCap);
    painter.drawRoundedRect(QRectF(x - 9, y, 18, pitch + 12), 3, 3);
  }
  for (int i = 0; i < 3; ++i) {
    const QPointF c(x, top + i * pitch);
    const bool covered = cap != 0 && (i == cap - 1 || i == cap);
    painter.setPen(Qt::NoPen);
    painter.setBrush(covered ? kPin.darker(130) : kPin);
    painter.drawRect(QRectF(c.x() - 3.5, c.y() - 3.5, 7, 7));
  }
}

void SwitchPicture::PaintSwitches(QPainter& painter, const QRectF& area) const {
  const QRectF body(area.left(), area.top() + 2, area.width(), 50);
  painter.setPen(QPen(kDipBody.darker(140), 1));
  painter.setBrush(kDipBody);
  painter.drawRoundedRect(body, 3, 3);

  QFont font = painter.font();
  font.setPixelSize(9);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(kKnob);
  painter.drawText(QRectF(body.left() + 4, body.top() + 1, 30, 11),
                   Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("ON"));
  // The arrow beside "ON" points at the side a switch is pushed to be on.
  QPainterPath arrow;
  const QPointF tip(body.left() + 27, body.top() + 3);
  arrow.moveTo(tip);
  arrow.lineTo(tip + QPointF(-3, 4));
  arrow.lineTo(tip + QPointF(3, 4));
  arrow.closeSubpath();
  painter.fillPath(arrow, kKnob);
  painter.fillRect(QRectF(tip.x() - 1, tip.y() + 4, 2, 5), kKnob);

  const qreal slot_area_left = body.left() + 6;
  const qreal pitch = (body.width() - 12) / 12.0;
  const qreal slot_top = body.top() + 14;
  const qreal slot_height = body.height() - 18;
  QFont number_font = font;
  number_font.setPixelSize(10);
  number_font.setBold(false);
  for (int n = 1; n <= 12; ++n) {
    const QRectF slot(slot_area_left + (n - 1) * pitch + pitch * 0.2, slot_top, pitch * 0.6,
                      slot_height);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kDipSlot);
    painter.drawRect(slot);
    const qreal knob_height = slot.height() / 2 - 1;
    const qreal knob_top = DrawnOn(n) ? slot.top() + 1 : slot.bottom() - 1 - knob_height;
    painter.setBrush(kKnob);
    painter.drawRoundedRect(QRectF(slot.left() + 1, knob_top, slot.width() - 2, knob_height), 1.5,
                            1.5);
    DrawSwitchNumber(painter, number_font, n, QPointF(slot.center().x(), body.bottom() + 7.5));
  }
}

// Figures have the width of the widest digit; set one after the other, the
// two-digit numbers would run into their neighbours. The digits are set by
// their outlines instead, close together, so 10, 11 and 12 keep clear gaps.
void SwitchPicture::DrawSwitchNumber(QPainter& painter, const QFont& font, int n, QPointF centre) {
  constexpr qreal kDigitGap = 0.7;
  QPainterPath number;
  for (QChar digit : QString::number(n)) {
    QPainterPath glyph;
    glyph.addText(0, 0, font, QString(digit));
    const QRectF ink = glyph.boundingRect();
    const qreal x = number.isEmpty() ? 0 : number.boundingRect().right() + kDigitGap;
    number.addPath(glyph.translated(x - ink.left(), 0));
  }
  number.translate(centre - number.boundingRect().center());
  painter.fillPath(number, kKnob);
}

}  // namespace ui
