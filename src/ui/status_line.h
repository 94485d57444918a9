#pragma once

#include <QColor>
#include <QFrame>
#include <QString>

namespace ui {

// The colour of a status message: red for errors, black for results, blue
// for everything else.
QColor MessageColour(int kind);

// The status line (StatusBar): the last message in its kind's colour. A
// text wider than the window ends in an ellipsis, and the whole text is
// the tooltip. A double click opens the message log.
class StatusLine : public QFrame {
  Q_OBJECT

 public:
  explicit StatusLine(QWidget* parent = nullptr);

  void SetMessage(const QString& text, int kind);
  void Clear();

  // The whole message, as shown ("&&" as "&").
  QString text() const { return text_; }
  int kind() const { return kind_; }
  // What fits the line now: the message, or its start and an ellipsis.
  QString ShownText() const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 signals:
  void DoubleClicked();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  QString text_;
  int kind_ = 0;
};

}  // namespace ui
