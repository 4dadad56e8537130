#pragma once

#include "SpectralBands.h"

#include <QString>

#include <array>

// Colorimetry of 10 nm reflectance spectra (36 bands, 380-730 nm): CIE XYZ and L*a*b* under the
// CIE illuminants D50 and D65 with the 1931 2 degree and 1964 10 degree observers, and CIEDE2000.
// The first conversion makes the weighting factors from the CIE tables built into the library (once,
// thread-safe); were a table missing or damaged, it and every later one throw std::runtime_error.
namespace colour {

constexpr int kBandCount = kSpectralBandCount;
constexpr int kFirstBandNm = kSpectralFirstNm;
constexpr int kBandStepNm = kSpectralStepNm;
using Spectrum = std::array<double, kBandCount>;

enum class Illuminant { D50, D65 };
enum class Observer { Deg2, Deg10 };

struct Condition {
    Illuminant illuminant = Illuminant::D50;
    Observer observer = Observer::Deg2;
    friend bool operator==(const Condition&, const Condition&) = default;
};

// The four conditions, D50/2 first.
const std::array<Condition, 4>& AllConditions();
// "D50/2°", "D50/10°", "D65/2°", "D65/10°".
QString ConditionName(Condition condition);
// "D50/2", "D50/10", ... (the command line's spelling, no degree sign); false when unknown, and
// condition is left as it was. ConditionName's spelling is taken too, and letter case is ignored.
bool ParseCondition(const QString& text, Condition& condition);

struct Xyz {
    double X = 0, Y = 0, Z = 0;
};
struct Lab {
    double L = 0, a = 0, b = 0;
};

// Reflectance on a 0-1 scale: a spectrum whose largest value is above 2 is taken as percent.
Spectrum NormalisedReflectance(const Spectrum& values);

// Tristimulus values of a reflectance spectrum (already normalised), white Y = 100.
Xyz SpectrumToXyz(const Spectrum& reflectance, Condition condition);
// The perfect reflecting diffuser under the condition, Y = 100.
Xyz WhitePoint(Condition condition);
Lab XyzToLab(const Xyz& xyz, const Xyz& white);
// NormalisedReflectance, SpectrumToXyz, XyzToLab against the condition's white.
Lab SpectrumToLab(const Spectrum& values, Condition condition);

// CIEDE2000 colour difference (kL = kC = kH = 1).
double DeltaE00(const Lab& a, const Lab& b);

} // namespace colour
