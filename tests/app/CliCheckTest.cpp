// lumetra-cli check, and the preflight that smooth and spec run before they write.

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "CliTestSupport.h"

#include <algorithm>

namespace {

CliRun cli(const QStringList& args) {
    return runCli(args);
}

QStringList lines(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return QString::fromLatin1(f.readAll()).split(QStringLiteral("\r\n"));
}

QString write(const QTemporaryDir& dir, const QString& name, const QStringList& content) {
    QFile f(dir.filePath(name));
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content.join(QStringLiteral("\r\n")).toLatin1());
    return f.fileName();
}

// The sample L*a*b* file with its data rows reversed: every row pairs two patches.
QString reversedLab(const QTemporaryDir& dir) {
    QStringList l = lines(kLab);
    const auto begin = l.begin() + l.indexOf(QStringLiteral("BEGIN_DATA")) + 1;
    const auto end = l.begin() + l.indexOf(QStringLiteral("END_DATA"));
    std::reverse(begin, end);
    return write(dir, QStringLiteral("reversed.txt"), l);
}

} // namespace

TEST(CliCheck, CleanSamplePair) {
    const CliRun r = cli({"check", "--spectral", kSpectral, "--lab", kLab});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("Preflight: 1617 rows, ΔE00 mean 0.01, p95 0.02, max 0.04 "
                                    "(D50/2°)\nNo problems found.\n"));
    EXPECT_EQ(r.err, "");
}

TEST(CliCheck, CsvRecordsAgreeWithAnIndependentComputation) {
    const CliRun r = cli({"check", "--spectral", kSpectral, "--lab", kLab, "--format", "csv"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QList<QByteArray> records = r.outBytes.split('\n');
    ASSERT_EQ(records.size(), 1 + 1617 + 1); // header, rows, the empty rest after the last line end
    EXPECT_EQ(records[0], "row,lab_line,spectral_line,lab_id,spectral_id,patch,C,M,Y,K,L_file,a_file,b_file,"
                          "L_spectra,a_spectra,b_spectra,dE00");
    EXPECT_TRUE(records[1].startsWith("1,12,12,1,1,0,60.00,20.00,80.00,20.00,43.2400,-20.1800,20.8700,"))
        << records[1].toStdString();

    const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
    if (python.isEmpty())
        GTEST_SKIP() << "python3 is not installed: the independent check cannot run";
    QTemporaryDir dir;
    QFile csv(dir.filePath(QStringLiteral("rows.csv")));
    ASSERT_TRUE(csv.open(QIODevice::WriteOnly));
    csv.write(r.outBytes);
    csv.close();
    const CliRun check = runProgram(
        python, {QStringLiteral(LUMETRA_SOURCE_DIR "/tools/check_preflight.py"), csv.fileName(), kSpectral});
    EXPECT_EQ(check.exitCode, 0) << check.out.toStdString() << check.err.toStdString();
}

TEST(CliCheck, JsonCarriesTheSummaryFindingsAndTable) {
    QTemporaryDir dir;
    const CliRun r = cli({"check", "--spectral", kSpectral, "--lab", reversedLab(dir), "--format", "json"});
    EXPECT_EQ(r.exitCode, 5) << r.err.toStdString();
    const QJsonObject root = QJsonDocument::fromJson(r.outBytes).object();
    EXPECT_EQ(root["condition"].toString(), "D50/2") << r.outBytes.toStdString();
    EXPECT_EQ(root["rows"].toInt(), 1617);
    EXPECT_GT(root["dE00"].toObject()["mean"].toDouble(), 3);
    const QJsonArray findings = root["findings"].toArray();
    ASSERT_FALSE(findings.isEmpty());
    EXPECT_EQ(findings[0].toObject()["severity"].toString(), "error");
    EXPECT_TRUE(findings[0].toObject()["text"].toString().startsWith("Different SAMPLE_IDs"));
    EXPECT_EQ(findings[0].toObject()["rows"].toArray().size(), 1616);
    const QJsonArray table = root["table"].toArray();
    ASSERT_EQ(table.size(), 1617);
    EXPECT_EQ(table[0].toObject()["lab_id"].toString(), "1617");
    EXPECT_EQ(table[0].toObject()["spectral_id"].toString(), "1");
    EXPECT_EQ(table[0].toObject()["patch"].toInt(), 0);
}

TEST(CliCheck, OptimizedFileHasTheColumnsThatExist) {
    const CliRun r = cli({"check", "--optimized", kOptimized, "--format", "csv"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.outBytes.startsWith("row,spectral_line,spectral_id,L_spectra,a_spectra,b_spectra\n1,12,1,"))
        << r.outBytes.left(200).toStdString();
}

TEST(CliCheck, ExitStatusAndUsage) {
    QTemporaryDir dir;
    struct Row {
        const char* name;
        QStringList args;
        int exitCode;
    };
    const Row rows[] = {
        {"Clean", {"check", "--optimized", kOptimized}, 0},
        {"Errors", {"check", "--spectral", kSpectral, "--lab", reversedLab(dir)}, 5},
        // The sample's L*a*b* judged under another condition than its own: warnings only.
        {"WrongConditionChosen",
         {"check", "--spectral", kSpectral, "--lab", kLab, "--condition", "D65/10"},
         4},
        {"UnknownFormat", {"check", "--optimized", kOptimized, "--format", "xml"}, 2},
        {"UnknownCondition", {"check", "--optimized", kOptimized, "--condition", "D55/2"}, 2},
        {"PairAndOptimized", {"check", "--optimized", kOptimized, "--spectral", kSpectral, "--lab", kLab}, 2},
        {"HalfAPair", {"check", "--spectral", kSpectral}, 2},
        {"ForceIsForBuilds", {"check", "--optimized", kOptimized, "--force"}, 2},
        {"RejectedInput", {"check", "--optimized", dir.filePath("missing.txt")}, 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const CliRun r = cli(row.args);
        EXPECT_EQ(r.exitCode, row.exitCode) << r.err.toStdString() << r.out.toStdString();
    }
}

TEST(CliCheck, SmoothWritesNothingOnErrorsUnlessForced) {
    QTemporaryDir dir;
    const QString lab = reversedLab(dir);
    const QString out = dir.filePath(QStringLiteral("out.txt"));

    const CliRun refused = cli({"smooth", "--spectral", kSpectral, "--lab", lab, "-o", out});
    EXPECT_EQ(refused.exitCode, 5);
    EXPECT_TRUE(refused.err.startsWith("preflight: error: Different SAMPLE_IDs"))
        << refused.err.toStdString();
    for (const QString& line : refused.err.split(u'\n', Qt::SkipEmptyParts))
        EXPECT_TRUE(line.startsWith("preflight: ")) << line.toStdString();
    EXPECT_FALSE(QFile::exists(out));

    const CliRun forced = cli({"smooth", "--spectral", kSpectral, "--lab", lab, "-o", out, "--force"});
    EXPECT_EQ(forced.exitCode, 0) << forced.err.toStdString();
    EXPECT_EQ(forced.err, refused.err) << "the findings are still printed";
    EXPECT_TRUE(QFile::exists(out));

    const CliRun clean = cli({"smooth", "--spectral", kSpectral, "--lab", kLab, "-o", out});
    EXPECT_EQ(clean.exitCode, 0);
    EXPECT_EQ(clean.err, "");
}

TEST(CliCheck, SpecWritesNothingOnErrorsUnlessForced) {
    QTemporaryDir dir;
    QStringList l = lines(kOptimized);
    l[l.indexOf(QStringLiteral("BEGIN_DATA"))] += u' ';
    const QString optimized = write(dir, QStringLiteral("opt.txt"), l);
    const QString out = dir.filePath(QStringLiteral("out.spec"));

    const CliRun refused = cli({"spec", optimized, "-o", out});
    EXPECT_EQ(refused.exitCode, 5);
    EXPECT_TRUE(refused.err.contains("header included, as data rows")) << refused.err.toStdString();
    EXPECT_FALSE(QFile::exists(out));

    const CliRun forced = cli({"spec", optimized, "-o", out, "--force"});
    EXPECT_TRUE(QFile::exists(out)) << forced.err.toStdString();
}

TEST(CliCheck, ReportIsWrittenAsAPdf) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    const CliRun r = cli({"check", "--spectral", kSpectral, "--lab", reversedLab(dir), "--report", pdf});
    EXPECT_EQ(r.exitCode, 5) << r.err.toStdString();
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().startsWith("%PDF-"));

    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed: the PDF's text cannot be read";
    const CliRun text = runProgram(pdftotext, {pdf, QStringLiteral("-")});
    const QString words = text.out.simplified();
    EXPECT_TRUE(words.contains(QStringLiteral("Preflight: 1617 rows"))) << words.left(400).toStdString();
    EXPECT_TRUE(words.contains(QStringLiteral("416919 bytes"))) << "the spectral file's size";
    EXPECT_TRUE(words.contains(QStringLiteral("Different SAMPLE_IDs")));
}
