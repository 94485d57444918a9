#pragma once

#include <QString>
#include <QTime>
#include <QWidget>

class QListWidget;
class QPushButton;

namespace ui {

// Every status message since the program started, with the time it came
// and its colour, so a message that the next one replaced can still be
// read, and copied into a report.
class MessageLog : public QWidget {
  Q_OBJECT

 public:
  explicit MessageLog(QWidget* parent = nullptr);

  void Add(const QString& text, int kind, QTime time = QTime::currentTime());
  int count() const;
  // "hh:mm:ss  text" per message, oldest first; only the selected ones
  // when `selected_only` and some are selected.
  QString PlainText(bool selected_only = false) const;
  // Puts the selected messages, or all of them, on the clipboard.
  void Copy();

  QListWidget* list() const { return list_; }

 private:
  QListWidget* list_;
  QPushButton* copy_;
  QPushButton* clear_;
};

}  // namespace ui
