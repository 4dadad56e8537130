// The header scan as the window runs it: the variables it leaves, the pumps, and the resets of a
// failed scan in their order.

#include "ImportTestSupport.h"

namespace {

LineList listOf(const QStringList& lines) {
    LineList list;
    list.setLines(lines);
    return list;
}

constexpr int kUnset = 4242;

} // namespace

TEST(CGATSFileProcess, SuccessfulScanFillsVariablesPumpsPerCountAndHidesBar) {
    FormState form = startedForm();
    form.TimerRun(true);
    form.Timer.Enabled = true;
    const WindowView before = windowOf(form);
    ScriptedToolkit toolkit;
    LineList input = listOf(fixtureLines("spectral.txt"));
    int begin = kUnset, sets = kUnset, end = kUnset, fields = kUnset;

    CGATSFileProcess(form, toolkit, 1, input, begin, sets, end, fields);

    EXPECT_EQ(begin, 8);
    EXPECT_EQ(sets, 3);
    EXPECT_EQ(end, 12);
    EXPECT_EQ(fields, 37);
    EXPECT_EQ(toolkit.count(ScriptedToolkit::Event::Pump), 2);
    EXPECT_TRUE(toolkit.messages().isEmpty());
    EXPECT_EQ(input.lines(), fixtureLines("spectral.txt"));
    EXPECT_FALSE(form.RectangleProgress.Visible);
    EXPECT_FALSE(form.Timer.Enabled);
    // Nothing but the bar and the timer moved.
    WindowView expected = before;
    expected.barVisible = false;
    expected.timerEnabled = false;
    EXPECT_EQ(windowOf(form), expected);
}

// The resets run in a fixed order around the message box; only a spectral file's failure blanks
// the spectral name label, while TabItem2 closes whatever the kind.
class FailedScan : public testing::TestWithParam<int> {};

TEST_P(FailedScan, ResetsInOrderAndKeepsWhatWasRead) {
    const int tag = GetParam();
    FormState form = startedForm();
    form.labelMeasurementFileName.Text = QStringLiteral("spectral.txt");
    form.labelMeasurementFileName.Visible = true;
    form.TabItem2.Enabled = true;
    form.TabItem2.FontColor = Colors::MidnightBlue;
    form.TimerRun(true);
    WatchingToolkit toolkit(form);
    LineList input = listOf(fixtureLines("spectral_bad_count.txt"));
    int linesAtMessage = -1;
    toolkit.beforeMessage = [&] { linesAtMessage = input.Count(); };
    int begin = kUnset, sets = kUnset, end = kUnset, fields = kUnset;

    CGATSFileProcess(form, toolkit, tag, input, begin, sets, end, fields);

    EXPECT_EQ(toolkit.messages(), QStringList{scanFailureText()});
    ASSERT_EQ(toolkit.atMessage.size(), 1u);
    const FormState& shown = toolkit.atMessage.front();
    EXPECT_EQ(linesAtMessage, 0) << "the document is emptied before the message";
    EXPECT_FALSE(shown.TabItem2.Enabled) << "TabItem2 is closed before the message";
    EXPECT_EQ(shown.labelMeasurementFileName.Text, "spectral.txt") << "the label is reset after the message";
    EXPECT_TRUE(shown.RectangleProgress.Visible) << "the message comes up with the bar showing";
    EXPECT_EQ(shown.RectangleProgress.Width, 100);

    EXPECT_EQ(input.Count(), 0);
    EXPECT_FALSE(form.TabItem2.Enabled);
    EXPECT_EQ(form.TabItem2.FontColor, Colors::MidnightBlue);
    EXPECT_EQ(form.labelMeasurementFileName.Text, tag == 1 ? QString() : QStringLiteral("spectral.txt"));
    EXPECT_TRUE(form.labelMeasurementFileName.Visible);
    EXPECT_FALSE(form.RectangleProgress.Visible);
    EXPECT_FALSE(form.Timer.Enabled);
    // The start and end markers were found; the count line failed before any count was read.
    EXPECT_EQ(begin, 8);
    EXPECT_EQ(end, 12);
    EXPECT_EQ(sets, 0);
    EXPECT_EQ(fields, 0);
}

INSTANTIATE_TEST_SUITE_P(
    EachKind, FailedScan, testing::Values(1, 2, 3), [](const testing::TestParamInfo<int>& info) {
        return std::string(info.param == 1 ? "Spectral" : info.param == 2 ? "Lab" : "Optimized");
    });

// begin_data is the caller's own until the scan looks for the start marker; a failed look leaves
// the whole-line search's answer there.
TEST(CGATSFileProcess, BeginIsWrittenOnlyOnceLookedFor) {
    const struct {
        const char* name;
        QStringList lines;
        int begin;
    } rows[] = {
        {"empty document", {}, kUnset},
        {"no start marker", {QStringLiteral("CGATS.17"), QStringLiteral("END_DATA")}, -1},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        FormState form = startedForm();
        ScriptedToolkit toolkit;
        LineList input = listOf(r.lines);
        int begin = kUnset, sets = kUnset, end = kUnset, fields = kUnset;
        CGATSFileProcess(form, toolkit, 1, input, begin, sets, end, fields);
        EXPECT_EQ(begin, r.begin);
        EXPECT_EQ(sets, 0);
        EXPECT_EQ(fields, 0);
        EXPECT_EQ(toolkit.messages(), QStringList{scanFailureText()});
    }
}

TEST(CGATSFileProcess, CountReadBeforeFailureIsKept) {
    FormState form = startedForm();
    ScriptedToolkit toolkit;
    LineList input =
        listOf({"CGATS.17", "NUMBER_OF_SETS x", "NUMBER_OF_FIELDS 4", "BEGIN_DATA", "1 2 3 4", "END_DATA"});
    int begin = kUnset, sets = kUnset, end = kUnset, fields = kUnset;

    CGATSFileProcess(form, toolkit, 2, input, begin, sets, end, fields);

    EXPECT_EQ(fields, 4);
    EXPECT_EQ(sets, 0);
    EXPECT_EQ(begin, 3);
    EXPECT_EQ(end, 5);
    EXPECT_EQ(toolkit.count(ScriptedToolkit::Event::Pump), 1);
    EXPECT_EQ(toolkit.messages(), QStringList{scanFailureText()});
    EXPECT_EQ(input.Count(), 0);
}
