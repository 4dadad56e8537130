#pragma once

// A second route to the tristimulus values, for the tests: the CIE tables read plainly from the
// source tree, and sums over 1 nm instead of the library's 10 nm weights.

#include "Colour.h"

#include <QFile>
#include <QList>

#include <algorithm>
#include <map>
#include <stdexcept>
#include <vector>

namespace reference {

// wavelength in nm -> the row's values
using Table = std::map<int, std::vector<double>>;

inline Table readTable(const char* fileName) {
    QFile file(QStringLiteral(LUMETRA_SOURCE_DIR "/src/colour/data/") + QLatin1String(fileName));
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(std::string("cannot read ") + fileName);
    Table table;
    const QList<QByteArray> lines = file.readAll().split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (lines[i].isEmpty())
            continue;
        const QList<QByteArray> fields = lines[i].split(',');
        std::vector<double>& row = table[fields[0].toInt()];
        for (qsizetype f = 1; f < fields.size(); ++f)
            row.push_back(fields[f].toDouble());
    }
    return table;
}

inline const Table& illuminant(colour::Illuminant which) {
    static const Table d50 = readTable("CIE_std_illum_D50.csv");
    static const Table d65 = readTable("CIE_std_illum_D65.csv");
    return which == colour::Illuminant::D50 ? d50 : d65;
}

inline const Table& observer(colour::Observer which) {
    static const Table deg2 = readTable("CIE_xyz_1931_2deg.csv");
    static const Table deg10 = readTable("CIE_xyz_1964_10deg.csv");
    return which == colour::Observer::Deg2 ? deg2 : deg10;
}

// k * sum of S(l) cmf(l) R(l) over first..last nm, k making Y = 100 for R = 1 over the same range.
template <class Reflectance>
colour::Xyz sumOver1nm(colour::Condition condition, int first, int last, Reflectance reflectance) {
    const Table& s = illuminant(condition.illuminant);
    const Table& cmf = observer(condition.observer);
    double x = 0, y = 0, z = 0, white = 0;
    for (int nm = first; nm <= last; ++nm) {
        const double e = s.at(nm)[0];
        const double r = reflectance(nm);
        x += e * cmf.at(nm)[0] * r;
        y += e * cmf.at(nm)[1] * r;
        z += e * cmf.at(nm)[2] * r;
        white += e * cmf.at(nm)[1];
    }
    return {100 * x / white, 100 * y / white, 100 * z / white};
}

// The 1 nm reflectance ASTM E2022 reads into 10 nm values over 360-780 nm: the end bands stand
// for the unmeasured 360, 370 and 740-780 nm, and between nodes the Lagrange polynomial through the
// four nodes around (three in the first and last interval) gives the value, written here as the
// textbook product formula.
inline double interpolated(const colour::Spectrum& bands, int nm) {
    auto node = [&](int n) {
        return bands[static_cast<size_t>(std::clamp(n - 2, 0, colour::kBandCount - 1))];
    };
    const int n = (nm - 360) / 10;
    if ((nm - 360) % 10 == 0)
        return node(n);
    const int first = n == 0 ? 0 : n == 41 ? 40 : n - 1;
    const int count = n == 0 || n == 41 ? 3 : 4;
    double value = 0;
    for (int j = first; j < first + count; ++j) {
        double basis = 1;
        for (int m = first; m < first + count; ++m)
            if (m != j)
                basis *= double(nm - (360 + 10 * m)) / (10 * (j - m));
        value += basis * node(j);
    }
    return value;
}

} // namespace reference
