#include "ReportText.h"

namespace report {

namespace {
const QString kNone = QStringLiteral("—");
}

QString Number(double value, int decimals) {
    // QString::number ignores the locale: always a full stop.
    QString text = QString::number(value, 'f', decimals);
    if (text.startsWith(u'-') && text.count(u'0') == text.size() - (decimals > 0 ? 2 : 1))
        text.remove(0, 1);
    return text;
}

QString ConditionText(colour::Condition condition) {
    return colour::ConditionName(condition);
}

QString SeverityText(preflight::Severity severity) {
    switch (severity) {
    case preflight::Severity::Error:
        return QStringLiteral("Error");
    case preflight::Severity::Warning:
        return QStringLiteral("Warning");
    case preflight::Severity::Info:
        break;
    }
    return QStringLiteral("Note");
}

QString IndexText(int index) {
    return index < 0 ? kNone : QString::number(index);
}

QString LabText(const std::optional<colour::Lab>& lab) {
    if (!lab)
        return kNone;
    return QStringLiteral("%1 %2 %3").arg(Number(lab->L), Number(lab->a), Number(lab->b));
}

QString CmykText(const std::optional<std::array<double, 4>>& cmyk) {
    if (!cmyk)
        return kNone;
    const auto& v = *cmyk;
    return QStringLiteral("%1 %2 %3 %4").arg(Number(v[0]), Number(v[1]), Number(v[2]), Number(v[3]));
}

QString DeltaText(const std::optional<double>& dE00) {
    return dE00 ? Number(*dE00) : kNone;
}

namespace {
QString idText(const QString& id) {
    return id.isEmpty() ? kNone : id;
}
} // namespace

QString RowDescription(const preflight::PreflightRow& row, preflight::PreflightReport::Kind kind) {
    const bool spec = kind == preflight::PreflightReport::Kind::Spec;
    QStringList lines;
    lines << QStringLiteral("Row %1, patch %2").arg(row.row).arg(IndexText(row.patch));
    lines << QStringLiteral("%1 line %2, SAMPLE_ID %3")
                 .arg(spec ? QStringLiteral("Optimized") : QStringLiteral("Spectral"),
                      IndexText(row.spectralLine), idText(row.spectralId));
    if (!spec)
        lines
            << QStringLiteral("L*a*b* line %1, SAMPLE_ID %2").arg(IndexText(row.labLine), idText(row.labId));
    if (row.cmyk || !spec)
        lines << QStringLiteral("CMYK %: %1").arg(CmykText(row.cmyk));
    if (!spec)
        lines << QStringLiteral("L*a*b* file: %1").arg(LabText(row.labFile));
    lines << QStringLiteral("L*a*b* from spectrum: %1").arg(LabText(row.labSpectra));
    if (!spec)
        lines << QStringLiteral("ΔE00: %1").arg(DeltaText(row.dE00));
    return lines.join(u'\n');
}

QString DeltaSummaryText(const preflight::DeltaSummary& s) {
    if (s.count <= 0)
        return QStringLiteral("ΔE00: no pairs to compare");
    return QStringLiteral("ΔE00 over %1 pairs: mean %2, 95th percentile %3, max %4")
        .arg(s.count)
        .arg(Number(s.mean), Number(s.p95), Number(s.max));
}

} // namespace report
