// The preflight judges the rows the builders really write, and the builders ask before saving a
// file it finds wrong: "Cancel" ends the build as a cancelled save dialog does, "Save anyway"
// writes the very bytes the build writes without the question.

#include "Build.h"
#include "BuildTestSupport.h"
#include "CmykPercent.h"
#include "FormState.h"
#include "Import.h"
#include "Preflight.h"
#include "SaveDocument.h"
#include "ScriptedToolkit.h"
#include "SmoothingBuilder.h"
#include "SpecBuilder.h"
#include "Swatch.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <functional>

namespace {

using Kind = ScriptedToolkit::Event::Kind;

const QString kExamples = QStringLiteral(LUMETRA_SOURCE_DIR "/examples");

QStringList fileLines(const QString& path) {
    LineList list;
    list.LoadFromFile(path);
    return list.lines();
}

void copyShippedSwatches(const ScratchCurrentDir& cwd) {
    QDir().mkpath(cwd.filePath(QStringLiteral("CMYK")));
    const QDir source(QStringLiteral(LUMETRA_SOURCE_DIR "/CMYK"));
    for (const QString& name : source.entryList({QStringLiteral("*.IccSwa")}, QDir::Files))
        QFile::copy(source.filePath(name), cwd.filePath(QStringLiteral("CMYK/") + name));
}

// Small panes whose data lines sit at indices 8 to 11, over the test swatch of three patches.
const QStringList kLab = {"CGATS.17",
                          "NUMBER_OF_FIELDS 4",
                          "BEGIN_DATA_FORMAT",
                          "SAMPLE_ID LAB_L LAB_A LAB_B ",
                          "END_DATA_FORMAT",
                          "NUMBER_OF_SETS 4",
                          "KEYWORD \"x\"",
                          "BEGIN_DATA",
                          "1 50.12 -3.45 2.10 ",
                          "2 60.00 1.00 -1.00 ",
                          "3 70.00 0.50 0.25 ",
                          "4 80.00 0.00 0.00 ",
                          "END_DATA"};

QStringList smallSpectral() {
    QStringList lines = {"CGATS.17",        "NUMBER_OF_FIELDS 37", "BEGIN_DATA_FORMAT", "SAMPLE_ID",
                         "END_DATA_FORMAT", "NUMBER_OF_SETS 4",    "KEYWORD \"x\"",     "BEGIN_DATA"};
    for (int nm = 380; nm <= 730; nm += 10)
        lines[3] += QStringLiteral(" SPECTRAL_%1").arg(nm);
    for (int r = 1; r <= 4; ++r) {
        QString row = QString::number(r);
        for (int i = 0; i < 36; ++i)
            row += QStringLiteral(" %1").arg(0.1 * r + 0.01 * i, 0, 'f', 4);
        lines.append(row);
    }
    lines.append("END_DATA");
    return lines;
}

struct PairingCase {
    const char* name;
    std::function<void(FormState&, const ScratchCurrentDir&)> setUp;
};

void smallPair(FormState& form, const ScratchCurrentDir& cwd) {
    cwd.copyTestSwatches(); // Quick.IccSwa, three patches
    form.NumberBoxPatches.SetValue(4);
    form.NumberBoxPatchesLab.SetValue(4);
    form.memoCGATSLab.Lines = Lines(kLab);
    form.memoInput.Lines = Lines(smallSpectral());
}

void writeQuickSwatch(const ScratchCurrentDir& cwd, const QStringList& patchLines) {
    QByteArray body = "Lumetra test swatch\r\n   Patches {\r\n";
    for (const QString& line : patchLines)
        body += "    [" + line.toLatin1() + "],\r\n";
    body += "   }\r\n";
    ASSERT_TRUE(WriteBytes(cwd.filePath("CMYK/Quick.IccSwa"), body));
}

const PairingCase kPairingCases[] = {
    {"SamplePair",
     [](FormState& form, const ScratchCurrentDir& cwd) {
         copyShippedSwatches(cwd);
         ScriptedToolkit t;
         t.answerOpen(kExamples + "/Standard_spectral.txt");
         btnOpenCGATSFileClick(form, t, 1);
         t.answerOpen(kExamples + "/Standard_lab.txt");
         btnOpenCGATSFileClick(form, t, 2);
     }},
    {"SwatchRunsOut", smallPair},
    {"UnreadablePatchLineIsRetried",
     [](FormState& form, const ScratchCurrentDir& cwd) {
         smallPair(form, cwd);
         writeQuickSwatch(cwd, {"128 51 230 0", "1,5 0 0 0", "255 0 0 0", "0 0 0 255", "1 2 3 4"});
     }},
    {"PatchLineReadAfterAFailure",
     [](FormState& form, const ScratchCurrentDir& cwd) {
         smallPair(form, cwd);
         writeQuickSwatch(cwd, {"abc", "255 0 0 0", "0 0 0 255", "1 2 3 4", "5 6 7 8"});
     }},
    {"BeginDataNotAWholeLine",
     [](FormState& form, const ScratchCurrentDir& cwd) {
         smallPair(form, cwd);
         QStringList lab = kLab;
         lab[7] = "BEGIN_DATA ";
         form.memoCGATSLab.Lines = Lines(lab);
         writeQuickSwatch(cwd, QStringList(20, QStringLiteral("10 20 30 40")));
     }},
};

class PairingMatchesTheBuilder : public ::testing::TestWithParam<PairingCase> {};

// Same rows, same patches: every row the builder writes is a row of the preflight, in order, with
// the row number and the CMYK of the patch the preflight names.
TEST_P(PairingMatchesTheBuilder, RowForRow) {
    ScratchCurrentDir cwd;
    FormState form;
    form.FormCreate();
    GetParam().setUp(form, cwd);
    const preflight::PreflightReport report = preflight::SmoothingPreflight(form);

    ScriptedToolkit toolkit;
    toolkit.answerSave(std::nullopt);
    btnWriteSmoothingClick(form, toolkit, FixedClock(SampleTime()));
    const QStringList pane = form.MemoSmoothCGATS.Lines.lines();
    ASSERT_GE(pane.size(), 11);
    const QStringList written = pane.mid(10, pane.size() - 11);

    LineList patches;
    SwatchFileLoad(form, patches);
    SwatchPatchesExtract(patches);

    ASSERT_EQ(written.size(), report.rows.size());
    for (int i = 0; i < written.size(); ++i) {
        SCOPED_TRACE(written[i].toStdString());
        const QStringList fields = written[i].split(u' ', Qt::SkipEmptyParts);
        const preflight::PreflightRow& row = report.rows[i];
        EXPECT_EQ(fields[0].toInt(), row.row);
        ASSERT_TRUE(row.cmyk.has_value());
        for (int k = 0; k < 4; ++k)
            EXPECT_DOUBLE_EQ(fields[1 + k].toDouble(), (*row.cmyk)[size_t(k)]);
        if (row.patch >= 0) {
            const QStringList device = patches.Get(row.patch).split(u' ', Qt::SkipEmptyParts);
            EXPECT_DOUBLE_EQ(fields[1].toDouble(), CmykPercent(device[0]).toDouble())
                << "patch " << row.patch;
        } else {
            EXPECT_EQ(fields.mid(1, 4), QStringList({"0", "0", "0", "0"}));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, PairingMatchesTheBuilder, ::testing::ValuesIn(kPairingCases),
                         [](const auto& info) { return std::string(info.param.name); });

// A sample pair with one patch whose L*a*b* is another colour: an error.
class Gate : public ::testing::Test {
protected:
    ScratchCurrentDir cwd;
    BuildClock clock = FixedClock(SampleTime());

    FormState pair(bool broken) {
        copyShippedSwatches(cwd);
        QStringList lab = fileLines(kExamples + "/Standard_lab.txt");
        if (broken)
            lab[12 + 99] = QStringLiteral("100 50.00 80.00 -80.00 ");
        const QString labPath = cwd.filePath("lab.txt");
        EXPECT_TRUE(WriteBytes(labPath, lab.join("\r\n").toLatin1() + "\r\n"));
        FormState form;
        form.FormCreate();
        ScriptedToolkit t;
        t.answerOpen(kExamples + "/Standard_spectral.txt");
        btnOpenCGATSFileClick(form, t, 1);
        t.answerOpen(labPath);
        btnOpenCGATSFileClick(form, t, 2);
        return form;
    }

    static std::vector<Kind> kinds(const ScriptedToolkit& toolkit) {
        std::vector<Kind> out;
        for (const auto& e : toolkit.log)
            out.push_back(e.kind);
        return out;
    }
};

TEST_F(Gate, CleanPairAsksNothing) {
    FormState form = pair(false);
    ScriptedToolkit toolkit;
    toolkit.answerSave(cwd.filePath("clean.txt"));
    btnWriteSmoothingClick(form, toolkit, clock, &preflight::Gate());
    EXPECT_EQ(toolkit.count(Kind::Question), 0);
    EXPECT_EQ(toolkit.unexpectedDialogs, 0);
    EXPECT_TRUE(QFile::exists(cwd.filePath("clean.txt")));
}

TEST_F(Gate, CancelEndsTheBuildAsACancelledDialogDoes) {
    FormState reference = pair(true);
    ScriptedToolkit plain;
    plain.answerSave(std::nullopt);
    btnWriteSmoothingClick(reference, plain, clock);

    FormState form = pair(true);
    ScriptedToolkit toolkit;
    toolkit.answerQuestion(false);
    btnWriteSmoothingClick(form, toolkit, clock, &preflight::Gate());

    ASSERT_EQ(toolkit.questions().size(), 1);
    EXPECT_TRUE(toolkit.questions()[0].startsWith("Preflight found errors: the file would be wrong.\r\r"));
    EXPECT_TRUE(toolkit.questions()[0].contains("row 100")) << toolkit.questions()[0].toStdString();
    EXPECT_EQ(toolkit.count(Kind::Save), 0);
    std::vector<Kind> expected = kinds(plain);
    std::replace(expected.begin(), expected.end(), Kind::Save, Kind::Question);
    EXPECT_EQ(kinds(toolkit), expected);
    EXPECT_EQ(form.MemoSmoothCGATS.Lines.lines(), reference.MemoSmoothCGATS.Lines.lines());
    EXPECT_EQ(form.LabelSmoothCGATS.Text, reference.LabelSmoothCGATS.Text);
    EXPECT_EQ(form.dlgSaveCGATSFile.FileName, reference.dlgSaveCGATSFile.FileName);
    EXPECT_EQ(QDir(cwd.path()).entryList({"Smooth*"}, QDir::Files), QStringList());
}

TEST_F(Gate, SaveAnywayWritesTheBuildsBytes) {
    FormState reference = pair(true);
    ScriptedToolkit plain;
    plain.answerSave(cwd.filePath("plain.txt"));
    btnWriteSmoothingClick(reference, plain, clock);

    FormState form = pair(true);
    ScriptedToolkit toolkit;
    toolkit.answerQuestion(true);
    toolkit.answerSave(cwd.filePath("anyway.txt"));
    btnWriteSmoothingClick(form, toolkit, clock, &preflight::Gate());

    EXPECT_EQ(toolkit.count(Kind::Question), 1);
    EXPECT_EQ(ReadBytes(cwd.filePath("anyway.txt")), ReadBytes(cwd.filePath("plain.txt")));
    EXPECT_EQ(form.LabelSmoothCGATS.Text, cwd.filePath("anyway.txt"));
}

TEST_F(Gate, SpecBuildAsksToo) {
    // BEGIN_DATA with a trailing blank: the build would write the header lines as rows.
    QStringList optimized = fileLines(kExamples + "/Standard_optimized.txt");
    optimized[optimized.indexOf("BEGIN_DATA")] = "BEGIN_DATA ";
    const QString path = cwd.filePath("opt.txt");
    ASSERT_TRUE(WriteBytes(path, optimized.join("\r\n").toLatin1() + "\r\n"));

    for (const bool saveAnyway : {false, true}) {
        SCOPED_TRACE(saveAnyway ? "save anyway" : "cancel");
        FormState form;
        form.FormCreate();
        ScriptedToolkit toolkit;
        toolkit.answerOpen(path);
        btnOpenCGATSFileClick(form, toolkit, 3);
        toolkit.answerQuestion(saveAnyway);
        if (saveAnyway)
            toolkit.answerSave(cwd.filePath("anyway.spec"));
        btnWriteUlvarClick(form, toolkit, clock, &preflight::Gate());

        EXPECT_EQ(toolkit.count(Kind::Question), 1);
        EXPECT_EQ(toolkit.unexpectedDialogs, 0);
        EXPECT_FALSE(form.RectangleProgress.Visible);
        if (saveAnyway) {
            FormState reference;
            reference.FormCreate();
            ScriptedToolkit plain;
            plain.answerOpen(path);
            btnOpenCGATSFileClick(reference, plain, 3);
            plain.answerSave(cwd.filePath("plain.spec"));
            btnWriteUlvarClick(reference, plain, clock);
            EXPECT_EQ(ReadBytes(cwd.filePath("anyway.spec")), ReadBytes(cwd.filePath("plain.spec")));
        } else {
            EXPECT_EQ(toolkit.count(Kind::Save), 0);
            EXPECT_NE(form.memoUlvarSpec.Lines.lines().constLast(), QString()) << "no line added for a save";
            EXPECT_EQ(form.labelUlvarSpecFile.Text, FormState().labelUlvarSpecFile.Text);
        }
    }
}

} // namespace
