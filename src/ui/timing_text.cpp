#include "ui/timing_text.h"

namespace ui {

QString TimingText(int ticks) {
  const double us = ticks * kTickMicroseconds;
  const QString time = us < 1000 ? QString::number(us, 'f', 1) + QString::fromUtf8(" \u00b5s")
                                 : QString::number(us / 1000, 'f', 2) + QStringLiteral(" ms");
  return QStringLiteral("%1 %2 = %3").arg(ticks).arg(ticks == 1 ? "tick" : "ticks", time);
}

// Dark orange: apart from the red of errors, readable on the window's grey.
QColor TimingWarningColour() { return QColor(0xB0, 0x4A, 0x00); }

}  // namespace ui
