#include "MeasurementKind.h"

#include <gtest/gtest.h>

#include <set>

// Each open button's Tag is the number of its kind, and each kind's controls are its own: a row
// of the table pointing at another tab's box would show one file's counts under another.
TEST(MeasurementKind, EachOpenButtonsTagNamesItsKind) {
    FormState form;
    for (const MeasurementKindInfo& info : MeasurementKinds()) {
        SCOPED_TRACE(info.cliName);
        EXPECT_EQ(MeasurementKindOfTag(info.open.of(form).Tag), info.kind);
        EXPECT_EQ(&MeasurementKindOf(info.kind), &info);
    }
    for (int tag : {0, 4, -1})
        EXPECT_EQ(MeasurementKindOfTag(tag), std::nullopt) << tag;
}

TEST(MeasurementKind, NoTwoKindsShareAControl) {
    FormState form;
    std::set<const void*> controls;
    std::set<std::string> names;
    std::size_t count = 0;
    for (const MeasurementKindInfo& k : MeasurementKinds()) {
        const std::pair<const void*, const char*> all[] = {
            {&k.tab.of(form), k.tab.name},           {&k.pane.of(form), k.pane.name},
            {&k.open.of(form), k.open.name},         {&k.fileName.of(form), k.fileName.name},
            {&k.fileType.of(form), k.fileType.name}, {&k.patchesCaption.of(form), k.patchesCaption.name},
            {&k.patches.of(form), k.patches.name},   {&k.columnsCaption.of(form), k.columnsCaption.name},
            {&k.columns.of(form), k.columns.name},   {&k.begin.of(form), k.begin.name},
            {&k.end.of(form), k.end.name},
        };
        for (const auto& [control, name] : all) {
            controls.insert(control);
            names.insert(name);
            ++count;
        }
        // A kind has a format line exactly when it has a message for its absence.
        EXPECT_EQ(k.formatLine == nullptr, k.formatMessage == nullptr) << k.cliName;
    }
    EXPECT_EQ(controls.size(), count);
    EXPECT_EQ(names.size(), count);
}
