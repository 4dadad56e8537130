#pragma once

#include "PreflightReport.h"

#include <optional>

class FormState;

namespace preflight {

// Checks the rows the smoothing builder would write from the form's spectral and L*a*b* panes,
// its patch count and swatch choice (the swatch file is read from disk, as the build reads it).
// Without a condition, the one that fits the pair best is used.
PreflightReport SmoothingPreflight(const FormState& form, std::optional<colour::Condition> condition = {});

// Checks the rows the spec builder would write from the optimized pane.
PreflightReport SpecPreflight(const FormState& form);

// The one-line status: "Preflight: 1617 rows, ΔE00 0.01 mean (D50/2°)" when clean, else the same
// followed by " — N problems".
QString StatusText(const PreflightReport& report);

} // namespace preflight
