#pragma once

#include "PreflightReport.h"

// Hand-made preflight reports for tests, benchmarks and screenshots: a chart of CMYK steps,
// spectra from a simple ink model, L*a*b* from them through LittleCMS, the L*a*b* file a hair
// off the computed values.
namespace sample {

preflight::PreflightReport CleanReport(int rows);
// The L*a*b* rows in reverse order: most pairs far apart, each marked with an error.
preflight::PreflightReport ReversedReport(int rows);
// A spec report: the optimized file's spectral rows only.
preflight::PreflightReport SpecReport(int rows);
// Recomputes every row's ΔE00, the summary, and marks (and reports) pairs above the limits.
void Recheck(preflight::PreflightReport& report);

} // namespace sample
