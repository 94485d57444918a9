#pragma once

#include <QColor>
#include <QProgressBar>
#include <cstdint>

namespace ui {

// The progress gauge (gProcess). The bar grows in the routine's colour
// over a light track, so a gauge at 0 looks empty whatever its colour, and
// the percentage is drawn in black or white on each side of the bar's end,
// whichever reads on the colour under it.
class Gauge : public QProgressBar {
  Q_OBJECT

 public:
  explicit Gauge(QWidget* parent = nullptr);

  // The routine's colour, 0x00BBGGRR. A white bar, meant for a navy
  // background, is drawn navy: white would not show on the track.
  void SetColour(uint32_t bgr);
  QColor fill() const { return fill_; }
  QColor track() const { return track_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor fill_ = Qt::red;
  QColor track_ = Qt::white;
};

}  // namespace ui
