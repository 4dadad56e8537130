#pragma once

#include "Colour.h"

#include <QList>
#include <QString>

#include <array>
#include <optional>

// What a preflight found about the files a build is about to merge: one record per row the
// builder will write, and the findings that concern them.
namespace preflight {

enum class Severity { Info, Warning, Error };

struct Finding {
    Severity severity = Severity::Info;
    QString text;    // names the file(s), line(s) or row(s) concerned
    QList<int> rows; // indices into PreflightReport::rows this finding marks (may be empty)
    // The build itself stops on this (with its own message) before anything is saved.
    bool stopsBuild = false;
};

struct PreflightRow {
    int row = 0;           // the row number the builder writes (1-based)
    int labLine = -1;      // line index in the L*a*b* pane; -1 when there is no L*a*b* file
    int spectralLine = -1; // line index in the spectral (or optimized) pane
    QString labId;         // SAMPLE_ID of the L*a*b* row, empty when none
    QString spectralId;    // SAMPLE_ID of the spectral row, empty when none
    int patch = -1;        // 0-based swatch patch index; -1 when the row gets none
    std::optional<std::array<double, 4>> cmyk;   // C M Y K in percent, as written
    std::optional<colour::Lab> labFile;          // the L*a*b* file's values
    std::optional<colour::Lab> labSpectra;       // computed from the spectral row
    std::optional<double> dE00;                  // between the two
    std::optional<colour::Spectrum> reflectance; // 0-1 scale
    Severity worst = Severity::Info;             // the worst finding that marks this row
};

struct FileSummary {
    QString name;          // as the window shows it
    int lines = 0;         // lines in the pane
    int dataRows = 0;      // rows between its BEGIN_DATA and END_DATA
    int declaredSets = -1; // NUMBER_OF_SETS, -1 when absent or unreadable
    qint64 bytes = -1;     // size of the file on disk, -1 when unknown
};

struct DeltaSummary {
    int count = 0; // pairs with a ΔE00
    double mean = 0;
    double p95 = 0;
    double max = 0;
};

struct PreflightReport {
    enum class Kind { Smoothing, Spec };
    Kind kind = Kind::Smoothing;
    colour::Condition condition;
    QList<FileSummary> files; // smoothing: spectral, L*a*b*; spec: optimized
    QList<PreflightRow> rows;
    QList<Finding> findings;
    DeltaSummary dE00;
    // Smoothing only: how well each swatch order explains the measured lightness (Spearman's rank
    // correlation of a lightness estimate from the CMYK values with L*), when both could be read.
    struct OrderFit {
        double chosen = 0;
        double other = 0;
    };
    std::optional<OrderFit> orderFit;

    int count(Severity severity) const {
        int n = 0;
        for (const Finding& f : findings)
            n += f.severity == severity;
        return n;
    }
};

} // namespace preflight
