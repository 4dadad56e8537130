// A swatch or optimized file that makes every row fail must not bury the user under boxes: the
// first three failing rows show theirs, the rest are summed up in one box before the save dialog,
// and the saved file is the one a build showing every box writes.

#include "RowFailureBoxes.h"
#include "Build.h"
#include "BuildClock.h"
#include "BuildTestSupport.h"
#include "FormState.h"
#include "ScriptedToolkit.h"
#include "SmoothingBuilder.h"
#include "SpecBuilder.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using Kind = ScriptedToolkit::Event::Kind;

// Measurement panes with BEGIN_DATA at 7 and the given number of data rows.
QStringList measurementPane(const QString& formatLine, int rows, const QString& values) {
    QStringList lines = {"CGATS.17",          "NUMBER_OF_FIELDS 4",
                         "BEGIN_DATA_FORMAT", formatLine,
                         "END_DATA_FORMAT",   QStringLiteral("NUMBER_OF_SETS %1").arg(rows),
                         "KEYWORD \"pad\"",   "BEGIN_DATA"};
    for (int i = 1; i <= rows; ++i)
        lines << QStringLiteral("%1 %2").arg(i).arg(values);
    lines << "END_DATA";
    return lines;
}

// Every row after the first fails: on the smoothing side the second patch line has three fields
// (each later row tries it again), on the spec side the rows after the first are empty.
struct Road {
    const char* name;
    int boxesPerRow;
    std::function<void(FormState&, const ScratchCurrentDir&, int failing)> arrange;
    std::function<void(FormState&, Toolkit&, const BuildClock&)> build;
    // The summary's first and last row: the numbers the road knows its rows by.
    std::function<std::pair<int, int>(int failing)> heldBackRows;
};

const Road kRoads[] = {
    {"smoothing", 1,
     [](FormState& form, const ScratchCurrentDir& cwd, int failing) {
         const int rows = failing + 1;
         form.NumberBoxPatches.SetValue(rows);
         form.NumberBoxPatchesLab.SetValue(rows);
         form.memoCGATSLab.Lines =
             Lines(measurementPane("SAMPLE_ID LAB_L LAB_A LAB_B ", rows, "50.00 1.00 -1.00 "));
         form.memoInput.Lines = Lines(measurementPane("SAMPLE_ID SPECTRAL_380", rows, "0.1234"));
         QDir().mkpath(cwd.filePath("CMYK"));
         const QByteArray swatch =
             "swatch\r\n   Patches {\r\n    [128 51 230 0],\r\n    [1 2 3],\r\n   }\r\n";
         for (const char* chart : {"Quick", "Standard"})
             ASSERT_TRUE(WriteBytes(cwd.filePath(QStringLiteral("CMYK/%1.IccSwa").arg(chart)), swatch));
     },
     [](FormState& form, Toolkit& toolkit, const BuildClock& clock) {
         btnWriteSmoothingClick(form, toolkit, clock);
     },
     // Rows 2, 3 and 4 show their boxes.
     [](int failing) {
         return std::pair{5, failing + 1};
     }},
    {"spec", 2,
     [](FormState& form, const ScratchCurrentDir&, int failing) {
         QStringList lines = {"CGATS.17",        "BEGIN_DATA_FORMAT", "SAMPLE_ID SPECTRAL_380 SPECTRAL_390",
                              "END_DATA_FORMAT", "BEGIN_DATA",        "A1 0.1 0.2"};
         for (int i = 0; i < failing; ++i)
             lines << QString();
         lines << "END_DATA";
         while (lines.size() <= 100)
             lines << QString();
         form.memoOptimized.Lines = Lines(lines);
     },
     [](FormState& form, Toolkit& toolkit, const BuildClock& clock) {
         btnWriteUlvarClick(form, toolkit, clock);
     },
     // The rows are line indices 5 on; lines 6, 7 and 8 show their boxes.
     [](int failing) {
         return std::pair{9, 5 + failing};
     }},
};

struct Outcome {
    QStringList messages;
    QByteArray saved;
    std::vector<Kind> kinds;
};

Outcome run(const Road& road, int failing, bool sumsUp) {
    ScratchCurrentDir cwd;
    FormState form;
    form.FormCreate();
    road.arrange(form, cwd, failing);
    ScriptedToolkit toolkit;
    toolkit.sumsUpRepeatedMessages = sumsUp;
    const QString path = cwd.filePath("saved.txt");
    toolkit.answerSave(path);
    road.build(form, toolkit, FixedClock(SampleTime()));
    EXPECT_TRUE(toolkit.errors().isEmpty());
    Outcome out{toolkit.messages(), ReadBytes(path), {}};
    for (const auto& e : toolkit.log)
        if (e.kind == Kind::Message || e.kind == Kind::Save)
            out.kinds.push_back(e.kind);
    return out;
}

TEST(RowFailureBoxes, FirstThreeFailingRowsShowTheirBoxesAndTheRestAreSummedUp) {
    for (const Road& road : kRoads) {
        for (const int failing : {3, 4, 1617}) {
            SCOPED_TRACE(QStringLiteral("%1, %2 failing rows").arg(road.name).arg(failing).toStdString());
            // What every box shown gives: the boxes and the file of a build that holds nothing back.
            const Outcome everyBox = run(road, failing, false);
            ASSERT_EQ(everyBox.messages.size(), failing * road.boxesPerRow);
            const Outcome now = run(road, failing, true);

            EXPECT_EQ(now.saved, everyBox.saved);
            EXPECT_FALSE(now.saved.isEmpty());
            QStringList expected = everyBox.messages.mid(0, RowFailureBoxes::kShown * road.boxesPerRow);
            if (failing > RowFailureBoxes::kShown) {
                const auto [first, last] = road.heldBackRows(failing);
                expected << RowFailureBoxes::SummaryText(failing - RowFailureBoxes::kShown, first, last);
            }
            EXPECT_EQ(now.messages, expected);
            // Every box, the summary included, comes before the save dialog.
            std::vector<Kind> kinds(expected.size(), Kind::Message);
            kinds.push_back(Kind::Save);
            EXPECT_EQ(now.kinds, kinds);
        }
    }
}

TEST(RowFailureBoxes, BoxTextsAsTheBuildersShowThem) {
    const Outcome smoothing = run(kRoads[0], 1617, true);
    EXPECT_EQ(smoothing.messages, (QStringList{"i_row: 1 cgats_cmyk.count: 2", "i_row: 1 cgats_cmyk.count: 2",
                                               "i_row: 1 cgats_cmyk.count: 2",
                                               "1614 more rows failed (rows 5 to 1618) and are left out."}));
    const Outcome spec = run(kRoads[1], 4, true);
    EXPECT_EQ(spec.messages, (QStringList{"i_row:6", "0.1\t0.2", "i_row:7", "0.1\t0.2", "i_row:8", "0.1\t0.2",
                                          "1 more row failed (row 9) and is left out."}));
}

TEST(RowFailureBoxes, EachBuildCountsAnew) {
    ScriptedToolkit toolkit;
    for (int build = 0; build < 2; ++build) {
        RowFailureBoxes failures(toolkit);
        for (int row = 1; row <= 5; ++row)
            failures.failed(row, {QStringLiteral("row %1").arg(row)});
        failures.finish();
        failures.finish(); // the summary is shown once
    }
    const QStringList oneBuild = {"row 1", "row 2", "row 3",
                                  "2 more rows failed (rows 4 to 5) and are left out."};
    EXPECT_EQ(toolkit.messages(), oneBuild + oneBuild);
}

} // namespace
