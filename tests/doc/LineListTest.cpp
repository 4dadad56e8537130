#include "LineList.h"
#include "Error.h"
#include "TestFiles.h"
#include "WindowsApi.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QStringDecoder>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>
#include <string_view>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

using namespace std::string_view_literals;

namespace {

const char kUtf8Failure[] = "No mapping for the Unicode character exists in the target multi-byte code page";

QString dataFile(const char* name) {
    return QStringLiteral(LUMETRA_TEST_DATA "/doc/") + QLatin1String(name);
}

QByteArray bytes(std::initializer_list<int> list) {
    QByteArray b;
    for (int c : list)
        b.append(static_cast<char>(c));
    return b;
}

// Runs fn and gives the text of the Error it throws ("" when it throws none).
template <typename Fn> QString errorOf(Fn fn) {
    try {
        fn();
    } catch (const Error& e) {
        return e.message();
    }
    return QString();
}

LineList listOf(const QStringList& lines) {
    LineList list;
    for (const QString& line : lines)
        list.Add(line);
    return list;
}

struct CutCase {
    const char* name;
    QByteArray input;
    QStringList lines;
};

class LineCutting : public testing::TestWithParam<CutCase> {};

TEST_P(LineCutting, GivesTheExpectedLines) {
    LineList list;
    list.Add(QStringLiteral("old"));
    list.LoadFromBytes(GetParam().input);
    EXPECT_EQ(list.lines(), GetParam().lines);
}

// Files are read in chunks: wherever a chunk ends (inside a mark, between CR and LF, inside a
// UTF-8 sequence or a UTF-16 unit), the lines are the same.
TEST_P(LineCutting, GivesTheSameLinesWhateverTheChunkSize) {
    for (qsizetype chunk : {1, 2, 3, 5, 7}) {
        QByteArray data = GetParam().input;
        QBuffer buffer(&data);
        ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
        LineList list;
        list.LoadFromStream(buffer, chunk);
        EXPECT_EQ(list.lines(), GetParam().lines) << "chunk " << chunk;
    }
}

QByteArray le(std::u16string_view text) {
    QByteArray b = bytes({0xFF, 0xFE});
    for (char16_t c : text)
        b += bytes({c & 0xFF, c >> 8});
    return b;
}

QByteArray be(std::u16string_view text) {
    QByteArray b = bytes({0xFE, 0xFF});
    for (char16_t c : text)
        b += bytes({c >> 8, c & 0xFF});
    return b;
}

// Embedded NULs need the explicit length.
#define RAW(s) QByteArray(s, sizeof(s) - 1)

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    LineList, LineCutting,
    testing::Values(
        CutCase{"EmptyFile", QByteArray(), {}},
        CutCase{"Utf8MarkOnly", bytes({0xEF, 0xBB, 0xBF}), {}},
        CutCase{"Utf16LEMarkOnly", bytes({0xFF, 0xFE}), {}},
        CutCase{"Utf16BEMarkOnly", bytes({0xFE, 0xFF}), {}},
        CutCase{"CrLfWithoutFinalBreak", RAW("A\r\nB"), {"A", "B"}},
        CutCase{"CrLfWithFinalBreak", RAW("A\r\nB\r\n"), {"A", "B"}},
        CutCase{"EmptyLineBeforeFinalBreak", RAW("A\r\n\r\n"), {"A", ""}},
        CutCase{"LfCrIsTwoBreaks", RAW("A\n\rB"), {"A", "", "B"}},
        CutCase{"CrCrLfIsTwoBreaks", RAW("A\r\r\nB"), {"A", "", "B"}},
        CutCase{"LoneCrAndLoneLf", RAW("A\rB\nC"), {"A", "B", "C"}},
        CutCase{"OnlyBreaks", RAW("\n\n\r\n"), {"", "", ""}},
        CutCase{"NulEndsTheDocument", RAW("A\0B\r\nC"), {"A"}},
        CutCase{"NulAtLineStartAddsNoLine", RAW("A\r\n\0B"), {"A"}},
        CutCase{"NulFirst", RAW("\0A\r\nB"), {}},
        // Breaks and a NUL well inside a line, past the first eight bytes.
        CutCase{"BreaksInsideLongLines", RAW("0123456789abcdefghij\r\n0123456789\r0123456789abcdef\n\n"),
                {"0123456789abcdefghij", "0123456789", "0123456789abcdef", ""}},
        CutCase{"NulInsideALongLine", RAW("0123456789abcdefghij\0x\r\ny"), {"0123456789abcdefghij"}},
        CutCase{"Utf16NulInsideALongLine", le(u"0123456789ab\r\n0123456789\0x"sv), {"0123456789ab", "0123456789"}},
        CutCase{"Utf16BEUnitsHoldingBreakBytes", be(u"0123456\u0D0A\u0A0D\u0A00\u000D\u0A0A89\n"),
                {QStringLiteral(u"0123456\u0D0A\u0A0D\u0A00"), QStringLiteral(u"\u0A0A89")}},
        CutCase{"Utf16LE", le(u"A\r\nB\r\n\r\nC"), {"A", "B", "", "C"}},
        CutCase{"Utf16BE", be(u"A\n\rB"), {"A", "", "B"}},
        CutCase{"Utf16NulEndsTheDocument", le(u"A\r\nB\0C"sv), {"A", "B"}},
        // The bytes 0A 0D form one code unit here, not two breaks.
        CutCase{"Utf16UnitHoldingBreakBytes", le(u"\u0D0AA"), {QStringLiteral(u"\u0D0AA")}},
        CutCase{"Utf16OddTrailingByteDropped", bytes({0xFF, 0xFE, 'A', 0, '\r', 0, '\n', 0, 'B'}), {"A"}},
        CutCase{"Utf16UnpairedSurrogateKept", le(u"\xD800" u"A"), {QString(QChar(0xD800)) + u'A'}},
        CutCase{"Utf8", bytes({0xEF, 0xBB, 0xBF, 0xC3, 0xA9, '\r', '\n', 0xE2, 0x82, 0xAC}),
                {QStringLiteral(u"é"), QStringLiteral(u"€")}},
        CutCase{"Utf8OutsideBmp", bytes({0xEF, 0xBB, 0xBF, 0xF0, 0x9F, 0x98, 0x80}), {QStringLiteral(u"😀")}},
        // Only the first mark is skipped; a second one and one at a line start are text.
        CutCase{"Utf8SecondMarkIsText", bytes({0xEF, 0xBB, 0xBF, 0xEF, 0xBB, 0xBF, 'A', '\n', 0xEF, 0xBB, 0xBF}),
                {QStringLiteral(u"\uFEFFA"), QStringLiteral(u"\uFEFF")}},
        // Without the mark UTF-8 is read as 8-bit text.
        CutCase{"Utf8WithoutMarkIsAnsi", bytes({0xC3, 0xA9}), {QStringLiteral(u"Ã©")}},
        CutCase{"AnsiHighCharacters", bytes({0x80, ' ', 0xE9, ' ', 0x9F, ' ', 0xA0, ' ', 0xFF}),
                {QStringLiteral(u"€ é Ÿ \u00A0 ÿ")}},
        // The five bytes Windows-1252 leaves undefined read as the C1 control of the same value.
        CutCase{"AnsiUndefinedBytes", bytes({0x81, 0x8D, 0x8F, 0x90, 0x9D}),
                {QStringLiteral(u"\u0081\u008D\u008F\u0090\u009D")}}),
    [](const testing::TestParamInfo<CutCase>& info) { return std::string(info.param.name); });
// clang-format on

TEST(LineList, AnsiBytesEachGiveOneCharacterAsTheIcuCodecReadsThem) {
#ifdef Q_OS_WIN
    // Here the reference is the system's own ANSI code page (Qt for Windows has no ICU).
    QStringDecoder icu(QStringConverter::System);
#else
    QStringDecoder icu("windows-1252");
#endif
    ASSERT_TRUE(icu.isValid()) << "Qt lacks the ICU Windows-1252 codec";
    QByteArray all;
    for (int b = 1; b < 256; ++b)
        if (b != '\r' && b != '\n')
            all.append(static_cast<char>(b));
    LineList list;
    list.LoadFromBytes(all);
    ASSERT_EQ(list.Count(), 1);
    const QString expected = icu.decode(all);
    EXPECT_EQ(list.Get(0), expected);
    EXPECT_EQ(list.Get(0).size(), all.size());
    EXPECT_FALSE(list.Get(0).contains(QChar::ReplacementCharacter));
}

// Documents of many lines of every length up to 40 units, so that breaks and characters outside
// ASCII fall at every place of the eight-byte words the cutter reads, in every encoding and read in
// chunks of several sizes.
TEST(LineList, LinesOfEveryLengthComeOutWholeInEveryEncoding) {
    struct Form {
        const char* name;
        std::u16string_view pool;             // the characters the lines are made of
        QByteArray (*encode)(const QString&); // the whole file, with its mark
    };
    const Form forms[] = {
        {"Windows-1252", u"abcXYZ019 \t.é€Ÿÿ\u00A0",
         [](const QString& s) {
             QByteArray b;
             for (QChar c : s)
                 b.append(c == u'€' ? '\x80' : c == u'Ÿ' ? '\x9F' : static_cast<char>(c.unicode()));
             return b;
         }},
        {"UTF-8", u"abcXYZ019 \t.é€\U0001F600",
         [](const QString& s) {
             return bytes({0xEF, 0xBB, 0xBF}) + s.toUtf8();
         }},
        // Units whose bytes are a CR, an LF or a NUL must not be taken for breaks.
        {"UTF-16 LE", u"abc019 \tэ€\u0D0A\u0A0D\u0A00\u0D00\U0001F600",
         [](const QString& s) {
             return le(std::u16string_view(reinterpret_cast<const char16_t*>(s.utf16()), s.size()));
         }},
        {"UTF-16 BE", u"abc019 \tэ€\u0D0A\u0A0D\u0A00\u0D00\U0001F600",
         [](const QString& s) {
             return be(std::u16string_view(reinterpret_cast<const char16_t*>(s.utf16()), s.size()));
         }},
    };
    for (const Form& form : forms) {
        std::mt19937 random(20260101);
        QStringList expected;
        QString text;
        QString lastBreak;
        for (int n = 0; n < 600; ++n) {
            const int length = static_cast<int>(random() % 41);
            QString line;
            while (line.size() < length) {
                const QChar c = form.pool[random() % form.pool.size()];
                // Keep a surrogate pair whole (UTF-8 needs it; the pool holds pairs in order).
                if (c.isHighSurrogate())
                    line += QString(c) + QChar(form.pool[form.pool.find(c.unicode()) + 1]);
                else if (!c.isLowSurrogate())
                    line += c;
            }
            expected += line;
            // An empty line after a lone CR must not end with an LF, or the two would be one break.
            const char* breaks[] = {"\r\n", "\n", "\r"};
            QString brk = QString::fromLatin1(breaks[random() % 3]);
            if (line.isEmpty() && lastBreak == "\r" && brk == "\n")
                brk = "\r";
            text += line + brk;
            lastBreak = brk;
        }
        const QByteArray input = form.encode(text);
        LineList list;
        list.LoadFromBytes(input);
        EXPECT_EQ(list.lines(), expected) << form.name;
        for (qsizetype chunk : {1, 3, 8, 13, 1000}) {
            QByteArray data = input;
            QBuffer buffer(&data);
            ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
            LineList chunked;
            chunked.LoadFromStream(buffer, chunk);
            EXPECT_EQ(chunked.lines(), expected) << form.name << ", chunk " << chunk;
        }
    }
}

TEST(LineList, RemembersTheEncoding) {
    LineList list;
    list.LoadFromBytes(bytes({0xFE, 0xFF, 0, 'A'}));
    EXPECT_EQ(list.encoding(), LineList::Encoding::Utf16BE);
    list.LoadFromBytes(bytes({0xFF, 0xFE, 'A', 0}));
    EXPECT_EQ(list.encoding(), LineList::Encoding::Utf16LE);
    list.LoadFromBytes(bytes({0xEF, 0xBB, 0xBF, 'A'}));
    EXPECT_EQ(list.encoding(), LineList::Encoding::Utf8);
    list.LoadFromBytes("A");
    EXPECT_EQ(list.encoding(), LineList::Encoding::Ansi);
}

struct BadUtf8Case {
    const char* name;
    QByteArray body; // after the mark
};

class InvalidUtf8 : public testing::TestWithParam<BadUtf8Case> {};

TEST_P(InvalidUtf8, FailsTheWholeLoadAndKeepsTheOldLines) {
    LineList list = listOf({"kept 1", "kept 2"});
    const QByteArray input = bytes({0xEF, 0xBB, 0xBF}) + GetParam().body;
    EXPECT_EQ(errorOf([&] { list.LoadFromBytes(input); }), kUtf8Failure);
    EXPECT_EQ(list.lines(), QStringList({"kept 1", "kept 2"}));
    EXPECT_EQ(list.encoding(), LineList::Encoding::Ansi);

    for (qsizetype chunk : {1, 2, 3, 5}) {
        QByteArray data = input;
        QBuffer buffer(&data);
        ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
        EXPECT_EQ(errorOf([&] { list.LoadFromStream(buffer, chunk); }), kUtf8Failure) << "chunk " << chunk;
        EXPECT_EQ(list.lines(), QStringList({"kept 1", "kept 2"}));
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    LineList, InvalidUtf8,
    testing::Values(BadUtf8Case{"Latin1Byte", RAW("caf\xE9\r\n")},
                    BadUtf8Case{"LoneContinuation", RAW("A\x80")},
                    BadUtf8Case{"ByteFF", RAW("\xFF")},
                    BadUtf8Case{"Overlong", RAW("\xC0\x80")},
                    BadUtf8Case{"OverlongThreeBytes", RAW("\xE0\x80\xAF")},
                    BadUtf8Case{"Surrogate", RAW("\xED\xA0\x80")},
                    BadUtf8Case{"AboveU10FFFF", RAW("\xF4\x90\x80\x80")},
                    BadUtf8Case{"TruncatedAtEnd", RAW("A\r\n\xE2\x82")},
                    BadUtf8Case{"TruncatedBeforeBreak", RAW("\xE2\x82\r\nA")},
                    BadUtf8Case{"BeyondTheNul", RAW("A\r\n\0\xFF")},
                    // Well past the eight-byte ASCII stride.
                    BadUtf8Case{"AfterLongAscii", QByteArray(1000, 'a') + RAW("\xC3") + QByteArray(9, 'a')}),
    [](const testing::TestParamInfo<BadUtf8Case>& info) { return std::string(info.param.name); });
// clang-format on

TEST(LineList, FilesInEveryEncodingGiveTheSameLines) {
    const QStringList expected = {"CGATS.17", "NUMBER_OF_SETS 2", QStringLiteral(u" café €\tSAMPLE_ID "), "",
                                  "END_DATA"};
    for (const char* name :
         {"lines-1252.txt", "lines-utf16le.txt", "lines-utf16be.txt", "lines-utf8bom.txt"}) {
        LineList list;
        list.LoadFromFile(dataFile(name));
        EXPECT_EQ(list.lines(), expected) << name;
    }
}

TEST(LineList, FileWithInvalidUtf8FailsAndKeepsTheOldLines) {
    LineList list = listOf({"kept"});
    EXPECT_EQ(errorOf([&] { list.LoadFromFile(dataFile("invalid-utf8bom.txt")); }), kUtf8Failure);
    EXPECT_EQ(list.lines(), QStringList({"kept"}));
}

TEST(LineList, StreamLoadsFromItsCurrentPosition) {
    QByteArray data("skip\r\nA\r\nB");
    QBuffer buffer(&data);
    ASSERT_TRUE(buffer.open(QIODevice::ReadOnly));
    ASSERT_TRUE(buffer.seek(6));
    LineList list;
    list.LoadFromStream(buffer);
    EXPECT_EQ(list.lines(), QStringList({"A", "B"}));
}

TEST(LineList, CannotOpenNamesTheFullPathAndTheSystemReason) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    LineList list = listOf({"kept"});

    const QString missing = dir.filePath("missing.txt");
    // The reason is the system's own ("No such file or directory", "File not found"...).
    const QString notFound = OpenFailureReason(missing);
    EXPECT_EQ(errorOf([&] { list.LoadFromFile(missing); }),
              QStringLiteral("Cannot open file \"%1\". %2").arg(ShownPath(missing), notFound));

    EXPECT_EQ(errorOf([&] { list.LoadFromFile(dir.path()); }),
              QStringLiteral("Cannot open file \"%1\". Is a directory").arg(ShownPath(dir.path())));

    // A relative name is shown resolved against the current directory.
    QString relativeError;
    {
        const CurrentDirGuard inDir(dir.path());
        ASSERT_TRUE(inDir.entered());
        relativeError = errorOf([&] { list.LoadFromFile("missing.txt"); });
    }
    EXPECT_EQ(relativeError, QStringLiteral("Cannot open file \"%1\". %2").arg(ShownPath(missing), notFound));

    EXPECT_EQ(list.lines(), QStringList({"kept"}));
}

#ifndef Q_OS_WIN // Windows has no file without read permission short of access lists
TEST(LineList, CannotOpenAFileWithoutReadPermission) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root may read any file";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath("locked.txt");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("A\r\n");
    file.close();
    ASSERT_TRUE(file.setPermissions(QFileDevice::WriteOwner));
    LineList list;
    EXPECT_EQ(errorOf([&] { list.LoadFromFile(path); }),
              QStringLiteral("Cannot open file \"%1\". Permission denied").arg(path));
}
#endif

TEST(LineList, IndexOfComparesWholeLinesIgnoringCase) {
    const LineList list = listOf({"x", "begin_data", "BEGIN_DATA", "END_DATA ", " END_DATA", "",
                                  "END_DATA_FORMAT", QStringLiteral(u"été"), QStringLiteral(u"ete")});
    struct {
        QString text;
        int index;
    } cases[] = {
        {"BEGIN_DATA", 1},
        {"Begin_Data", 1},
        {"END_DATA", -1}, // a blank counts, and a part of a line is never a match
        {"END_DATA ", 3},
        {" end_data", 4},
        {"", 5},
        {"BEGIN", -1},
        {QStringLiteral(u"ÉTÉ"), 7},
        {QStringLiteral(u"ETE"), 8}, // accents count
        {"missing", -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(list.IndexOf(c.text), c.index) << c.text.toStdString();
    EXPECT_EQ(LineList().IndexOf("x"), -1);
}

TEST(LineList, LineEqualityFoldsAsciiAndCollatesTheRest) {
    EXPECT_TRUE(LinesEqualIgnoringCase("SAMPLE_ID LAB_L", "sample_id lab_l"));
    EXPECT_FALSE(LinesEqualIgnoringCase("END_DATA", "END_DATA\x01"));
    EXPECT_FALSE(LinesEqualIgnoringCase("END", QStringLiteral(u"ＥＮＤ"))); // width counts
    EXPECT_TRUE(LinesEqualIgnoringCase(QStringLiteral(u"ÉTÉ"), QStringLiteral(u"été")));
    EXPECT_FALSE(LinesEqualIgnoringCase(QStringLiteral(u"été"), QStringLiteral(u"ete")));
}

TEST(LineList, TurkishLocaleStillFindsAsciiKeywords) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
    const LineList list = listOf({"x", "begin_data", "number_of_sets 2", QStringLiteral(u"iğne")});
    const int begin = list.IndexOf("BEGIN_DATA");
    const int sets = list.IndexOf("NUMBER_OF_SETS 2");
    // Non-ASCII text goes to the locale's collation, where dotted İ is the capital of i.
    const int turkish = list.IndexOf(QStringLiteral(u"İĞNE"));
    QLocale::setDefault(saved);
    EXPECT_EQ(begin, 1);
    EXPECT_EQ(sets, 2);
    if (RunningUnderWine())
        GTEST_SKIP() << "Wine's CompareStringEx does not fold the Turkish dotted capital I";
    EXPECT_EQ(turkish, 3);
}

TEST(LineList, GetOutsideTheListFails) {
    const LineList list = listOf({"a", "b", "c", "d", "e"});
    EXPECT_EQ(list.Get(4), "e");
    EXPECT_EQ(errorOf([&] { list.Get(5); }), "List index out of bounds (5)");
    EXPECT_EQ(errorOf([&] { list.Get(-1); }), "List index out of bounds (-1)");
    EXPECT_EQ(errorOf([&] { LineList().Get(0); }), "List index out of bounds (0)");
}

TEST(LineList, AddAppendsAndClearEmpties) {
    LineList list;
    EXPECT_EQ(list.Add("a"), 0);
    EXPECT_EQ(list.Add("a"), 1); // equal lines stay separate
    LineList other = listOf({"b", ""});
    list.AddStrings(other);
    EXPECT_EQ(list.lines(), QStringList({"a", "a", "b", ""}));
    list.AddStrings(list);
    EXPECT_EQ(list.Count(), 8);
    EXPECT_EQ(list.Get(6), "b");
    const quint64 before = list.generation();
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_GT(list.generation(), before);
}

// A pane takes a loaded document into its empty list; afterwards each list changes on its own.
TEST(LineList, ListsFilledFromAnotherStayApart) {
    LineList loaded;
    loaded.LoadFromBytes("A\r\nB");
    LineList pane;
    pane.AddStrings(loaded);
    loaded.Add("C");
    EXPECT_EQ(pane.lines(), QStringList({"A", "B"}));
    pane.Add("D");
    EXPECT_EQ(loaded.lines(), QStringList({"A", "B", "C"}));
    loaded.Clear();
    EXPECT_EQ(pane.lines(), QStringList({"A", "B", "D"}));
}

// A loaded line is held as bytes where its characters fit in one each; every way of reading it
// gives what a list of the same strings gives.
TEST(LineList, LinesHeldAsBytesReadLikeTheirStrings) {
    const QStringList texts{QStringLiteral("CGATS.17"),
                            QStringLiteral("a much longer line than the ones after it\t1 2 3"),
                            QString(),
                            QStringLiteral(u"\u00e9t\u00e9 x\u00a0y"),
                            QStringLiteral(u"\u20ac 5"),
                            QStringLiteral(u"\u65e5\u672c"),
                            QStringLiteral("begin_data")};
    const LineList strings = listOf(texts);
    const struct {
        const char* name;
        QByteArray bytes;
    } files[] = {
        {"UTF-8", "\xEF\xBB\xBF" + texts.join(u"\r\n").toUtf8()},
        {"UTF-16",
         QByteArray("\xFF\xFE", 2) + QByteArray(reinterpret_cast<const char*>(texts.join(u"\n").utf16()),
                                                2 * texts.join(u"\n").size())},
    };
    for (const auto& f : files) {
        SCOPED_TRACE(f.name);
        LineList loaded;
        loaded.LoadFromBytes(f.bytes);
        EXPECT_EQ(loaded.lines(), texts);
        EXPECT_EQ(loaded.join(u"\r\n"), texts.join(u"\r\n"));
        QString scratch; // one for all lines: a short line after a long one must not keep its tail
        for (int i = 0; i < texts.size(); ++i) {
            EXPECT_EQ(loaded.Get(i), texts[i]);
            EXPECT_EQ(loaded.view(i, scratch), texts[i]);
            EXPECT_EQ(loaded.sizeOf(i), texts[i].size());
        }
        for (const QString& text : {QStringLiteral("BEGIN_DATA"), QStringLiteral(u"\u00c9T\u00c9 X\u00a0Y"),
                                    QStringLiteral(u"\u20ac 5"), QString(), QStringLiteral("CGATS")})
            EXPECT_EQ(loaded.IndexOf(text), strings.IndexOf(text)) << text.toStdString();
    }
    EXPECT_EQ(errorOf([&] {
                  QString scratch;
                  strings.view(7, scratch);
              }),
              "List index out of bounds (7)");
    EXPECT_EQ(strings.sizeOf(7), 0);
    EXPECT_EQ(LineList().join(u"\n"), QString());

    // addFrom takes the tail, also of the list itself.
    LineList tail = listOf({"kept"});
    tail.addFrom(strings, 5);
    EXPECT_EQ(tail.lines(), QStringList({"kept", texts[5], texts[6]}));
    tail.addFrom(tail, 1);
    EXPECT_EQ(tail.Count(), 5);
    tail.addFrom(strings, 99);
    EXPECT_EQ(tail.Count(), 5);
}

} // namespace
