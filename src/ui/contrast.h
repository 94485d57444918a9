#pragma once

#include <QColor>

namespace ui {

// Relative luminance (0 black .. 1 white) as the usual contrast rules
// define it: sRGB channels linearised, weighted by the eye's sensitivity.
double RelativeLuminance(const QColor& colour);
// Black or white, whichever stands out more on `background`.
QColor ReadableOn(const QColor& background);

}  // namespace ui
