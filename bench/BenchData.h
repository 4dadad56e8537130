#pragma once

#include <QString>

// Generated measurement files for the benchmarks (never committed): CGATS with CR LF line ends.
struct BenchFiles {
    QString spectral;
    QString lab;
    QString optimized;
};

// Writes (once per patch count, into a scratch folder that lives as long as the process) a
// spectral, an L*a*b* and an optimized file of the given number of patches.
const BenchFiles& benchFiles(int patches);

// A scratch folder holding CMYK/ with generated swatch files, for the smoothing build.
QString benchSwatchRoot();
