#pragma once

#include "Colour.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <vector>

// The CIE's 1 nm tables that ship inside the library, and the 10 nm weighting factors made from them.
namespace colour {

// A CIE table at 1 nm steps: row i holds the columns of wavelength firstNm + i.
struct CieTable {
    int firstNm = 0;
    int columns = 0;
    std::vector<double> values; // row after row

    int lastNm() const { return firstNm + static_cast<int>(values.size()) / columns - 1; }
    double at(int nm, int column) const {
        return values[static_cast<size_t>((nm - firstNm) * columns + column)];
    }
};

// Reads one table: the header line exactly as given, then one "<nm>,<value>,..." row per nanometre,
// as many values as the header names after the wavelength, LF line ends. Throws std::runtime_error
// naming the table and the line for anything else, so a damaged table never reads as zeros.
CieTable ParseCieTable(const QByteArray& bytes, const QString& name, const QByteArray& header);

// A table compiled into the library: its file name in data/ and its header line.
struct CieTableFile {
    const char* fileName;
    const char* header;
};
constexpr CieTableFile kIlluminantD50{"CIE_std_illum_D50.csv", "wavelength_nm,relative_spd"};
constexpr CieTableFile kIlluminantD65{"CIE_std_illum_D65.csv", "wavelength_nm,relative_spd"};
constexpr CieTableFile kObserver2{"CIE_xyz_1931_2deg.csv", "wavelength_nm,x_bar,y_bar,z_bar"};
constexpr CieTableFile kObserver10{"CIE_xyz_1964_10deg.csv", "wavelength_nm,x_bar_10,y_bar_10,z_bar_10"};

// Reads a table compiled into the library; throws as above, or when the program holds no such table.
CieTable LoadCieTable(const CieTableFile& file);

// The reference range of the weights, and the range any table must cover.
constexpr int kReferenceFirstNm = 360;
constexpr int kReferenceLastNm = 780;

// The X, Y and Z weighting factors of the 36 bands under a condition, and their sum: the white,
// Y = 100. Made once, on first use, from the compiled-in tables (throws if they are damaged).
using WeightTable = std::array<Xyz, kBandCount>;
struct Weights {
    WeightTable bands;
    Xyz white;
};
const Weights& WeightingFactors(Condition condition);

// sum_j W_j R_j, with R_j = values[j], or values[j] / 100 for Percent. The white is this sum for a
// spectrum of ones, so a perfect white reproduces it to the last bit. Even and odd bands are summed
// apart, which halves the chain of dependent additions.
template <bool Percent> Xyz WeightedSum(const WeightTable& weights, const Spectrum& values) {
    static_assert(kBandCount % 2 == 0);
    double x0 = 0, y0 = 0, z0 = 0, x1 = 0, y1 = 0, z1 = 0;
    for (size_t i = 0; i < weights.size(); i += 2) {
        const double r0 = Percent ? values[i] / 100 : values[i];
        const double r1 = Percent ? values[i + 1] / 100 : values[i + 1];
        x0 += weights[i].X * r0;
        y0 += weights[i].Y * r0;
        z0 += weights[i].Z * r0;
        x1 += weights[i + 1].X * r1;
        y1 += weights[i + 1].Y * r1;
        z1 += weights[i + 1].Z * r1;
    }
    return {x0 + x1, y0 + y1, z0 + z1};
}

} // namespace colour
