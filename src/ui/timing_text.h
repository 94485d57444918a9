#pragma once

#include <QColor>
#include <QString>

namespace ui {

// One tick of the board's busy-wait delays, in microseconds.
inline constexpr double kTickMicroseconds = 0.8381;

// A delay in ticks as a user reads it: "140 ticks = 117.3 µs", and in
// milliseconds from 1 ms on ("25000 ticks = 20.95 ms").
QString TimingText(int ticks);

// A timing that is not the device's own is shown in this colour.
QColor TimingWarningColour();

}  // namespace ui
