#include "Swatch.h"
#include "BuildTestSupport.h"
#include "Error.h"
#include "FormState.h"

#include <gtest/gtest.h>

namespace {

TEST(SwatchChartName, ChoosesTheChartAtEveryBoundary) {
    const struct {
        int patches;
        const char* chart;
    } cases[] = {
        {-5, "Extreme"},    {0, "Extreme"},     {1, "Quick"},       {993, "Quick"},    {994, "Standard"},
        {1617, "Standard"}, {1985, "Standard"}, {1986, "Extreme"},  {2065, "Extreme"}, {2066, "ExtremeL"},
        {2382, "ExtremeL"}, {2383, "Ultra"},    {2384, "Ultra"},    {2462, "Ultra"},   {2463, "UltraL"},
        {2800, "UltraL"},   {2801, "Extreme"},  {10000, "Extreme"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SwatchChartName(c.patches), QString::fromLatin1(c.chart)) << c.patches;
}

TEST(SwatchFilePath, AppendsUForTheUnscrambledSwatch) {
    FormState form;
    form.NumberBoxPatches.SetValue(1617);
    form.cbScrambledSwatch.IsChecked = true;
    EXPECT_EQ(SwatchFilePath(form), "./CMYK/Standard.IccSwa");
    form.cbScrambledSwatch.IsChecked = false;
    EXPECT_EQ(SwatchFilePath(form), "./CMYK/StandardU.IccSwa");
}

TEST(SwatchFileLoad, ReadsTheVariantBelowTheCurrentDirectory) {
    ScratchCurrentDir cwd;
    cwd.copyTestSwatches();
    FormState form;
    form.NumberBoxPatches.SetValue(3);
    LineList lines;

    form.cbScrambledSwatch.IsChecked = true;
    SwatchFileLoad(form, lines);
    EXPECT_EQ(lines.Count(), 7);
    EXPECT_EQ(lines.Get(0), "Lumetra test swatch \"Quick\"");

    form.cbScrambledSwatch.IsChecked = false;
    SwatchFileLoad(form, lines);
    EXPECT_EQ(lines.Get(0), "Lumetra test swatch \"QuickU\"");
}

TEST(SwatchFileLoad, MissingFileNamesItsFullPathAndKeepsTheList) {
    ScratchCurrentDir cwd;
    FormState form;
    form.NumberBoxPatches.SetValue(1617);
    form.cbScrambledSwatch.IsChecked = false;
    LineList lines = Lines({"kept"});
    try {
        SwatchFileLoad(form, lines);
        FAIL() << "no error";
    } catch (const Error& e) {
        const QString full = QDir::currentPath() + "/CMYK/StandardU.IccSwa";
        EXPECT_EQ(e.message(), "Cannot open file \"" + ShownPath(full) + "\". " + OpenFailureReason(full));
    }
    EXPECT_EQ(lines.lines(), QStringList{"kept"});
}

struct ExtractCase {
    const char* name;
    QStringList file;
    QStringList patches;
};

class SwatchPatchesExtractTest : public ::testing::TestWithParam<ExtractCase> {};

TEST_P(SwatchPatchesExtractTest, KeepsTheCutLinesBetweenTheMarkers) {
    LineList lines = Lines(GetParam().file);
    SwatchPatchesExtract(lines);
    EXPECT_EQ(lines.lines(), GetParam().patches);
}

INSTANTIATE_TEST_SUITE_P(
    Markers, SwatchPatchesExtractTest,
    ::testing::Values(
        ExtractCase{"Block",
                    {"Swatch {", "   Patches {", "    [128 51 230 0],", "    [0 0 0 255],", "   }", "}"},
                    {"128 51 230 0", "0 0 0 255"}},
        ExtractCase{"UpperCaseMarker", {"   PATCHES {", "    [1 2 3 4],", "   }"}, {"1 2 3 4"}},
        // Without its exact opening marker every line above the closing one is a patch line.
        ExtractCase{"OpeningWithoutIndent", {"Patches {", "    [1 2 3 4],", "   }"}, {"es", "1 2 3 4"}},
        ExtractCase{
            "OpeningWithTrailingBlank", {"   Patches { ", "    [1 2 3 4],", "   }"}, {"tches ", "1 2 3 4"}},
        ExtractCase{"NoClosingMarker", {"   Patches {", "    [1 2 3 4],"}, {}},
        ExtractCase{"ClosingMarkerBeforeOpening", {"   }", "   Patches {", "    [1 2 3 4],", "   }"}, {}},
        ExtractCase{"AdjacentMarkers", {"   Patches {", "   }"}, {}},
        ExtractCase{"ShortLinesKeepTheirPlace",
                    {"   Patches {", "", "1234567", "12345678", "    [1 2 3 4],", "   }"},
                    {"", "", "6", "1 2 3 4"}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
