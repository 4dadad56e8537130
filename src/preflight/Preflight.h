#pragma once

#include "PreflightReport.h"

#include <optional>

struct BuildGate;
class FormState;
class LineList;

namespace preflight {

// Checks the rows the smoothing builder would write from the form's spectral and L*a*b* panes,
// its patch count and swatch choice (the swatch file is read from disk, as the build reads it).
// Without a condition, the one that fits the pair best is used.
PreflightReport SmoothingPreflight(const FormState& form, std::optional<colour::Condition> condition = {});

// Checks the rows the spec builder would write from the optimized pane (or from a copy of it).
PreflightReport SpecPreflight(const FormState& form);
PreflightReport SpecPreflight(const LineList& optimized, const QString& name);

// The texts of the report's errors, in order.
QStringList ErrorTexts(const PreflightReport& report);
// True when the build stops on its own before it saves (its own message tells the user).
bool BuildWouldStop(const PreflightReport& report);

// The build gate that asks before saving a file the preflight finds errors in.
const BuildGate& Gate();

// The one-line status: "Preflight: 1617 rows, ΔE00 0.01 mean (D50/2°)" when clean, else the same
// followed by " — N problems".
QString StatusText(const PreflightReport& report);

} // namespace preflight
