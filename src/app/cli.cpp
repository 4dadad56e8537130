// lumetra-cli: the window's import and build handlers, run headless on a form state of its own.
//   lumetra-cli scan FILE [--kind spectral|lab|optimized]
//   lumetra-cli smooth --spectral FILE --lab FILE [--unscrambled] [--swatch-dir DIR] -o OUT
//   lumetra-cli spec FILE -o OUT
//   lumetra-cli check --spectral FILE --lab FILE [--unscrambled] [--swatch-dir DIR] | --optimized FILE
//                     [--format text|json|csv] [--condition D50/2|D50/10|D65/2|D65/10|best]
//                     [--report FILE.pdf]
// Exit status: 0 clean; 1 an input was rejected, the build stopped or the output could not be
// written; 2 usage; 3 the file was written but rows were left out; 4 the preflight found warnings
// only (check); 5 the preflight found errors (check; smooth and spec then write nothing without
// --force).

#include "Build.h"
#include "BuildClock.h"
#include "CliCheck.h"
#include "Error.h"
#include "FormState.h"
#include "HeadlessToolkit.h"
#include "Import.h"
#include "MeasurementKind.h"
#include "Preflight.h"
#include "PreflightPdf.h"
#include "SaveDocument.h"
#include "SmoothingBuilder.h"
#include "SpecBuilder.h"
#include "Toolkit.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>

#ifdef Q_OS_WIN
#include <fcntl.h>
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

enum Exit { Clean = 0, Stopped = 1, Usage = 2, RowsLeftOut = 3 };

void printOut(const QString& text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
}

void printErr(const QByteArray& bytes) {
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
}

// Prints the findings; true when the build may go on: no errors, or --force. When the build will
// stop on its own, it says what is wrong in its own words and nothing is written anyway.
bool preflightAllows(const preflight::PreflightReport& report, bool force) {
    if (preflight::BuildWouldStop(report))
        return true;
    printErr(cli::FindingLines(report));
    return force || report.count(preflight::Severity::Error) == 0;
}

int usageError(const QString& message) {
    std::fprintf(stderr, "lumetra-cli: %s\nTry 'lumetra-cli --help' for more information.\n",
                 qPrintable(message));
    return Usage;
}

// Runs the window's import for one kind of file; true when the file was accepted. An error that
// escapes the handler leaves the result as not accepted.
// The path goes in as given, so that the details name the file as the user did.
bool runImport(FormState& form, HeadlessToolkit& toolkit, MeasurementKind kind, const QString& path) {
    toolkit.answerOpen(path);
    ImportResult result;
    RunGuarded(toolkit, [&] { result = btnOpenCGATSFileClick(form, toolkit, kind); });
    return result.accepted;
}

// Imports the spectral and the L*a*b* file of a pair and sets the swatch choice and folder; false
// (the reason told) when either file is rejected or the folder cannot be entered. Both files are
// read before stopping, so one run reports every rejected input. Without swatchDir the current
// folder stays.
bool importPair(FormState& form, HeadlessToolkit& toolkit, const QString& spectral, const QString& lab,
                bool unscrambled, const std::optional<QString>& swatchDir) {
    const bool spectralAccepted = runImport(form, toolkit, MeasurementKind::Spectral, spectral);
    const bool labAccepted = runImport(form, toolkit, MeasurementKind::Lab, lab);
    if (!spectralAccepted || !labAccepted)
        return false;
    form.cbScrambledSwatch.IsChecked = !unscrambled;
    if (swatchDir && !QDir::setCurrent(*swatchDir)) {
        std::fprintf(stderr, "Cannot change to folder \"%s\"\n", qPrintable(*swatchDir));
        return false;
    }
    return true;
}

// Where the built document goes: the named file, or standard output ("-"), written there straight
// from memory, so that no run leaves a scratch copy behind, however it ends.
struct Output {
    QString path;
    bool toStdout = false;
};

Output outputFor(const QString& name) {
    if (name == QLatin1String("-"))
        return Output{QString(), true};
    return Output{QFileInfo(name).absoluteFilePath(), false};
}

// Writes all of bytes to standard output. A failed write, or a reader that has gone (EPIPE:
// SIGPIPE is ignored), ends with one line on standard error and false.
bool writeStandardOutput(const QByteArray& bytes) {
    const auto fail = [](int code) {
        std::fprintf(stderr, "lumetra-cli: cannot write to standard output: %s\n",
                     qPrintable(SystemErrorText(code)));
        return false;
    };
#ifdef Q_OS_WIN
    const int out = _fileno(stdout);
    const auto closeOut = [out] { return ::_close(out); };
#else
    const int out = STDOUT_FILENO;
    const auto closeOut = [out] { return ::close(out); };
#endif
    if (const int code = WriteAllBytes(out, bytes))
        return fail(code);
    // Some file systems report a failed write only when the file is closed.
    if (closeOut() != 0 && errno != EINTR)
        return fail(errno);
    return true;
}

// Runs one builder and turns how it ended into the exit status. An error that escapes the
// builder leaves the result as stopped.
int runBuild(HeadlessToolkit& toolkit, const Output& out, const std::function<BuildResult()>& build) {
    if (out.toStdout)
        toolkit.answerSaveKept();
    else
        toolkit.answerSave(out.path);
    BuildResult result;
    RunGuarded(toolkit, [&] { result = build(); });
    if (result.stopped)
        return Stopped;
    if (out.toStdout && (!toolkit.keptDocument() || !writeStandardOutput(*toolkit.keptDocument())))
        return Stopped;
    return result.rowsLeftOut > 0 ? RowsLeftOut : Clean;
}

#ifndef Q_OS_WIN
// A standard stream the caller closed (">&-") is held by a read-only /dev/null, so that no file
// the program opens later takes its number: writing the document there then fails with EBADF
// instead of going into whatever was opened.
void holdClosedStandardStreams() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (::fcntl(fd, F_GETFD) >= 0 || errno != EBADF)
            continue;
        const int held = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (held >= 0 && held != fd) {
            ::dup2(held, fd);
            ::close(held);
        }
    }
}
#endif

} // namespace

int main(int argc, char* argv[]) {
#ifdef Q_OS_WIN
    // The documents' CR LF go out as they are, not as CR CR LF.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#else
    holdClosedStandardStreams();
    // A reader that goes away must give a reported error, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    // A PDF report needs fonts, so a GUI application; it never shows a window, and needs no display.
    const bool wantsReport = std::any_of(argv + 1, argv + argc, [](const char* a) {
        return std::strcmp(a, "--report") == 0 || std::strncmp(a, "--report=", 9) == 0;
    });
#ifndef Q_OS_WIN // Windows' own platform needs no display and is the one the package ships
    if (wantsReport && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    const std::unique_ptr<QCoreApplication> application =
        wantsReport ? std::make_unique<QGuiApplication>(argc, argv)
                    : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication& app = *application;
    QCoreApplication::setApplicationName(QStringLiteral("lumetra-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(LUMETRA_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Imports CGATS measurement files and builds smoothing and spec files without a window.\n\n"
        "Commands:\n"
        "  scan FILE [--kind spectral|lab|optimized]   check a file and print its counts\n"
        "  smooth --spectral FILE --lab FILE -o OUT     build the smoothing file\n"
        "         [--unscrambled] [--swatch-dir DIR]\n"
        "  spec FILE -o OUT                             build the spec file\n"
        "  check --spectral FILE --lab FILE              check the pair before building\n"
        "        [--unscrambled] [--swatch-dir DIR]\n"
        "  check --optimized FILE                        check an optimized file\n"
        "        [--format text|json|csv] [--condition D50/2|D50/10|D65/2|D65/10|best]\n"
        "        [--report FILE.pdf]\n\n"
        "smooth and spec run the same check first and print its findings to standard\n"
        "error (\"preflight: ...\"); with errors they write nothing unless --force is given.\n\n"
        "OUT may be - for standard output. Exit status: 0 clean, 1 an input was rejected,\n"
        "the build stopped or the output could not be written, 2 usage, 3 written but rows\n"
        "were left out, 4 check found warnings only, 5 the check found errors."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("command"), QStringLiteral("scan, smooth or spec"));
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("The input file (scan, spec)."),
                                 QStringLiteral("[file]"));
    const QCommandLineOption kind(
        QStringLiteral("kind"),
        QStringLiteral("Kind of file for scan: spectral, lab or optimized (default)."),
        QStringLiteral("kind"), QStringLiteral("optimized"));
    const QCommandLineOption spectral(QStringLiteral("spectral"),
                                      QStringLiteral("The spectral file (smooth)."), QStringLiteral("file"));
    const QCommandLineOption lab(QStringLiteral("lab"), QStringLiteral("The L*a*b* file (smooth)."),
                                 QStringLiteral("file"));
    const QCommandLineOption unscrambled(QStringLiteral("unscrambled"),
                                         QStringLiteral("Use the unscrambled (U) swatch file (smooth)."));
    const QCommandLineOption swatchDir(QStringLiteral("swatch-dir"),
                                       QStringLiteral("The folder that holds CMYK/ (smooth; default: the "
                                                      "current folder)."),
                                       QStringLiteral("dir"));
    const QCommandLineOption output(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("Where to write the built file (smooth, spec)."),
                                    QStringLiteral("out"));
    const QCommandLineOption optimized(QStringLiteral("optimized"),
                                       QStringLiteral("The optimized file (check)."), QStringLiteral("file"));
    const QCommandLineOption format(QStringLiteral("format"),
                                    QStringLiteral("Output of check: text (default), json or csv."),
                                    QStringLiteral("format"), QStringLiteral("text"));
    const QCommandLineOption condition(
        QStringLiteral("condition"),
        QStringLiteral("Illuminant and observer for check: D50/2, D50/10, D65/2, "
                       "D65/10 or best (default)."),
        QStringLiteral("condition"), QStringLiteral("best"));
    const QCommandLineOption force(
        QStringLiteral("force"),
        QStringLiteral("Write the file even when the preflight finds errors (smooth, "
                       "spec)."));
    const QCommandLineOption reportFile(
        QStringLiteral("report"), QStringLiteral("Also write the preflight report as an A4 PDF (check)."),
        QStringLiteral("file.pdf"));
    parser.addOptions({kind, spectral, lab, unscrambled, swatchDir, output, optimized, format, condition,
                       force, reportFile});

    if (!parser.parse(app.arguments()))
        return usageError(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        printOut(parser.helpText());
        return Clean;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        printOut(QStringLiteral("lumetra-cli %1\n").arg(QCoreApplication::applicationVersion()));
        return Clean;
    }

    const QStringList args = parser.positionalArguments();
    const QString command = args.value(0);
    auto onlyOptions = [&](std::initializer_list<const QCommandLineOption*> allowed) -> QString {
        for (const QCommandLineOption* o : {&kind, &spectral, &lab, &unscrambled, &swatchDir, &output,
                                            &optimized, &format, &condition, &force, &reportFile}) {
            if (parser.isSet(*o) && std::find(allowed.begin(), allowed.end(), o) == allowed.end())
                return QStringLiteral("option --%1 does not apply to %2")
                    .arg(o->names().constLast(), command);
        }
        return QString();
    };

    FormState form;
    form.FormCreate();
    HeadlessToolkit toolkit;

    if (command == QLatin1String("scan")) {
        if (const QString e = onlyOptions({&kind}); !e.isEmpty())
            return usageError(e);
        if (args.size() != 2)
            return usageError(QStringLiteral("scan takes one FILE"));
        const QString k = parser.value(kind);
        const auto& kinds = MeasurementKinds();
        const auto named = std::find_if(kinds.begin(), kinds.end(), [&k](const MeasurementKindInfo& info) {
            return k == QLatin1String(info.cliName);
        });
        if (named == kinds.end())
            return usageError(QStringLiteral("unknown kind '%1'").arg(k));
        if (!runImport(form, toolkit, named->kind, args.at(1)))
            return Stopped;
        printOut(QStringLiteral("begin %1\nend %2\npatches %3\ncolumns %4\n")
                     .arg(named->begin.of(form).Text(), named->end.of(form).Text(),
                          named->patches.of(form).Text(), named->columns.of(form).Text()));
        return Clean;
    }

    if (command == QLatin1String("check")) {
        if (const QString e = onlyOptions(
                {&spectral, &lab, &unscrambled, &swatchDir, &optimized, &format, &condition, &reportFile});
            !e.isEmpty())
            return usageError(e);
        if (args.size() != 1)
            return usageError(
                QStringLiteral("check takes no FILE; use --spectral and --lab, or --optimized"));
        cli::ReportFormat reportFormat;
        if (!cli::ParseReportFormat(parser.value(format), reportFormat))
            return usageError(QStringLiteral("unknown format '%1'").arg(parser.value(format)));
        std::optional<colour::Condition> chosen;
        if (parser.value(condition) != QLatin1String("best")) {
            colour::Condition c;
            if (!colour::ParseCondition(parser.value(condition), c))
                return usageError(QStringLiteral("unknown condition '%1'").arg(parser.value(condition)));
            chosen = c;
        }
        const bool pair = parser.isSet(spectral) || parser.isSet(lab);
        if (pair == parser.isSet(optimized) || (pair && !(parser.isSet(spectral) && parser.isSet(lab))))
            return usageError(QStringLiteral("check needs --spectral and --lab, or --optimized"));
        if (!pair && (parser.isSet(unscrambled) || parser.isSet(swatchDir)))
            return usageError(QStringLiteral("--unscrambled and --swatch-dir apply to a pair only"));
        preflight::PreflightReport report;
        if (pair) {
            if (!importPair(form, toolkit, parser.value(spectral), parser.value(lab),
                            parser.isSet(unscrambled),
                            parser.isSet(swatchDir) ? std::optional(parser.value(swatchDir)) : std::nullopt))
                return Stopped;
            report = preflight::SmoothingPreflight(form, chosen);
        } else {
            if (!runImport(form, toolkit, MeasurementKind::Optimized, parser.value(optimized)))
                return Stopped;
            report = preflight::SpecPreflight(form);
        }
        if (parser.isSet(reportFile)) {
            QString error;
            if (!report::WritePreflightReportPdf(
                    report, QFileInfo(parser.value(reportFile)).absoluteFilePath(), &error)) {
                std::fprintf(stderr, "%s\n", qPrintable(error));
                return Stopped;
            }
        }
        if (!writeStandardOutput(cli::FormatReport(report, reportFormat)))
            return Stopped;
        return cli::PreflightExit(report);
    }

    if (command == QLatin1String("smooth")) {
        if (const QString e = onlyOptions({&spectral, &lab, &unscrambled, &swatchDir, &output, &force});
            !e.isEmpty())
            return usageError(e);
        if (args.size() != 1)
            return usageError(QStringLiteral("smooth takes no FILE; use --spectral and --lab"));
        if (!parser.isSet(spectral) || !parser.isSet(lab) || !parser.isSet(output))
            return usageError(QStringLiteral("smooth needs --spectral, --lab and -o"));
        const Output out = outputFor(parser.value(output));
        if (!importPair(form, toolkit, parser.value(spectral), parser.value(lab), parser.isSet(unscrambled),
                        parser.isSet(swatchDir) ? std::optional(parser.value(swatchDir)) : std::nullopt))
            return Stopped;
        if (!preflightAllows(preflight::SmoothingPreflight(form), parser.isSet(force)))
            return cli::kExitErrors;
        return runBuild(toolkit, out,
                        [&] { return btnWriteSmoothingClick(form, toolkit, SystemBuildClock()); });
    }

    if (command == QLatin1String("spec")) {
        if (const QString e = onlyOptions({&output, &force}); !e.isEmpty())
            return usageError(e);
        if (args.size() != 2 || !parser.isSet(output))
            return usageError(QStringLiteral("spec takes one FILE and -o OUT"));
        const Output out = outputFor(parser.value(output));
        if (!runImport(form, toolkit, MeasurementKind::Optimized, args.at(1)))
            return Stopped;
        if (!preflightAllows(preflight::SpecPreflight(form), parser.isSet(force)))
            return cli::kExitErrors;
        return runBuild(toolkit, out, [&] { return btnWriteUlvarClick(form, toolkit, SystemBuildClock()); });
    }

    if (command.isEmpty())
        return usageError(QStringLiteral("no command given"));
    return usageError(QStringLiteral("unknown command '%1'").arg(command));
}
