// The board pictures as drawn: each switch's knob sits on the ON side
// exactly when the pattern says so, at any scale; the jumper cap moves with
// the jumper picture; every socket code draws.
#include <QImage>
#include <QPainter>
#include <QtTest>

#include "app/selection.h"
#include "ui/socket_picture.h"
#include "ui/switch_picture.h"

namespace {

QImage Render(QWidget& widget, QSize size, qreal ratio) {
  widget.resize(size);
  QImage image(size * ratio, QImage::Format_ARGB32);
  image.setDevicePixelRatio(ratio);
  image.fill(Qt::transparent);
  widget.render(&image);
  return image;
}

bool Light(QRgb c) { return qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) > 200; }

}  // namespace

class PicturesTest : public QObject {
  Q_OBJECT

 private slots:
  void switchKnobsSitWherePatternsPutThem() {
    ui::SwitchPicture picture;
    // Pattern 30, "4 011011000010", on a board with the flag set.
    picture.SetPictures(app::SwitchPictures(app::SwitchPattern(30), true));
    const QString on = "011011000010";
    for (qreal ratio : {1.0, 2.0, 3.0}) {
      const QSize size = picture.sizeHint() * 2;
      const QImage image = Render(picture, size, ratio);
      // The switch row spans the drawing's right part; sample the upper
      // and lower half of each slot in widget coordinates, scaled.
      const qreal scale = size.height() / 78.0;
      const qreal body_left = 60 * scale, body_width = (252 - 66) * scale;
      const qreal pitch = (body_width - 12 * scale) / 12.0;
      const qreal slot_top = (4 + 2 + 14) * scale;
      const qreal slot_height = (50 - 18) * scale;
      for (int n = 1; n <= 12; ++n) {
        const qreal x = body_left + 6 * scale + (n - 1) * pitch + pitch / 2;
        const QPoint upper = QPointF(x, slot_top + slot_height * 0.25).toPoint() * ratio;
        const QPoint lower = QPointF(x, slot_top + slot_height * 0.75).toPoint() * ratio;
        const bool knob_up = Light(image.pixel(upper));
        const bool knob_down = Light(image.pixel(lower));
        QVERIFY2(knob_up != knob_down, qPrintable(QString("switch %1").arg(n)));
        QCOMPARE(knob_up, on[n - 1] == '1');
      }
    }
  }

  void theJumperCapFollowsItsPicture() {
    ui::SwitchPicture picture;
    const QSize size = picture.sizeHint() * 2;
    const qreal scale = size.height() / 78.0;
    // Pins at x 30, y 33, 47 and 61; the cap is wider than a pin, so look
    // just beside the outer pins.
    auto covered = [&](int pin) {
      const QImage image = Render(picture, size, 1.0);
      const QPoint beside = QPointF(36 * scale, (33 + 14 * (pin - 1)) * scale).toPoint();
      return qGray(image.pixel(beside)) < 60;  // the dark cap, not the board
    };
    picture.SetPictures(app::SwitchPictures(app::SwitchPattern(10), true));  // jumper 4: Vpp
    QVERIFY(covered(1));
    QVERIFY(!covered(3));
    picture.SetPictures(app::SwitchPictures(app::SwitchPattern(19), true));  // jumper 5: A18
    QVERIFY(!covered(1));
    QVERIFY(covered(3));
  }

  void everySocketCodeDraws() {
    ui::SocketPicture picture;
    for (int code :
         {0, 16, 28, 32, 51, 240, 2051, 2716, 2732, 2816, 8749, 28001, 29256, 82802, 7}) {
      picture.SetCode(code);
      const QImage image = Render(picture, picture.sizeHint(), 2.0);
      QVERIFY(!image.isNull());
    }
    // A DIP28 sits at the far end of the 32-pin socket: the two pin
    // positions beside pin 1 stay empty.
    QCOMPARE(ui::OutlineForCode(28).pins, 28);
    QCOMPARE(ui::OutlineForCode(32).pins, 32);
    QCOMPARE(ui::OutlineForCode(28001).wire_to, 30);
    QCOMPARE(ui::OutlineForCode(82802).kind, ui::SocketOutline::Kind::kPlcc);
  }
};

QTEST_MAIN(PicturesTest)
#include "pictures_test.moc"
