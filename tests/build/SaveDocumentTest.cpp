#include "SaveDocument.h"
#include "BuildTestSupport.h"
#include "Controls.h"
#include "Error.h"
#include "ScriptedToolkit.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct EncodeCase {
    const char* name;
    QStringList lines;
    QByteArray bytes;
};

class EncodeDocumentTest : public ::testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeDocumentTest, GivesExactBytes) {
    EXPECT_EQ(EncodeDocument(Lines(GetParam().lines)), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, EncodeDocumentTest,
    ::testing::Values(
        EncodeCase{"NoLines", {}, QByteArray()}, EncodeCase{"OneEmptyLine", {QString()}, QByteArray()},
        EncodeCase{"CrLfBetweenNoneAfter", {"A", "B", "END_DATA"}, QByteArray("A\r\nB\r\nEND_DATA")},
        EncodeCase{"EmptyLastLineEndsInCrLf", {"A", "B", QString()}, QByteArray("A\r\nB\r\n")},
        EncodeCase{"EmptyLinesInside", {"A", QString(), "B"}, QByteArray("A\r\n\r\nB")},
        EncodeCase{
            "Windows1252Letters", {QString::fromUtf8("€ é Ä ß ž")}, QByteArray("\x80 \xE9 \xC4 \xDF \x9E")},
        EncodeCase{"UndefinedBytesRoundTrip", {QString(QChar(0x81)) + QChar(0x8D)}, QByteArray("\x81\x8D")},
        EncodeCase{"BaseLetterForMissingAccent", {QString::fromUtf8("Dő Ł ș")}, QByteArray("Do ? s")},
        EncodeCase{"CombiningAccentComposed",
                   {QString::fromUtf8("e\u0301 o\u030B q\u0301")},
                   QByteArray("\xE9 o q")},
        EncodeCase{"NoLookAlike", {QString::fromUtf8("a→b ≠ Ω")}, QByteArray("a?b ? ?")},
        EncodeCase{
            "OtherSpacesBecomeBlanks", {QString::fromUtf8("12:00:00\u202FAM")}, QByteArray("12:00:00 AM")},
        EncodeCase{"AstralCharacterOneQuestionMark", {QString::fromUtf8("x😀y")}, QByteArray("x?y")},
        EncodeCase{"LoneSurrogate", {QString(QChar(0xD800)) + u'z'}, QByteArray("?z")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EncodeDocument, WritesNoByteOrderMark) {
    const QByteArray bytes = EncodeDocument(Lines({QString::fromUtf8("Ünïcode")}));
    EXPECT_EQ(bytes, QByteArray("\xDCn\xEF"
                                "code"));
}

TEST(SaveTimestamp, IsFifteenAsciiCharactersOnTheTwentyFourHourClock) {
    const ScopedDefaultLocale arabic(QLocale(QLocale::Arabic, QLocale::Egypt));
    EXPECT_EQ(SaveTimestamp(SampleTime()), "20180311_142530");
    EXPECT_EQ(SaveTimestamp(QDateTime(QDate(2018, 3, 11), QTime(9, 5, 7))), "20180311_090507");
    EXPECT_EQ(SaveTimestamp(QDateTime(QDate(2019, 12, 31), QTime(23, 59, 59))), "20191231_235959");
}

class WriteDocumentFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }

    // The message of the Error that fn throws; "" when it throws none.
    template <typename Fn> static QString errorOf(Fn fn) {
        try {
            fn();
        } catch (const Error& e) {
            return e.message();
        }
        return QString();
    }
};

TEST_F(WriteDocumentFileTest, ReplacesALongerFileWhole) {
    ASSERT_TRUE(WriteBytes(path("out.txt"), QByteArray(1000, 'x')));
    WriteDocumentFile(path("out.txt"), "A\r\nB");
    EXPECT_EQ(ReadBytes(path("out.txt")), QByteArray("A\r\nB"));
}

TEST_F(WriteDocumentFileTest, NewFileIsReadableByOthersAsUsual) {
    const mode_t mask = ::umask(022);
    WriteDocumentFile(path("new.txt"), "A");
    ::umask(mask);
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(path("new.txt")).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST_F(WriteDocumentFileTest, CannotCreateNamesTheFileAndTheReason) {
    ASSERT_TRUE(WriteBytes(path("plain"), "x"));
    struct Case {
        QString target;
        QString reason; // empty: any system text
    };
    const Case cases[] = {
        {path("plain/out.txt"), QString()},   // parent is a regular file
        {path("missing/out.txt"), QString()}, // parent does not exist
        {dir.path(), QStringLiteral("Filename refers to a directory")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target.toStdString());
        const QString message = errorOf([&] { WriteDocumentFile(c.target, "A"); });
        const QString head = QStringLiteral("Cannot create file \"%1\". ").arg(c.target);
        ASSERT_TRUE(message.startsWith(head)) << message.toStdString();
        const QString reason = message.mid(head.size());
        EXPECT_FALSE(reason.isEmpty());
        EXPECT_FALSE(reason.endsWith(u'.'));
        if (!c.reason.isEmpty()) {
            EXPECT_EQ(reason, c.reason);
        }
    }
    EXPECT_EQ(ReadBytes(path("plain")), QByteArray("x"));
}

TEST_F(WriteDocumentFileTest, FailureInReadOnlyFolderKeepsTheOldFile) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind root";
    QDir().mkdir(path("locked"));
    const QString target = path("locked/out.txt");
    ASSERT_TRUE(WriteBytes(target, "old content"));
    ASSERT_TRUE(QFile::setPermissions(path("locked"), QFile::ReadOwner | QFile::ExeOwner));
    const QString message = errorOf([&] { WriteDocumentFile(target, "new"); });
    QFile::setPermissions(path("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_TRUE(message.startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(target)))
        << message.toStdString();
    EXPECT_EQ(ReadBytes(target), QByteArray("old content"));
}

// A file-size limit makes the system refuse bytes midway, as a full disk does, even for root.
TEST_F(WriteDocumentFileTest, WriteErrorMidwayKeepsTheOldFile) {
    const QString target = path("out.txt");
    ASSERT_TRUE(WriteBytes(target, "old content"));
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const QString message = errorOf([&] { WriteDocumentFile(target, QByteArray(100000, 'n')); });
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(message, "Stream write error");
    EXPECT_EQ(ReadBytes(target), QByteArray("old content"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"out.txt"});
}

class RunSaveStepTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    ScriptedToolkit toolkit;
    SaveDialog dialog{QStringLiteral("txt|*.txt|spec|*.spec|*|*"), 0, QStringLiteral("CGATS"),
                      QStringLiteral("spec"), ofOverwritePrompt};
    Memo pane;
    Label display{QStringLiteral("SmoothCGATS.txt"), true, true};

    SaveStep step(bool appendEmptyLine = false) {
        return SaveStep{dialog,         QStringLiteral("Smooth_"), QStringLiteral("txt"), pane, display,
                        appendEmptyLine};
    }
};

TEST_F(RunSaveStepTest, OffersTimestampedNameAndWritesThePaneOnConfirm) {
    pane.Lines = Lines({"BEGIN_DATA", "END_DATA"});
    toolkit.answerSave(dir.filePath("chosen")); // typed without extension
    EXPECT_TRUE(RunSaveStep(step(), toolkit, SampleTime()));

    ASSERT_EQ(toolkit.shownSaveDialogs.size(), 1u);
    EXPECT_EQ(toolkit.shownSaveDialogs[0].FileName, "Smooth_20180311_142530");
    EXPECT_EQ(toolkit.shownSaveDialogs[0].DefaultExt, "txt");
    EXPECT_EQ(ReadBytes(dir.filePath("chosen.txt")), QByteArray("BEGIN_DATA\r\nEND_DATA"));
    EXPECT_EQ(display.Text, dir.filePath("chosen.txt"));
    EXPECT_EQ(toolkit.count(ScriptedToolkit::Event::Yield), 1);
}

TEST_F(RunSaveStepTest, AppendsTheEmptyLineOnlyWhenConfirmed) {
    pane.Lines = Lines({"; Created: 11.03.2018", "0.1\t0.2"});
    toolkit.answerSave(std::nullopt);
    EXPECT_FALSE(RunSaveStep(step(true), toolkit, SampleTime()));
    EXPECT_EQ(pane.Lines.Count(), 2);
    EXPECT_EQ(display.Text, "SmoothCGATS.txt");
    EXPECT_TRUE(QDir(dir.path()).isEmpty());

    toolkit.answerSave(dir.filePath("a.spec"));
    EXPECT_TRUE(RunSaveStep(step(true), toolkit, SampleTime()));
    EXPECT_EQ(pane.Lines.lines(), QStringList({"; Created: 11.03.2018", "0.1\t0.2", ""}));
    EXPECT_EQ(ReadBytes(dir.filePath("a.spec")), QByteArray("; Created: 11.03.2018\r\n0.1\t0.2\r\n"));
}

TEST_F(RunSaveStepTest, FailedWriteKeepsPathDisplayAndThrows) {
    pane.Lines = Lines({"A"});
    toolkit.answerSave(dir.filePath("missing/out.txt"));
    EXPECT_THROW(RunSaveStep(step(), toolkit, SampleTime()), Error);
    EXPECT_EQ(display.Text, "SmoothCGATS.txt");
}

} // namespace
