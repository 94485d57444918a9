#include "ui/status_line.h"

#include <QPainter>

#include "hw/reporter.h"
#include "ui/shown_text.h"

namespace ui {

QColor MessageColour(int kind) {
  switch (kind) {
    case hw::kError:
      return Qt::red;
    case hw::kResult:
      return Qt::black;
    default:
      return Qt::blue;
  }
}

StatusLine::StatusLine(QWidget* parent) : QFrame(parent) {
  setObjectName("StatusBar");
  setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void StatusLine::SetMessage(const QString& text, int kind) {
  text_ = ShownCaption(text);
  kind_ = kind;
  QPalette palette = this->palette();
  palette.setColor(QPalette::WindowText, MessageColour(kind));
  setPalette(palette);
  setToolTip(text_);
  repaint();
}

void StatusLine::Clear() {
  text_.clear();
  kind_ = hw::kInfo;
  setToolTip({});
  update();
}

QString StatusLine::ShownText() const {
  const QString line = OneLine(text_);
  return fontMetrics().elidedText(line, Qt::ElideRight, contentsRect().width());
}

QSize StatusLine::sizeHint() const {
  return QSize(fontMetrics().horizontalAdvance(OneLine(text_)) + 4, fontMetrics().height());
}

// Narrow enough that no message sets the window's width.
QSize StatusLine::minimumSizeHint() const {
  return QSize(fontMetrics().horizontalAdvance(QStringLiteral("M\u2026")), fontMetrics().height());
}

void StatusLine::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawText(contentsRect(), Qt::AlignLeft | Qt::AlignVCenter, ShownText());
}

void StatusLine::mouseDoubleClickEvent(QMouseEvent* event) {
  QFrame::mouseDoubleClickEvent(event);
  emit DoubleClicked();
}

}  // namespace ui
