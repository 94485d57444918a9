// The board pictures and the gauge as drawn: each switch's knob sits on
// the ON side exactly when the pattern says so, at any scale; the jumper cap
// moves with the jumper picture; captions, numbers and the percentage stay
// readable; every socket code draws.
#include <QImage>
#include <QPainter>
#include <QtTest>
#include <cmath>
#include <vector>

#include "app/catalogue.h"
#include "app/programmer.h"
#include "app/selection.h"
#include "ui/gauge.h"
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

// The contrast ratio of two colours, (L1 + 0.05) / (L2 + 0.05) with the
// lighter one's relative luminance on top.
double Contrast(const QColor& a, const QColor& b) {
  auto channel = [](double c) {
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
  };
  auto luminance = [&](const QColor& c) {
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
  };
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

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

  // A yellow caption ("A19") on a plate it stands out from: a contrast
  // ratio of at least 4.5, as small text needs.
  void theJumperCaptionIsReadableInEveryColour() {
    ui::SwitchPicture picture;
    const QSize size = picture.sizeHint() * 2;
    const qreal scale = size.height() / 78.0;
    // Pure red reaches 4 at best, on white.
    const struct {
      QColor colour;
      double least;
    } kCaptions[] = {{Qt::yellow, 4.5}, {Qt::black, 4.5}, {Qt::red, 3.9}};
    for (const auto& caption : kCaptions) {
      picture.SetJumperCaption("A19", caption.colour);
      const QImage image = Render(picture, size, 1.0);
      // The plate spans x 6..54, y 6..23; its corner holds no text.
      const QColor plate = image.pixelColor(QPointF(9 * scale, 8 * scale).toPoint());
      QVERIFY2(Contrast(plate, caption.colour) >= caption.least,
               qPrintable(QString("%1 on %2").arg(caption.colour.name(), plate.name())));
    }
  }

  // Each number under its switch, with a clear gap to the next: 10, 11
  // and 12 do not read as one "101112".
  void theSwitchNumbersStandApart() {
    ui::SwitchPicture picture;
    for (qreal ratio : {2.0, 4.0}) {
      const QSize size = picture.sizeHint();
      const QImage image = Render(picture, size, ratio);
      const qreal scale = size.height() / 78.0 * ratio;
      // The numbers sit between y 57 and 70 of the drawing, over the switch
      // bank (x 60 to 246).
      std::vector<bool> ink(image.width(), false);
      for (int x = int(62 * scale); x < int(240 * scale); ++x) {
        for (int y = int(57 * scale); y < int(70 * scale); ++y) {
          if (qGray(image.pixel(x, y)) > 130) ink[x] = true;  // the board is darker
        }
      }
      // Runs of ink columns; digits of one number are closer than 1.5
      // units of the drawing, numbers at least 4 apart.
      std::vector<std::pair<int, int>> numbers;
      for (int x = 0; x < int(ink.size()); ++x) {
        if (!ink[x]) continue;
        if (!numbers.empty() && x - numbers.back().second <= 1.5 * scale) {
          numbers.back().second = x;
        } else {
          numbers.push_back({x, x});
        }
      }
      QCOMPARE(int(numbers.size()), 12);
      for (size_t i = 1; i < numbers.size(); ++i) {
        const qreal gap = (numbers[i].first - numbers[i - 1].second - 1) / scale;
        QVERIFY2(gap >= 4, qPrintable(QString("after %1: %2").arg(i).arg(gap)));
      }
    }
  }

  void everySocketCodeDraws() {
    ui::SocketPicture picture;
    for (int code :
         {0, 16, 28, 32, 48, 51, 90, 240, 2051, 2716, 2732, 2816, 8749, 28001, 29256, 82802, 7}) {
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
    // The AVR parts sit on their adapter, which stands out of the socket.
    QCOMPARE(ui::OutlineForCode(90).kind, ui::SocketOutline::Kind::kDip);
    QVERIFY(ui::OutlineForCode(90).pins > 32);
  }

  // Whatever device is chosen, the socket shows where it goes.
  void everyDeviceOfTheCatalogueHasAnOutline() {
    app::SilentHost host(true);
    app::Programmer p(host);
    QStringList missing;
    app::ForEachNode(app::CatalogueRoot(), [&](const app::CatalogueNode& node) {
      if (!app::IsSelectable(node) || node.tag == 0) return;
      p.dev.socket_picture = -1;
      app::SelectDevice(p, node.handler, app::SelectItem{node.tag, std::string(node.caption)});
      const int code = p.dev.socket_picture;
      if (ui::OutlineForCode(code).kind == ui::SocketOutline::Kind::kEmpty) {
        missing << QString("%1 (%2)")
                       .arg(QString::fromUtf8(node.caption.data(), node.caption.size()))
                       .arg(code);
      }
    });
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(", ")));
  }

  // The percentage reads on the bar and on the track, in every colour the
  // routines use; a gauge at 0 shows an empty track, white bars included.
  void theGaugeStaysReadable() {
    const uint32_t kColours[] = {0x000000, 0x0000FF, 0x008000, 0x800000,
                                 0xFFFFFF, 0xFF0000, 0x00FFFF, 0xFF};
    for (uint32_t colour : kColours) {
      ui::Gauge gauge;
      gauge.setRange(0, 1000);
      gauge.SetColour(colour);
      gauge.setValue(0);
      const QSize size(240, 24);
      const QImage empty = Render(gauge, size, 1.0);
      int track = 0, all = 0;
      for (int x = 2; x < size.width() - 2; ++x) {
        for (int y = 2; y < size.height() - 2; ++y) {
          ++all;
          if (empty.pixelColor(x, y) == QColor(Qt::white)) ++track;
        }
      }
      QVERIFY2(track > all * 0.9, qPrintable(QString::number(colour, 16)));

      // Half full: the text straddles the bar's end.
      gauge.setValue(500);
      const QImage half = Render(gauge, size, 1.0);
      const QColor bar = half.pixelColor(4, size.height() / 2);
      const QColor rest = half.pixelColor(size.width() - 5, size.height() / 2);
      QCOMPARE(rest, QColor(Qt::white));
      QVERIFY(bar != rest);
      const int middle = size.width() / 2;
      double left_best = 1, right_best = 1;
      for (int x = middle - 30; x < middle + 30; ++x) {
        for (int y = 3; y < size.height() - 3; ++y) {
          const QColor c = half.pixelColor(x, y);
          if (x < middle - 1) left_best = std::max(left_best, Contrast(c, bar));
          if (x > middle + 1) right_best = std::max(right_best, Contrast(c, rest));
        }
      }
      QVERIFY2(
          left_best >= 4.5 && right_best >= 4.5,
          qPrintable(QString("%1: %2 / %3").arg(colour, 6, 16).arg(left_best).arg(right_best)));
    }
  }
};

QTEST_MAIN(PicturesTest)
#include "pictures_test.moc"
