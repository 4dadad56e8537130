#include "FormState.h"

#include <gtest/gtest.h>

namespace {

FormState started() {
    FormState form;
    form.FormCreate();
    return form;
}

} // namespace

TEST(FormState, TabsAfterStartUp) {
    FormState form = started();
    struct Row {
        const TabItem& tab;
        bool enabled;
        quint32 color;
    } rows[] = {
        {form.TabItem1, true, Colors::MidnightBlue}, {form.TabItem2, false, Colors::DimGrey},
        {form.TabItem3, false, Colors::DimGrey},     {form.TabItem4, true, Colors::MidnightBlue},
        {form.TabItem5, false, Colors::DimGrey},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.tab.Text.toStdString());
        EXPECT_EQ(r.tab.Enabled, r.enabled);
        EXPECT_EQ(r.tab.FontColor, r.color);
    }
    EXPECT_EQ(form.ActiveTab, 0);
}

TEST(FormState, PanesAfterStartUp) {
    FormState form = started();
    EXPECT_EQ(form.memoInput.Lines.Count(), 0);
    ASSERT_EQ(form.memoCGATSLab.Lines.Count(), 1);
    EXPECT_EQ(form.memoCGATSLab.Lines.Get(0), QString());
    EXPECT_EQ(form.memoOptimized.Lines.Count(), 0);
    EXPECT_EQ(form.MemoSmoothCGATS.Lines.Count(), 0);
    EXPECT_EQ(form.memoUlvarSpec.Lines.Count(), 0);
}

TEST(FormState, NumberBoxesAfterStartUp) {
    FormState form = started();
    struct Row {
        const char* name;
        const NumberBox& box;
        double max;
        const char* text;
        bool readOnly;
        bool visible;
    } rows[] = {
        {"NumberBoxPatches", form.NumberBoxPatches, 10000, "0", true, true},
        {"NumberBoxColumns", form.NumberBoxColumns, 1000, "0", false, true},
        {"NumberBoxBeginData", form.NumberBoxBeginData, 1e9, "6", false, false},
        {"NumberBoxEndData", form.NumberBoxEndData, 1e9, "6", false, false},
        {"NumberBoxPatchesLab", form.NumberBoxPatchesLab, 10000, "0", true, true},
        {"NumberBoxColumnsLab", form.NumberBoxColumnsLab, 1000, "0", false, true},
        {"NumberBoxBeginDataLab", form.NumberBoxBeginDataLab, 1e9, "6", false, false},
        {"NumberBoxEndDataLab", form.NumberBoxEndDataLab, 1e9, "6", false, false},
        {"NumberBoxPatchesOptimized", form.NumberBoxPatchesOptimized, 10000, "0", true, true},
        {"NumberBoxColumnsOptimized", form.NumberBoxColumnsOptimized, 1000, "0", false, true},
        {"NumberBoxBeginDataOptimized", form.NumberBoxBeginDataOptimized, 10000, "0", true, false},
        {"NumberBoxEndDataOptimized", form.NumberBoxEndDataOptimized, 10000, "0", true, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(r.box.Max, r.max);
        EXPECT_EQ(r.box.Min, 0);
        EXPECT_EQ(r.box.Text(), r.text);
        EXPECT_EQ(r.box.ReadOnly, r.readOnly);
        EXPECT_EQ(r.box.Visible, r.visible);
    }
}

TEST(FormState, LabelsAfterStartUp) {
    FormState form = started();
    EXPECT_FALSE(form.labelMeasurementFileName.Visible);
    EXPECT_FALSE(form.labelLabFileName.Visible);
    EXPECT_FALSE(form.LabelOptimizedFileName.Visible);
    EXPECT_TRUE(form.LabelMeasureFileType.Visible);
    EXPECT_TRUE(form.LabelLabFileType.Visible);
    EXPECT_EQ(form.LabelSmoothCGATS.Text, "SmoothCGATS.txt");
    EXPECT_TRUE(form.LabelSmoothCGATS.ReadOnly);
    EXPECT_EQ(form.labelUlvarSpecFile.Text, "Ulvar Spec File");
    EXPECT_FALSE(form.labelUlvarSpecFile.ReadOnly);
    EXPECT_TRUE(form.cbScrambledSwatch.IsChecked);
    EXPECT_FALSE(form.RectangleProgress.Visible);
    EXPECT_EQ(form.btnOpenSpecMeasurement.Tag, 1);
    EXPECT_EQ(form.btnOpenLabMeasuremdent.Tag, 2);
    EXPECT_EQ(form.btnOpenOptimized.Tag, 3);
}

TEST(NumberBox, BoundsValueAndText) {
    struct Row {
        double max;
        const char* input; // a text, or nullptr to set value
        double value;
        const char* shown;
    } rows[] = {
        {10000, nullptr, 12000, "10000"},
        {1000, "1500", 0, "1000"},
        {1000, "36", 0, "36"},
        {1000, nullptr, -3, "0"},
        {1000, "-3", 0, "0"},
        {1000, nullptr, 2.5, "3"},
        {10000, nullptr, 1617.4, "1617"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.shown);
        NumberBox box(r.max, 0, false, true);
        if (r.input)
            box.SetText(QString::fromLatin1(r.input));
        else
            box.SetValue(r.value);
        EXPECT_EQ(box.Text(), r.shown);
    }
}

TEST(ProgressBar, TimerRunAndFifthTabClick) {
    FormState form = started();
    form.Timer.Enabled = true;
    form.TimerRun(true);
    EXPECT_TRUE(form.RectangleProgress.Visible);
    EXPECT_EQ(form.RectangleProgress.Width, 100);
    EXPECT_TRUE(form.Timer.Enabled); // showing does not touch the timer

    form.RectangleProgress.Width = 57;
    form.TimerRun(false);
    EXPECT_FALSE(form.RectangleProgress.Visible);
    EXPECT_FALSE(form.Timer.Enabled);
    EXPECT_EQ(form.RectangleProgress.Width, 57); // hiding keeps the width

    form.TimerRun(true);
    form.Timer.Enabled = true;
    form.TabItem5Click();
    EXPECT_FALSE(form.RectangleProgress.Visible);
    EXPECT_TRUE(form.Timer.Enabled); // the tab click touches nothing else
    form.TabItem5Click();
    EXPECT_FALSE(form.RectangleProgress.Visible);
}
