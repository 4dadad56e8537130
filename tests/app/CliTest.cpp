// lumetra-cli runs the window's own handlers: these tests run the binary and compare what it
// prints and writes with what the handlers give through the scripted toolkit.

#include "Build.h"
#include "FormState.h"
#include "Import.h"
#include "ScriptedToolkit.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <functional>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#endif

#include <gtest/gtest.h>

#include "CliTestSupport.h"

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return f.readAll();
}

} // namespace

TEST(Cli, ScanPrintsTheBoxesOfAnAcceptedFile) {
    const CliRun r = runCli({"scan", kSpectral, "--kind", "spectral"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.err, "");

    FormState form;
    form.FormCreate();
    ScriptedToolkit toolkit;
    toolkit.answerOpen(kSpectral);
    btnOpenCGATSFileClick(form, toolkit, 1);
    EXPECT_EQ(r.out, QStringLiteral("begin %1\nend %2\npatches %3\ncolumns %4\n")
                         .arg(form.NumberBoxBeginData.Text(), form.NumberBoxEndData.Text(),
                              form.NumberBoxPatches.Text(), form.NumberBoxColumns.Text()));
    EXPECT_EQ(form.NumberBoxPatches.Text(), "1617");
}

// Each message the window would show is followed by one detail line: the file, where the
// window's message cannot say, and why.
TEST(Cli, ScanShowsTheWindowsMessagesWithTheirDetailAndFails) {
    const QString missing = kExamples + "/no-such-file.txt";
    struct Row {
        const char* name;
        QStringList args;
        QString err;
    } rows[] = {
        {"spectral as lab",
         {"scan", kSpectral, "--kind", "lab"},
         "Input File Incorrect: The File Should be the Ulvar L*a*b* CGATS File\ndetail: " + kSpectral +
             ": no data-format line \"SAMPLE_ID LAB_L LAB_A LAB_B \"\n"},
        {"lab as spectral",
         {"scan", kLab, "--kind", "spectral"},
         "Input File Incorrect: The File Should be the Ulvar Spectral CGATS File\ndetail: " + kLab +
             ": no data-format line \"SAMPLE_ID SPECTRAL_380 ... SPECTRAL_730 \"\n"},
        {"missing file",
         {"scan", missing},
         "i1 CGATS (input) file error.\nPress the Help Button or\nContact support@lumetra.example for "
         "assistance\ndetail: " +
             missing + ": no such file\n"},
    };
    for (const Row& row : rows) {
        const CliRun r = runCli(row.args);
        EXPECT_EQ(r.exitCode, 1) << row.name;
        EXPECT_EQ(r.err, row.err) << row.name;
        EXPECT_EQ(r.out, "") << row.name;
    }
}

TEST(Cli, UsageErrorsExitWithTwo) {
    const QList<QStringList> cases = {
        {},
        {"frobnicate"},
        {"scan"},
        {"scan", kSpectral, "--kind", "cmyk"},
        {"scan", kSpectral, "--lab", kLab},
        {"smooth", "--spectral", kSpectral, "-o", "x.txt"},
        {"spec", kOptimized},
        {"--no-such-option"},
    };
    for (const QStringList& args : cases) {
        const CliRun r = runCli(args);
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("--help")) << r.err.toStdString();
    }
    const CliRun help = runCli({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("smooth --spectral FILE --lab FILE"));
}

TEST(Cli, SmoothingFileMatchesTheWindowsBytes) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString windowPath = tmp.filePath("window.txt");
    {
        // The repository folder as current folder, as the window started there would have.
        const CurrentDirGuard inRepo(QStringLiteral(LUMETRA_SOURCE_DIR));
        FormState form;
        form.FormCreate();
        ScriptedToolkit toolkit;
        toolkit.answerOpen(kSpectral);
        toolkit.answerOpen(kLab);
        toolkit.answerSave(windowPath);
        RunGuarded(toolkit, [&] { btnOpenCGATSFileClick(form, toolkit, 1); });
        RunGuarded(toolkit, [&] { btnOpenCGATSFileClick(form, toolkit, 2); });
        RunGuarded(toolkit, [&] { btnWriteSmoothingClick(form, toolkit); });
        ASSERT_EQ(toolkit.messages(), QStringList());
        ASSERT_EQ(toolkit.errors(), QStringList());
    }
    const QString cliPath = tmp.filePath("cli.txt");
    const CliRun r = runCli({"smooth", "--spectral", kSpectral, "--lab", kLab, "-o", cliPath});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QByteArray window = readAll(windowPath);
    EXPECT_FALSE(window.isEmpty());
    EXPECT_EQ(readAll(cliPath), window);

    // The same through standard output, and from another folder with --swatch-dir.
    const CliRun piped = runCli(
        {"smooth", "--spectral", kSpectral, "--lab", kLab, "--swatch-dir", LUMETRA_SOURCE_DIR, "-o", "-"},
        tmp.path());
    EXPECT_EQ(piped.exitCode, 0) << piped.err.toStdString();
    EXPECT_EQ(piped.outBytes, window);
}

TEST(Cli, SmoothStopsWithoutSwatchFiles) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const CliRun r =
        runCli({"smooth", "--spectral", kSpectral, "--lab", kLab, "-o", tmp.filePath("out.txt")}, tmp.path());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.startsWith("Cannot open file \"")) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(tmp.filePath("out.txt")));
}

TEST(Cli, SpecFileMatchesTheWindowsBytes) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    const QString windowPath = tmp.filePath("window.spec");
    {
        FormState form;
        form.FormCreate();
        ScriptedToolkit toolkit;
        toolkit.answerOpen(kOptimized);
        toolkit.answerSave(windowPath);
        RunGuarded(toolkit, [&] { btnOpenCGATSFileClick(form, toolkit, 3); });
        RunGuarded(toolkit, [&] { btnWriteUlvarClick(form, toolkit); });
        ASSERT_EQ(toolkit.messages(), QStringList());
        ASSERT_EQ(toolkit.errors(), QStringList());
    }
    const QString cliPath = tmp.filePath("cli.spec");
    const CliRun r = runCli({"spec", kOptimized, "-o", cliPath});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QByteArray window = readAll(windowPath);
    EXPECT_TRUE(window.endsWith("\r\n"));
    EXPECT_EQ(readAll(cliPath), window);
}

// An optimized file whose data block holds empty lines: those rows are left out, the file is still
// written and the exit code is 3. The window sums up the boxes of rows past the third; a script's
// log keeps every one.
TEST(Cli, RowsLeftOutArePrintedAndExitWithThree) {
    struct Case {
        const char* what;
        int firstEmpty, lastEmpty; // 1-based rows of the data block
    };
    const Case cases[] = {{"one empty row", 50, 50}, {"twenty empty rows at the end", 101, 120}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir tmp;
        ASSERT_TRUE(tmp.isValid());
        QByteArray doc = "CGATS.17\r\nNUMBER_OF_FIELDS 3\r\nBEGIN_DATA_FORMAT\r\nSAMPLE_ID SPECTRAL_380 "
                         "SPECTRAL_390\r\nEND_DATA_FORMAT\r\nNUMBER_OF_SETS 120\r\nBEGIN_DATA\r\n";
        for (int i = 1; i <= 120; ++i)
            doc += i >= c.firstEmpty && i <= c.lastEmpty ? QByteArray("\r\n")
                                                         : QByteArray::number(i) + " 0.1 0.2\r\n";
        doc += "END_DATA\r\n";
        ASSERT_TRUE(WriteBytes(tmp.filePath("opt.txt"), doc));
        const CliRun r = runCli({"spec", tmp.filePath("opt.txt"), "-o", tmp.filePath("out.spec")});
        EXPECT_EQ(r.exitCode, 3) << r.err.toStdString();
        // Row i stands on line 6 + i; the second box is the last row written.
        QString expected;
        for (int row = c.firstEmpty + 6; row <= c.lastEmpty + 6; ++row)
            expected += QStringLiteral("i_row:%1\n0.1\t0.2\n").arg(row);
        EXPECT_EQ(r.err, expected);
        EXPECT_TRUE(QFile::exists(tmp.filePath("out.spec")));
    }
}

TEST(Cli, NothingWrittenWhenTheBuildStops) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    // A valid but short optimized document: the builder refuses it, nothing is written.
    ASSERT_TRUE(WriteBytes(tmp.filePath("short.txt"),
                           "CGATS.17\r\nNUMBER_OF_FIELDS 2\r\nBEGIN_DATA_FORMAT\r\nSAMPLE_ID SPECTRAL_380\r\n"
                           "END_DATA_FORMAT\r\nNUMBER_OF_SETS 1\r\nBEGIN_DATA\r\n1 0.5\r\nEND_DATA\r\n"));
    const CliRun r = runCli({"spec", tmp.filePath("short.txt"), "-o", tmp.filePath("out.spec")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "Optimized File Not Loaded.\n");
    EXPECT_FALSE(QFile::exists(tmp.filePath("out.spec")));
}

// Standard output gets the document from memory, every write checked: a failed write or a reader
// that has gone ends with one line and exit 1, never a silent 0 or a truncated file.
#ifndef Q_OS_WIN // a full device, a pipe with SIGPIPE ignored and a closed descriptor are POSIX's
TEST(Cli, FailedWriteToStandardOutputIsReported) {
    if (!QFileInfo::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    const CliRun full = runCli({"spec", kOptimized, "-o", "-"}, LUMETRA_SOURCE_DIR,
                               [](QProcess& p) { p.setStandardOutputFile("/dev/full"); });
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_EQ(full.err, "lumetra-cli: cannot write to standard output: No space left on device\n");

    // A reader that takes one byte and leaves, with SIGPIPE ignored as a shell's trap '' PIPE does.
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    QProcess shell;
    shell.setWorkingDirectory(tmp.path());
    shell.start("bash", {"-c",
                         "trap '' PIPE; \"$0\" spec \"$1\" -o - 2>err | head -c1 >/dev/null; "
                         "echo ${PIPESTATUS[0]}",
                         LUMETRA_CLI, kOptimized});
    ASSERT_TRUE(shell.waitForFinished(60000));
    EXPECT_EQ(shell.readAllStandardOutput(), "1\n");
    EXPECT_EQ(readAll(tmp.filePath("err")), "lumetra-cli: cannot write to standard output: Broken pipe\n");

    // Standard output closed by the caller: the document must not land in a file opened since.
    QProcess closed;
    closed.start("bash", {"-c", "\"$0\" spec \"$1\" -o - >&-", LUMETRA_CLI, kOptimized});
    ASSERT_TRUE(closed.waitForFinished(60000));
    EXPECT_EQ(closed.exitCode(), 1);
    EXPECT_EQ(closed.readAllStandardError(),
              "lumetra-cli: cannot write to standard output: Bad file descriptor\n");
}
#endif

// Nothing goes to the temp folder, to standard output or to a file; a save that fails says which
// file and why.
TEST(Cli, LeavesNothingInTheTempFolder) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    QDir(tmp.path()).mkdir("tmp");
    const auto privateTemp = [&](QProcess& p) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("TMPDIR", tmp.filePath("tmp"));
        env.insert("TMP", QDir::toNativeSeparators(tmp.filePath("tmp"))); // Windows
        env.insert("TEMP", QDir::toNativeSeparators(tmp.filePath("tmp")));
        p.setProcessEnvironment(env);
    };
    const CliRun toFile =
        runCli({"spec", kOptimized, "-o", tmp.filePath("out.spec")}, LUMETRA_SOURCE_DIR, privateTemp);
    EXPECT_EQ(toFile.exitCode, 0) << toFile.err.toStdString();
    const CliRun piped = runCli({"spec", kOptimized, "-o", "-"}, LUMETRA_SOURCE_DIR, privateTemp);
    EXPECT_EQ(piped.exitCode, 0) << piped.err.toStdString();
    EXPECT_EQ(piped.outBytes, readAll(tmp.filePath("out.spec")));
    const CliRun smooth = runCli({"smooth", "--spectral", kSpectral, "--lab", kLab, "-o", "-"},
                                 LUMETRA_SOURCE_DIR, privateTemp);
    EXPECT_EQ(smooth.exitCode, 0) << smooth.err.toStdString();
    EXPECT_FALSE(smooth.outBytes.isEmpty());
    EXPECT_EQ(QDir(tmp.filePath("tmp")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList());

#ifdef Q_OS_WIN
    // The null device by its Windows name: written through, no file of that name appears.
    const CliRun null = runCli({"spec", kOptimized, "-o", "NUL"}, tmp.path());
    EXPECT_EQ(null.exitCode, 0) << null.err.toStdString();
    EXPECT_FALSE(QDir(tmp.path()).entryList(QDir::Files).contains("NUL", Qt::CaseInsensitive));
#else
    const CliRun full = runCli({"spec", kOptimized, "-o", "/dev/full"});
    EXPECT_EQ(full.exitCode, 1);
    EXPECT_EQ(full.err, "Cannot save \"/dev/full\": No space left on device.\n");
    const CliRun null = runCli({"spec", kOptimized, "-o", "/dev/null"});
    EXPECT_EQ(null.exitCode, 0) << null.err.toStdString();
    struct stat st {};
    ASSERT_EQ(::stat("/dev/null", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));
#endif
}

// Both inputs of a smoothing build are read before it stops: one run reports every rejected file,
// each message followed by the file, the line and the reason.
TEST(Cli, SmoothReportsEveryRejectedInput) {
    QTemporaryDir tmp;
    ASSERT_TRUE(tmp.isValid());
    QByteArray lab = readAll(kLab);
    lab.replace("NUMBER_OF_SETS 1617", "NUMBER_OF_SETS 12a");
    ASSERT_TRUE(WriteBytes(tmp.filePath("lab.txt"), lab));
    ASSERT_TRUE(QFile::copy(kLab, tmp.filePath("spectral.txt"))); // the wrong kind of file

    const CliRun r =
        runCli({"smooth", "--spectral", "spectral.txt", "--lab", "lab.txt", "-o", "out.txt"}, tmp.path());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err,
              "Input File Incorrect: The File Should be the Ulvar Spectral CGATS File\n"
              "detail: spectral.txt: no data-format line \"SAMPLE_ID SPECTRAL_380 ... SPECTRAL_730 \"\n"
              "i1 CGATS (input) file error.\nPress the Help Button or\n"
              "Contact support@lumetra.example for assistance\n"
              "detail: lab.txt:11: NUMBER_OF_SETS value \"12a\" is not a valid integer\n");
    EXPECT_FALSE(QFile::exists(tmp.filePath("out.txt")));
}
