#pragma once

#include <QString>

// A swatch value (0 to 255, possibly fractional) as a percentage with two decimals: trimmed of
// control characters and blanks, read with a full stop as decimal separator whatever the locale,
// divided by 255, times 100, rounded to the hundredth with halves away from zero ("128" -> "50.20").
// No clamping. Throws Error when the text is not a decimal number ("12,5", "abc", "").
QString CmykPercent(const QString& value);
