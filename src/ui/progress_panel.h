#pragma once

#include <QFrame>
#include <array>
#include <cstdint>

namespace app {
class Controls;
}

class QLabel;
class QPushButton;
class QWidget;

namespace ui {

class Gauge;

// The progress panel (pProcess): what is being done, the gauge, the Cancel
// button, and below them the peak counters the routines keep (`lbLoopPeak`
// with `pLoopp`, then `pTwcp` and `pTwpp`), each shown once a routine has
// written it. Hidden at rest; it takes the place of the board picture, so
// nothing else moves when it shows.
class ProgressPanel : public QFrame {
  Q_OBJECT

 public:
  ProgressPanel(const app::Controls& controls, QWidget* parent = nullptr);

  // A new unit of work: caption, gauge at 0 of `maximum`, bar in `colour`
  // (0x00BBGGRR).
  void Start(const QString& caption, qint64 maximum, uint32_t colour);
  void SetProgress(qint64 position);
  // Shows the peaks as the controls hold them; one that no routine has
  // written stays out of sight. Only while the controls hold still (the
  // worker waits while the window renders them).
  void UpdatePeaks();

  QLabel* caption() const { return caption_; }
  Gauge* gauge() const { return gauge_; }
  QPushButton* cancel() const { return cancel_; }
  // The peak's caption and value labels, by the value's control name.
  QLabel* PeakCaption(const char* name) const;
  QLabel* PeakValue(const char* name) const;

 signals:
  void CancelRequested();
  // About to be shown or hidden.
  void VisibilityChanged(bool visible);

 public:
  void setVisible(bool visible) override;

 private:
  struct Peak {
    const char* name;          // the value's control
    const char* caption_name;  // the caption's control, when the core sets it
    const char* caption_text;  // the caption until (and unless) the core sets it
    QLabel* caption;
    QLabel* value;
  };
  const app::Controls& controls_;
  QLabel* caption_;
  Gauge* gauge_;
  QPushButton* cancel_;
  std::array<Peak, 3> peaks_{};
  double scale_ = 1.0;  // the gauge counts in int; huge maxima are scaled down
};

}  // namespace ui
