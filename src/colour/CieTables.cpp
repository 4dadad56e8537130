// The CIE tables and the weighting factors of the 10 nm bands.
//
// The numbers are the CIE's own 1 nm tables (colour-matching functions of the 1931 2 degree and the
// 1964 10 degree observer, relative spectral power of the illuminants D50 and D65), compiled in from
// data/ as they were published; data/SOURCES.md gives their DOIs, licence and checksums.
//
// A 10 nm reflectance R_j is turned into tristimulus values as X = sum_j Wx_j R_j (likewise Y, Z).
// The weights W_j follow ASTM E2022 over the reference range 360-780 nm of ASTM E308: between two
// 10 nm nodes the 1 nm reflectance is taken as the Lagrange interpolation of the nodes around it
// (cubic through four nodes, quadratic through three in the first and last interval of the range),
// so W_j = k * sum over 1 nm of S(l) cmf(l) L_j(l), with L_j the coefficient of node j at l. The
// nodes 360 and 370 lie below the measured bands and 740-780 above them: their weights are added to
// the 380 and the 730 band (the end values stand for the unmeasured ones). k = 100 / sum S(l) ybar(l),
// so the white, the sum of the weights, has Y = 100. The Lagrange coefficients at any wavelength add
// up to 1, hence the white is exactly the 1 nm sum of S(l) cmf(l) over 360-780 nm, times k.

#include "CieTables.h"

#include <QFile>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>

namespace colour {

namespace {

[[noreturn]] void fail(const QString& name, const QString& what) {
    throw std::runtime_error(QStringLiteral("The CIE table %1 is damaged: %2").arg(name, what).toStdString());
}

// One decimal number filling the whole field; false for anything else (blanks, a CR, NaN, inf).
bool parseNumber(QByteArrayView field, double& value) {
    const char* end = field.data() + field.size();
    const auto [ptr, ec] = std::from_chars(field.data(), end, value);
    return ec == std::errc() && ptr == end && std::isfinite(value);
}

bool parseInteger(QByteArrayView field, int& value) {
    const char* end = field.data() + field.size();
    const auto [ptr, ec] = std::from_chars(field.data(), end, value);
    return ec == std::errc() && ptr == end;
}

QString shown(QByteArrayView text) {
    return QLatin1Char('"') + QString::fromLatin1(text.first(std::min<qsizetype>(text.size(), 80))) +
           QLatin1Char('"');
}

} // namespace

CieTable ParseCieTable(const QByteArray& bytes, const QString& name, const QByteArray& header) {
    CieTable table;
    table.columns = static_cast<int>(header.count(',')); // the wavelength column is not a value
    if (table.columns < 1)
        throw std::logic_error("a CIE table header names no value column");

    const QList<QByteArray> lines = bytes.split('\n');
    // The last line ends with LF, which leaves one empty piece after it.
    if (lines.size() < 2 || !lines.last().isEmpty())
        fail(name, QStringLiteral("it does not end with a line break"));
    if (lines.first() != header)
        fail(name, QStringLiteral("line 1 is %1, not %2").arg(shown(lines.first()), shown(header)));

    for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
        // One pass of arg() each: the line's own text may hold "%1".
        auto failHere = [&](const QString& what) {
            fail(name, QStringLiteral("line %1 (%2)%3").arg(QString::number(i + 1), shown(lines[i]), what));
        };
        const QList<QByteArray> fields = lines[i].split(',');
        if (fields.size() != table.columns + 1)
            failHere(QStringLiteral(" has %1 fields, not %2").arg(fields.size()).arg(table.columns + 1));
        int nm = 0;
        if (!parseInteger(fields[0], nm))
            failHere(QStringLiteral(" does not start with a wavelength in nm"));
        if (i == 1)
            table.firstNm = nm;
        else if (nm != table.firstNm + static_cast<int>(i) - 1)
            failHere(QStringLiteral(" is not 1 nm after the line before it"));
        for (qsizetype f = 1; f < fields.size(); ++f) {
            double value = 0;
            if (!parseNumber(fields[f], value))
                failHere(QStringLiteral(": field %1 is not a number").arg(f + 1));
            table.values.push_back(value);
        }
    }
    if (table.values.empty())
        fail(name, QStringLiteral("it holds no rows"));
    if (table.firstNm > kReferenceFirstNm || table.lastNm() < kReferenceLastNm)
        fail(name, QStringLiteral("it covers %1-%2 nm, not all of %3-%4 nm")
                       .arg(table.firstNm)
                       .arg(table.lastNm())
                       .arg(kReferenceFirstNm)
                       .arg(kReferenceLastNm));
    return table;
}

CieTable LoadCieTable(const CieTableFile& table) {
    const QString name = QString::fromLatin1(table.fileName);
    QFile file(QStringLiteral(":/lumetra/colorimetry/") + name);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(
            QStringLiteral("The CIE table %1 is missing from the program").arg(name).toStdString());
    return ParseCieTable(file.readAll(), name, table.header);
}

namespace {

constexpr int kNodeCount = (kReferenceLastNm - kReferenceFirstNm) / kBandStepNm + 1; // 43
constexpr int kNodesBelowBands = (kFirstBandNm - kReferenceFirstNm) / kBandStepNm;   // 2

// The Lagrange coefficients of the 10 nm nodes at a 1 nm wavelength: count coefficients for the
// nodes from firstNode on.
struct Coefficients {
    int firstNode = 0;
    int count = 0;
    std::array<double, 4> c{};
};

Coefficients lagrangeCoefficients(int nm) {
    const int offset = nm - kReferenceFirstNm;
    const int node = offset / kBandStepNm;
    const double r = double(offset % kBandStepNm) / kBandStepNm; // 0 <= r < 1 from node on
    if (r == 0)
        return {node, 1, {1, 0, 0, 0}};
    if (node == 0) // first interval: the nodes 0, 1, 2
        return {0, 3, {(r - 1) * (r - 2) / 2, -r * (r - 2), r * (r - 1) / 2, 0}};
    if (node == kNodeCount - 2) // last interval: the nodes -1, 0, 1 around it
        return {node - 1, 3, {r * (r - 1) / 2, 1 - r * r, r * (r + 1) / 2, 0}};
    return {node - 1,
            4,
            {-r * (r - 1) * (r - 2) / 6, (r + 1) * (r - 1) * (r - 2) / 2, -(r + 1) * r * (r - 2) / 2,
             (r + 1) * r * (r - 1) / 6}};
}

// The band a reference node's weight goes to: the nodes outside 380-730 go to the end bands.
int bandOfNode(int node) {
    return std::clamp(node - kNodesBelowBands, 0, kBandCount - 1);
}

Weights computeWeights(const CieTable& illuminant, const CieTable& observer) {
    std::array<std::array<double, 3>, kBandCount> sums{};
    double whiteY = 0;
    for (int nm = kReferenceFirstNm; nm <= kReferenceLastNm; ++nm) {
        const double s = illuminant.at(nm, 0);
        const std::array<double, 3> product{s * observer.at(nm, 0), s * observer.at(nm, 1),
                                            s * observer.at(nm, 2)};
        whiteY += product[1];
        const Coefficients co = lagrangeCoefficients(nm);
        for (int i = 0; i < co.count; ++i) {
            auto& band = sums[static_cast<size_t>(bandOfNode(co.firstNode + i))];
            for (int xyz = 0; xyz < 3; ++xyz)
                band[static_cast<size_t>(xyz)] +=
                    co.c[static_cast<size_t>(i)] * product[static_cast<size_t>(xyz)];
        }
    }
    const double k = 100 / whiteY;
    Weights weights;
    for (size_t b = 0; b < weights.bands.size(); ++b)
        weights.bands[b] = {k * sums[b][0], k * sums[b][1], k * sums[b][2]};
    Spectrum white;
    white.fill(1);
    weights.white = WeightedSum<false>(weights.bands, white);
    return weights;
}

struct AllWeights {
    Weights d50Deg2, d50Deg10, d65Deg2, d65Deg10;
};

AllWeights computeAllWeights() {
    const CieTable d50 = LoadCieTable(kIlluminantD50);
    const CieTable d65 = LoadCieTable(kIlluminantD65);
    const CieTable deg2 = LoadCieTable(kObserver2);
    const CieTable deg10 = LoadCieTable(kObserver10);
    return {computeWeights(d50, deg2), computeWeights(d50, deg10), computeWeights(d65, deg2),
            computeWeights(d65, deg10)};
}

} // namespace

const Weights& WeightingFactors(Condition condition) {
    // Made on first use; a throw leaves the static unmade, so the next call tries (and throws) again.
    static const AllWeights all = computeAllWeights();
    const bool d50 = condition.illuminant == Illuminant::D50;
    if (condition.observer == Observer::Deg2)
        return d50 ? all.d50Deg2 : all.d65Deg2;
    return d50 ? all.d50Deg10 : all.d65Deg10;
}

} // namespace colour
