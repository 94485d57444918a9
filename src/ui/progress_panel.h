#pragma once

#include <QFrame>
#include <cstdint>

class QLabel;
class QProgressBar;
class QPushButton;

namespace ui {

// The progress panel (pProcess): what is being done, the gauge, and the
// Cancel button. Hidden at rest.
class ProgressPanel : public QFrame {
  Q_OBJECT

 public:
  explicit ProgressPanel(QWidget* parent = nullptr);

  // A new unit of work: caption, gauge at 0 of `maximum`, bar in `colour`
  // (0x00BBGGRR) on white, or on navy when the bar itself is white.
  void Start(const QString& caption, qint64 maximum, uint32_t colour);
  void SetProgress(qint64 position);

  QLabel* caption() const { return caption_; }
  QProgressBar* gauge() const { return gauge_; }
  QPushButton* cancel() const { return cancel_; }

 signals:
  void CancelRequested();

 private:
  QLabel* caption_;
  QProgressBar* gauge_;
  QPushButton* cancel_;
  double scale_ = 1.0;  // the gauge counts in int; huge maxima are scaled down
};

}  // namespace ui
