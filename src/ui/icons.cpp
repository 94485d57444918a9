#include "ui/icons.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>

namespace ui {
namespace {

const QColor kChipBody(0x2B, 0x2B, 0x30);
const QColor kLegs(0x9E, 0x9E, 0xA6);
const QColor kGreen(0x2E, 0x9E, 0x44);
const QColor kRed(0xD3, 0x2F, 0x2F);
const QColor kBlue(0x1E, 0x63, 0xC4);
const QColor kViolet(0x7B, 0x3F, 0xC4);

// A chip in the left part of the 24 x 24 box, leaving room for a sign.
void Chip(QPainter& p, QRectF box = QRectF(3, 4, 12, 16)) {
  p.setPen(Qt::NoPen);
  p.setBrush(kLegs);
  for (int i = 0; i < 4; ++i) {
    const qreal y = box.top() + 2 + i * (box.height() - 4) / 3.5;
    p.drawRect(QRectF(box.left() - 2, y, 2, 1.6));
    p.drawRect(QRectF(box.right(), y, 2, 1.6));
  }
  p.setBrush(kChipBody);
  p.drawRoundedRect(box, 1.5, 1.5);
  p.setBrush(QColor(0x70, 0x70, 0x78));
  p.drawEllipse(QPointF(box.left() + 2.5, box.top() + 2.5), 1.1, 1.1);
}

void Arrow(QPainter& p, QPointF from, QPointF to, const QColor& colour) {
  p.setPen(QPen(colour, 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawLine(from, to);
  const QPointF d = to - from;
  const qreal len = std::hypot(d.x(), d.y());
  const QPointF u = d / len;
  const QPointF n(-u.y(), u.x());
  QPainterPath head;
  head.moveTo(to + u * 2.5);
  head.lineTo(to - u * 3 + n * 3.5);
  head.lineTo(to - u * 3 - n * 3.5);
  head.closeSubpath();
  p.setPen(Qt::NoPen);
  p.fillPath(head, colour);
}

void Sheet(QPainter& p, const QRectF& r) {
  p.setPen(QPen(QColor(0x60, 0x60, 0x68), 1));
  p.setBrush(Qt::white);
  p.drawRect(r);
}

void Paint(QPainter& p, Glyph glyph) {
  switch (glyph) {
    case Glyph::kOpen: {
      p.setPen(QPen(QColor(0xB0, 0x80, 0x10), 1));
      p.setBrush(QColor(0xF2, 0xC1, 0x4E));
      QPainterPath folder;
      folder.moveTo(2, 6);
      folder.lineTo(9, 6);
      folder.lineTo(11, 8);
      folder.lineTo(21, 8);
      folder.lineTo(21, 20);
      folder.lineTo(2, 20);
      folder.closeSubpath();
      p.drawPath(folder);
      p.setBrush(QColor(0xF8, 0xD8, 0x7A));
      QPainterPath flap;
      flap.moveTo(4, 11);
      flap.lineTo(23, 11);
      flap.lineTo(21, 20);
      flap.lineTo(2, 20);
      flap.closeSubpath();
      p.drawPath(flap);
      break;
    }
    case Glyph::kSave: {
      p.setPen(QPen(kBlue.darker(140), 1));
      p.setBrush(kBlue);
      p.drawRoundedRect(QRectF(3, 3, 18, 18), 2, 2);
      p.setBrush(Qt::white);
      p.drawRect(QRectF(6.5, 3, 11, 7));
      p.setBrush(QColor(0xDD, 0xE6, 0xF4));
      p.drawRect(QRectF(6, 13, 12, 8));
      p.setBrush(kBlue.darker(140));
      p.drawRect(QRectF(14, 4.5, 2, 4));
      break;
    }
    case Glyph::kClear: {
      Sheet(p, QRectF(4, 2.5, 14, 19));
      QFont f = p.font();
      f.setPixelSize(7);
      f.setBold(true);
      p.setFont(f);
      p.setPen(QColor(0x60, 0x60, 0x68));
      p.drawText(QRectF(4, 4, 14, 8), Qt::AlignCenter, "FF");
      p.drawText(QRectF(4, 11, 14, 8), Qt::AlignCenter, "FF");
      p.setPen(QPen(kRed, 2.2, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(14, 14), QPointF(21, 21));
      p.drawLine(QPointF(21, 14), QPointF(14, 21));
      break;
    }
    case Glyph::kRead:
      Chip(p);
      Arrow(p, QPointF(13, 12), QPointF(21, 12), kGreen);
      break;
    case Glyph::kProgram:
      Chip(p, QRectF(9, 4, 12, 16));
      Arrow(p, QPointF(1.5, 12), QPointF(8, 12), kRed);
      break;
    case Glyph::kVerify:
      Chip(p);
      p.setPen(QPen(kGreen, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
      p.setBrush(Qt::NoBrush);
      p.drawPolyline(QPolygonF({QPointF(13, 13), QPointF(16.5, 17), QPointF(22, 7)}));
      break;
    case Glyph::kBlank:
      Chip(p);
      p.setPen(QPen(kBlue, 2));
      p.setBrush(QColor(255, 255, 255, 200));
      p.drawEllipse(QPointF(16, 11), 4.2, 4.2);
      p.setPen(QPen(kBlue, 2.6, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(QPointF(19, 14), QPointF(22, 18));
      break;
    case Glyph::kErase: {
      Chip(p);
      QPainterPath bolt;
      bolt.moveTo(19, 2);
      bolt.lineTo(14, 12);
      bolt.lineTo(18, 12);
      bolt.lineTo(15, 22);
      bolt.lineTo(22.5, 9.5);
      bolt.lineTo(18.5, 9.5);
      bolt.lineTo(21.5, 2);
      bolt.closeSubpath();
      p.setPen(QPen(Qt::white, 0.8));
      p.setBrush(kViolet);
      p.drawPath(bolt);
      break;
    }
    case Glyph::kGetId: {
      Chip(p, QRectF(3, 7, 10, 13));
      QFont f = p.font();
      f.setPixelSize(10);
      f.setBold(true);
      p.setFont(f);
      p.setPen(kBlue);
      p.drawText(QRectF(11, 1, 13, 12), Qt::AlignCenter, "ID");
      break;
    }
    case Glyph::kApp: {
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(0x2E, 0x6B, 0x3A));
      p.drawRoundedRect(QRectF(0.5, 0.5, 23, 23), 4, 4);
      Chip(p, QRectF(6, 4, 12, 16));
      break;
    }
  }
}

class GlyphEngine final : public QIconEngine {
 public:
  explicit GlyphEngine(Glyph glyph) : glyph_(glyph) {}

  void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State) override {
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->translate(rect.topLeft());
    const qreal scale = std::min(rect.width(), rect.height()) / 24.0;
    painter->scale(scale, scale);
    if (mode == QIcon::Disabled) painter->setOpacity(0.35);
    Paint(*painter, glyph_);
    painter->restore();
  }

  QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
    return scaledPixmap(size, mode, state, 1.0);
  }

  QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                       qreal scale) override {
    QPixmap pm(size * scale);
    pm.fill(Qt::transparent);
    pm.setDevicePixelRatio(scale);
    QPainter p(&pm);
    paint(&p, QRect(QPoint(0, 0), size), mode, state);
    return pm;
  }

  QIconEngine* clone() const override { return new GlyphEngine(glyph_); }

 private:
  Glyph glyph_;
};

}  // namespace

QIcon GlyphIcon(Glyph glyph) { return QIcon(new GlyphEngine(glyph)); }

}  // namespace ui
