#pragma once

#include "Colour.h"

#include <QColor>
#include <QList>
#include <QRectF>

class QPainter;

// Reflectance curves 380-730 nm on a 0-1 scale, with axes, ticks and wavelength labels.
namespace report {

struct SpectralCurve {
    colour::Spectrum reflectance{};
    QRgb colour = 0xFF000000;
};

void PaintSpectralPlot(QPainter& painter, const QRectF& rect, const QList<SpectralCurve>& curves);

} // namespace report
