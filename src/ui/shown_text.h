#pragma once

#include <QString>

namespace ui {

// A caption as the window shows it: "&&" stands for one "&" in every text
// the core writes for a label or the status line.
inline QString ShownCaption(const QString& text) {
  QString shown = text;
  shown.replace(QStringLiteral("&&"), QStringLiteral("&"));
  return shown;
}

// A message on one line, for the status line and the log: line breaks
// become spaces, every other space stays where the message put it.
inline QString OneLine(const QString& text) {
  QString line = text;
  line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
  for (QChar c : {QChar('\n'), QChar('\r'), QChar('\t')}) line.replace(c, QChar(' '));
  return line;
}

}  // namespace ui
