#include "ui/progress_panel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <limits>

#include "app/controls.h"
#include "ui/gauge.h"
#include "ui/shown_text.h"

namespace ui {

ProgressPanel::ProgressPanel(const app::Controls& controls, QWidget* parent)
    : QFrame(parent), controls_(controls) {
  setObjectName("pProcess");
  setFrameShape(QFrame::StyledPanel);
  caption_ = new QLabel(this);
  caption_->setObjectName("pProcessCap");
  QFont bold = caption_->font();
  bold.setBold(true);
  caption_->setFont(bold);
  caption_->setMinimumWidth(caption_->fontMetrics().horizontalAdvance("Checking Device is Empty"));
  gauge_ = new Gauge(this);
  cancel_ = new QPushButton("&Cancel", this);
  cancel_->setObjectName("btnCancel");
  connect(cancel_, &QPushButton::clicked, this, &ProgressPanel::CancelRequested);

  auto* work = new QHBoxLayout;
  work->addWidget(caption_);
  work->addWidget(gauge_, 1);
  work->addWidget(cancel_);

  // The peaks: caption, then the value in a sunken box, as the program's
  // other read-only values.
  const struct {
    const char* name;
    const char* caption_name;
    const char* caption;
  } kPeaks[] = {
      {"pLoopp", "lbLoopPeak", "Loop Peak"},
      {"pTwcp", nullptr, "twc peak"},
      {"pTwpp", nullptr, "twp peak"},
  };
  auto* peaks = new QHBoxLayout;
  peaks->setSpacing(6);
  for (size_t i = 0; i < peaks_.size(); ++i) {
    auto* caption = new QLabel(kPeaks[i].caption, this);
    auto* value = new QLabel(this);
    value->setObjectName(QString(kPeaks[i].name) + "Progress");
    value->setFrameShape(QFrame::StyledPanel);
    value->setFrameShadow(QFrame::Sunken);
    value->setMinimumWidth(value->fontMetrics().horizontalAdvance(" 00000 "));
    value->setAlignment(Qt::AlignCenter);
    for (QLabel* label : {caption, value}) {
      QSizePolicy policy = label->sizePolicy();
      policy.setVerticalPolicy(QSizePolicy::Fixed);
      policy.setRetainSizeWhenHidden(true);
      label->setSizePolicy(policy);
      label->hide();
    }
    peaks->addWidget(caption);
    peaks->addWidget(value);
    peaks->addSpacing(8);
    peaks_[i] = {kPeaks[i].name, kPeaks[i].caption_name, kPeaks[i].caption, caption, value};
  }
  peaks->addStretch(1);

  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(6, 3, 6, 3);
  column->setSpacing(3);
  column->addStretch(1);
  column->addLayout(work);
  column->addLayout(peaks);
  column->addStretch(1);
  hide();
}

void ProgressPanel::Start(const QString& caption, qint64 maximum, uint32_t colour) {
  caption_->setText(ShownCaption(caption));
  const qint64 limit = std::numeric_limits<int>::max();
  scale_ = maximum > limit ? static_cast<double>(limit) / maximum : 1.0;
  gauge_->SetColour(colour);
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

void ProgressPanel::UpdatePeaks() {
  for (const Peak& peak : peaks_) {
    const QString value = QString::fromStdString(controls_.Text(peak.name));
    if (peak.caption_name != nullptr) {
      const QString caption = QString::fromStdString(controls_.Text(peak.caption_name));
      peak.caption->setText(caption.isEmpty() ? QString(peak.caption_text) : ShownCaption(caption));
    }
    peak.value->setText(ShownCaption(value));
    const bool written = !value.trimmed().isEmpty();
    peak.caption->setVisible(written);
    peak.value->setVisible(written);
  }
}

QLabel* ProgressPanel::PeakCaption(const char* name) const {
  for (const Peak& peak : peaks_) {
    if (qstrcmp(peak.name, name) == 0) return peak.caption;
  }
  return nullptr;
}

QLabel* ProgressPanel::PeakValue(const char* name) const {
  for (const Peak& peak : peaks_) {
    if (qstrcmp(peak.name, name) == 0) return peak.value;
  }
  return nullptr;
}

void ProgressPanel::setVisible(bool visible) {
  // Whatever shares the panel's place makes room first, so the two never
  // show at once.
  if (visible == isHidden()) emit VisibilityChanged(visible);
  QFrame::setVisible(visible);
}

}  // namespace ui
