#include "PreflightPdf.h"
#include "Preflight.h"
#include "ReportText.h"
#include "SampleReport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

int pageCount(const QByteArray& pdf) {
    // Page objects, not the page tree ("/Type /Pages").
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![s\\w])"));
    int n = 0;
    for (auto it = page.globalMatch(QString::fromLatin1(pdf)); it.hasNext(); it.next())
        ++n;
    return n;
}

QString simplified(const QString& text) {
    return text.simplified();
}

// The PDF's text through poppler's pdftotext, white space collapsed; empty when it is missing.
QString pdfText(const QString& path) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty())
        return {};
    QProcess p;
    p.start(tool, {QStringLiteral("-enc"), QStringLiteral("UTF-8"), path, QStringLiteral("-")});
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QStringLiteral("<pdftotext failed>");
    return simplified(QString::fromUtf8(p.readAllStandardOutput()));
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(PreflightPdf, WritesThePagesWholeWithTheSummaryAndEveryFinding) {
    preflight::PreflightReport report = sample::ReversedReport(1617);
    ASSERT_FALSE(report.findings.isEmpty());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    // Numbers keep their full stop under a locale with a decimal comma.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QString error;
    const bool written = report::WritePreflightReportPdf(report, path, &error);
    QLocale::setDefault(QLocale::c());
    ASSERT_TRUE(written) << error.toStdString();

    const QByteArray bytes = readAll(path);
    EXPECT_TRUE(bytes.startsWith("%PDF-"));
    EXPECT_TRUE(bytes.trimmed().endsWith("%%EOF"));
    // Files and findings, the chart, the worst rows.
    EXPECT_EQ(pageCount(bytes), 3);

    const QString text = pdfText(path);
    if (text.isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed; the PDF's text is not checked";
    EXPECT_TRUE(text.contains(simplified(preflight::StatusText(report)))) << text.left(400).toStdString();
    EXPECT_TRUE(text.contains(simplified(report::DeltaSummaryText(report.dE00))))
        << text.left(600).toStdString();
    for (const preflight::Finding& f : report.findings)
        EXPECT_TRUE(text.contains(simplified(f.text))) << f.text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Standard_spectral.txt")));
    EXPECT_TRUE(text.contains(QStringLiteral("The 50 worst rows")));
}

TEST(PreflightPdf, ManyFindingsRunOnToMorePages) {
    preflight::PreflightReport report = sample::CleanReport(100);
    for (int i = 0; i < 150; ++i)
        report.findings.append({preflight::Severity::Warning,
                                QStringLiteral("Finding number %1 about row %1").arg(i + 1),
                                {i % 100}});
    const QByteArray pdf = report::PreflightReportPdf(report, QDateTime::currentDateTime());
    EXPECT_GT(pageCount(pdf), 3);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("many.pdf"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(pdf);
    f.close();
    const QString text = pdfText(path);
    if (text.isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    EXPECT_TRUE(text.contains(QStringLiteral("Finding number 1 about row 1 ")));
    EXPECT_TRUE(text.contains(QStringLiteral("Finding number 150 about row 150")));
}

TEST(PreflightPdf, ASpecReportHasItsChartAndNoLabColumns) {
    const preflight::PreflightReport report = sample::SpecReport(200);
    const QByteArray pdf = report::PreflightReportPdf(report, QDateTime::currentDateTime());
    // No pair has a ΔE00 and nothing is marked: no worst-rows page.
    EXPECT_EQ(pageCount(pdf), 2);
}

TEST(PreflightPdf, AFailedSaveSaysWhyAndLeavesTheOldFile) {
    const preflight::PreflightReport report = sample::CleanReport(20);
    QTemporaryDir dir;
    QString error;
    EXPECT_FALSE(
        report::WritePreflightReportPdf(report, dir.filePath(QStringLiteral("missing/report.pdf")), &error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Cannot create file \""))) << error.toStdString();

    // A directory in the way of the rename: the write fails and what was there stays.
    const QString blocked = dir.filePath(QStringLiteral("blocked.pdf"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("blocked.pdf")));
    error.clear();
    EXPECT_FALSE(report::WritePreflightReportPdf(report, blocked, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(QFileInfo(blocked).isDir());
}
