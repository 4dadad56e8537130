#include "CgatsScan.h"
#include "IntegerText.h"
#include "Error.h"
#include "LineList.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace {

QStringList exampleLines() {
    return {
        "CGATS.17",                     // 0
        "NUMBER_OF_FIELDS 4",           // 1
        "BEGIN_DATA_FORMAT",            // 2
        "SAMPLE_ID LAB_L LAB_A LAB_B ", // 3
        "END_DATA_FORMAT",              // 4
        "NUMBER_OF_SETS 2",             // 5
        "BEGIN_DATA",                   // 6
        "1 50.1 2.3 -4.5",              // 7
        "2 60.2 1.0 3.3",               // 8
        "END_DATA",                     // 9
    };
}

LineList listOf(const QStringList& lines) {
    LineList list;
    for (const QString& line : lines)
        list.Add(line);
    return list;
}

struct Expected {
    bool ok;
    QString error;
    bool beginDataSet;
    int begin_data;
    int number_of_sets;
    int end_data;
    int number_of_fields;
    int counts; // calls of onCount
};

struct ScanCase {
    const char* name;
    std::function<void(QStringList&)> edit;
    Expected expected;
};

class Scan : public testing::TestWithParam<ScanCase> {};

TEST_P(Scan, GivesMarkersAndCounts) {
    QStringList lines = exampleLines();
    GetParam().edit(lines);
    const LineList list = listOf(lines);
    int counts = 0;
    const CgatsScanResult r = CgatsScan(list, [&] { ++counts; });
    const Expected& e = GetParam().expected;
    EXPECT_EQ(r.ok, e.ok);
    EXPECT_EQ(r.error, e.error);
    EXPECT_EQ(r.beginDataSet, e.beginDataSet);
    if (e.beginDataSet) {
        EXPECT_EQ(r.begin_data, e.begin_data);
    }
    EXPECT_EQ(r.number_of_sets, e.number_of_sets);
    EXPECT_EQ(r.end_data, e.end_data);
    EXPECT_EQ(r.number_of_fields, e.number_of_fields);
    EXPECT_EQ(counts, e.counts);
    EXPECT_EQ(list.lines(), lines); // the scan only reads
}

void replace(QStringList& lines, int index, const QString& line) {
    lines[index] = line;
}

const QString kInputFileError = QStringLiteral("Input File Error");

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    CgatsScan, Scan,
    testing::Values(
        ScanCase{"Example", [](QStringList&) {}, {true, "", true, 6, 2, 9, 4, 2}},
        ScanCase{"SmallLetterMarkers",
                 [](QStringList& l) {
                     replace(l, 6, "begin_data");
                     replace(l, 9, "End_Data");
                 },
                 {true, "", true, 6, 2, 9, 4, 2}},
        // Falls back to BEGIN_DATA_FORMAT, so NUMBER_OF_SETS below it is never seen.
        ScanCase{"BlankAfterBeginData", [](QStringList& l) { replace(l, 6, "BEGIN_DATA "); },
                 {true, "", true, 2, 0, 9, 4, 1}},
        ScanCase{"BlankAfterEndData", [](QStringList& l) { replace(l, 9, "END_DATA "); },
                 {true, "", true, 6, 2, 9, 4, 2}},
        // The backward search stops at END_DATA_FORMAT, the last line holding the keyword.
        ScanCase{"EndDataLineMissing", [](QStringList& l) { l.removeLast(); }, {true, "", true, 6, 2, 4, 4, 2}},
        ScanCase{"NoLineHoldsEndData",
                 [](QStringList& l) {
                     l.removeLast();
                     replace(l, 4, "END_FORMAT");
                 },
                 {false, kInputFileError, false, 0, 0, -1, 0, 0}},
        ScanCase{"EmptyDocument", [](QStringList& l) { l.clear(); }, {false, kInputFileError, false, 0, 0, -1, 0, 0}},
        // A marker on line 0 is never accepted, also not by the fallbacks.
        ScanCase{"EndDataOnlyOnLineZero",
                 [](QStringList& l) {
                     l = QStringList{"END_DATA", "NUMBER_OF_SETS 2", "BEGIN_DATA", "1 2"};
                 },
                 {false, kInputFileError, false, 0, 0, 0, 0, 0}},
        ScanCase{"BeginDataOnlyOnLineZero",
                 [](QStringList& l) {
                     l = QStringList{"BEGIN_DATA", "NUMBER_OF_SETS 2", "1 2", "END_DATA"};
                 },
                 {false, kInputFileError, true, 0, 0, 3, 0, 0}},
        ScanCase{"NoBeginData",
                 [](QStringList& l) {
                     replace(l, 2, "FORMAT");
                     l.removeAt(6);
                 },
                 {false, kInputFileError, true, -1, 0, 8, 0, 0}},
        ScanCase{"NumberOfSetsMissing", [](QStringList& l) { replace(l, 5, "KEYWORD \"x\""); },
                 {true, "", true, 6, 0, 9, 4, 1}},
        ScanCase{"NumberOfSetsWithoutValue", [](QStringList& l) { replace(l, 5, "NUMBER_OF_SETS "); },
                 {false, "List index out of bounds (1)", true, 6, 0, 9, 0, 0}},
        ScanCase{"NumberOfSetsNotAnInteger", [](QStringList& l) { replace(l, 5, "NUMBER_OF_SETS 2.0"); },
                 {false, "'2.0' is not a valid integer value", true, 6, 0, 9, 0, 0}},
        // The count read before the failure is kept.
        ScanCase{"NumberOfFieldsNotAnInteger", [](QStringList& l) { replace(l, 1, "NUMBER_OF_FIELDS \"4\""); },
                 {false, "'\"4\"' is not a valid integer value", true, 6, 2, 9, 0, 1}},
        ScanCase{"HexCount", [](QStringList& l) { replace(l, 5, "\tNUMBER_OF_SETS\t$1A"); },
                 {true, "", true, 6, 26, 9, 4, 2}},
        // Both keywords on one line: each takes that line's second field.
        ScanCase{"BothKeywordsOnOneLine",
                 [](QStringList& l) {
                     replace(l, 5, "NUMBER_OF_SETS 2 NUMBER_OF_FIELDS");
                     replace(l, 1, "COMMENT");
                 },
                 {true, "", true, 6, 2, 9, 2, 2}},
        // A keyword further up overwrites the value found below while a count is still 0.
        ScanCase{"HigherLineOverwrites", [](QStringList& l) { replace(l, 3, "NUMBER_OF_SETS 7"); },
                 {true, "", true, 6, 7, 9, 4, 3}},
        // Once both counts are known the lines above are not looked at.
        ScanCase{"StopsOnceBothCountsKnown",
                 [](QStringList& l) {
                     replace(l, 0, "NUMBER_OF_SETS bad");
                     replace(l, 1, "NUMBER_OF_FIELDS 4");
                 },
                 {true, "", true, 6, 2, 9, 4, 2}},
        // A count of 0 does not stop the search.
        ScanCase{"ZeroCountKeepsSearching",
                 [](QStringList& l) {
                     replace(l, 5, "NUMBER_OF_SETS 0");
                     replace(l, 0, "NUMBER_OF_SETS 5");
                 },
                 {true, "", true, 6, 5, 9, 4, 3}},
        // The keyword tests keep exact letter case.
        ScanCase{"SmallLetterCountKeyword", [](QStringList& l) { replace(l, 5, "number_of_sets 2"); },
                 {true, "", true, 6, 0, 9, 4, 1}}),
    [](const testing::TestParamInfo<ScanCase>& info) { return std::string(info.param.name); });
// clang-format on

TEST(CgatsScan, WorksWithoutACallback) {
    const CgatsScanResult r = CgatsScan(listOf(exampleLines()));
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.number_of_sets, 2);
}

TEST(CgatsScan, ListEmptiedDuringTheEventPumpFailsCleanly) {
    LineList list = listOf(exampleLines());
    const CgatsScanResult r = CgatsScan(list, [&] { list.Clear(); });
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, "List index out of bounds (4)");
    EXPECT_EQ(r.number_of_sets, 2);
}

struct IntCase {
    const char* text;
    std::optional<int> value; // nullopt: the conversion fails
};

TEST(CgatsScan, StrToIntTakesWholeSigned32BitIntegers) {
    const IntCase cases[] = {
        {"0", 0},
        {"24", 24},
        {"007", 7},
        {"+5", 5},
        {"-5", -5},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"00000000002147483647", 2147483647},
        {"$10", 16},
        {"$ff", 255},
        {"x1f", 31},
        {"X1F", 31},
        {"0x10", 16},
        {"0X7fffffff", 2147483647},
        {"-0x10", -16},
        {"+$A", 10},
        {"-$80000000", -2147483647 - 1},
        {"", std::nullopt},
        {"+", std::nullopt},
        {"-", std::nullopt},
        {"$", std::nullopt},
        {"x", std::nullopt},
        {"0x", std::nullopt},
        {"-0x", std::nullopt},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"$80000000", std::nullopt},
        {"$FFFFFFFF", std::nullopt}, // no wrap to -1
        {"1.5", std::nullopt},
        {"1e3", std::nullopt},
        {"12a", std::nullopt},
        {"ff", std::nullopt},
        {"0x1g", std::nullopt},
        {"$-5", std::nullopt},
        {"0xx1", std::nullopt},
        {"--5", std::nullopt},
        {"5-", std::nullopt},
        {" 5", std::nullopt},
        {"5 ", std::nullopt},
        {"\"4\"", std::nullopt},
    };
    for (const IntCase& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        if (c.value) {
            EXPECT_EQ(StrToInt(text), *c.value) << c.text;
            continue;
        }
        try {
            const int v = StrToInt(text);
            ADD_FAILURE() << c.text << " gave " << v;
        } catch (const Error& e) {
            EXPECT_EQ(e.message(), QStringLiteral("'%1' is not a valid integer value").arg(text));
        }
    }
}

TEST(CgatsScan, StrToIntRejectsDigitsOutsideAscii) {
    for (const QString& text :
         {QStringLiteral(u"\u0663"), QStringLiteral(u"\uFF11"), QStringLiteral(u"1\u00B2")})
        EXPECT_THROW(StrToInt(text), Error) << text.toStdString();
}

} // namespace

// What lumetra-cli tells beside the window's message: the line at fault and why, for a person.
TEST(CgatsScan, FailureNamesTheLineAndTheReason) {
    const struct {
        const char* name;
        std::function<void(QStringList&)> edit;
        int errorLine;
        const char* reason;
    } cases[] = {
        {"bad count", [](QStringList& l) { replace(l, 5, "NUMBER_OF_SETS 12a"); }, 5,
         "NUMBER_OF_SETS value \"12a\" is not a valid integer"},
        {"count without value", [](QStringList& l) { replace(l, 1, "NUMBER_OF_FIELDS"); }, 1,
         "NUMBER_OF_FIELDS has no value"},
        {"no end marker",
         [](QStringList& l) {
             l.removeAt(9);
             l[4] = "END_FORMAT";
         },
         -1, "no END_DATA line"},
        {"end marker on the first line only",
         [](QStringList& l) {
             l[9] = "END";
             l[4] = "END_FORMAT";
             l[0] = "END_DATA";
         },
         0, "END_DATA stands only on the first line, where no marker counts"},
        {"no begin marker",
         [](QStringList& l) {
             l.removeAt(6);
             l.removeAt(2);
         },
         -1, "no BEGIN_DATA line below the first line"},
        {"empty", [](QStringList& l) { l.clear(); }, -1, "the file is empty"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QStringList lines = exampleLines();
        c.edit(lines);
        const CgatsScanResult r = CgatsScan(listOf(lines));
        EXPECT_FALSE(r.ok);
        EXPECT_EQ(r.errorLine, c.errorLine);
        EXPECT_EQ(r.reason, QString::fromUtf8(c.reason));
    }
    const CgatsScanResult fine = CgatsScan(listOf(exampleLines()));
    EXPECT_EQ(fine.errorLine, -1);
    EXPECT_EQ(fine.reason, QString());
}
