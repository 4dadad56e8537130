// Handlers started inside the spec build's event pumps, and the spec build started inside an
// import's: the build works from its own copy of the optimized document, so its file never
// changes; the pane it fills, the progress bar and Timer end as the interrupted handler leaves them.

#include "BuildTestSupport.h"
#include "Error.h"
#include "FormState.h"
#include "Import.h"
#include "ScriptedToolkit.h"
#include "SpecBuilder.h"

#include <gtest/gtest.h>

namespace {

// An optimized document with BEGIN_DATA at index 27 and rows 28 to 99, so the build pumps at the
// rows with line indices 40, 60 and 80, once after the rows and once at its end.
QStringList optimizedDocument(const QString& value) {
    QStringList lines = {"CGATS.17",          "NUMBER_OF_FIELDS 3",
                         "BEGIN_DATA_FORMAT", "SAMPLE_ID SPECTRAL_380 SPECTRAL_390",
                         "END_DATA_FORMAT",   "NUMBER_OF_SETS 72"};
    while (lines.size() < 27)
        lines << "KEYWORD \"pad\"";
    lines << "BEGIN_DATA";
    for (int r = 28; r < 100; ++r)
        lines << QStringLiteral("P%1 %2 0.%1").arg(r).arg(value);
    lines << "END_DATA";
    while (lines.size() <= 100)
        lines << QString();
    return lines;
}

// What the build of optimizedDocument(value) shows and saves.
QStringList specDocument(const QString& value) {
    QStringList lines = {"; Created: 3/11/18"};
    for (int r = 28; r < 100; ++r)
        lines << QStringLiteral("%1\t0.%2").arg(value).arg(r);
    return lines << QString();
}

QByteArray fileOf(const QStringList& pane) {
    return pane.join("\r\n").toLatin1();
}

class SpecReentrancy : public ::testing::Test {
protected:
    QTemporaryDir dir;
    FormState form;
    ScriptedToolkit toolkit;
    BuildClock clock = FixedClock(SampleTime(), QLocale(QLocale::English, QLocale::UnitedStates));
    std::vector<bool> barAtPump;
    std::vector<double> widthAtPump;

    void SetUp() override {
        form.FormCreate();
        form.memoOptimized.Lines = Lines(optimizedDocument("1.5"));
        toolkit.everyPump = [this] {
            barAtPump.push_back(form.RectangleProgress.Visible);
            widthAtPump.push_back(form.RectangleProgress.Width);
        };
    }
    void build() { btnWriteUlvarClick(form, toolkit, clock); }
    QString out(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

// A second click on "Create Ulvar Spec File" while a build runs would fill the same pane: the
// second document would land in the middle of the first and the first's file hold both. It is
// not taken while a build runs, as if the button were disabled.
TEST_F(SpecReentrancy, BuildStartedDuringABuildIsNotTaken) {
    toolkit.answerSave(out("first.spec"));
    toolkit.onNextPump([&] {
        form.memoOptimized.Lines = Lines(optimizedDocument("2.5"));
        build();
    });
    build();

    EXPECT_EQ(form.memoUlvarSpec.Lines.lines(), specDocument("1.5"));
    EXPECT_EQ(ReadBytes(out("first.spec")), fileOf(specDocument("1.5")));
    EXPECT_EQ(toolkit.shownSaveDialogs.size(), 1u);
    EXPECT_EQ(toolkit.unexpectedDialogs, 0);
    EXPECT_TRUE(toolkit.messages().isEmpty());
    EXPECT_EQ(form.labelUlvarSpecFile.Text, out("first.spec"));
    EXPECT_FALSE(form.RectangleProgress.Visible);
    EXPECT_FALSE(form.Timer.Enabled);
    EXPECT_EQ(form.RectangleProgress.Width, 15);

    // Once it has ended, whichever way, the next click builds.
    toolkit.answerSave(out("second.spec"));
    build();
    EXPECT_EQ(ReadBytes(out("second.spec")), fileOf(specDocument("2.5")));
}

TEST_F(SpecReentrancy, BuildThatEndedWithAnErrorDoesNotBlockTheNext) {
    QStringList noSpecField = optimizedDocument("1.5");
    noSpecField[3] = "SAMPLE_ID VALUE_380";
    form.memoOptimized.Lines = Lines(noSpecField);
    EXPECT_THROW(build(), Error);

    form.memoOptimized.Lines = Lines(optimizedDocument("1.5"));
    toolkit.answerSave(out("after.spec"));
    build();
    EXPECT_EQ(ReadBytes(out("after.spec")), fileOf(specDocument("1.5")));
}

// At its very end, after the file is written and the bar hidden, the build is done: a click handled
// in its last pump builds anew.
TEST_F(SpecReentrancy, BuildStartedInTheLastPumpRuns) {
    toolkit.answerSave(out("first.spec"));
    toolkit.answerSave(out("second.spec"));
    for (int pump = 0; pump < 4; ++pump)
        toolkit.onNextPump([] {});
    toolkit.onNextPump([&] {
        form.memoOptimized.Lines = Lines(optimizedDocument("2.5"));
        build();
    });
    build();

    EXPECT_EQ(ReadBytes(out("first.spec")), fileOf(specDocument("1.5")));
    EXPECT_EQ(ReadBytes(out("second.spec")), fileOf(specDocument("2.5")));
    EXPECT_EQ(form.memoUlvarSpec.Lines.lines(), specDocument("2.5"));
    EXPECT_EQ(form.labelUlvarSpecFile.Text, out("second.spec"));
    EXPECT_FALSE(form.RectangleProgress.Visible);
}

// An optimized file opened while the build runs replaces the pane the build was started from; the
// build goes on with its copy. The import takes the bar over (width 100) and hides it at its end;
// the build then widens the hidden bar without showing it again.
TEST_F(SpecReentrancy, ImportDuringABuildLeavesItsFileAlone) {
    const QString newFile = QStringLiteral(LUMETRA_TEST_DATA "/import/optimized.txt");
    toolkit.answerOpen(newFile);
    toolkit.answerSave(out("built.spec"));
    toolkit.onNextPump([&] { btnOpenCGATSFileClick(form, toolkit, 3); });
    build();

    EXPECT_EQ(ReadBytes(out("built.spec")), fileOf(specDocument("1.5")));
    EXPECT_EQ(form.memoUlvarSpec.Lines.lines(), specDocument("1.5"));
    LineList newLines;
    newLines.LoadFromFile(newFile);
    EXPECT_EQ(form.memoOptimized.Lines.lines(), newLines.lines());
    EXPECT_EQ(form.LabelOptimizedFileName.Text, "optimized.txt");
    EXPECT_TRUE(toolkit.messages().isEmpty());

    // Pumps: the import's three (load, two counts) and its last one, then the build's at r = 40
    // (the import ran in it), 60, 80, after the rows and at its end.
    EXPECT_EQ(barAtPump, (std::vector<bool>{true, true, true, false, false, false, false, false, false}));
    EXPECT_EQ(widthAtPump, (std::vector<double>{100, 100, 100, 100, 100, 101, 102, 102, 102}));
    EXPECT_FALSE(form.RectangleProgress.Visible);
    EXPECT_FALSE(form.Timer.Enabled);
}

// The other way round: a build started while an optimized file is being opened builds from the
// document still shown; the import then shows its own.
TEST_F(SpecReentrancy, BuildDuringAnImportBuildsTheDocumentShownThen) {
    const QString newFile = QStringLiteral(LUMETRA_TEST_DATA "/import/optimized.txt");
    toolkit.answerOpen(newFile);
    toolkit.answerSave(out("built.spec"));
    toolkit.onNextPump([&] { build(); }); // the import's pump after loading
    btnOpenCGATSFileClick(form, toolkit, 3);

    EXPECT_EQ(ReadBytes(out("built.spec")), fileOf(specDocument("1.5")));
    EXPECT_EQ(form.LabelOptimizedFileName.Text, "optimized.txt");
    EXPECT_EQ(form.memoOptimized.Lines.Count(), 11);
    EXPECT_TRUE(toolkit.messages().isEmpty());
    EXPECT_FALSE(form.RectangleProgress.Visible);
    EXPECT_FALSE(form.Timer.Enabled);
}

} // namespace
