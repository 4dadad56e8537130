#pragma once

#include "Colour.h"

#include <QColor>

#include <span>

// L*a*b* (D50) to sRGB for the screen and the report, through LittleCMS: relative colorimetric,
// values outside the sRGB gamut clipped (a value that is not a number counts as 0). One transform,
// made on first use and kept.
namespace report {

QRgb LabToSrgb(const colour::Lab& lab);
// The same for many values at once (one call into LittleCMS); out must be as long as in.
void LabToSrgb(std::span<const colour::Lab> in, std::span<QRgb> out);

} // namespace report
