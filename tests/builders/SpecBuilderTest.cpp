#include "SpecBuilder.h"
#include "BuildTestSupport.h"
#include "Error.h"
#include "FormState.h"
#include "ScriptedToolkit.h"

#include <gtest/gtest.h>

namespace {

using Kind = ScriptedToolkit::Event::Kind;

const char kAssertion[] = "Assertion failure (unitUlvarTabbed, line 516)";

// An optimized document: header, format block with the given field-name line, BEGIN_DATA at
// index beginAt, the rows, END_DATA, then empty lines up to more than 100 lines.
QStringList optimized(const QString& fieldNames, const QStringList& rows, int beginAt = 8) {
    QStringList lines = {"CGATS.17", "ORIGINATOR \"Optimizer\"", "NUMBER_OF_FIELDS 4", "BEGIN_DATA_FORMAT",
                         fieldNames, "END_DATA_FORMAT",          "NUMBER_OF_SETS 2"};
    while (lines.size() < beginAt)
        lines << "KEYWORD \"pad\"";
    lines << "BEGIN_DATA" << rows << "END_DATA";
    while (lines.size() <= 100)
        lines << QString();
    return lines;
}

class SpecBuild : public ::testing::Test {
protected:
    QTemporaryDir dir;
    FormState form;
    ScriptedToolkit toolkit;
    BuildClock clock = FixedClock(SampleTime(), QLocale(QLocale::English, QLocale::UnitedStates));

    void load(const QStringList& lines) { form.memoOptimized.Lines = Lines(lines); }
    void build() { btnWriteUlvarClick(form, toolkit, clock); }
    QStringList pane() const { return form.memoUlvarSpec.Lines.lines(); }
};

struct FieldCase {
    const char* name;
    const char* fieldNames;
    QStringList rows;
    QStringList output;
};

class SpecFieldNames : public SpecBuild, public ::testing::WithParamInterface<FieldCase> {};

TEST_P(SpecFieldNames, CopiesFromTheFirstSpecField) {
    load(optimized(QString::fromLatin1(GetParam().fieldNames), GetParam().rows));
    toolkit.answerSave(std::nullopt);
    build();
    EXPECT_EQ(pane(), QStringList{"; Created: 3/11/18"} + GetParam().output);
    EXPECT_TRUE(toolkit.messages().isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Fields, SpecFieldNames,
    ::testing::Values(FieldCase{"SampleIdFirst",
                                "SAMPLE_ID SPECTRAL_380 SPECTRAL_390 SPECTRAL_400",
                                {"A1 0.1 0.2 0.3", "A2 0.4 0.5 0.6"},
                                {"0.1\t0.2\t0.3", "0.4\t0.5\t0.6"}},
                      FieldCase{"SpecAlone", "SAMPLE_ID SPEC LAB_L", {"A1 0.5 50"}, {"0.5\t50"}},
                      FieldCase{"SpectralNmFirst", "SPECTRAL_NM SPECTRAL_390", {"0.1 0.2"}, {"0.1\t0.2"}},
                      FieldCase{"ExtraFieldsAndShortRows",
                                "SAMPLE_ID SPECTRAL_380 SPECTRAL_390",
                                {"A1 0.1 0.2 50.1 -3", "A2 0.3"},
                                {"0.1\t0.2\t50.1\t-3", "0.3"}},
                      FieldCase{"ValuesCopiedAsWritten",
                                "SAMPLE_ID SPECTRAL_380 SPECTRAL_390 SPECTRAL_400",
                                {"A1\t1,5   .20\t1e-3 "},
                                {"1,5\t.20\t1e-3"}},
                      FieldCase{"LowerCaseMarkers", "SAMPLE_ID SPECTRAL_380", {"A1 0.1"}, {"0.1"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SpecBuild, NoSpecFieldEndsWithTheAssertionAndLeavesTheBarRunning) {
    QStringList lastLine = optimized("SAMPLE_ID SPECTRAL_380", {"A1 0.1"});
    lastLine[3] = "KEYWORD \"no format block here\"";
    lastLine.back() = "BEGIN_DATA_FORMAT";
    const struct {
        const char* name;
        QStringList lines;
    } cases[] = {
        {"lower-case names", optimized("sample_id spectral_380 spectral_390", {"A1 0.1 0.2"})},
        {"blank field-name line", optimized("", {"A1 0.1 0.2"})},
        {"names too short", optimized("SAMPLE_ID SPE", {"A1 0.1"})},
        {"format marker on the last line", lastLine},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        form = FormState();
        toolkit = ScriptedToolkit();
        load(c.lines);
        toolkit.answerSave(dir.filePath("never"));
        try {
            build();
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.message(), kAssertion);
        }
        EXPECT_EQ(pane(), QStringList{"; Created: 3/11/18"});
        EXPECT_TRUE(form.RectangleProgress.Visible);
        EXPECT_EQ(form.RectangleProgress.Width, 12);
        EXPECT_EQ(form.RectangleProgress.LastTrigger, "isinvalid");
        EXPECT_TRUE(form.Timer.Enabled);
        EXPECT_EQ(form.Timer.Interval, 100);
        EXPECT_TRUE(toolkit.shownSaveDialogs.empty());
    }
}

TEST_F(SpecBuild, RowsTooShortShowTheirIndexAndTheLastLineWritten) {
    // BEGIN_DATA at 8: the rows are lines 9 to 12.
    load(optimized("SAMPLE_ID SPECTRAL_380 SPECTRAL_390", {"", "A2 0.1 0.2", "", "A4 0.3"}));
    toolkit.answerSave(std::nullopt);
    const BuildResult result = btnWriteUlvarClick(form, toolkit, clock);
    EXPECT_TRUE(result.stopped) << "cancelled";
    EXPECT_EQ(result.rowsWritten, 2);
    EXPECT_EQ(result.rowsLeftOut, 2);
    EXPECT_EQ(toolkit.messages(), (QStringList{"i_row:9", "SPEC", "i_row:11", "0.1\t0.2"}));
    EXPECT_EQ(pane(), (QStringList{"; Created: 3/11/18", "0.1\t0.2", "0.3"}));
}

TEST_F(SpecBuild, NeedsMoreThanOneHundredLines) {
    QStringList lines = optimized("SAMPLE_ID SPECTRAL_380", {"A1 0.1"});
    ASSERT_EQ(lines.size(), 101);
    form.memoUlvarSpec.Lines = Lines({"previous"});
    load(lines.mid(0, 100));
    build();
    EXPECT_EQ(toolkit.messages(), QStringList{"Optimized File Not Loaded."});
    EXPECT_EQ(pane(), QStringList{"previous"});
    EXPECT_FALSE(form.RectangleProgress.Visible);

    load(lines);
    toolkit.answerSave(std::nullopt);
    build();
    EXPECT_EQ(pane(), (QStringList{"; Created: 3/11/18", "0.1"}));
}

// With BEGIN_DATA at 27 and END_DATA at 1000 the bar grows at r = 40, 60, ..., 980: 12 to 60.
TEST_F(SpecBuild, BarGrowsAtEveryTwentiethLineIndex) {
    QStringList rows;
    for (int r = 28; r < 1000; ++r)
        rows << QStringLiteral("P%1 0.%1").arg(r);
    const QStringList lines = optimized("SAMPLE_ID SPECTRAL_380", rows, 27);
    ASSERT_EQ(lines.indexOf("END_DATA"), 1000);
    load(lines);

    // At the first pump (r = 40) rows 28 to 40 are already in the pane.
    int linesAtFirstPump = 0;
    double widthAtFirstPump = 0;
    toolkit.onNextPump([&] {
        linesAtFirstPump = form.memoUlvarSpec.Lines.Count();
        widthAtFirstPump = form.RectangleProgress.Width;
    });
    double widthAtDialog = 0;
    toolkit.everyPump = [&] { widthAtDialog = form.RectangleProgress.Width; };
    toolkit.answerSave(std::nullopt);
    build();

    EXPECT_EQ(linesAtFirstPump, 1 + 13);
    EXPECT_EQ(widthAtFirstPump, 13);
    EXPECT_EQ(widthAtDialog, 60);
    EXPECT_EQ(pane().size(), 1 + 972);
    EXPECT_EQ(toolkit.count(Kind::Pump), 48 + 1 + 1);
    EXPECT_FALSE(form.RectangleProgress.Visible);
    EXPECT_FALSE(form.Timer.Enabled);
}

TEST_F(SpecBuild, ConfirmedSaveEndsEveryLineWithCrLf) {
    load(optimized("SAMPLE_ID SPECTRAL_380 SPECTRAL_390", {"A1 0.1 0.2", "A2 0.3 0.4"}));
    toolkit.answerSave(dir.filePath("chosen"));
    const BuildResult result = btnWriteUlvarClick(form, toolkit, clock);
    EXPECT_FALSE(result.stopped);
    EXPECT_EQ(result.rowsWritten, 2);
    EXPECT_EQ(result.rowsLeftOut, 0);
    EXPECT_EQ(result.savedTo, dir.filePath("chosen.spec"));

    ASSERT_EQ(toolkit.shownSaveDialogs.size(), 1u);
    EXPECT_EQ(toolkit.shownSaveDialogs[0].FileName, "UlvarSpec_20180311_142530");
    EXPECT_EQ(toolkit.shownSaveDialogs[0].DefaultExt, "spec");
    EXPECT_EQ(ReadBytes(dir.filePath("chosen.spec")),
              QByteArray("; Created: 3/11/18\r\n0.1\t0.2\r\n0.3\t0.4\r\n"));
    EXPECT_EQ(form.labelUlvarSpecFile.Text, dir.filePath("chosen.spec"));
    EXPECT_EQ(pane().back(), QString());
    EXPECT_FALSE(form.RectangleProgress.Visible);
    EXPECT_FALSE(form.Timer.Enabled);
    ASSERT_GE(toolkit.log.size(), 2u);
    EXPECT_EQ(toolkit.log[toolkit.log.size() - 2].kind, Kind::Pump);
    EXPECT_EQ(toolkit.log.back().kind, Kind::Yield);
}

TEST_F(SpecBuild, CancelThenRebuildGivesTheSameDocument) {
    load(optimized("SAMPLE_ID SPECTRAL_380", {"A1 0.1", "A2 0.2"}));
    toolkit.answerSave(std::nullopt);
    build();
    const QStringList first = pane();
    EXPECT_EQ(first, (QStringList{"; Created: 3/11/18", "0.1", "0.2"}));
    EXPECT_EQ(form.labelUlvarSpecFile.Text, "Ulvar Spec File");
    EXPECT_FALSE(form.RectangleProgress.Visible);

    toolkit.answerSave(std::nullopt);
    build();
    EXPECT_EQ(pane(), first);
}

TEST_F(SpecBuild, CreationLineFollowsTheRegionalShortDate) {
    const QLocale german(QLocale::German, QLocale::Germany);
    clock = FixedClock(SampleTime(), german);
    load(optimized("SAMPLE_ID SPECTRAL_380", {"A1 0.1"}));
    toolkit.answerSave(std::nullopt);
    build();
    EXPECT_EQ(pane().front(), "; Created: 11.03.18");
}

// A failed save is reported like the smoothing builder's, and the bar does not stay behind it.
TEST_F(SpecBuild, FailedSaveIsReportedAndStopsTheBar) {
    load(optimized("SAMPLE_ID SPECTRAL_380", {"A1 0.1"}));
    const QString target = dir.filePath("missing/out.spec");
    toolkit.answerSave(target);
    RunGuarded(toolkit, [&] { build(); });

    ASSERT_EQ(toolkit.errors().size(), 1);
    EXPECT_TRUE(toolkit.errors()[0].startsWith("Cannot create file \"" + ShownPath(target) + "\". "));
    EXPECT_FALSE(form.RectangleProgress.Visible);
    EXPECT_FALSE(form.Timer.Enabled);
    EXPECT_EQ(form.labelUlvarSpecFile.Text, "Ulvar Spec File");
    EXPECT_EQ(pane(), (QStringList{"; Created: 3/11/18", "0.1", ""}));
    EXPECT_FALSE(QFileInfo::exists(target));
}

} // namespace
