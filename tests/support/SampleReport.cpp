#include "SampleReport.h"

#include <lcms2.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace sample {
namespace {

double smoothStep(double x, double edge, double width) {
    return 1.0 / (1.0 + std::exp(-(x - edge) / width));
}

colour::Spectrum reflectanceOf(const std::array<double, 4>& cmyk) {
    colour::Spectrum r{};
    for (int i = 0; i < colour::kBandCount; ++i) {
        const double nm = colour::kFirstBandNm + i * colour::kBandStepNm;
        const double cyan = smoothStep(nm, 580, 15);                    // absorbs red
        const double magenta = std::exp(-std::pow((nm - 540) / 45, 2)); // absorbs green
        const double yellow = 1 - smoothStep(nm, 500, 12);              // absorbs blue
        double v = 0.88 - 0.04 * (1 - smoothStep(nm, 420, 10));         // the paper
        v *= 1 - 0.92 * cmyk[0] / 100 * cyan;
        v *= 1 - 0.9 * cmyk[1] / 100 * magenta;
        v *= 1 - 0.9 * cmyk[2] / 100 * yellow;
        v *= 1 - 0.93 * cmyk[3] / 100;
        r[i] = std::max(0.005, v);
    }
    return r;
}

double bandMean(const colour::Spectrum& r, int fromNm, int toNm) {
    double sum = 0;
    int n = 0;
    for (int i = 0; i < colour::kBandCount; ++i) {
        const int nm = colour::kFirstBandNm + i * colour::kBandStepNm;
        if (nm >= fromNm && nm <= toNm) {
            sum += r[i];
            ++n;
        }
    }
    return sum / n;
}

// Not colorimetry, only a plausible colour for a spectrum: its three broad bands taken as
// linear sRGB, then to L*a*b* (D50) through LittleCMS.
colour::Lab labOf(const colour::Spectrum& r) {
    static const cmsHTRANSFORM toLab = [] {
        cmsHPROFILE srgb = cmsCreate_sRGBProfile();
        cmsHPROFILE lab = cmsCreateLab4Profile(nullptr);
        cmsHTRANSFORM t =
            cmsCreateTransform(srgb, TYPE_RGB_DBL, lab, TYPE_Lab_DBL, INTENT_RELATIVE_COLORIMETRIC, 0);
        cmsCloseProfile(srgb);
        cmsCloseProfile(lab);
        return t;
    }();
    auto encode = [](double linear) {
        linear = std::clamp(linear / 0.88, 0.0, 1.0);
        return linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
    };
    const double rgb[3] = {encode(bandMean(r, 600, 700)), encode(bandMean(r, 500, 580)),
                           encode(bandMean(r, 400, 480))};
    cmsCIELab out;
    cmsDoTransform(toLab, rgb, &out, 1);
    return {out.L, out.a, out.b};
}

double deltaE00(const colour::Lab& a, const colour::Lab& b) {
    const cmsCIELab x{a.L, a.a, a.b};
    const cmsCIELab y{b.L, b.a, b.b};
    return cmsCIE2000DeltaE(&x, &y, 1, 1, 1);
}

} // namespace

void Recheck(preflight::PreflightReport& report) {
    report.findings.erase(
        std::remove_if(report.findings.begin(), report.findings.end(),
                       [](const preflight::Finding& f) { return f.severity != preflight::Severity::Info; }),
        report.findings.end());
    std::vector<double> all;
    QList<int> errors, warnings;
    for (int i = 0; i < report.rows.size(); ++i) {
        preflight::PreflightRow& row = report.rows[i];
        row.worst = preflight::Severity::Info;
        if (!row.labFile || !row.labSpectra) {
            row.dE00.reset();
            continue;
        }
        row.dE00 = deltaE00(*row.labFile, *row.labSpectra);
        all.push_back(*row.dE00);
        if (*row.dE00 > 3) {
            row.worst = preflight::Severity::Error;
            errors.append(i);
        } else if (*row.dE00 > 1.5) {
            row.worst = preflight::Severity::Warning;
            warnings.append(i);
        }
    }
    report.dE00 = {};
    if (!all.empty()) {
        std::vector<double> sorted = all;
        std::sort(sorted.begin(), sorted.end());
        double sum = 0;
        for (double v : all)
            sum += v;
        report.dE00.count = static_cast<int>(all.size());
        report.dE00.mean = sum / all.size();
        report.dE00.p95 =
            sorted[std::min(sorted.size() - 1, static_cast<size_t>(std::ceil(0.95 * sorted.size())) - 1)];
        report.dE00.max = sorted.back();
    }
    if (!errors.isEmpty())
        report.findings.append(
            {preflight::Severity::Error,
             QStringLiteral("%1 of %2 pairs differ by more than ΔE00 3 (first: row %3): the "
                            "L*a*b* rows may not follow the spectral rows")
                 .arg(errors.size())
                 .arg(all.size())
                 .arg(report.rows[errors.first()].row),
             errors});
    if (!warnings.isEmpty())
        report.findings.append({preflight::Severity::Warning,
                                QStringLiteral("%1 pairs differ by ΔE00 1.5 to 3").arg(warnings.size()),
                                warnings});
}

preflight::PreflightReport CleanReport(int rows) {
    preflight::PreflightReport report;
    report.kind = preflight::PreflightReport::Kind::Smoothing;
    const int headerLines = 20;
    report.files = {{QStringLiteral("Standard_spectral.txt"), rows + headerLines + 1, rows, rows, 512345},
                    {QStringLiteral("Standard_lab.txt"), rows + headerLines + 1, rows, rows, 98765}};
    report.rows.reserve(rows);
    const double steps[] = {0, 10, 25, 40, 55, 70, 85, 100};
    for (int i = 0; i < rows; ++i) {
        preflight::PreflightRow row;
        row.row = i + 1;
        row.spectralLine = headerLines + i;
        row.labLine = headerLines + i;
        row.spectralId = QString::number(i + 1);
        row.labId = QString::number(i + 1);
        row.patch = i;
        row.cmyk = std::array<double, 4>{steps[i % 8], steps[(i / 8) % 8], steps[(i / 64) % 8],
                                         steps[(i / 512) % 4] * 0.6};
        row.reflectance = reflectanceOf(*row.cmyk);
        row.labSpectra = labOf(*row.reflectance);
        // The file's values a little off, as a real measurement and its export would be.
        const double wobble = 0.015 * std::sin(i * 0.7);
        row.labFile = colour::Lab{row.labSpectra->L + wobble, row.labSpectra->a - wobble,
                                  row.labSpectra->b + 0.5 * wobble};
        report.rows.append(std::move(row));
    }
    Recheck(report);
    return report;
}

preflight::PreflightReport ReversedReport(int rows) {
    preflight::PreflightReport report = CleanReport(rows);
    const int n = static_cast<int>(report.rows.size());
    for (int i = 0; i < n / 2; ++i) {
        std::swap(report.rows[i].labFile, report.rows[n - 1 - i].labFile);
        std::swap(report.rows[i].labId, report.rows[n - 1 - i].labId);
        std::swap(report.rows[i].labLine, report.rows[n - 1 - i].labLine);
    }
    Recheck(report);
    return report;
}

preflight::PreflightReport SpecReport(int rows) {
    preflight::PreflightReport report = CleanReport(rows);
    report.kind = preflight::PreflightReport::Kind::Spec;
    report.files = {{QStringLiteral("Standard_optimized.txt"), rows + 21, rows, rows, 400000}};
    for (preflight::PreflightRow& row : report.rows) {
        row.labFile.reset();
        row.labLine = -1;
        row.labId.clear();
        row.cmyk.reset();
        row.patch = -1;
    }
    Recheck(report);
    return report;
}

} // namespace sample
