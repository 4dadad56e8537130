#include "SmoothingBuilder.h"
#include "BuildTestSupport.h"
#include "Error.h"
#include "FormState.h"
#include "SaveDocument.h"
#include "ScriptedToolkit.h"

#include <gtest/gtest.h>

namespace {

using Kind = ScriptedToolkit::Event::Kind;

const char kFieldNames[] =
    "SAMPLE_ID CMYK_C CMYK_M CMYK_Y CMYK_K LAB_L LAB_A LAB_B SPECTRAL_380 SPECTRAL_390 SPECTRAL_400 "
    "SPECTRAL_410 SPECTRAL_420 SPECTRAL_430 SPECTRAL_440 SPECTRAL_450 SPECTRAL_460 SPECTRAL_470 SPECTRAL_480 "
    "SPECTRAL_490 SPECTRAL_500 SPECTRAL_510 SPECTRAL_520 SPECTRAL_530 SPECTRAL_540 SPECTRAL_550 SPECTRAL_560 "
    "SPECTRAL_570 SPECTRAL_580 SPECTRAL_590 SPECTRAL_600 SPECTRAL_610 SPECTRAL_620 SPECTRAL_630 SPECTRAL_640 "
    "SPECTRAL_650 SPECTRAL_660 SPECTRAL_670 SPECTRAL_680 SPECTRAL_690 SPECTRAL_700 SPECTRAL_710 SPECTRAL_720 "
    "SPECTRAL_730 ";

// Both measurement panes hold their data lines at indices 8 to 11.
const QStringList kLabPane = {
    "CGATS.17",
    "ORIGINATOR \"Meter\"",
    "NUMBER_OF_FIELDS 4",
    "BEGIN_DATA_FORMAT",
    "SAMPLE_ID LAB_L LAB_A LAB_B ",
    "END_DATA_FORMAT",
    "NUMBER_OF_SETS 4",
    "BEGIN_DATA",
    "1 50.12 -3.45 2.10 ",
    "2 60.00 1.00 -1.00 ",
    "3 70.00 0.50 0.25 ",
    "4 80.00 0.00 0.00 ",
    "END_DATA",
};
const QStringList kSpectralPane = {
    "CGATS.17",
    "ORIGINATOR \"Meter\"",
    "NUMBER_OF_FIELDS 3",
    "BEGIN_DATA_FORMAT",
    "SAMPLE_ID SPECTRAL_380 SPECTRAL_390",
    "END_DATA_FORMAT",
    "NUMBER_OF_SETS 4",
    "BEGIN_DATA",
    "1 0.0512 0.0634",
    "2 0.1000 0.2000",
    "3 0.3000 0.4000",
    "4 0.5000 0.6000",
    "END_DATA",
};

QStringList header(const QString& created = QStringLiteral("11_Mar_2018 00:00:00")) {
    return {"CGATS.17",
            "ORIGINATOR \"Lumetra\"",
            "FILE_DESCRIPTOR \"Ulvar Measurements for Smoothing\"",
            "CREATED \"" + created + "\"",
            "NUMBER_OF_FIELDS 44",
            "BEGIN_DATA_FORMAT",
            kFieldNames,
            "END_DATA_FORMAT",
            "NUMBER_OF_SETS 4",
            "BEGIN_DATA"};
}

class SmoothingBuild : public ::testing::Test {
protected:
    ScratchCurrentDir cwd;
    FormState form;
    ScriptedToolkit toolkit;
    BuildClock clock = FixedClock(SampleTime());

    void SetUp() override {
        cwd.copyTestSwatches(); // Quick.IccSwa: 128 51 230 0 / 0 255 191 84 / 255 0 0 0
        form.NumberBoxPatches.SetValue(4);
        form.NumberBoxPatchesLab.SetValue(4);
        form.memoCGATSLab.Lines = Lines(kLabPane);
        form.memoInput.Lines = Lines(kSpectralPane);
        form.MemoSmoothCGATS.Lines = Lines({"previous"});
    }

    void writeSwatch(const QStringList& patchLines) {
        QByteArray body = "Lumetra test swatch\r\n   Patches {\r\n";
        for (const QString& line : patchLines)
            body += "    [" + line.toLatin1() + "],\r\n";
        body += "   }\r\n";
        ASSERT_TRUE(WriteBytes(cwd.filePath("CMYK/Quick.IccSwa"), body));
    }

    void build() { btnWriteSmoothingClick(form, toolkit, clock); }
    QStringList pane() const { return form.MemoSmoothCGATS.Lines.lines(); }
    // The lines between the header and END_DATA.
    QStringList rows() const {
        const QStringList all = pane();
        return all.mid(10, all.size() - 11);
    }
};

TEST_F(SmoothingBuild, WritesHeaderRowsAndZeroCmykPastThePatchList) {
    toolkit.answerSave(std::nullopt);
    build();
    EXPECT_EQ(pane(), header() + QStringList({
                                     "1 50.20 20.00 90.20 0.00 50.12 -3.45 2.10 0.0512 0.0634",
                                     "2 0.00 100.00 74.90 32.94 60.00 1.00 -1.00 0.1000 0.2000",
                                     "3 100.00 0.00 0.00 0.00 70.00 0.50 0.25 0.3000 0.4000",
                                     "4 0 0 0 0 80.00 0.00 0.00 0.5000 0.6000",
                                     "END_DATA",
                                 }));
    EXPECT_TRUE(toolkit.messages().isEmpty());
}

TEST_F(SmoothingBuild, ConfirmedSaveWritesThePaneAndShowsThePath) {
    toolkit.answerSave(cwd.filePath("chosen"));
    build();

    ASSERT_EQ(toolkit.shownSaveDialogs.size(), 1u);
    EXPECT_EQ(toolkit.shownSaveDialogs[0].FileName, "Smooth_20180311_142530");
    EXPECT_EQ(toolkit.shownSaveDialogs[0].DefaultExt, "txt");
    const QByteArray bytes = ReadBytes(cwd.filePath("chosen.txt"));
    EXPECT_EQ(bytes, EncodeDocument(form.MemoSmoothCGATS.Lines));
    EXPECT_TRUE(bytes.startsWith("CGATS.17\r\nORIGINATOR \"Lumetra\"\r\n"));
    EXPECT_TRUE(bytes.endsWith("0.6000\r\nEND_DATA"));
    EXPECT_EQ(form.LabelSmoothCGATS.Text, cwd.filePath("chosen.txt"));

    // Yields after the swatch, before each row, after the confirmation and after the path; one
    // pump and a yield at the end.
    std::vector<Kind> kinds;
    for (const auto& e : toolkit.log)
        kinds.push_back(e.kind);
    EXPECT_EQ(kinds, (std::vector<Kind>{Kind::Yield, Kind::Yield, Kind::Yield, Kind::Yield, Kind::Yield,
                                        Kind::Save, Kind::Yield, Kind::Yield, Kind::Pump, Kind::Yield}));
}

TEST_F(SmoothingBuild, CancelKeepsTheDocumentAndThePathDisplay) {
    toolkit.answerSave(std::nullopt);
    build();
    EXPECT_EQ(pane().size(), 15);
    EXPECT_EQ(form.LabelSmoothCGATS.Text, "SmoothCGATS.txt");
    EXPECT_EQ(QDir(cwd.path()).entryList(QDir::Files), QStringList());
}

TEST_F(SmoothingBuild, CountMismatchChangesNothing) {
    form.NumberBoxPatches.SetValue(1617);
    form.NumberBoxPatchesLab.SetValue(1616);
    build();
    EXPECT_EQ(toolkit.messages(), QStringList{"Spectral and Lab CGATS file do not match."});
    EXPECT_EQ(pane(), QStringList{"previous"});
    EXPECT_TRUE(toolkit.shownSaveDialogs.empty());
}

TEST_F(SmoothingBuild, ErrorsThatStopTheBuildEscapeAndLeaveThePaneEmpty) {
    const struct {
        const char* name;
        std::function<void()> arrange;
        QString message;
    } cases[] = {
        {"missing swatch", [this] { QFile::remove(cwd.filePath("CMYK/Quick.IccSwa")); },
         "Cannot open file \"" + ShownPath(QDir::currentPath() + "/CMYK/Quick.IccSwa") + "\". " +
             OpenFailureReason(QDir::currentPath() + "/CMYK/Removed.IccSwa")},
        {"short spectral pane", [this] { form.memoInput.Lines = Lines(kSpectralPane.mid(0, 9)); },
         "List index out of bounds (9)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        c.arrange();
        toolkit.answerSave(cwd.filePath("never"));
        try {
            build();
            ADD_FAILURE() << "no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.message(), c.message);
        }
        EXPECT_EQ(pane(), QStringList());
        EXPECT_TRUE(toolkit.shownSaveDialogs.empty());
        toolkit = ScriptedToolkit();
    }
}

TEST_F(SmoothingBuild, FailedRowsAreLeftOutAndRetryTheSamePatchLine) {
    writeSwatch({"128 51 230 0", "1 2 3", "255 0 0 0"});
    toolkit.answerSave(std::nullopt);
    build();
    EXPECT_EQ(rows(), QStringList{"1 50.20 20.00 90.20 0.00 50.12 -3.45 2.10 0.0512 0.0634"});
    const QString failure = "i_row: 1 cgats_cmyk.count: 3";
    EXPECT_EQ(toolkit.messages(), (QStringList{failure, failure, failure}));
    EXPECT_EQ(pane().back(), "END_DATA");
}

// How the build ended, as lumetra-cli reads it for its exit status.
TEST_F(SmoothingBuild, ResultTellsHowTheBuildEnded) {
    const struct {
        const char* name;
        std::function<void()> arrange;
        bool save;
        bool stopped;
        int written, leftOut;
    } cases[] = {
        {"saved", [] {}, true, false, 4, 0},
        {"cancelled", [] {}, false, true, 4, 0},
        {"rows left out",
         [this] {
             writeSwatch({"128 51 230 0", "1 2 3", "255 0 0 0"});
         },
         true, false, 1, 3},
        {"counts differ", [this] { form.NumberBoxPatchesLab.SetValue(3); }, true, true, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        c.arrange();
        toolkit = ScriptedToolkit();
        const QString chosen = cwd.filePath(QStringLiteral("result"));
        toolkit.answerSave(c.save ? std::optional<QString>(chosen) : std::nullopt);
        const BuildResult result = btnWriteSmoothingClick(form, toolkit, clock);
        EXPECT_EQ(result.stopped, c.stopped);
        EXPECT_EQ(result.rowsWritten, c.written);
        EXPECT_EQ(result.rowsLeftOut, c.leftOut);
        EXPECT_EQ(result.savedTo, c.stopped ? QString() : chosen + QStringLiteral(".txt"));
    }
}

TEST_F(SmoothingBuild, SwatchWithoutPatchBlockGivesZeroCmykEverywhere) {
    ASSERT_TRUE(WriteBytes(cwd.filePath("CMYK/Quick.IccSwa"), "no block\r\n"));
    toolkit.answerSave(std::nullopt);
    build();
    ASSERT_EQ(rows().size(), 4);
    for (const QString& row : rows())
        EXPECT_TRUE(row.mid(1).startsWith(" 0 0 0 0 ")) << row.toStdString();
}

TEST_F(SmoothingBuild, NoEndMarkerGivesHeaderAndEndOnly) {
    QStringList lab = kLabPane;
    lab.last() = "END_DATA "; // a trailing blank: not the marker
    form.memoCGATSLab.Lines = Lines(lab);
    toolkit.answerSave(std::nullopt);
    build();
    EXPECT_EQ(pane(), header() + QStringList{"END_DATA"});
}

// Swatch values and percentages use a full stop whatever the regional settings; only the date
// is regional.
TEST_F(SmoothingBuild, NumbersIgnoreTheRegionalDecimalSeparator) {
    const QLocale german(QLocale::German, QLocale::Germany);
    const ScopedDefaultLocale regional(german);
    clock = FixedClock(SampleTime(), german);
    writeSwatch({"12.5 128 0 0", "12,5 0 0 0"});
    toolkit.answerSave(std::nullopt);
    build();

    EXPECT_EQ(pane().at(3), "CREATED \"11_" + german.monthName(3, QLocale::ShortFormat) + "_2018 00:00:00\"");
    EXPECT_EQ(rows(), QStringList{"1 4.90 50.20 0.00 0.00 50.12 -3.45 2.10 0.0512 0.0634"});
    const QString failure = "i_row: 1 cgats_cmyk.count: 2";
    EXPECT_EQ(toolkit.messages(), (QStringList{failure, failure, failure}));
}

TEST_F(SmoothingBuild, CreationDateFollowsTheRegionalLongTime) {
    clock = FixedClock(SampleTime(), QLocale(QLocale::English, QLocale::UnitedStates));
    toolkit.answerSave(std::nullopt);
    build();
    EXPECT_EQ(pane().at(3), "CREATED \"11_Mar_2018 12:00:00 AM\"");
}

// The L*a*b* values and the spectral values never fuse, whatever ends the L*a*b* line.
TEST_F(SmoothingBuild, RemaindersAreAlwaysSeparated) {
    QStringList lab = kLabPane;
    lab[8] = "1 50.12 -3.45 2.10";    // no trailing blank
    lab[9] = "2 60.00 1.00 -1.00\t";  // ends in a tab
    lab[10] = "3\t70.00\t0.50\t0.25"; // no blank at all: taken whole
    lab[11] = " 4 80.00 0.00 0.00 ";  // leading blank: only it is cut
    form.memoCGATSLab.Lines = Lines(lab);
    toolkit.answerSave(std::nullopt);
    build();
    EXPECT_EQ(rows(), (QStringList{
                          "1 50.20 20.00 90.20 0.00 50.12 -3.45 2.10 0.0512 0.0634",
                          "2 0.00 100.00 74.90 32.94 60.00 1.00 -1.00\t0.1000 0.2000",
                          "3 100.00 0.00 0.00 0.00 3\t70.00\t0.50\t0.25 0.3000 0.4000",
                          "4 0 0 0 0 4 80.00 0.00 0.00 0.5000 0.6000",
                      }));
}

TEST_F(SmoothingBuild, FailedSaveEscapesAndKeepsOldFileAndPathDisplay) {
    const QString target = cwd.filePath("existing.txt");
    ASSERT_TRUE(QDir().mkdir(target)); // a folder where the file should go: the save cannot replace it
    toolkit.answerSave(target);
    try {
        build();
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_TRUE(e.message().startsWith("Cannot create file \"" + ShownPath(target) + "\". "))
            << e.message().toStdString();
    }
    EXPECT_EQ(pane().size(), 15);
    EXPECT_EQ(form.LabelSmoothCGATS.Text, "SmoothCGATS.txt");
    EXPECT_TRUE(QFileInfo(target).isDir());
}

TEST(SmoothingRow, JoinsItsPieces) {
    EXPECT_EQ(DropSampleId(u"A1 50 -3"), "50 -3");
    EXPECT_EQ(DropSampleId(u"A1\t50\t-3"), "A1\t50\t-3");
    EXPECT_EQ(DropSampleId(u" A1 50"), "A1 50");
    EXPECT_EQ(SmoothingRow(7, " 0 0 0 0 ", "50 -3 2 ", "0.1 0.2"), "7 0 0 0 0 50 -3 2 0.1 0.2");
    EXPECT_EQ(SmoothingRow(7, " 0 0 0 0 ", "50 -3 2", "0.1"), "7 0 0 0 0 50 -3 2 0.1");
    EXPECT_EQ(SmoothingRow(7, " 0 0 0 0 ", "", "0.1"), "7 0 0 0 0 0.1");
    EXPECT_EQ(SmoothingRow(7, " 0 0 0 0 ", "50", ""), "7 0 0 0 0 50");
}

} // namespace
