#pragma once

#include "PreflightReport.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

// The preflight report as an A4 PDF: page 1 the files, the condition, the ΔE00 summary with its
// histogram and every finding (running on to further pages when there are many); then the chart
// at print size with its frames; then the 50 worst rows as a table (worst finding first, then
// largest ΔE00). Dates follow the user's locale, numbers always take a full stop.
// Needs a QGuiApplication (fonts); with no display, the "offscreen" platform does.
namespace report {

// The PDF's bytes, made at `when`; empty only if Qt could not paint into the buffer.
QByteArray PreflightReportPdf(const preflight::PreflightReport& report, const QDateTime& when);

// Writes the report to path whole or not at all (an existing file stays untouched when the
// write fails). On failure returns false and, when error is given, the message the user sees.
bool WritePreflightReportPdf(const preflight::PreflightReport& report, const QString& path,
                             QString* error = nullptr);

} // namespace report
