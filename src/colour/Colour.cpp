// Conditions, spectra to XYZ and L*a*b*, and CIEDE2000; the weights come from CieTables.cpp, the
// L*a*b* and the colour difference from LittleCMS.

#include "Colour.h"
#include "CieTables.h"

#include <lcms2.h>

#include <algorithm>

namespace colour {

namespace {

struct NamedCondition {
    Condition condition;
    const char* name; // the command line's spelling; the degree sign follows in ConditionName
};

constexpr std::array<NamedCondition, 4> kConditions{{
    {{Illuminant::D50, Observer::Deg2}, "D50/2"},
    {{Illuminant::D50, Observer::Deg10}, "D50/10"},
    {{Illuminant::D65, Observer::Deg2}, "D65/2"},
    {{Illuminant::D65, Observer::Deg10}, "D65/10"},
}};

const NamedCondition& named(Condition condition) {
    return *std::find_if(kConditions.begin(), kConditions.end(),
                         [&](const NamedCondition& n) { return n.condition == condition; });
}

// A spectrum whose largest value is above 2 is in percent.
bool isPercent(const Spectrum& values) {
    double largest = values[0];
    for (double v : values)
        largest = std::max(largest, v); // branch-free, unlike max_element
    return largest > 2;
}

} // namespace

const std::array<Condition, 4>& AllConditions() {
    static const std::array<Condition, 4> all{kConditions[0].condition, kConditions[1].condition,
                                              kConditions[2].condition, kConditions[3].condition};
    return all;
}

QString ConditionName(Condition condition) {
    return QString::fromLatin1(named(condition).name) + QChar(0x00B0);
}

bool ParseCondition(const QString& text, Condition& condition) {
    // Letter case is ignored, and the degree sign of ConditionName is taken too.
    QString spelling = text;
    if (spelling.endsWith(QChar(0x00B0)))
        spelling.chop(1);
    for (const NamedCondition& n : kConditions) {
        if (spelling.compare(QLatin1String(n.name), Qt::CaseInsensitive) == 0) {
            condition = n.condition;
            return true;
        }
    }
    return false;
}

Spectrum NormalisedReflectance(const Spectrum& values) {
    if (!isPercent(values))
        return values;
    Spectrum reflectance;
    for (size_t i = 0; i < values.size(); ++i)
        reflectance[i] = values[i] / 100;
    return reflectance;
}

Xyz SpectrumToXyz(const Spectrum& reflectance, Condition condition) {
    return WeightedSum<false>(WeightingFactors(condition).bands, reflectance);
}

Xyz WhitePoint(Condition condition) {
    return WeightingFactors(condition).white;
}

Lab XyzToLab(const Xyz& xyz, const Xyz& white) {
    const cmsCIEXYZ w{white.X, white.Y, white.Z};
    const cmsCIEXYZ c{xyz.X, xyz.Y, xyz.Z};
    cmsCIELab lab;
    cmsXYZ2Lab(&w, &lab, &c);
    return {lab.L, lab.a, lab.b};
}

Lab SpectrumToLab(const Spectrum& values, Condition condition) {
    // NormalisedReflectance and SpectrumToXyz in one pass, without copying the spectrum.
    const Weights& weights = WeightingFactors(condition);
    const Xyz xyz = isPercent(values) ? WeightedSum<true>(weights.bands, values)
                                      : WeightedSum<false>(weights.bands, values);
    return XyzToLab(xyz, weights.white);
}

double DeltaE00(const Lab& a, const Lab& b) {
    const cmsCIELab first{a.L, a.a, a.b};
    const cmsCIELab second{b.L, b.a, b.b};
    return cmsCIE2000DeltaE(&first, &second, 1, 1, 1);
}

} // namespace colour
