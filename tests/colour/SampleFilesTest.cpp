#include "Colour.h"
#include "LineList.h"
#include "LineTokenize.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// The data rows of a sample file, each split into its fields (SAMPLE_ID first).
std::vector<QStringList> dataRows(const char* fileName) {
    LineList lines;
    lines.LoadFromFile(QStringLiteral(LUMETRA_SOURCE_DIR "/examples/") + QLatin1String(fileName));
    const int begin = lines.IndexOf(QStringLiteral("BEGIN_DATA"));
    const int end = lines.IndexOf(QStringLiteral("END_DATA"));
    std::vector<QStringList> rows;
    for (int i = begin + 1; begin > 0 && i < end; ++i) {
        LineList fields;
        LineTokenize(lines.Get(i), fields);
        rows.push_back(fields.lines());
    }
    return rows;
}

double number(const QString& field) {
    bool ok = false;
    const double value = field.toDouble(&ok);
    EXPECT_TRUE(ok) << field.toStdString();
    return value;
}

// examples/Standard_lab.txt holds the L*a*b* (D50, 2 degree, 2 decimals) of the spectra in
// examples/Standard_spectral.txt, row for row. Its generator used the CIE's values at the 10 nm
// wavelengths as weights, where the library integrates at 1 nm: both agree on average far below
// what a technician can see. Under the other conditions the file's values are clearly off, which
// is what lets the preflight tell which condition a file was computed under.
TEST(SampleFiles, LabFileMatchesTheSpectraUnderD50TwoDegrees) {
    const std::vector<QStringList> spectra = dataRows("Standard_spectral.txt");
    const std::vector<QStringList> labs = dataRows("Standard_lab.txt");
    ASSERT_EQ(spectra.size(), 1617u);
    ASSERT_EQ(labs.size(), spectra.size());

    std::vector<colour::Spectrum> values(spectra.size());
    std::vector<colour::Lab> fileLabs(spectra.size());
    for (size_t row = 0; row < spectra.size(); ++row) {
        ASSERT_EQ(spectra[row].size(), 1 + colour::kBandCount) << "spectral row " << row + 1;
        ASSERT_EQ(labs[row].size(), 4) << "L*a*b* row " << row + 1;
        ASSERT_EQ(spectra[row][0], labs[row][0]) << "the files pair by line";
        for (int band = 0; band < colour::kBandCount; ++band)
            values[row][static_cast<size_t>(band)] = number(spectra[row][band + 1]);
        fileLabs[row] = {number(labs[row][1]), number(labs[row][2]), number(labs[row][3])};
    }

    std::vector<double> means;
    for (const colour::Condition condition : colour::AllConditions()) {
        double sum = 0, worst = 0;
        for (size_t row = 0; row < values.size(); ++row) {
            const double dE = colour::DeltaE00(fileLabs[row], colour::SpectrumToLab(values[row], condition));
            sum += dE;
            worst = std::max(worst, dE);
        }
        means.push_back(sum / double(spectra.size()));
        const std::string name = colour::ConditionName(condition).toStdString();
        std::printf("%s: mean dE00 %.4f, largest %.4f\n", name.c_str(), means.back(), worst);
        RecordProperty("mean_dE00 " + name, std::to_string(means.back()));
    }
    EXPECT_LT(means[0], 0.05);
    for (size_t i = 1; i < means.size(); ++i)
        EXPECT_GT(means[i], 10 * means[0]) << colour::ConditionName(colour::AllConditions()[i]).toStdString();
}

} // namespace
