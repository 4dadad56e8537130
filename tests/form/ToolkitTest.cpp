#include "Error.h"
#include "ScriptedToolkit.h"
#include "Toolkit.h"

#include <gtest/gtest.h>

#include <stdexcept>

TEST(Toolkit, ErrorDisplayAddsFullStopOnlyAfterHigherCharacters) {
    struct Row {
        const char* message;
        const char* shown;
    } rows[] = {
        {"x", "x."}, {"x.", "x."}, {"(x)", "(x)"}, {"", ""}, {"x!", "x!"}, {"x ", "x "}, {"x\"", "x\""},
        {"line 5", "line 5."}, {"a/", "a/."},
    };
    for (const Row& r : rows)
        EXPECT_EQ(ErrorDisplayText(QString::fromLatin1(r.message)), QString::fromLatin1(r.shown)) << r.message;
}

TEST(Toolkit, ApplicationTitleFromProgramFile) {
    struct Row {
        const char* path;
        const char* title;
    } rows[] = {
        {"C:\\Tools\\DATA_TOOL.EXE", "Data_tool"},
        {"/usr/bin/lumetra", "lumetra"},
        {"/opt/x/Lumetra.bin.old", "Lumetra"},
        {"LUMETRA", "Lumetra"},
        {"", ""},
    };
    for (const Row& r : rows)
        EXPECT_EQ(ApplicationTitle(QString::fromLatin1(r.path)), QString::fromLatin1(r.title)) << r.path;
}

TEST(Toolkit, FilterParsesIntoPairs) {
    const QList<FilterEntry> entries = ParseFilter(QStringLiteral("CIE|*.cie;*.txt|txt|*.txt|*|*"));
    ASSERT_EQ(entries.size(), 3);
    EXPECT_EQ(entries[0].label, "CIE");
    EXPECT_EQ(entries[0].masks, QStringList({"*.cie", "*.txt"}));
    EXPECT_EQ(entries[1].label, "txt");
    EXPECT_EQ(entries[1].masks, QStringList({"*.txt"}));
    EXPECT_EQ(entries[2].label, "*");
    EXPECT_EQ(entries[2].masks, QStringList({"*"}));
}

TEST(Toolkit, GuardShowsWhateverEscapesAHandler) {
    struct Row {
        const char* name;
        std::function<void()> handler;
        QStringList errors;
    } rows[] = {
        {"none", [] {}, {}},
        {"Error", [] { throw Error(QStringLiteral("Input File Error")); }, {"Input File Error."}},
        {"std", [] { throw std::runtime_error("boom"); }, {"boom."}},
        {"int", [] { throw 42; }, {"Unexpected error."}},
        {"empty", [] { throw Error(QString()); }, {""}},
    };
    for (const Row& r : rows) {
        ScriptedToolkit toolkit;
        RunGuarded(toolkit, r.handler);
        EXPECT_EQ(toolkit.errors(), r.errors) << r.name;
        // The program goes on: the next handler runs normally.
        bool ran = false;
        RunGuarded(toolkit, [&] { ran = true; });
        EXPECT_TRUE(ran);
    }
}
