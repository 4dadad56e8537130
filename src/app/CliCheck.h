#pragma once

#include "PreflightReport.h"

#include <QByteArray>
#include <QString>

// How lumetra-cli presents a preflight report.
namespace cli {

enum class ReportFormat { Text, Json, Csv };
bool ParseReportFormat(const QString& text, ReportFormat& format);

// The report as `check` prints it.
QByteArray FormatReport(const preflight::PreflightReport& report, ReportFormat format);

// One line per error or warning, "preflight: error: ...", as smooth and spec print them before
// building.
QByteArray FindingLines(const preflight::PreflightReport& report);

// 0 clean, 4 warnings only, 5 errors.
int PreflightExit(const preflight::PreflightReport& report);
constexpr int kExitWarnings = 4;
constexpr int kExitErrors = 5;

} // namespace cli
