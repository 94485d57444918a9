#include "ui/gauge.h"

#include <QPainter>

#include "ui/contrast.h"

namespace ui {
namespace {

const QColor kBorder(0x8A, 0x8A, 0x8A);
const QColor kNavy(0x00, 0x00, 0x80);

}  // namespace

Gauge::Gauge(QWidget* parent) : QProgressBar(parent) {
  setObjectName("gProcess");
  setTextVisible(true);
}

void Gauge::SetColour(uint32_t bgr) {
  const QColor colour(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
  fill_ = colour == QColor(Qt::white) ? kNavy : colour;
  update();
}

void Gauge::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setPen(kBorder);
  painter.setBrush(track_);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));

  const QRect inner = rect().adjusted(1, 1, -1, -1);
  const qint64 span = qint64{maximum()} - minimum();
  const qint64 done = std::clamp<qint64>(qint64{value()} - minimum(), 0, std::max<qint64>(span, 0));
  const int width = span > 0 ? static_cast<int>(inner.width() * done / span) : 0;
  const QRect bar(inner.left(), inner.top(), width, inner.height());
  painter.fillRect(bar, fill_);
  if (!isTextVisible() || span <= 0) return;

  // The text twice, each copy clipped to its side of the bar's end.
  const QString label = text();
  const QRect rest(bar.right() + 1, inner.top(), inner.right() - bar.right(), inner.height());
  for (const auto& [area, under] : {std::pair{bar, fill_}, std::pair{rest, track_}}) {
    if (area.isEmpty()) continue;
    painter.save();
    painter.setClipRect(area);
    painter.setPen(ReadableOn(under));
    painter.drawText(inner, Qt::AlignCenter, label);
    painter.restore();
  }
}

}  // namespace ui
