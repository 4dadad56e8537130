#pragma once

#include "PreflightReport.h"

#include <QString>

// The texts the preflight window and its PDF share. Numbers always take a full stop, whatever the
// regional settings, as in the smoothing file; line, row and patch numbers count from 1.
namespace report {

// Fixed decimals, full stop, and never "-0.00".
QString Number(double value, int decimals = 2);
// "D50/2°" and so on.
QString ConditionText(colour::Condition condition);
QString SeverityText(preflight::Severity severity);
// A 0-based line or patch index as the user counts it; "—" when there is none (-1).
QString IndexText(int index);
// "50.00 10.00 -10.00", "—" when absent.
QString LabText(const std::optional<colour::Lab>& lab);
// "10.00 20.00 0.00 5.00", "—" when absent.
QString CmykText(const std::optional<std::array<double, 4>>& cmyk);
QString DeltaText(const std::optional<double>& dE00);
// Several lines: row, line numbers, both SAMPLE_IDs, patch, CMYK, both L*a*b* and ΔE00 (a spec
// report has no L*a*b* file, so only its spectral side).
QString RowDescription(const preflight::PreflightRow& row, preflight::PreflightReport::Kind kind);
// "ΔE00 over 1617 pairs: mean 0.01, 95th percentile 0.03, max 0.05".
QString DeltaSummaryText(const preflight::DeltaSummary& summary);

} // namespace report
