#include "Colour.h"
#include "CieReference.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using colour::Condition;
using colour::Illuminant;
using colour::Observer;
using colour::Spectrum;

Spectrum flat(double value) {
    Spectrum s;
    s.fill(value);
    return s;
}

TEST(Conditions, NamesParseBackAndUnknownTextsAreRefused) {
    const struct {
        Condition condition;
        const char* commandLine;
        QString name;
    } cases[] = {
        {{Illuminant::D50, Observer::Deg2}, "D50/2", QStringLiteral(u"D50/2\u00B0")},
        {{Illuminant::D50, Observer::Deg10}, "D50/10", QStringLiteral(u"D50/10\u00B0")},
        {{Illuminant::D65, Observer::Deg2}, "D65/2", QStringLiteral(u"D65/2\u00B0")},
        {{Illuminant::D65, Observer::Deg10}, "D65/10", QStringLiteral(u"D65/10\u00B0")},
    };
    ASSERT_EQ(colour::AllConditions().size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        EXPECT_EQ(colour::AllConditions()[i], c.condition) << c.commandLine;
        EXPECT_EQ(colour::ConditionName(c.condition), c.name);
        for (const QString& text :
             {QString::fromLatin1(c.commandLine), c.name, QString::fromLatin1(c.commandLine).toLower()}) {
            Condition parsed{Illuminant::D65, Observer::Deg10};
            if (c.condition == parsed)
                parsed = {Illuminant::D50, Observer::Deg2};
            EXPECT_TRUE(colour::ParseCondition(text, parsed)) << text.toStdString();
            EXPECT_EQ(parsed, c.condition) << text.toStdString();
        }
    }

    for (const char* text : {"", "D50", "D50/", "/2", "D55/2", "D50/4", "D50/02", " D50/2", "D50/2 ", "D50-2",
                             "D50/2\xC2\xB0\xC2\xB0", "A/2"}) {
        Condition parsed{Illuminant::D65, Observer::Deg10};
        EXPECT_FALSE(colour::ParseCondition(QString::fromUtf8(text), parsed)) << text;
        EXPECT_EQ(parsed, (Condition{Illuminant::D65, Observer::Deg10})) << text << ": left as it was";
    }
}

TEST(NormalisedReflectance, TakesASpectrumAboveTwoAsPercent) {
    Spectrum fluorescent = flat(0.9);
    fluorescent[10] = 2; // a fluorescent white may reach above 1; up to 2 it is still a factor
    EXPECT_EQ(colour::NormalisedReflectance(fluorescent), fluorescent);
    EXPECT_EQ(colour::NormalisedReflectance(flat(0.5)), flat(0.5));
    EXPECT_EQ(colour::NormalisedReflectance(flat(50)), flat(0.5));
    Spectrum percent = flat(1.5); // low everywhere but one band: the whole row is percent
    percent[35] = 2.5;
    const Spectrum scaled = colour::NormalisedReflectance(percent);
    EXPECT_DOUBLE_EQ(scaled[0], 0.015);
    EXPECT_DOUBLE_EQ(scaled[35], 0.025);
}

// The white of each condition, Y = 100. The weights spread each 1 nm product S(l) cmf(l) over the
// 10 nm nodes with Lagrange coefficients that add up to 1 at every wavelength, so their sum - the
// white - is not an approximation: it is exactly the 1 nm sum of S(l) cmf(l) over the reference range
// 360-780 nm. The test checks that against its own 1 nm sum of the same tables (to rounding), and
// states the values to 4 decimals. They differ from the 360-830 nm sums in data/SOURCES.md by at
// most 0.0003 (the tail 781-830 nm that the weights leave out), and for D50 from the familiar
// 96.422 / 82.521 (2 degree) and 96.720 / 81.427 (10 degree): those come from the 5 nm D50 table,
// while the CIE's 1 nm D50 table is its linear interpolation and gives a Z lower by 0.008 and 0.012.
TEST(WhitePoint, IsThe1nmSumOverTheReferenceRange) {
    const struct {
        Condition condition;
        colour::Xyz white;
    } cases[] = {
        {{Illuminant::D50, Observer::Deg2}, {96.4238, 100, 82.5129}},
        {{Illuminant::D50, Observer::Deg10}, {96.7210, 100, 81.4151}},
        {{Illuminant::D65, Observer::Deg2}, {95.0468, 100, 108.8830}},
        {{Illuminant::D65, Observer::Deg10}, {94.8109, 100, 107.3048}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(colour::ConditionName(c.condition).toStdString());
        const colour::Xyz white = colour::WhitePoint(c.condition);
        const colour::Xyz direct = reference::sumOver1nm(c.condition, 360, 780, [](int) { return 1.0; });
        EXPECT_NEAR(white.X, direct.X, 1e-9);
        EXPECT_NEAR(white.Y, 100, 1e-9);
        EXPECT_NEAR(white.Z, direct.Z, 1e-9);
        EXPECT_NEAR(white.X, c.white.X, 0.00005);
        EXPECT_NEAR(white.Z, c.white.Z, 0.00005);
        const colour::Xyz wide = reference::sumOver1nm(c.condition, 360, 830, [](int) { return 1.0; });
        EXPECT_NEAR(white.X, wide.X, 0.0003);
        EXPECT_NEAR(white.Z, wide.Z, 0.0003);
    }
}

TEST(SpectrumToLab, FlatSpectraAreNeutralWithTheLightnessOfTheirY) {
    for (const Condition condition : colour::AllConditions()) {
        SCOPED_TRACE(colour::ConditionName(condition).toStdString());
        // A perfect white is its own white point, to the last bit.
        for (double white : {1.0, 100.0}) {
            const colour::Lab lab = colour::SpectrumToLab(flat(white), condition);
            EXPECT_EQ(lab.L, 100);
            EXPECT_EQ(lab.a, 0);
            EXPECT_EQ(lab.b, 0);
        }
        // Y = 50 exactly, so L* = 116 * 0.5^(1/3) - 16, whether given as 0.5 or as 50 %.
        for (double grey : {0.5, 50.0}) {
            const colour::Lab lab = colour::SpectrumToLab(flat(grey), condition);
            EXPECT_NEAR(lab.L, 116 * std::cbrt(0.5) - 16, 1e-9);
            EXPECT_NEAR(lab.L, 76.0693, 0.00005);
            EXPECT_NEAR(lab.a, 0, 1e-9);
            EXPECT_NEAR(lab.b, 0, 1e-9);
        }
        // Y = 0.5 lies on the linear part of L*: 903.3 * Y / Yn (24389/27 exactly).
        const colour::Lab dark = colour::SpectrumToLab(flat(0.005), condition);
        EXPECT_NEAR(dark.L, 24389.0 / 27 * 0.005, 1e-9);
        const colour::Lab black = colour::SpectrumToLab(flat(0), condition);
        EXPECT_NEAR(black.L, 0, 1e-12);
    }
}

// SpectrumToLab takes its own road (no copy of the spectrum); it must still be the composition its
// interface promises, to the last bit, for spectra in 0-1 and in percent alike.
TEST(SpectrumToLab, IsNormaliseThenXyzThenLab) {
    Spectrum ramp, percent, fluorescent;
    for (size_t i = 0; i < ramp.size(); ++i) {
        ramp[i] = 0.03 + 0.025 * double(i);
        percent[i] = 100 * ramp[i];
        fluorescent[i] = i == 8 ? 1.4 : 0.9;
    }
    for (const Condition condition : colour::AllConditions()) {
        for (const Spectrum& s : {ramp, percent, fluorescent}) {
            const colour::Lab direct = colour::SpectrumToLab(s, condition);
            const colour::Lab composed =
                colour::XyzToLab(colour::SpectrumToXyz(colour::NormalisedReflectance(s), condition),
                                 colour::WhitePoint(condition));
            EXPECT_EQ(direct.L, composed.L);
            EXPECT_EQ(direct.a, composed.a);
            EXPECT_EQ(direct.b, composed.b);
        }
    }
}

// A spectrum that is 1 in one band and 0 elsewhere gives that band's weights; the reference sums
// the 1 nm reflectance that such 10 nm values stand for, built independently of the library.
TEST(SpectrumToXyz, OneBandSpectraMatchThe1nmSumOfTheirInterpolation) {
    for (const Condition condition : colour::AllConditions()) {
        for (int band = 0; band < colour::kBandCount; ++band) {
            SCOPED_TRACE(colour::ConditionName(condition).toStdString() + " band " +
                         std::to_string(colour::kFirstBandNm + band * colour::kBandStepNm));
            Spectrum one = flat(0);
            one[static_cast<size_t>(band)] = 1;
            const colour::Xyz xyz = colour::SpectrumToXyz(one, condition);
            const colour::Xyz expected = reference::sumOver1nm(
                condition, 360, 780, [&](int nm) { return reference::interpolated(one, nm); });
            EXPECT_NEAR(xyz.X, expected.X, 1e-9);
            EXPECT_NEAR(xyz.Y, expected.Y, 1e-9);
            EXPECT_NEAR(xyz.Z, expected.Z, 1e-9);
        }
    }
}

// Between 390 and 720 nm the 10 nm nodes a 1 nm value is read from all lie inside the measured
// bands, and four-node Lagrange interpolation is exact for a cubic: a spectrum whose bands hold a
// cubic of the wavelength must give the 1 nm sum of the cubic itself there. This checks the weights
// (and the reference's interpolation) against plain polynomial values; only the ends, where the
// end bands stand for the unmeasured wavelengths, still come from the interpolation.
TEST(SpectrumToXyz, ReproducesACubicSpectrumBetween390And720nm) {
    auto cubic = [](double nm) {
        const double u = (nm - 380) / 350;
        return 0.2 + 0.5 * u - 0.9 * u * u + 0.7 * u * u * u;
    };
    Spectrum bands;
    for (int i = 0; i < colour::kBandCount; ++i)
        bands[static_cast<size_t>(i)] = cubic(colour::kFirstBandNm + i * colour::kBandStepNm);
    for (const Condition condition : colour::AllConditions()) {
        SCOPED_TRACE(colour::ConditionName(condition).toStdString());
        const colour::Xyz xyz = colour::SpectrumToXyz(bands, condition);
        const colour::Xyz expected = reference::sumOver1nm(condition, 360, 780, [&](int nm) {
            return nm >= 390 && nm <= 720 ? cubic(nm) : reference::interpolated(bands, nm);
        });
        EXPECT_NEAR(xyz.X, expected.X, 1e-9);
        EXPECT_NEAR(xyz.Y, expected.Y, 1e-9);
        EXPECT_NEAR(xyz.Z, expected.Z, 1e-9);
    }
}

} // namespace
