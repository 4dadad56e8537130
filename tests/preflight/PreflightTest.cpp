// The preflight on the sample pair and on the ways a pair goes wrong in practice. Each case starts
// from the sample files, breaks one thing, imports the result through the window's own handler
// and checks that the preflight names it (and that the clean pair gives no finding at all).

#include "Preflight.h"

#include "BuildTestSupport.h"
#include "Colour.h"
#include "FormState.h"
#include "Import.h"
#include "LineList.h"
#include "ScriptedToolkit.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

using preflight::Finding;
using preflight::PreflightReport;
using preflight::Severity;

namespace {

const QString kExamples = QStringLiteral(LUMETRA_SOURCE_DIR "/examples");

QStringList sampleLines(const char* name) {
    LineList list;
    list.LoadFromFile(kExamples + u'/' + QString::fromLatin1(name));
    return list.lines();
}

// The sample's data rows lie between these lines (both files have the same header length).
int beginOf(const QStringList& lines) {
    return static_cast<int>(lines.indexOf(QStringLiteral("BEGIN_DATA")));
}
int endOf(const QStringList& lines) {
    return static_cast<int>(lines.indexOf(QStringLiteral("END_DATA")));
}

void setSets(QStringList& lines, int sets) {
    for (QString& line : lines)
        if (line.startsWith(QLatin1String("NUMBER_OF_SETS")))
            line = QStringLiteral("NUMBER_OF_SETS %1").arg(sets);
}

// Field `field` of data row `row` (0-based) replaced.
void setField(QStringList& lines, int row, int field, const QString& value) {
    QString& line = lines[beginOf(lines) + 1 + row];
    QStringList fields = line.split(u' ', Qt::SkipEmptyParts);
    fields[field] = value;
    line = fields.join(u' ') + u' ';
}

struct Pair {
    QStringList spectral = sampleLines("Standard_spectral.txt");
    QStringList lab = sampleLines("Standard_lab.txt");
    bool scrambled = true;
};

// A scratch folder with the shipped swatch files, the pair written into it and imported.
class PreflightCase {
public:
    PreflightCase() {
        QDir().mkpath(cwd.filePath(QStringLiteral("CMYK")));
        const QDir source(QStringLiteral(LUMETRA_SOURCE_DIR "/CMYK"));
        for (const QString& name : source.entryList({QStringLiteral("*.IccSwa")}, QDir::Files))
            QFile::copy(source.filePath(name), cwd.filePath(QStringLiteral("CMYK/") + name));
        form.FormCreate();
    }

    void import(const Pair& pair) {
        importFile(pair.spectral, QStringLiteral("spectral.txt"), 1);
        importFile(pair.lab, QStringLiteral("lab.txt"), 2);
        form.cbScrambledSwatch.IsChecked = pair.scrambled;
        ASSERT_TRUE(toolkit.messages().isEmpty()) << toolkit.messages().join(u'|').toStdString();
    }

    void editSwatch(const std::function<void(QStringList&)>& change) {
        const QString path = cwd.filePath(QStringLiteral("CMYK/Standard.IccSwa"));
        LineList swatch;
        swatch.LoadFromFile(path);
        QStringList lines = swatch.lines();
        change(lines);
        ASSERT_TRUE(WriteBytes(path, lines.join(QStringLiteral("\r\n")).toLatin1() + "\r\n"));
    }

    ScratchCurrentDir cwd;
    FormState form;
    ScriptedToolkit toolkit;

private:
    void importFile(const QStringList& lines, const QString& name, int tag) {
        const QString path = cwd.filePath(name);
        ASSERT_TRUE(WriteBytes(path, lines.join(QStringLiteral("\r\n")).toUtf8() + "\r\n"));
        toolkit.answerOpen(path);
        btnOpenCGATSFileClick(form, toolkit, tag);
    }
};

QString describe(const PreflightReport& report) {
    QString out;
    for (const Finding& f : report.findings)
        out += QStringLiteral("\n  [%1] %2").arg(int(f.severity)).arg(f.text);
    return out;
}

const Finding* findingWith(const PreflightReport& report, Severity severity, const QString& phrase) {
    for (const Finding& f : report.findings)
        if (f.severity == severity && f.text.contains(phrase))
            return &f;
    return nullptr;
}

} // namespace

TEST(Preflight, CleanSamplePairHasNoFindings) {
    PreflightCase c;
    c.import(Pair{});
    const PreflightReport report = preflight::SmoothingPreflight(c.form);
    EXPECT_TRUE(report.findings.isEmpty()) << describe(report).toStdString();
    ASSERT_EQ(report.rows.size(), 1617);
    EXPECT_EQ(report.condition, colour::AllConditions().front());
    EXPECT_EQ(report.dE00.count, 1617);
    EXPECT_LT(report.dE00.mean, 0.05);
    EXPECT_LE(report.dE00.p95, report.dE00.max);
    EXPECT_EQ(preflight::StatusText(report).left(36), QStringLiteral("Preflight: 1617 rows, ΔE00 0.01 mean"));
    EXPECT_TRUE(preflight::StatusText(report).endsWith(QStringLiteral("(D50/2°)")));
    ASSERT_TRUE(report.orderFit.has_value());
    EXPECT_GT(report.orderFit->chosen, 0.9) << "the scrambled order explains the sample's lightness";
    EXPECT_LT(std::abs(report.orderFit->other), 0.2);

    const preflight::PreflightRow& first = report.rows.front();
    EXPECT_EQ(first.row, 1);
    EXPECT_EQ(first.labLine, 12);
    EXPECT_EQ(first.spectralLine, 12);
    EXPECT_EQ(first.labId, "1");
    EXPECT_EQ(first.spectralId, "1");
    EXPECT_EQ(first.patch, 0);
    ASSERT_TRUE(first.cmyk.has_value()); // [153 51 204 51]
    EXPECT_EQ(*first.cmyk, (std::array<double, 4>{60.00, 20.00, 80.00, 20.00}));
    EXPECT_EQ(first.worst, Severity::Info);
}

// Every way of going wrong that the preflight must name: the severity and a phrase of its text.
struct BrokenPair {
    const char* name;
    std::function<void(Pair&)> breakIt;
    Severity severity;
    const char* phrase;
};

class PreflightFinds : public ::testing::TestWithParam<BrokenPair> {};

TEST_P(PreflightFinds, TheFault) {
    const BrokenPair& param = GetParam();
    PreflightCase c;
    Pair pair;
    param.breakIt(pair);
    c.import(pair);
    const PreflightReport report = preflight::SmoothingPreflight(c.form);
    const Finding* f = findingWith(report, param.severity, QString::fromUtf8(param.phrase));
    EXPECT_NE(f, nullptr) << "looked for \"" << param.phrase << "\" in" << describe(report).toStdString();
    if (param.severity == Severity::Error) {
        EXPECT_FALSE(preflight::ErrorTexts(report).isEmpty());
    }
    EXPECT_NE(preflight::StatusText(report).indexOf(QStringLiteral(" — ")), -1);
}

// Row `row` of the L*a*b* file gets a colour far from its spectrum.
void swapColour(QStringList& lab, int row) {
    setField(lab, row, 1, QStringLiteral("50.00"));
    setField(lab, row, 2, QStringLiteral("80.00"));
    setField(lab, row, 3, QStringLiteral("-80.00"));
}

void reverseRows(QStringList& lines) {
    std::reverse(lines.begin() + beginOf(lines) + 1, lines.begin() + endOf(lines));
}

// The L*a*b* rows of another measurement order, SAMPLE_IDs renumbered as a meter would.
void shuffleValuesKeepIds(QStringList& lines) {
    const int b = beginOf(lines);
    const int n = endOf(lines) - b - 1;
    QStringList values;
    for (int i = 0; i < n; ++i)
        values.append(lines[b + 1 + (i * 7919) % n].section(u' ', 1));
    for (int i = 0; i < n; ++i)
        lines[b + 1 + i] = QString::number(i + 1) + u' ' + values[i];
}

// Appends rows (copies of the first ones, new SAMPLE_IDs) up to `rows`.
void growTo(QStringList& lines, int rows) {
    const int b = beginOf(lines);
    const int n = endOf(lines) - b - 1;
    QStringList extra;
    for (int i = n; i < rows; ++i)
        extra.append(QString::number(i + 1) + u' ' + lines[b + 1 + (i - n)].section(u' ', 1));
    for (int i = 0; i < extra.size(); ++i)
        lines.insert(endOf(lines), extra[i]);
    setSets(lines, rows);
}

void truncateTo(QStringList& lines, int rows) {
    const int b = beginOf(lines);
    lines.erase(lines.begin() + b + 1 + rows, lines.begin() + endOf(lines));
}

// The L*a*b* file recomputed from the spectra under another condition.
void labUnder(Pair& pair, colour::Condition condition) {
    const int b = beginOf(pair.spectral);
    for (int i = 0; i < endOf(pair.spectral) - b - 1; ++i) {
        const QStringList f = pair.spectral[b + 1 + i].split(u' ', Qt::SkipEmptyParts);
        colour::Spectrum s{};
        for (int k = 0; k < colour::kBandCount; ++k)
            s[size_t(k)] = f[k + 1].toDouble();
        const colour::Lab lab = colour::SpectrumToLab(s, condition);
        pair.lab[beginOf(pair.lab) + 1 + i] = QStringLiteral("%1 %2 %3 %4 ")
                                                  .arg(f[0])
                                                  .arg(lab.L, 0, 'f', 2)
                                                  .arg(lab.a, 0, 'f', 2)
                                                  .arg(lab.b, 0, 'f', 2);
    }
}

const BrokenPair kBrokenPairs[] = {
    {"LabRowsReversed", [](Pair& p) { reverseRows(p.lab); }, Severity::Error,
     "Different SAMPLE_IDs of the L*a*b* file \"lab.txt\" and the spectral file \"spectral.txt\" are paired "
     "in 1616 rows: row 1 (line 12): \"1617\" and \"1\"; row 2 (line 13): \"1616\" and \"2\"; row 3 (line "
     "14): \"1615\" and \"3\"; and 1613 more."},
    {"LabRowsReversedMedian", [](Pair& p) { reverseRows(p.lab); }, Severity::Error,
     "does not match the spectra"},
    {"LabOfAnotherOrder", [](Pair& p) { shuffleValuesKeepIds(p.lab); }, Severity::Error,
     "does not match the spectra"},
    {"SpectralHeaderOneLineLonger", [](Pair& p) { p.spectral.insert(2, "KEYWORD \"extra\""); },
     Severity::Error, "every spectrum would go with the patch 1 row away"},
    {"SpectralHeaderAsFirstSpectrum", [](Pair& p) { p.spectral.insert(2, "KEYWORD \"extra\""); },
     Severity::Error, "outside its data as spectra"},
    {"CountSelectsASmallerSwatch",
     [](Pair& p) {
         growTo(p.spectral, 1985);
         growTo(p.lab, 1985);
     },
     Severity::Error, "No swatch patch for 368 rows"},
    {"UnscrambledChartWithScrambledTicked", [](Pair& p) { p.scrambled = false; }, Severity::Error,
     "The swatch order looks wrong"},
    {"DeclaredSetsOverFewerRows",
     [](Pair& p) {
         truncateTo(p.spectral, 1000);
         truncateTo(p.lab, 1000);
     },
     Severity::Error, "declares NUMBER_OF_SETS 1617 (line 10) but holds 1000 data rows"},
    {"DeclaredSetsClamped",
     [](Pair& p) {
         setSets(p.spectral, 20000);
         setSets(p.lab, 20000);
     },
     Severity::Error, "more than the patch box holds (10000)"},
    {"EndDataWithTrailingBlank", [](Pair& p) { p.lab[endOf(p.lab)] += u' '; }, Severity::Error,
     "the build would write no rows"},
    {"BeginDataWithTrailingBlank", [](Pair& p) { p.lab[beginOf(p.lab)] += u' '; }, Severity::Error,
     "header included, as data rows"},
    {"NulInsideSpectralValue", [](Pair& p) { setField(p.spectral, 5, 3, QStringLiteral("0.0\u00001")); },
     Severity::Error,
     "Spectral values missing or not numbers in 1 row of the spectral file \"spectral.txt\" (line 17 first)"},
    {"OneColourSwapped", [](Pair& p) { swapColour(p.lab, 99); }, Severity::Error,
     "in 1 row (two different colours): row 100"},
    {"LabUnderAnotherCondition",
     [](Pair& p) {
         labUnder(p, {colour::Illuminant::D65, colour::Observer::Deg10});
     },
     Severity::Warning, "fits the spectra best under D65/10°"},
    {"AFewRowsOff",
     [](Pair& p) {
         for (int row : {10, 20, 30})
             setField(
                 p.lab, row, 1,
                 QString::number(p.lab[beginOf(p.lab) + 1 + row].section(u' ', 1, 1).toDouble() + 5, 'f', 2));
     },
     Severity::Warning, "their spectra in 3 rows, worst first: rows "},
    {"SpectralValueOutOfRange", [](Pair& p) { setField(p.spectral, 7, 20, QStringLiteral("1.8000")); },
     Severity::Warning, "outside 0–1.5 (0–150 %) in 1 row of the spectral file \"spectral.txt\": row 8."},
    {"ChartHasMorePatchesThanRows",
     [](Pair& p) {
         truncateTo(p.spectral, 1500);
         truncateTo(p.lab, 1500);
         setSets(p.spectral, 1500);
         setSets(p.lab, 1500);
     },
     Severity::Warning, "lists 1617 patches; the files hold 1500 rows"},
};

INSTANTIATE_TEST_SUITE_P(Pairs, PreflightFinds, ::testing::ValuesIn(kBrokenPairs),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Preflight, SwatchDefectsAreWarnings) {
    struct Row {
        const char* name;
        const char* patchLine; // replaces patch 1600
        const char* phrase;
    };
    const Row rows[] = {
        {"OutOfRange", "    [300 0 0 0],", "Swatch values outside 0–255 from"},
        {"Unreadable", "    [1,5 0 0 0],", "17 rows will be left out: patch line 1600"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        PreflightCase c;
        c.editSwatch([&](QStringList& lines) {
            lines[static_cast<int>(lines.indexOf(QStringLiteral("   Patches {"))) + 1 + 1600] =
                QString::fromLatin1(row.patchLine);
        });
        c.import(Pair{});
        const PreflightReport report = preflight::SmoothingPreflight(c.form);
        EXPECT_NE(findingWith(report, Severity::Warning, QString::fromUtf8(row.phrase)), nullptr)
            << describe(report).toStdString();
        EXPECT_TRUE(preflight::ErrorTexts(report).isEmpty()) << describe(report).toStdString();
    }
}

TEST(Preflight, FindingsMarkTheirRows) {
    PreflightCase c;
    Pair pair;
    swapColour(pair.lab, 99);
    c.import(pair);
    const PreflightReport report = preflight::SmoothingPreflight(c.form);
    const Finding* f = findingWith(report, Severity::Error, QStringLiteral("two different colours"));
    ASSERT_NE(f, nullptr);
    ASSERT_EQ(f->rows.size(), 1);
    EXPECT_EQ(report.rows.at(f->rows.front()).row, 100);
    EXPECT_EQ(report.rows.at(f->rows.front()).worst, Severity::Error);
    EXPECT_EQ(report.rows.at(0).worst, Severity::Info);
}

TEST(Preflight, AChosenConditionIsUsedAsGiven) {
    PreflightCase c;
    c.import(Pair{});
    const colour::Condition d65{colour::Illuminant::D65, colour::Observer::Deg2};
    const PreflightReport report = preflight::SmoothingPreflight(c.form, d65);
    EXPECT_EQ(report.condition, d65);
    EXPECT_GT(report.dE00.mean, 0.5) << "the sample was computed under D50";
}

TEST(Preflight, SpecFileOfTheSampleIsClean) {
    PreflightCase c;
    const QString path = kExamples + QStringLiteral("/Standard_optimized.txt");
    c.toolkit.answerOpen(path);
    btnOpenCGATSFileClick(c.form, c.toolkit, 3);
    const PreflightReport report = preflight::SpecPreflight(c.form);
    EXPECT_TRUE(report.findings.isEmpty()) << describe(report).toStdString();
    ASSERT_EQ(report.rows.size(), 1617);
    EXPECT_TRUE(report.rows.front().labSpectra.has_value());
    EXPECT_EQ(preflight::StatusText(report), QStringLiteral("Preflight: 1617 rows"));
}

TEST(Preflight, SpecFileFaults) {
    struct Row {
        const char* name;
        std::function<void(QStringList&)> breakIt;
        Severity severity;
        const char* phrase;
    };
    const Row rows[] = {
        {"BeginDataWithTrailingBlank", [](QStringList& l) { l[beginOf(l)] += u' '; }, Severity::Error,
         "header included, as data rows"},
        {"EndDataWithTrailingBlank", [](QStringList& l) { l[endOf(l)] += u' '; }, Severity::Error,
         "the build would write no rows"},
        {"FieldCount", [](QStringList& l) { l[beginOf(l) + 3] += QStringLiteral(" 0.5"); }, Severity::Error,
         "A field count other than the data format's 37 in 1 row of the optimized file \"opt.txt\" (line 14 "
         "first)."},
        {"DeclaredSets", [](QStringList& l) { setSets(l, 1600); }, Severity::Error,
         "declares NUMBER_OF_SETS 1600 (line 10) but holds 1617 data rows"},
        {"OutOfRange", [](QStringList& l) { setField(l, 0, 5, QStringLiteral("-0.2")); }, Severity::Warning,
         "outside 0–1.5 (0–150 %) in 1 row of the optimized file \"opt.txt\": row 1."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        LineList lines;
        lines.LoadFromFile(kExamples + QStringLiteral("/Standard_optimized.txt"));
        QStringList text = lines.lines();
        row.breakIt(text);
        lines.setLines(text);
        const PreflightReport report = preflight::SpecPreflight(lines, QStringLiteral("opt.txt"));
        EXPECT_NE(findingWith(report, row.severity, QString::fromUtf8(row.phrase)), nullptr)
            << describe(report).toStdString();
    }
}
