#include "Preflight.h"

namespace preflight {

PreflightReport SmoothingPreflight(const FormState&, std::optional<colour::Condition>) {
    return {};
}

PreflightReport SpecPreflight(const FormState&) {
    PreflightReport report;
    report.kind = PreflightReport::Kind::Spec;
    return report;
}

QString StatusText(const PreflightReport& report) {
    return QStringLiteral("Preflight: %1 rows").arg(report.rows.size());
}

} // namespace preflight
