#include "ui/progress_panel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <limits>

namespace ui {
namespace {

QString Css(uint32_t bgr) {
  return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF).name();
}

}  // namespace

ProgressPanel::ProgressPanel(QWidget* parent) : QFrame(parent) {
  setObjectName("pProcess");
  setFrameShape(QFrame::StyledPanel);
  caption_ = new QLabel(this);
  caption_->setObjectName("pProcessCap");
  QFont bold = caption_->font();
  bold.setBold(true);
  caption_->setFont(bold);
  caption_->setMinimumWidth(caption_->fontMetrics().horizontalAdvance("Checking Device is Empty"));
  gauge_ = new QProgressBar(this);
  gauge_->setObjectName("gProcess");
  gauge_->setTextVisible(true);
  cancel_ = new QPushButton("&Cancel", this);
  cancel_->setObjectName("btnCancel");
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(6, 3, 6, 3);
  layout->addWidget(caption_);
  layout->addWidget(gauge_, 1);
  layout->addWidget(cancel_);
  connect(cancel_, &QPushButton::clicked, this, &ProgressPanel::CancelRequested);
  hide();
}

void ProgressPanel::Start(const QString& caption, qint64 maximum, uint32_t colour) {
  caption_->setText(caption);
  const qint64 limit = std::numeric_limits<int>::max();
  scale_ = maximum > limit ? static_cast<double>(limit) / maximum : 1.0;
  const bool white = (colour & 0xFFFFFF) == 0xFFFFFF;
  gauge_->setStyleSheet(
      QStringLiteral("QProgressBar { background: %1; border: 1px solid #8a8a8a; border-radius: 2px;"
                     " text-align: center; color: %3; }"
                     " QProgressBar::chunk { background: %2; }")
          .arg(white ? QStringLiteral("#000080") : QStringLiteral("#ffffff"), Css(colour),
               white ? QStringLiteral("#ffffff") : QStringLiteral("#202020")));
  gauge_->setRange(0, static_cast<int>(std::max<qint64>(0, maximum) * scale_));
  gauge_->setValue(0);
  cancel_->show();
  gauge_->show();
  show();
}

void ProgressPanel::SetProgress(qint64 position) {
  const int value = static_cast<int>(position * scale_);
  gauge_->setValue(std::clamp(value, gauge_->minimum(), gauge_->maximum()));
}

}  // namespace ui
