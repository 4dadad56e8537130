#include "LineTokenize.h"
#include "LineList.h"

#include <gtest/gtest.h>

namespace {

struct TokenizeCase {
    const char* name;
    QString line;
    QStringList fields;
};

class Tokenize : public testing::TestWithParam<TokenizeCase> {};

TEST_P(Tokenize, SplitsIntoTrimmedFields) {
    LineList fields;
    fields.Add("from an earlier call");
    LineTokenize(GetParam().line, fields);
    EXPECT_EQ(fields.lines(), GetParam().fields);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    LineTokenize, Tokenize,
    testing::Values(
        TokenizeCase{"KeywordAndValue", "NUMBER_OF_SETS 24", {"NUMBER_OF_SETS", "24"}},
        TokenizeCase{"BlanksAndTabs", " \tSAMPLE_ID\tLAB_L  LAB_A ", {"SAMPLE_ID", "LAB_L", "LAB_A"}},
        TokenizeCase{"SingleWord", "END_DATA", {"END_DATA"}},
        TokenizeCase{"LastWordWhole", "1 0.0512", {"1", "0.0512"}},
        TokenizeCase{"ControlRunGivesEmptyField", QStringLiteral(u"A \u0001 B"), {"A", "", "B"}},
        TokenizeCase{"ControlInsideRunStays", QStringLiteral(u"A\u0001B"), {QStringLiteral(u"A\u0001B")}},
        TokenizeCase{"ControlAtRunEndsTrimmed", QStringLiteral(u"A\u0001 \u0002B\r"), {"A", "B"}},
        TokenizeCase{"QuotesHaveNoMeaning", "DESCRIPTOR \"two words\"", {"DESCRIPTOR", "\"two", "words\""}},
        TokenizeCase{"CommaAndSemicolonAreText", "a,b;c d", {"a,b;c", "d"}},
        // Only blank and tab separate; a no-break space is part of a field.
        TokenizeCase{"NoBreakSpaceIsText", QStringLiteral(u"a\u00A0b"), {QStringLiteral(u"a\u00A0b")}}),
    [](const testing::TestParamInfo<TokenizeCase>& info) { return std::string(info.param.name); });
// clang-format on

TEST(LineTokenize, BlankLineLeavesTheFieldsAsTheyWere) {
    for (const QString& line : {QString(), QStringLiteral("   "), QStringLiteral(u"\t \u0001\r\n\u0000")}) {
        LineList fields;
        fields.Add("kept");
        fields.Add("too");
        LineTokenize(line, fields);
        EXPECT_EQ(fields.lines(), QStringList({"kept", "too"}));
    }
}

TEST(LineTokenize, LineTakenFromTheFieldListItself) {
    LineList fields;
    fields.Add("NUMBER_OF_FIELDS 37");
    LineTokenize(fields.Get(0), fields);
    EXPECT_EQ(fields.lines(), QStringList({"NUMBER_OF_FIELDS", "37"}));
}

TEST(LineTokenize, TrimControlRemovesEverythingUpToBlank) {
    EXPECT_EQ(TrimControl(QStringLiteral(u"\u0000\t a b \u001F\r\n")), "a b");
    EXPECT_EQ(TrimControl(QStringLiteral(u"\u00A0a\u00A0")), QStringLiteral(u"\u00A0a\u00A0"));
    EXPECT_EQ(TrimControl(QStringLiteral(" \t ")), "");
}

} // namespace
