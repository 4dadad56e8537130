// The preflight judges the rows a build is about to write, before anything is saved: it pairs the
// rows exactly as the smoothing builder does (ForEachSmoothingRow), recomputes L*a*b* from each
// spectrum and compares it with the L*a*b* file, and checks markers, counts and the swatch.
//
// Thresholds (ΔE00 between the L*a*b* file and the L*a*b* computed from the spectra):
//  - median above 3: the files belong to different charts or orders (a real pair of one
//    measurement lies far below 1; two unrelated charts give a median of tens);
//  - a pair above 10: two different colours;
//  - mean above 0.5 or a pair above 2: worth a look (instrument or condition differences).

#include "Preflight.h"

#include "Build.h"
#include "CgatsTable.h"
#include "Error.h"
#include "FormState.h"
#include "LineList.h"
#include "SmoothingRows.h"
#include "SpectralBands.h"
#include "Swatch.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace preflight {

namespace {

constexpr double kMedianLimit = 3.0;
constexpr double kPairLimit = 10.0;
constexpr double kMeanWarning = 0.5;
constexpr double kPairWarning = 2.0;
// How much better (in Spearman's rank correlation) the other swatch order must explain the
// measured lightness before the chosen one is called wrong.
constexpr double kOrderMargin = 0.3;
constexpr int kListed = 5;          // rows or lines named in one finding
constexpr size_t kProbePairs = 256; // pairs that choose the condition

QString quoted(const QString& name, const QString& what) {
    return name.isEmpty() ? QStringLiteral("the %1").arg(what)
                          : QStringLiteral("the %1 \"%2\"").arg(what, name);
}

QString capitalised(QString text) {
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

QString plural(qsizetype n, const char* one, const char* many) {
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

QString number(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

// "rows 3, 7, 9 and 12 more".
QString rowList(const QList<PreflightRow>& rows, const QList<int>& indices) {
    QStringList shown;
    for (int i = 0; i < indices.size() && i < kListed; ++i)
        shown.append(QString::number(rows.at(indices.at(i)).row));
    QString text =
        (indices.size() == 1 ? QStringLiteral("row ") : QStringLiteral("rows ")) + shown.join(u", ");
    if (indices.size() > kListed)
        text += QStringLiteral(" and %1 more").arg(indices.size() - kListed);
    return text;
}

// The columns holding a file's values: found by name in the data format, else where the format
// line the import checks puts them (field 1 on).
QList<int> valueColumns(const CgatsTable& table, const QStringList& names) {
    QList<int> columns;
    for (int i = 0; i < names.size(); ++i) {
        const int at = table.column(names.at(i));
        columns.append(at >= 0 ? at : i + 1);
    }
    return columns;
}

bool readValues(const FieldViews& fields, const QList<int>& columns, double* out) {
    for (int i = 0; i < columns.size(); ++i) {
        if (columns.at(i) >= fields.size())
            return false;
        const std::optional<double> v = ReadNumber(fields.at(columns.at(i)));
        if (!v || !std::isfinite(*v))
            return false;
        out[i] = *v;
    }
    return true;
}

QString idOf(const CgatsTable& table, const FieldViews& fields) {
    if (table.sampleIdColumn < 0 || table.sampleIdColumn >= fields.size())
        return QString();
    return fields.at(table.sampleIdColumn).toString();
}

bool outOfRange(const colour::Spectrum& raw) {
    const double max = *std::max_element(raw.begin(), raw.end());
    const double top = max > 2 ? 150 : 1.5;
    return std::any_of(raw.begin(), raw.end(), [top](double v) { return v < 0 || v > top; });
}

double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    const auto mid = values.begin() + values.size() / 2;
    std::nth_element(values.begin(), mid, values.end());
    return *mid;
}

double percentile95(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const double at = 0.95 * static_cast<double>(values.size() - 1);
    const size_t low = static_cast<size_t>(std::floor(at));
    const size_t high = std::min(values.size() - 1, low + 1);
    return values[low] + (values[high] - values[low]) * (at - static_cast<double>(low));
}

std::vector<double> ranks(const std::vector<double>& values) {
    std::vector<size_t> order(values.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return values[a] < values[b]; });
    std::vector<double> rank(values.size());
    for (size_t i = 0; i < order.size();) {
        size_t j = i;
        while (j + 1 < order.size() && values[order[j + 1]] == values[order[i]])
            ++j;
        const double shared = (static_cast<double>(i) + static_cast<double>(j)) / 2;
        for (size_t k = i; k <= j; ++k)
            rank[order[k]] = shared;
        i = j + 1;
    }
    return rank;
}

// Spearman's rank correlation; 0 when either side does not vary.
double rankCorrelation(const std::vector<double>& x, const std::vector<double>& y) {
    const size_t n = x.size();
    if (n < 3)
        return 0;
    const std::vector<double> rx = ranks(x);
    const std::vector<double> ry = ranks(y);
    const double mean = (static_cast<double>(n) - 1) / 2;
    double sxy = 0, sxx = 0, syy = 0;
    for (size_t i = 0; i < n; ++i) {
        sxy += (rx[i] - mean) * (ry[i] - mean);
        sxx += (rx[i] - mean) * (rx[i] - mean);
        syy += (ry[i] - mean) * (ry[i] - mean);
    }
    return sxx > 0 && syy > 0 ? sxy / std::sqrt(sxx * syy) : 0;
}

// A lightness estimate from device values (0-255): each ink filters mostly one third of the
// spectrum (cyan the red, magenta the green, yellow the blue) and black all of it. Monotone in
// every ink, which is all a rank correlation needs.
double lightnessEstimate(const std::array<double, 4>& cmyk255) {
    const double c = cmyk255[0] / 255, m = cmyk255[1] / 255, y = cmyk255[2] / 255, k = cmyk255[3] / 255;
    return (1 - 0.9 * k) * (0.3 * (1 - 0.85 * c) + 0.59 * (1 - 0.85 * m) + 0.11 * (1 - 0.85 * y));
}

// The device values of a patch line, or nothing when a value is not a number.
std::optional<std::array<double, 4>> deviceValues(const QString& patchLine) {
    const FieldViews fields = SplitFields(patchLine);
    if (fields.size() < 4)
        return std::nullopt;
    std::array<double, 4> v{};
    for (int i = 0; i < 4; ++i) {
        const std::optional<double> n = ReadNumber(fields.at(i));
        if (!n)
            return std::nullopt;
        v[static_cast<size_t>(i)] = *n;
    }
    return v;
}

// The swatch's patch lines, as the build reads them; false when the file cannot be read.
bool readPatches(const QString& path, LineList& patches, QString* reason) {
    QFile file(path);
    if (QFileInfo(path).isDir() || !file.open(QIODevice::ReadOnly)) {
        if (reason)
            *reason = QFileInfo(path).isDir() ? QStringLiteral("Is a directory") : file.errorString();
        return false;
    }
    try {
        patches.LoadFromStream(file);
        SwatchPatchesExtract(patches);
    } catch (const Error& e) {
        if (reason)
            *reason = e.message();
        return false;
    }
    return true;
}

// The swatch's patch lines, as the build reads them; false when the file cannot be read. The
// window asks again at every change of a pane, so a file read once is kept while its size and
// time stay the same; a file changed on disk is read anew.
bool loadPatches(const QString& path, LineList& patches, QString* reason = nullptr) {
    struct Kept {
        QDateTime modified;
        qint64 size = -1;
        LineList patches;
    };
    static QMutex mutex;
    static QHash<QString, Kept> kept;
    const QFileInfo info(path);
    const QString key = info.absoluteFilePath();
    if (info.isFile()) {
        const QMutexLocker lock(&mutex);
        const auto it = kept.constFind(key);
        if (it != kept.constEnd() && it->size == info.size() && it->modified == info.lastModified()) {
            patches = it->patches;
            return true;
        }
    }
    if (!readPatches(path, patches, reason))
        return false;
    const QMutexLocker lock(&mutex);
    if (kept.size() > 32)
        kept.clear();
    kept.insert(key, Kept{info.lastModified(), info.size(), patches});
    return true;
}

QString fullPath(const QString& path) {
    return QDir::cleanPath(QDir::current().absoluteFilePath(path));
}

void addFinding(PreflightReport& report, Severity severity, const QString& text,
                const QList<int>& rows = {}) {
    for (int i : rows) {
        Severity& worst = report.rows[i].worst;
        worst = std::max(worst, severity);
    }
    report.findings.append(Finding{severity, text, rows});
}

// An error the build meets on its own: it stops with its own message and saves nothing.
void addStop(PreflightReport& report, const QString& text) {
    addFinding(report, Severity::Error, text);
    report.findings.last().stopsBuild = true;
}

FileSummary summaryOf(const QString& name, const QString& path, const LineList& lines,
                      const CgatsTable& table) {
    FileSummary summary{name, lines.Count(), static_cast<int>(table.rows.size()),
                        table.numberOfSets.value_or(-1)};
    if (const QFileInfo file(path); !path.isEmpty() && file.isFile())
        summary.bytes = file.size();
    return summary;
}

// The data markers as the builders look for them, with what goes wrong when one is not a whole line.
void checkMarkers(PreflightReport& report, const CgatsTable& table, const QString& file) {
    if (table.endData < 0) {
        if (table.looseEndData >= 0)
            addFinding(
                report, Severity::Error,
                QStringLiteral("%1 has no END_DATA line the build can find (line %2 holds END_DATA with "
                               "other characters around it): the build would write no rows.")
                    .arg(capitalised(file))
                    .arg(table.looseEndData));
        else
            addFinding(report, Severity::Error,
                       QStringLiteral("%1 has no END_DATA line: the build would write no rows.")
                           .arg(capitalised(file)));
    } else if (table.beginData < 0) {
        addFinding(
            report, Severity::Error,
            QStringLiteral("%1 has no BEGIN_DATA line the build can find%2: the build would take lines 0 to "
                           "%3, header included, as data rows.")
                .arg(capitalised(file), table.looseBeginData >= 0
                                            ? QStringLiteral(" (line %1 holds BEGIN_DATA with other "
                                                             "characters around it)")
                                                  .arg(table.looseBeginData)
                                            : QString())
                .arg(table.endData - 1));
    } else if (table.endData <= table.beginData + 1) {
        addFinding(report, Severity::Error,
                   QStringLiteral(
                       "%1 has no data rows between its BEGIN_DATA (line %2) and END_DATA (line %3) lines.")
                       .arg(capitalised(file))
                       .arg(table.beginData)
                       .arg(table.endData));
    }
}

void checkDeclaredSets(PreflightReport& report, const CgatsTable& table, const QString& file, double boxMax) {
    for (const CgatsTable::Problem& problem : table.problems)
        addFinding(
            report, Severity::Error,
            QStringLiteral("%1, line %2: %3.").arg(capitalised(file)).arg(problem.line).arg(problem.text));
    if (!table.numberOfSets)
        return;
    const int declared = *table.numberOfSets;
    if (declared > boxMax)
        addFinding(
            report, Severity::Error,
            QStringLiteral("%1 declares NUMBER_OF_SETS %2, more than the patch box holds (%3): the build "
                           "would choose the swatch for, and write, %3 patches.")
                .arg(capitalised(file))
                .arg(declared)
                .arg(boxMax));
    if (table.beginData >= 0 && table.endData > table.beginData && declared != table.rows.size())
        addFinding(report, Severity::Error,
                   QStringLiteral("%1 declares NUMBER_OF_SETS %2 (line %3) but holds %4 (lines %5 to %6).")
                       .arg(capitalised(file))
                       .arg(declared)
                       .arg(table.numberOfSetsLine)
                       .arg(plural(table.rows.size(), "data row", "data rows"))
                       .arg(table.beginData + 1)
                       .arg(table.endData - 1));
}

void summarise(PreflightReport& report) {
    std::vector<double> all;
    for (const PreflightRow& row : report.rows)
        if (row.dE00)
            all.push_back(*row.dE00);
    report.dE00.count = static_cast<int>(all.size());
    if (all.empty())
        return;
    report.dE00.mean = std::accumulate(all.begin(), all.end(), 0.0) / static_cast<double>(all.size());
    report.dE00.max = *std::max_element(all.begin(), all.end());
    report.dE00.p95 = percentile95(all);
}

// Indices of the rows whose ΔE00 lies in (low, high], worst first.
QList<int> rowsAbove(const PreflightReport& report, double low, double high) {
    QList<int> found;
    for (int i = 0; i < report.rows.size(); ++i)
        if (report.rows.at(i).dE00 && *report.rows.at(i).dE00 > low && *report.rows.at(i).dE00 <= high)
            found.append(i);
    std::stable_sort(found.begin(), found.end(),
                     [&](int a, int b) { return *report.rows.at(a).dE00 > *report.rows.at(b).dE00; });
    return found;
}

struct SmoothingInput {
    const LineList& spectral;
    const LineList& lab;
    QString spectralName;
    QString labName;
    QString spectralCount; // the boxes' texts
    QString labCount;
    double boxMax = 10000;
    bool scrambled = true;
    QString spectralPath;
    QString labPath;
};

PreflightReport smoothingPreflight(const SmoothingInput& in, std::optional<colour::Condition> chosen) {
    PreflightReport report;
    report.kind = PreflightReport::Kind::Smoothing;
    const QString spectralFile = quoted(in.spectralName, QStringLiteral("spectral file"));
    const QString labFile = quoted(in.labName, QStringLiteral("L*a*b* file"));
    const CgatsTable spectral = ReadCgatsTable(in.spectral);
    const CgatsTable lab = ReadCgatsTable(in.lab);
    report.files = {summaryOf(in.spectralName, in.spectralPath, in.spectral, spectral),
                    summaryOf(in.labName, in.labPath, in.lab, lab)};

    if (in.spectralCount != in.labCount)
        addStop(report, QStringLiteral("%1 declares %2 patches and %3 %4: the build refuses the pair.")
                            .arg(capitalised(spectralFile), in.spectralCount, labFile, in.labCount));
    checkMarkers(report, lab, labFile);
    checkDeclaredSets(report, lab, labFile, in.boxMax);
    checkDeclaredSets(report, spectral, spectralFile, in.boxMax);
    const int spectralBegin = spectral.beginData >= 0 ? spectral.beginData : spectral.looseBeginData;
    if (lab.beginData >= 0 && spectralBegin >= 0 && spectralBegin != lab.beginData)
        addFinding(
            report, Severity::Error,
            QStringLiteral("The data of %1 start below line %2, those of %3 below line %4: rows are paired "
                           "by line, so every spectrum would go with the patch %5 away.")
                .arg(spectralFile)
                .arg(spectralBegin)
                .arg(labFile)
                .arg(lab.beginData)
                .arg(plural(std::abs(spectralBegin - lab.beginData), "row", "rows")));

    // The swatch, as the build chooses it.
    bool countOk = false;
    const int patchCount = in.spectralCount.toInt(&countOk);
    LineList patches;
    QString swatchPath;
    bool swatchRead = false;
    if (countOk) {
        swatchPath = SwatchFilePath(patchCount, in.scrambled);
        QString reason;
        swatchRead = loadPatches(swatchPath, patches, &reason);
        if (!swatchRead)
            addStop(report,
                    QStringLiteral("The swatch file \"%1\" cannot be read (%2): the build would stop.")
                        .arg(fullPath(swatchPath), reason));
    }

    const QList<int> labColumns =
        valueColumns(lab, {QStringLiteral("LAB_L"), QStringLiteral("LAB_A"), QStringLiteral("LAB_B")});
    const QList<int> spectralColumns = valueColumns(spectral, SpectralFieldNames());

    QList<int> idMismatch, noPatch, unreadableLab, unreadableSpectrum, outsideData, spectraOutOfRange,
        swatchOutOfRange;
    QList<int> failedRows; // row numbers left out
    int failedPatch = -1;
    int spectralEndsAt = -1;
    std::vector<std::array<double, 4>> device; // per report row, for the order fit
    std::vector<colour::Spectrum> spectra;     // per report row (normalised); valid where labSpectra will be
    QString labScratch, spectralScratch;       // the rows' text, where the lists hold it as bytes

    ForEachSmoothingRow(in.lab, patches, [&](const SmoothingRowPlan& plan) {
        if (spectralEndsAt >= 0)
            return;
        if (plan.line >= in.spectral.Count()) {
            spectralEndsAt = plan.line;
            return;
        }
        if (plan.failed) {
            failedRows.append(plan.number);
            failedPatch = plan.patch;
            return;
        }
        const FieldViews labFields = SplitFields(in.lab.view(plan.line, labScratch));
        const FieldViews spectralFields = SplitFields(in.spectral.view(plan.line, spectralScratch));
        PreflightRow row;
        row.row = plan.number;
        row.labLine = plan.line;
        row.spectralLine = plan.line;
        row.labId = idOf(lab, labFields);
        row.spectralId = idOf(spectral, spectralFields);
        const int index = static_cast<int>(report.rows.size());
        std::array<double, 4> dev{-1, -1, -1, -1};
        if (plan.noPatch) {
            noPatch.append(index);
            row.cmyk = std::array<double, 4>{0, 0, 0, 0};
        } else {
            row.patch = plan.patch;
            const FieldViews percent = SplitFields(plan.cmyk);
            std::array<double, 4> cmyk{};
            for (int i = 0; i < 4 && i < percent.size(); ++i)
                cmyk[static_cast<size_t>(i)] = ReadNumber(percent.at(i)).value_or(0);
            row.cmyk = cmyk;
            if (const auto values = deviceValues(patches.Get(plan.patch))) {
                dev = *values;
                if (std::any_of(dev.begin(), dev.end(), [](double v) { return v < 0 || v > 255; }))
                    swatchOutOfRange.append(index);
            }
        }
        double labValues[3];
        if (readValues(labFields, labColumns, labValues))
            row.labFile = colour::Lab{labValues[0], labValues[1], labValues[2]};
        else
            unreadableLab.append(index);
        colour::Spectrum raw{};
        const bool inData = spectral.beginData >= 0 && plan.line > spectral.beginData &&
                            (spectral.endData < 0 || plan.line < spectral.endData);
        if (!inData)
            outsideData.append(index);
        if (readValues(spectralFields, spectralColumns, raw.data())) {
            if (outOfRange(raw))
                spectraOutOfRange.append(index);
            row.reflectance = colour::NormalisedReflectance(raw);
        } else if (inData) {
            unreadableSpectrum.append(index);
        }
        if (!row.labId.isEmpty() && !row.spectralId.isEmpty() && row.labId != row.spectralId)
            idMismatch.append(index);
        device.push_back(dev);
        report.rows.append(std::move(row));
    });

    // Which condition the L*a*b* file was computed under: the one whose median ΔE00 is lowest.
    // A few hundred evenly spread pairs settle that; the chosen condition then judges every row.
    std::vector<int> paired;
    for (int i = 0; i < report.rows.size(); ++i)
        if (report.rows.at(i).labFile && report.rows.at(i).reflectance)
            paired.push_back(i);
    std::vector<int> probe;
    const size_t step = std::max<size_t>(1, paired.size() / kProbePairs);
    for (size_t i = 0; i < paired.size(); i += step)
        probe.push_back(paired[i]);
    const auto medianUnder = [&](colour::Condition c) {
        const colour::Xyz white = colour::WhitePoint(c);
        std::vector<double> d;
        d.reserve(probe.size());
        for (int i : probe)
            d.push_back(colour::DeltaE00(
                *report.rows.at(i).labFile,
                colour::XyzToLab(colour::SpectrumToXyz(*report.rows.at(i).reflectance, c), white)));
        return median(std::move(d));
    };
    const colour::Condition usual = colour::AllConditions().front();
    colour::Condition best = chosen.value_or(usual);
    const double usualMedian = medianUnder(usual);
    if (!chosen) {
        double bestSoFar = usualMedian;
        for (const colour::Condition& c : colour::AllConditions()) {
            if (c == usual)
                continue;
            if (const double m = medianUnder(c); m < bestSoFar) {
                bestSoFar = m;
                best = c;
            }
        }
        // When no condition fits, none explains the file: judge it under the usual one.
        if (bestSoFar > kMedianLimit)
            best = usual;
    }
    report.condition = best;
    const colour::Xyz white = colour::WhitePoint(best);
    std::vector<double> all;
    all.reserve(paired.size());
    for (PreflightRow& row : report.rows) {
        if (!row.reflectance)
            continue;
        row.labSpectra = colour::XyzToLab(colour::SpectrumToXyz(*row.reflectance, best), white);
        if (row.labFile) {
            row.dE00 = colour::DeltaE00(*row.labFile, *row.labSpectra);
            all.push_back(*row.dE00);
        }
    }
    const double bestMedian = median(std::move(all));
    summarise(report);

    const QList<PreflightRow>& rows = report.rows;
    if (spectralEndsAt >= 0)
        addStop(report, QStringLiteral("%1 ends before line %2 of %3: the build would stop there.")
                            .arg(capitalised(spectralFile))
                            .arg(spectralEndsAt)
                            .arg(labFile));
    if (!outsideData.isEmpty())
        addFinding(report, Severity::Error,
                   QStringLiteral("%1 would take lines of %2 outside its data as spectra (line %3 first).")
                       .arg(capitalised(plural(outsideData.size(), "row", "rows")), spectralFile)
                       .arg(rows.at(outsideData.front()).spectralLine),
                   outsideData);
    if (!idMismatch.isEmpty()) {
        QStringList first;
        for (int i = 0; i < idMismatch.size() && i < 3; ++i) {
            const PreflightRow& r = rows.at(idMismatch.at(i));
            first.append(QStringLiteral("row %1 (line %2): \"%3\" and \"%4\"")
                             .arg(r.row)
                             .arg(r.labLine)
                             .arg(r.labId, r.spectralId));
        }
        addFinding(report, Severity::Error,
                   QStringLiteral("Different SAMPLE_IDs of %2 and %3 are paired in %1: %4%5.")
                       .arg(plural(idMismatch.size(), "row", "rows"), labFile, spectralFile,
                            first.join(QStringLiteral("; ")),
                            idMismatch.size() > 3 ? QStringLiteral("; and %1 more").arg(idMismatch.size() - 3)
                                                  : QString()),
                   idMismatch);
    }
    if (!unreadableLab.isEmpty())
        addFinding(report, Severity::Error,
                   QStringLiteral("L*a*b* values that are not numbers in %1 of %2 (line %3 first).")
                       .arg(plural(unreadableLab.size(), "row", "rows"), labFile)
                       .arg(rows.at(unreadableLab.front()).labLine),
                   unreadableLab);
    if (!unreadableSpectrum.isEmpty())
        addFinding(report, Severity::Error,
                   QStringLiteral("Spectral values missing or not numbers in %1 of %2 (line %3 first).")
                       .arg(plural(unreadableSpectrum.size(), "row", "rows"), spectralFile)
                       .arg(rows.at(unreadableSpectrum.front()).spectralLine),
                   unreadableSpectrum);
    if (swatchRead && !noPatch.isEmpty())
        addFinding(
            report, Severity::Error,
            QStringLiteral("No swatch patch for %1 (CMYK written as 0 0 0 0): the swatch file \"%2\" has "
                           "%3.")
                .arg(plural(noPatch.size(), "row", "rows"), fullPath(swatchPath),
                     plural(patches.Count(), "patch", "patches")),
            noPatch);

    if (!paired.empty()) {
        const QList<int> far = rowsAbove(report, kPairLimit, INFINITY);
        if (bestMedian > kMedianLimit)
            addFinding(
                report, Severity::Error,
                QStringLiteral("%1 does not match the spectra of %2: the median ΔE00 is %3 under %4, and "
                               "no condition fits better (the files belong to different charts, or the "
                               "patches were measured in another order).")
                    .arg(capitalised(labFile), spectralFile, number(bestMedian, 2),
                         colour::ConditionName(best)),
                far);
        else if (!far.isEmpty())
            addFinding(report, Severity::Error,
                       QStringLiteral("ΔE00 above %3 between %2 and its spectra in %1 (two different "
                                      "colours): %4.")
                           .arg(plural(far.size(), "row", "rows"), labFile, number(kPairLimit, 0),
                                rowList(rows, far)),
                       far);
    }

    // Does the other swatch order explain the measured lightness clearly better?
    if (swatchRead && !paired.empty()) {
        LineList other;
        if (loadPatches(SwatchFilePath(patchCount, !in.scrambled), other)) {
            std::vector<double> measured, chosenFit, otherFit;
            for (int i = 0; i < rows.size(); ++i) {
                const PreflightRow& r = rows.at(i);
                if (!r.labFile || r.patch < 0 || r.patch >= other.Count() || device[size_t(i)][0] < 0)
                    continue;
                const auto o = deviceValues(other.Get(r.patch));
                if (!o)
                    continue;
                measured.push_back(r.labFile->L);
                chosenFit.push_back(lightnessEstimate(device[size_t(i)]));
                otherFit.push_back(lightnessEstimate(*o));
            }
            const double rhoChosen = rankCorrelation(chosenFit, measured);
            const double rhoOther = rankCorrelation(otherFit, measured);
            report.orderFit = {rhoChosen, rhoOther};
            if (measured.size() >= 20 && rhoOther - rhoChosen > kOrderMargin)
                addFinding(
                    report, Severity::Error,
                    QStringLiteral("The swatch order looks wrong: the %1 swatch \"%2\" explains the measured "
                                   "lightness much better (rank correlation %3) than the %4 one chosen (%5); "
                                   "check \"Scrambled Swatch\".")
                        .arg(in.scrambled ? QStringLiteral("unscrambled") : QStringLiteral("scrambled"),
                             fullPath(SwatchFilePath(patchCount, !in.scrambled)), number(rhoOther, 2),
                             in.scrambled ? QStringLiteral("scrambled") : QStringLiteral("unscrambled"),
                             number(rhoChosen, 2)));
        }
    }

    // Warnings.
    if (!paired.empty() && !(best == colour::AllConditions().front()) && bestMedian <= kMedianLimit)
        addFinding(report, Severity::Warning,
                   QStringLiteral("%1 fits the spectra best under %2 (median ΔE00 %3), not D50/2° (%4).")
                       .arg(capitalised(labFile), colour::ConditionName(best), number(bestMedian, 2),
                            number(usualMedian, 2)));
    if (report.dE00.count > 0 && report.dE00.mean > kMeanWarning && bestMedian <= kMedianLimit)
        addFinding(report, Severity::Warning,
                   QStringLiteral("The mean ΔE00 between %1 and the spectra is %2 (above %3).")
                       .arg(labFile, number(report.dE00.mean, 2), number(kMeanWarning, 1)));
    if (const QList<int> some = rowsAbove(report, kPairWarning, kPairLimit);
        !some.isEmpty() && bestMedian <= kMedianLimit)
        addFinding(report, Severity::Warning,
                   QStringLiteral(
                       "ΔE00 above %2 between the L*a*b* values and their spectra in %1, worst first: %3.")
                       .arg(plural(some.size(), "row", "rows"), number(kPairWarning, 0), rowList(rows, some)),
                   some);
    if (!failedRows.isEmpty())
        addFinding(
            report, Severity::Warning,
            QStringLiteral("%1 will be left out: patch line %2 of the swatch file \"%3\" (\"%4\") cannot be "
                           "read.")
                .arg(capitalised(plural(failedRows.size(), "row", "rows")))
                .arg(failedPatch)
                .arg(fullPath(swatchPath), patches.Get(failedPatch)));
    if (!swatchOutOfRange.isEmpty())
        addFinding(report, Severity::Warning,
                   QStringLiteral("Swatch values outside 0–255 from \"%2\" in %1 (patch %3 first).")
                       .arg(plural(swatchOutOfRange.size(), "row", "rows"), fullPath(swatchPath))
                       .arg(rows.at(swatchOutOfRange.front()).patch),
                   swatchOutOfRange);
    if (!spectraOutOfRange.isEmpty())
        addFinding(report, Severity::Warning,
                   QStringLiteral("Spectral values outside 0–1.5 (0–150 %) in %1 of %2: %3.")
                       .arg(plural(spectraOutOfRange.size(), "row", "rows"), spectralFile,
                            rowList(rows, spectraOutOfRange)),
                   spectraOutOfRange);
    if (swatchRead && patches.Count() > rows.size() + failedRows.size() && !rows.isEmpty())
        addFinding(report, Severity::Warning,
                   QStringLiteral("The swatch file \"%1\" lists %2; the files hold %3.")
                       .arg(fullPath(swatchPath), plural(patches.Count(), "patch", "patches"),
                            plural(rows.size() + failedRows.size(), "row", "rows")));
    return report;
}

PreflightReport specPreflight(const LineList& optimized, const QString& name, const QString& path = {}) {
    PreflightReport report;
    report.kind = PreflightReport::Kind::Spec;
    const QString file = quoted(name, QStringLiteral("optimized file"));
    const CgatsTable table = ReadCgatsTable(optimized);
    report.files = {summaryOf(name, path, optimized, table)};
    const colour::Condition condition = colour::AllConditions().front();
    report.condition = condition;

    if (optimized.Count() <= 100) {
        addStop(report, QStringLiteral("%1 has only %2; the spec build needs more than 100.")
                            .arg(capitalised(file), plural(optimized.Count(), "line", "lines")));
        return report;
    }
    checkMarkers(report, table, file);
    checkDeclaredSets(report, table, file, 10000);

    // The values written: from the first field whose name starts with "SPEC" to the end of the row.
    const int formatLine = table.formatBegin;
    int first = -1;
    if (formatLine >= 0 && formatLine + 1 < optimized.Count()) {
        const QString namesLine = optimized.Get(formatLine + 1);
        const FieldViews names = SplitFields(namesLine);
        for (int i = 0; i < names.size() && first < 0; ++i)
            if (names.at(i).left(4).trimmed() == QLatin1String("SPEC"))
                first = i;
    }
    if (first < 0) {
        addStop(
            report,
            QStringLiteral("%1 has no field name starting with SPEC on the line below BEGIN_DATA_FORMAT: the "
                           "build would stop.")
                .arg(capitalised(file)));
        return report;
    }

    // The builder's own range: BEGIN_DATA and END_DATA as whole lines (a missing start takes line 0).
    const int begin = table.beginData;
    const int end = table.endData;
    const int formatFields = static_cast<int>(table.fieldNames.size());
    QList<int> wrongCount, unreadable, fewBands, outOfRangeRows;
    const colour::Xyz white = colour::WhitePoint(condition);
    int number = 0;
    QString scratch;
    for (int r = begin + 1; r <= end - 1; ++r) {
        const FieldViews fields = SplitFields(optimized.view(r, scratch));
        if (fields.size() <= first)
            continue; // the build shows this row's failure itself and leaves it out
        PreflightRow row;
        row.row = ++number;
        row.spectralLine = r;
        row.spectralId = idOf(table, fields);
        const int index = static_cast<int>(report.rows.size());
        if (formatFields > 0 && fields.size() != formatFields)
            wrongCount.append(index);
        colour::Spectrum raw{};
        const bool enough = fields.size() - first >= colour::kBandCount;
        bool ok = enough;
        for (int i = 0; ok && i < colour::kBandCount; ++i) {
            const std::optional<double> v = ReadNumber(fields.at(first + i));
            ok = v && std::isfinite(*v);
            if (ok)
                raw[size_t(i)] = *v;
        }
        if (ok) {
            if (outOfRange(raw))
                outOfRangeRows.append(index);
            row.reflectance = colour::NormalisedReflectance(raw);
            row.labSpectra = colour::XyzToLab(colour::SpectrumToXyz(*row.reflectance, condition), white);
        } else {
            (enough ? unreadable : fewBands).append(index);
        }
        report.rows.append(std::move(row));
    }
    summarise(report);
    if (!wrongCount.isEmpty())
        addFinding(
            report, Severity::Error,
            QStringLiteral("A field count other than the data format's %3 in %1 of %2 (line %4 first).")
                .arg(plural(wrongCount.size(), "row", "rows"), file)
                .arg(formatFields)
                .arg(report.rows.at(wrongCount.front()).spectralLine),
            wrongCount);
    // The spec file takes the values as written; only a preview needs them as numbers.
    if (!unreadable.isEmpty())
        addFinding(report, Severity::Warning,
                   QStringLiteral("Spectral values that are not numbers in %1 of %2 (line %3 first).")
                       .arg(plural(unreadable.size(), "row", "rows"), file)
                       .arg(report.rows.at(unreadable.front()).spectralLine),
                   unreadable);
    if (!fewBands.isEmpty())
        addFinding(
            report, Severity::Info,
            QStringLiteral("Fewer than %3 spectral values (%4 to %5 nm) in %1 of %2: no colour for them.")
                .arg(plural(fewBands.size(), "row", "rows"), file)
                .arg(kSpectralBandCount)
                .arg(kSpectralFirstNm)
                .arg(kSpectralLastNm),
            fewBands);
    if (!outOfRangeRows.isEmpty())
        addFinding(report, Severity::Warning,
                   QStringLiteral("Spectral values outside 0–1.5 (0–150 %) in %1 of %2: %3.")
                       .arg(plural(outOfRangeRows.size(), "row", "rows"), file,
                            rowList(report.rows, outOfRangeRows)),
                   outOfRangeRows);
    return report;
}

} // namespace

PreflightReport SmoothingPreflight(const FormState& form, std::optional<colour::Condition> condition) {
    const SmoothingInput in{
        form.memoInput.Lines,        form.memoCGATSLab.Lines,          form.labelMeasurementFileName.Text,
        form.labelLabFileName.Text,  form.NumberBoxPatches.Text(),     form.NumberBoxPatchesLab.Text(),
        form.NumberBoxPatches.Max,   form.cbScrambledSwatch.IsChecked, form.memoInput.SourcePath,
        form.memoCGATSLab.SourcePath};
    return smoothingPreflight(in, condition);
}

PreflightReport SpecPreflight(const FormState& form) {
    return specPreflight(form.memoOptimized.Lines, form.LabelOptimizedFileName.Text,
                         form.memoOptimized.SourcePath);
}

PreflightReport SpecPreflight(const LineList& optimized, const QString& name) {
    return specPreflight(optimized, name);
}

const BuildGate& Gate() {
    static const BuildGate gate{[](const FormState& form) { return ErrorTexts(SmoothingPreflight(form)); },
                                [](const LineList& optimized, const QString& name) {
                                    return ErrorTexts(SpecPreflight(optimized, name));
                                }};
    return gate;
}

QStringList ErrorTexts(const PreflightReport& report) {
    QStringList texts;
    for (const Finding& f : report.findings)
        if (f.severity == Severity::Error)
            texts.append(f.text);
    return texts;
}

bool BuildWouldStop(const PreflightReport& report) {
    return std::any_of(report.findings.begin(), report.findings.end(),
                       [](const Finding& f) { return f.stopsBuild; });
}

QString StatusText(const PreflightReport& report) {
    QString text = QStringLiteral("Preflight: %1").arg(plural(report.rows.size(), "row", "rows"));
    if (report.dE00.count > 0)
        text += QStringLiteral(", ΔE00 %1 mean (%2)")
                    .arg(number(report.dE00.mean, 2), colour::ConditionName(report.condition));
    const int problems = report.count(Severity::Error) + report.count(Severity::Warning);
    if (problems > 0)
        text += QStringLiteral(" — %1").arg(plural(problems, "problem", "problems"));
    return text;
}

} // namespace preflight
