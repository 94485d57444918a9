#pragma once

#include <QString>
#include <QWidget>

class QPainter;

namespace ui {

// How a socket picture code places a chip in the board's 32-pin ZIF socket.
struct SocketOutline {
  // kPlcc and kTsop: a surface-mount chip on an adapter board over the
  // socket.
  enum class Kind { kEmpty, kDip, kPlcc, kTsop };
  Kind kind = Kind::kEmpty;
  int pins = 0;   // DIP pin count
  QString label;  // printed on the chip
  // Extra wiring the device needs on the socket: socket pins joined by a
  // wire (0 when none).
  int wire_from = 0;
  int wire_to = 0;
};

// The outline for a socket picture code; unknown codes show the empty
// socket. Chips shorter than the socket sit at its far end (away from pin 1,
// as the board's socket is wired), longer ones stand out on an adapter.
SocketOutline OutlineForCode(int code);

// The ZIF socket with the chip outline of the selected device.
class SocketPicture : public QWidget {
  Q_OBJECT

 public:
  explicit SocketPicture(QWidget* parent = nullptr);
  void SetCode(int code);
  int code() const { return code_; }

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  qreal ContentLeft() const;
  int code_ = -1;
  SocketOutline outline_;
};

}  // namespace ui
