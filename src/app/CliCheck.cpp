// The preflight report on the command line: text for people, csv and json for scripts. Numbers
// always take a full stop; line indices are 0-based, as in the window's panes.

#include "CliCheck.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QStringList>

namespace cli {

namespace {

using preflight::Finding;
using preflight::PreflightReport;
using preflight::PreflightRow;
using preflight::Severity;

QString severityName(Severity s) {
    switch (s) {
    case Severity::Error:
        return QStringLiteral("error");
    case Severity::Warning:
        return QStringLiteral("warning");
    case Severity::Info:
        break;
    }
    return QStringLiteral("info");
}

// "D50/2", the option's own spelling.
QString conditionOption(colour::Condition c) {
    return colour::ConditionName(c).remove(u'°');
}

QString fixed(double v, int decimals) {
    return QString::number(v, 'f', decimals);
}

bool isSpec(const PreflightReport& r) {
    return r.kind == PreflightReport::Kind::Spec;
}

QStringList columns(const PreflightReport& r) {
    if (isSpec(r))
        return {"row", "spectral_line", "spectral_id", "L_spectra", "a_spectra", "b_spectra"};
    return {"row", "lab_line", "spectral_line", "lab_id", "spectral_id", "patch",     "C",         "M",   "Y",
            "K",   "L_file",   "a_file",        "b_file", "L_spectra",   "a_spectra", "b_spectra", "dE00"};
}

// The cells of one record, by column name; a value that does not exist is left out.
QList<std::pair<QString, QJsonValue>> cells(const PreflightReport& r, const PreflightRow& row) {
    QList<std::pair<QString, QJsonValue>> out;
    const auto number = [&](const char* name, double v, int decimals) {
        out.append({QString::fromLatin1(name), QJsonValue(fixed(v, decimals).toDouble())});
    };
    out.append({"row", row.row});
    if (!isSpec(r))
        out.append({"lab_line", row.labLine});
    out.append({"spectral_line", row.spectralLine});
    if (!isSpec(r))
        out.append({"lab_id", row.labId.isEmpty() ? QJsonValue() : QJsonValue(row.labId)});
    out.append({"spectral_id", row.spectralId.isEmpty() ? QJsonValue() : QJsonValue(row.spectralId)});
    if (!isSpec(r)) {
        out.append({"patch", row.patch >= 0 ? QJsonValue(row.patch) : QJsonValue()});
        const char* inks[] = {"C", "M", "Y", "K"};
        for (int i = 0; i < 4; ++i) {
            if (row.cmyk)
                number(inks[i], (*row.cmyk)[size_t(i)], 2);
            else
                out.append({inks[i], QJsonValue()});
        }
        if (row.labFile) {
            number("L_file", row.labFile->L, 4);
            number("a_file", row.labFile->a, 4);
            number("b_file", row.labFile->b, 4);
        } else {
            out.append({"L_file", QJsonValue()});
            out.append({"a_file", QJsonValue()});
            out.append({"b_file", QJsonValue()});
        }
    }
    if (row.labSpectra) {
        number("L_spectra", row.labSpectra->L, 4);
        number("a_spectra", row.labSpectra->a, 4);
        number("b_spectra", row.labSpectra->b, 4);
    } else {
        out.append({"L_spectra", QJsonValue()});
        out.append({"a_spectra", QJsonValue()});
        out.append({"b_spectra", QJsonValue()});
    }
    if (!isSpec(r)) {
        if (row.dE00)
            number("dE00", *row.dE00, 4);
        else
            out.append({"dE00", QJsonValue()});
    }
    return out;
}

QString csvCell(const QString& text) {
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(QStringLiteral("\""), QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QByteArray csv(const PreflightReport& r) {
    QByteArray out = columns(r).join(u',').toUtf8() + '\n';
    for (const PreflightRow& row : r.rows) {
        QStringList record;
        const QStringList names = columns(r);
        const auto values = cells(r, row);
        for (const auto& [name, value] : values) {
            if (value.isNull())
                record.append(QString());
            else if (value.isString())
                record.append(csvCell(value.toString()));
            else if (name == QLatin1String("C") || name == QLatin1String("M") || name == QLatin1String("Y") ||
                     name == QLatin1String("K"))
                record.append(fixed(value.toDouble(), 2));
            else if (value.isDouble() && name != QLatin1String("row") &&
                     !name.endsWith(QLatin1String("line")) && name != QLatin1String("patch"))
                record.append(fixed(value.toDouble(), 4));
            else
                record.append(QString::number(value.toInteger()));
        }
        out += record.join(u',').toUtf8() + '\n';
    }
    return out;
}

QByteArray json(const PreflightReport& r) {
    QJsonObject root;
    root.insert("condition", conditionOption(r.condition));
    root.insert("rows", static_cast<int>(r.rows.size()));
    QJsonObject delta;
    delta.insert("mean", r.dE00.count ? QJsonValue(fixed(r.dE00.mean, 4).toDouble()) : QJsonValue());
    delta.insert("p95", r.dE00.count ? QJsonValue(fixed(r.dE00.p95, 4).toDouble()) : QJsonValue());
    delta.insert("max", r.dE00.count ? QJsonValue(fixed(r.dE00.max, 4).toDouble()) : QJsonValue());
    root.insert("dE00", delta);
    QJsonArray findings;
    for (const Finding& f : r.findings) {
        QJsonArray rows;
        for (int i : f.rows)
            rows.append(r.rows.at(i).row);
        findings.append(
            QJsonObject{{"severity", severityName(f.severity)}, {"text", f.text}, {"rows", rows}});
    }
    root.insert("findings", findings);
    QJsonArray table;
    for (const PreflightRow& row : r.rows) {
        QJsonObject record;
        for (const auto& [name, value] : cells(r, row))
            record.insert(name, value);
        table.append(record);
    }
    root.insert("table", table);
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

QByteArray text(const PreflightReport& r) {
    QString out = QStringLiteral("Preflight: %1 rows").arg(r.rows.size());
    if (r.dE00.count > 0)
        out += QStringLiteral(", ΔE00 mean %1, p95 %2, max %3 (%4)")
                   .arg(fixed(r.dE00.mean, 2), fixed(r.dE00.p95, 2), fixed(r.dE00.max, 2),
                        colour::ConditionName(r.condition));
    out += u'\n';
    if (r.findings.isEmpty())
        out += QStringLiteral("No problems found.\n");
    for (const Finding& f : r.findings)
        out += severityName(f.severity) + QStringLiteral(": ") + f.text + u'\n';
    return out.toUtf8();
}

} // namespace

bool ParseReportFormat(const QString& text, ReportFormat& format) {
    if (text == QLatin1String("text"))
        format = ReportFormat::Text;
    else if (text == QLatin1String("json"))
        format = ReportFormat::Json;
    else if (text == QLatin1String("csv"))
        format = ReportFormat::Csv;
    else
        return false;
    return true;
}

QByteArray FormatReport(const PreflightReport& report, ReportFormat format) {
    switch (format) {
    case ReportFormat::Json:
        return json(report);
    case ReportFormat::Csv:
        return csv(report);
    case ReportFormat::Text:
        break;
    }
    return text(report);
}

QByteArray FindingLines(const PreflightReport& report) {
    QByteArray out;
    for (const Finding& f : report.findings)
        if (f.severity != Severity::Info)
            out += QStringLiteral("preflight: %1: %2\n").arg(severityName(f.severity), f.text).toUtf8();
    return out;
}

int PreflightExit(const PreflightReport& report) {
    if (report.count(Severity::Error) > 0)
        return kExitErrors;
    if (report.count(Severity::Warning) > 0)
        return kExitWarnings;
    return 0;
}

} // namespace cli
