#include "ui/contrast.h"

#include <cmath>

namespace ui {
namespace {

double Linear(double channel) {
  return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

}  // namespace

double RelativeLuminance(const QColor& colour) {
  return 0.2126 * Linear(colour.redF()) + 0.7152 * Linear(colour.greenF()) +
         0.0722 * Linear(colour.blueF());
}

// Black and white give the same contrast ratio at this luminance.
QColor ReadableOn(const QColor& background) {
  return RelativeLuminance(background) > 0.179 ? QColor(Qt::black) : QColor(Qt::white);
}

}  // namespace ui
