// Whole imports through the scripted toolkit: what each kind of file shows, what a refused file
// leaves alone, the tabs that open, the progress bar along the way, and imports started inside
// another import's pump.

#include "ImportTestSupport.h"

#include "Error.h"

#include <QDir>
#include <QFileDevice>

#include <functional>
#include <string>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

namespace {

std::string nameOfRow(const char* name) {
    return std::string(name);
}

// A window in which each kind has been imported once, so that "nothing changed" is meaningful.
FormState loadedForm() {
    FormState form = startedForm();
    ScriptedToolkit toolkit;
    toolkit.answerOpen(fixture("spectral.txt"));
    toolkit.answerOpen(fixture("lab.txt"));
    toolkit.answerOpen(fixture("optimized.txt"));
    for (int tag = 1; tag <= 3; ++tag)
        btnOpenCGATSFileClick(form, toolkit, tag);
    EXPECT_TRUE(toolkit.messages().isEmpty()) << toolkit.messages().join(u'|').toStdString();
    return form;
}

// The spectral fixture with its format line replaced.
QByteArray spectralWithFormat(const QString& formatLine) {
    QStringList lines = fixtureLines("spectral.txt");
    lines[5] = formatLine;
    return crlfJoined(lines);
}

QByteArray garbage() {
    QByteArray bytes;
    quint32 x = 2463534242u; // xorshift: the same bytes on every run
    for (int i = 0; i < 4096; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        bytes.append(static_cast<char>(x & 0xFF));
    }
    bytes[0] = 'Z'; // no byte-order mark by chance
    return bytes;
}

QByteArray utf16le(const QByteArray& latin1) {
    QByteArray out("\xFF\xFE", 2);
    for (char c : latin1) {
        out.append(c);
        out.append('\0');
    }
    return out;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Accepted files

struct AcceptCase {
    const char* name;
    int tag;
    const char* file;
    double begin, patches, end;
    const char* columns;
    const char* typeLabel; // what the kind's type label shows afterwards
    TabView tab2, tab3, tab5;
};

void PrintTo(const AcceptCase& c, std::ostream* os) {
    *os << c.name;
}

class Accepted : public testing::TestWithParam<AcceptCase> {};

TEST_P(Accepted, ShowsDocumentCountsAndOpensTabs) {
    const AcceptCase& c = GetParam();
    FormState form = startedForm();
    // A failed spec build left the bar showing at its own width and the timer running.
    form.RectangleProgress.Visible = true;
    form.RectangleProgress.Width = 12;
    form.Timer.Enabled = true;
    WatchingToolkit toolkit(form);
    toolkit.answerOpen(fixture(c.file));

    const ImportResult result = btnOpenCGATSFileClick(form, toolkit, c.tag);
    EXPECT_TRUE(result.accepted);
    EXPECT_EQ(result.fileName, fixture(c.file));

    const KindView expected{fixtureLines(c.file),
                            QString::fromUtf8(c.file),
                            true,
                            QString::fromUtf8(c.typeLabel),
                            c.begin,
                            c.patches,
                            c.end,
                            QString::fromUtf8(c.columns)};
    EXPECT_EQ(viewOf(form, c.tag), expected);
    EXPECT_TRUE(toolkit.messages().isEmpty()) << toolkit.messages().join(u'|').toStdString();
    EXPECT_TRUE(toolkit.errors().isEmpty());
    EXPECT_EQ(tabOf(form.TabItem2), c.tab2);
    EXPECT_EQ(tabOf(form.TabItem3), c.tab3);
    EXPECT_EQ(tabOf(form.TabItem5), c.tab5);
    const FormState fresh = startedForm();
    for (int other = 1; other <= 3; ++other) {
        if (other == c.tag)
            continue;
        EXPECT_EQ(viewOf(form, other), viewOf(fresh, other)) << "kind " << other;
    }

    ASSERT_EQ(toolkit.shownOpenDialogs.size(), 1u);
    EXPECT_EQ(toolkit.shownOpenDialogs[0].Filter,
              c.tag == 3 ? form.dlgOpenOptimizedFile.Filter : form.dlgOpenMeasurementFile.Filter);

    // Shown at width 100 after loading and through the two counts, hidden for the last pump.
    EXPECT_EQ(toolkit.barAtPump, (std::vector<bool>{true, true, true, false}));
    EXPECT_EQ(toolkit.widthAtPump.front(), 100);
    EXPECT_FALSE(form.RectangleProgress.Visible);
    EXPECT_FALSE(form.Timer.Enabled);
}

const TabView kClosed{false, Colors::DimGrey};
const TabView kOpenReading{true, Colors::MidnightBlue};
const TabView kOpenBuilding{true, Colors::ForestGreen};

// The first spectral import also opens the smoothing tab: the L*a*b* pane starts with one
// (empty) line. An L*a*b* file alone opens nothing; an optimized file opens the spec tab.
INSTANTIATE_TEST_SUITE_P(
    EachKind, Accepted,
    testing::Values(AcceptCase{"Spectral", 1, "spectral.txt", 8, 3, 12, "37", "", kOpenReading, kOpenBuilding,
                               kClosed},
                    AcceptCase{"SpectralLowerCaseFormatLine", 1, "spectral_lowercase_format.txt", 8, 3, 12,
                               "37", "", kOpenReading, kOpenBuilding, kClosed},
                    AcceptCase{"Lab", 2, "lab.txt", 9, 3, 13, "4", "", kClosed, kClosed, kClosed},
                    AcceptCase{"Optimized", 3, "optimized.txt", 7, 2, 10, "37", "Measure File Type", kClosed,
                               kClosed, kOpenBuilding}),
    [](const testing::TestParamInfo<AcceptCase>& info) { return nameOfRow(info.param.name); });

TEST(Import, TabsOpenAsDocumentsArrive) {
    FormState form = startedForm();
    ScriptedToolkit toolkit;
    toolkit.answerOpen(fixture("lab.txt"));
    toolkit.answerOpen(fixture("spectral.txt"));
    toolkit.answerOpen(fixture("optimized.txt"));

    btnOpenCGATSFileClick(form, toolkit, 2);
    EXPECT_EQ(tabOf(form.TabItem2), kClosed);
    EXPECT_EQ(tabOf(form.TabItem3), kClosed);
    btnOpenCGATSFileClick(form, toolkit, 1);
    EXPECT_EQ(tabOf(form.TabItem2), kOpenReading);
    EXPECT_EQ(tabOf(form.TabItem3), kOpenBuilding);
    EXPECT_EQ(tabOf(form.TabItem5), kClosed);
    btnOpenCGATSFileClick(form, toolkit, 3);
    EXPECT_EQ(tabOf(form.TabItem5), kOpenBuilding);
    EXPECT_EQ(viewOf(form, 2).lines, fixtureLines("lab.txt"));
    EXPECT_TRUE(toolkit.messages().isEmpty());
}

TEST(Import, StrayByteAfterUtf16TextIsDropped) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = writeFile(dir, "spectral16.txt", utf16le(fixtureBytes("spectral.txt")) + 'x');
    FormState form = startedForm();
    ScriptedToolkit toolkit;
    toolkit.answerOpen(path);

    btnOpenCGATSFileClick(form, toolkit, 1);

    EXPECT_TRUE(toolkit.messages().isEmpty());
    EXPECT_EQ(form.memoInput.Lines.lines(), fixtureLines("spectral.txt"));
    EXPECT_EQ(form.NumberBoxPatches.Text(), "3");
}

// ---------------------------------------------------------------------------------------------
// Refused before the scan: the message comes up with the bar showing, and the window is left as
// it was apart from the bar, which is hidden afterwards.

struct RejectCase {
    const char* name;
    int tag;
    std::function<QByteArray()> bytes;
    const char* message;
};

void PrintTo(const RejectCase& c, std::ostream* os) {
    *os << c.name;
}

class Rejected : public testing::TestWithParam<RejectCase> {};

TEST_P(Rejected, LeavesWindowAsItWas) {
    const RejectCase& c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = writeFile(dir, QStringLiteral("input.txt"), c.bytes());
    FormState form = loadedForm();
    const WindowView before = windowOf(form);
    WatchingToolkit toolkit(form);
    toolkit.answerOpen(path);

    EXPECT_FALSE(btnOpenCGATSFileClick(form, toolkit, c.tag).accepted);

    EXPECT_EQ(toolkit.messages(), QStringList{QString::fromUtf8(c.message)});
    EXPECT_TRUE(toolkit.errors().isEmpty());
    ASSERT_EQ(toolkit.atMessage.size(), 1u);
    EXPECT_TRUE(toolkit.atMessage[0].RectangleProgress.Visible);
    EXPECT_EQ(toolkit.atMessage[0].RectangleProgress.Width, 100);

    WindowView expected = before;
    expected.barWidth = 100;
    expected.barFront = windowOf(form).barFront;
    EXPECT_EQ(windowOf(form), expected);
    EXPECT_FALSE(form.RectangleProgress.Visible);
}

INSTANTIATE_TEST_SUITE_P(
    FormatAndBadBytes, Rejected,
    testing::Values(
        RejectCase{"LabFileWithSpectralButton", 1, [] { return fixtureBytes("lab.txt"); }, kNotSpectral},
        RejectCase{"SpectralFileWithLabButton", 2, [] { return fixtureBytes("spectral.txt"); }, kNotLab},
        RejectCase{"FormatLineWithoutClosingBlank", 1,
                   [] { return fixtureBytes("spectral_format_without_closing_blank.txt"); }, kNotSpectral},
        RejectCase{"FormatLineSeparatedByTabs", 1,
                   [] { return spectralWithFormat(QString(SpectralFormatLine()).replace(u' ', u'\t')); },
                   kNotSpectral},
        RejectCase{"FormatLineSeparatedByTwoBlanks", 1,
                   [] {
                       return spectralWithFormat(
                           QString(SpectralFormatLine()).replace(QStringLiteral(" "), QStringLiteral("  ")));
                   },
                   kNotSpectral},
        RejectCase{"SpectralFormatLineFirst", 1,
                   [] { return crlfJoined(fixtureLines("spectral.txt").mid(5)); }, kNotSpectral},
        RejectCase{"LabFormatLineFirst", 2, [] { return crlfJoined(fixtureLines("lab.txt").mid(6)); },
                   kNotLab},
        RejectCase{"BinaryGarbage", 1, garbage, kNotSpectral},
        RejectCase{"BinaryGarbageAsLab", 2, garbage, kNotLab},
        RejectCase{"EmptyFile", 1, [] { return QByteArray(); }, kNotSpectral},
        RejectCase{"OnlyUtf8Bom", 2, [] { return QByteArray("\xEF\xBB\xBF"); }, kNotLab},
        RejectCase{"Utf8BomWithInvalidByte", 1,
                   [] { return QByteArray("\xEF\xBB\xBF") + fixtureBytes("spectral.txt") + "\xFF\r\n"; },
                   kUnreadable},
        RejectCase{
            "Utf8BomWithInvalidByteOptimized", 3,
            [] { return QByteArray("\xEF\xBB\xBF") + fixtureBytes("optimized.txt").replace("A1", "A\xC3"); },
            kUnreadable},
        RejectCase{"OddLengthUtf16", 2, [] { return QByteArray::fromHex("fffe41"); }, kNotLab},
        RejectCase{
            "NulBeforeFormatLine", 1,
            [] { return fixtureBytes("spectral.txt").replace("DESCRIPTOR", QByteArray("DESC\0RIPTOR", 11)); },
            kNotSpectral}),
    [](const testing::TestParamInfo<RejectCase>& info) { return nameOfRow(info.param.name); });

TEST(Import, FileThatCannotBeOpenedIsRefused) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = writeFile(dir, "locked.txt", fixtureBytes("spectral.txt"));
    QFile::setPermissions(path, QFileDevice::Permissions());
    if (QFile file(path); file.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "this user reads files without permission";
    FormState form = loadedForm();
    const WindowView before = windowOf(form);
    ScriptedToolkit toolkit;
    toolkit.answerOpen(path);

    btnOpenCGATSFileClick(form, toolkit, 1);

    EXPECT_EQ(toolkit.messages(), QStringList{kUnreadable});
    EXPECT_EQ(viewOf(form, 1), before.spectral);
    EXPECT_FALSE(form.RectangleProgress.Visible);
}

// ---------------------------------------------------------------------------------------------
// Cancelled: nothing changes, not even a bar a failed build left showing.

TEST(Import, CancelChangesNothing) {
    for (int tag = 1; tag <= 3; ++tag) {
        SCOPED_TRACE(tag);
        FormState form = loadedForm();
        form.RectangleProgress.Visible = true;
        form.RectangleProgress.Width = 31;
        form.Timer.Enabled = true;
        const WindowView before = windowOf(form);
        ScriptedToolkit toolkit;
        toolkit.answerOpen(std::nullopt);

        const ImportResult result = btnOpenCGATSFileClick(form, toolkit, tag);
        EXPECT_FALSE(result.accepted);
        EXPECT_EQ(result.fileName, QString());

        EXPECT_EQ(windowOf(form), before);
        EXPECT_EQ(toolkit.log.size(), 1u) << "only the dialog";
        EXPECT_EQ(toolkit.unexpectedDialogs, 0);
    }
}

// ---------------------------------------------------------------------------------------------
// Refused by the scan: the document arrives empty, with the name and the counts read.

struct ScanRefusedCase {
    const char* name;
    int tag;
    std::function<QString(const QTemporaryDir&)> path; // the name the dialog answers
    const char* shownName;
    bool barShown; // only a file that exists shows the bar
};

void PrintTo(const ScanRefusedCase& c, std::ostream* os) {
    *os << c.name;
}

class ScanRefused : public testing::TestWithParam<ScanRefusedCase> {};

TEST_P(ScanRefused, EmptiesPaneAndShowsName) {
    const ScanRefusedCase& c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = c.path(dir);
    FormState form = loadedForm();
    const WindowView before = windowOf(form);
    WatchingToolkit toolkit(form);
    toolkit.answerOpen(path);

    EXPECT_FALSE(btnOpenCGATSFileClick(form, toolkit, c.tag).accepted);

    EXPECT_EQ(toolkit.messages(), QStringList{scanFailureText()});
    ASSERT_EQ(toolkit.atMessage.size(), 1u);
    EXPECT_EQ(toolkit.atMessage[0].RectangleProgress.Visible, c.barShown);
    EXPECT_FALSE(toolkit.atMessage[0].TabItem2.Enabled);
    if (!c.barShown) {
        EXPECT_EQ(std::count(toolkit.barAtPump.begin(), toolkit.barAtPump.end(), true), 0);
    }

    const KindView shown = viewOf(form, c.tag);
    EXPECT_TRUE(shown.lines.isEmpty());
    EXPECT_EQ(shown.name, c.shownName);
    EXPECT_TRUE(shown.nameVisible);
    EXPECT_EQ(shown.patches, 0);
    EXPECT_EQ(shown.columns, "0");
    // The spectral name label is the scan's to blank only for a spectral file; the presentation
    // then writes the new name there.
    if (c.tag != 1) {
        EXPECT_EQ(viewOf(form, 1), before.spectral);
    }
    // TabItem2 stays closed once the spectral pane is empty, and opens again otherwise.
    const TabView closedByScan{false, Colors::MidnightBlue};
    EXPECT_EQ(tabOf(form.TabItem2), c.tag == 1 ? closedByScan : kOpenReading);
    EXPECT_EQ(tabOf(form.TabItem3), before.tab3);
    EXPECT_EQ(tabOf(form.TabItem5), before.tab5);
    EXPECT_FALSE(form.RectangleProgress.Visible);
}

INSTANTIATE_TEST_SUITE_P(
    MissingOrUnscannable, ScanRefused,
    testing::Values(
        ScanRefusedCase{"MissingFile", 1, [](const QTemporaryDir& d) { return d.filePath("absent.txt"); },
                        "absent.txt", false},
        ScanRefusedCase{"Directory", 1,
                        [](const QTemporaryDir& d) {
                            QDir(d.path()).mkdir("folder.txt");
                            return d.filePath("folder.txt");
                        },
                        "folder.txt", false},
#ifdef Q_OS_UNIX
        // Reading a pipe would wait for a writer for ever; it is not a file.
        ScanRefusedCase{"Fifo", 1,
                        [](const QTemporaryDir& d) {
                            const QString path = d.filePath("pipe.txt");
                            if (::mkfifo(QFile::encodeName(path).constData(), 0600) != 0)
                                ADD_FAILURE() << "mkfifo failed";
                            return path;
                        },
                        "pipe.txt", false},
#endif
        ScanRefusedCase{"MissingOptimizedFile", 3,
                        [](const QTemporaryDir& d) { return d.filePath("gone.cie"); }, "gone.cie", false},
        ScanRefusedCase{"CountNotANumber", 1,
                        [](const QTemporaryDir&) { return fixture("spectral_bad_count.txt"); },
                        "spectral_bad_count.txt", true},
        ScanRefusedCase{"OptimizedGarbage", 3,
                        [](const QTemporaryDir& d) { return writeFile(d, "garbage.cie", garbage()); },
                        "garbage.cie", true},
        ScanRefusedCase{"OptimizedEmpty", 3,
                        [](const QTemporaryDir& d) { return writeFile(d, "empty.cie", QByteArray()); },
                        "empty.cie", true},
        ScanRefusedCase{"OptimizedOnlyNuls", 3,
                        [](const QTemporaryDir& d) { return writeFile(d, "nuls.cie", QByteArray(64, '\0')); },
                        "nuls.cie", true},
        ScanRefusedCase{
            "OptimizedCutAtNul", 3,
            [](const QTemporaryDir& d) {
                return writeFile(
                    d, "cut.cie",
                    fixtureBytes("optimized.txt").replace("BEGIN_DATA_FORMAT", QByteArray("\0", 1)));
            },
            "cut.cie", true}),
    [](const testing::TestParamInfo<ScanRefusedCase>& info) { return nameOfRow(info.param.name); });

TEST(Import, LabScanFailureAfterSpectralImportKeepsSpectralTab) {
    FormState form = startedForm();
    WatchingToolkit toolkit(form);
    toolkit.answerOpen(fixture("spectral.txt"));
    btnOpenCGATSFileClick(form, toolkit, 1);
    const WindowView afterSpectral = windowOf(form);
    ASSERT_EQ(afterSpectral.tab3, kOpenBuilding);
    toolkit.answerOpen(fixture("lab_count_without_value.txt"));

    btnOpenCGATSFileClick(form, toolkit, 2);

    EXPECT_EQ(toolkit.messages(), QStringList{scanFailureText()});
    ASSERT_EQ(toolkit.atMessage.size(), 1u);
    EXPECT_FALSE(toolkit.atMessage[0].TabItem2.Enabled) << "closed by the scan";
    EXPECT_EQ(tabOf(form.TabItem2), kOpenReading) << "opened again by the spectral pane";
    EXPECT_EQ(tabOf(form.TabItem3), kOpenBuilding) << "keeps its state";
    EXPECT_EQ(form.memoCGATSLab.Lines.Count(), 0);
    EXPECT_EQ(form.labelLabFileName.Text, "lab_count_without_value.txt");
    EXPECT_EQ(form.LabelLabFileType.Text, "");
    EXPECT_EQ(viewOf(form, 1), afterSpectral.spectral) << "the spectral file's name stays shown";
}

// ---------------------------------------------------------------------------------------------
// An import started inside a pump of a running import runs to its end; the interrupted one goes
// on with its own document and leaves the bar hidden.

TEST(Import, OtherKindImportedInsideLoadPump) {
    FormState form = startedForm();
    WatchingToolkit toolkit(form);
    toolkit.answerOpen(fixture("spectral.txt"));
    toolkit.answerOpen(fixture("lab.txt"));
    toolkit.onNextPump([&] { btnOpenCGATSFileClick(form, toolkit, 2); });

    btnOpenCGATSFileClick(form, toolkit, 1);

    EXPECT_TRUE(toolkit.messages().isEmpty());
    EXPECT_EQ(form.memoInput.Lines.lines(), fixtureLines("spectral.txt"));
    EXPECT_EQ(form.NumberBoxPatches.Text(), "3");
    EXPECT_EQ(form.labelMeasurementFileName.Text, "spectral.txt");
    EXPECT_EQ(form.memoCGATSLab.Lines.lines(), fixtureLines("lab.txt"));
    EXPECT_EQ(form.labelLabFileName.Text, "lab.txt");
    EXPECT_EQ(form.NumberBoxColumnsLab.Text(), "4");
    EXPECT_EQ(tabOf(form.TabItem2), kOpenReading);
    EXPECT_EQ(tabOf(form.TabItem3), kOpenBuilding);
    // Inner: load, two counts, present; then the outer's load pump, two counts and present, with
    // the bar the inner import hid.
    EXPECT_EQ(toolkit.barAtPump, (std::vector<bool>{true, true, true, false, false, false, false, false}));
    EXPECT_FALSE(form.RectangleProgress.Visible);
}

TEST(Import, SameKindFailingInsideScanPumpDoesNotReachOuterDocument) {
    FormState form = startedForm();
    WatchingToolkit toolkit(form);
    toolkit.answerOpen(fixture("spectral.txt"));
    toolkit.answerOpen(fixture("spectral_bad_count.txt"));
    toolkit.onNextPump([] {});                                            // the outer's load pump
    toolkit.onNextPump([&] { btnOpenCGATSFileClick(form, toolkit, 1); }); // its first count

    btnOpenCGATSFileClick(form, toolkit, 1);

    EXPECT_EQ(toolkit.messages(), QStringList{scanFailureText()}) << "the inner import's";
    const KindView expected{fixtureLines("spectral.txt"), "spectral.txt", true, "", 8, 3, 12, "37"};
    EXPECT_EQ(viewOf(form, 1), expected) << "the outer import presents last";
    EXPECT_EQ(tabOf(form.TabItem2), kOpenReading);
    EXPECT_FALSE(form.RectangleProgress.Visible);
}

// ---------------------------------------------------------------------------------------------

TEST(Import, FormatLines) {
    EXPECT_EQ(SpectralFormatLine().size(), 478);
    EXPECT_TRUE(SpectralFormatLine().startsWith("SAMPLE_ID SPECTRAL_380 SPECTRAL_390 "));
    EXPECT_TRUE(SpectralFormatLine().endsWith(" SPECTRAL_720 SPECTRAL_730 "));
    EXPECT_EQ(LabFormatLine(), "SAMPLE_ID LAB_L LAB_A LAB_B ");
}

TEST(Import, FileNameWithoutFolder) {
    const struct {
        const char* path;
        const char* name;
    } rows[] = {
        {"/home/tech/charts/lab.txt", "lab.txt"},
#ifdef Q_OS_WIN
        // After the last "\\" or ":" (a drive), and "/" too.
        {"C:\\Charts\\lab.txt", "lab.txt"},
        {"C:lab.txt", "lab.txt"},
        {"C:\\Charts/run\\lab.txt", "lab.txt"},
        {"\\\\server\\share\\lab.txt", "lab.txt"},
#else
        // ":" and "\\" are ordinary characters of a file name here.
        {"/home/tech/run:1.txt", "run:1.txt"},
        {"/home/tech/a\\b.txt", "a\\b.txt"},
#endif
        {"plain.txt", "plain.txt"},
        {"/charts/", ""},
    };
    for (const auto& r : rows)
        EXPECT_EQ(FileNameWithoutFolder(QString::fromUtf8(r.path)), r.name) << r.path;
}

// The scan turns every error of its own into its failure message; anything else escaping it
// still lets the document be presented and the tabs open before it goes on.
TEST(Import, ErrorEscapingScanGoesOnAfterPresenting) {
    FormState form = startedForm();
    ScriptedToolkit toolkit;
    toolkit.answerOpen(fixture("spectral.txt"));
    toolkit.onNextPump([] {});            // after loading
    toolkit.onNextPump([] { throw 42; }); // at the first count

    EXPECT_THROW(btnOpenCGATSFileClick(form, toolkit, 1), int);

    EXPECT_EQ(form.memoInput.Lines.lines(), fixtureLines("spectral.txt"));
    EXPECT_EQ(form.labelMeasurementFileName.Text, "spectral.txt");
    EXPECT_EQ(tabOf(form.TabItem2), kOpenReading);
    EXPECT_EQ(toolkit.log.back().kind, ScriptedToolkit::Event::Pump) << "the pump after presenting";
    EXPECT_FALSE(form.RectangleProgress.Visible);
    EXPECT_TRUE(toolkit.messages().isEmpty());
}

TEST(Import, ErrorInPumpDuringScanIsScanFailure) {
    FormState form = startedForm();
    ScriptedToolkit toolkit;
    toolkit.answerOpen(fixture("spectral.txt"));
    toolkit.onNextPump([] {});
    toolkit.onNextPump([] { throw Error(QStringLiteral("boom")); });

    btnOpenCGATSFileClick(form, toolkit, 1);

    EXPECT_EQ(toolkit.messages(), QStringList{scanFailureText()});
    EXPECT_EQ(form.memoInput.Lines.Count(), 0);
    EXPECT_EQ(form.NumberBoxPatches.Text(), "3") << "read before the pump failed";
}
