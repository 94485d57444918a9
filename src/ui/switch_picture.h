#pragma once

#include <QColor>
#include <QString>
#include <QWidget>
#include <array>

class QPainter;

namespace ui {

// The jumper and the twelve DIP switches the user sets on the board for the
// selected device, drawn as vectors so they stay sharp at any scale.
//
// Pictures as the core numbers them: per switch 1 or 2, and 1..5 for the
// jumper. Picture 1 draws a switch ON and picture 2 OFF, so with the board
// flag set (every board in use) a '1' in the pattern reads ON, as the
// pattern means; without the flag the drawing inverts, as older boards'
// switch banks are mounted the other way round.
class SwitchPicture : public QWidget {
  Q_OBJECT

 public:
  explicit SwitchPicture(QWidget* parent = nullptr);

  // `pictures`: the jumper picture, then switches 1..12.
  void SetPictures(const std::array<int, 13>& pictures);
  // The jumper's caption (lbJpa18) and its colour.
  void SetJumperCaption(const QString& text, QColor colour);

  const std::array<int, 13>& pictures() const { return pictures_; }
  // Whether switch n (1..12) is drawn in the ON position.
  bool DrawnOn(int n) const { return pictures_[n] == 1; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void PaintJumper(QPainter& painter, const QRectF& area) const;
  void PaintSwitches(QPainter& painter, const QRectF& area) const;
  static void DrawSwitchNumber(QPainter& painter, const QFont& font, int n, QPointF centre);

  std::array<int, 13> pictures_{};
  QString jumper_caption_ = QStringLiteral("Vpp");
  QColor jumper_colour_ = Qt::red;
};

}  // namespace ui
