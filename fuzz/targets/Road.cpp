// The user's whole road: three imports (spectral, L*a*b*, optimized from the input's three parts),
// both builds, both saves. Whatever the files, only the errors meant for a user are shown, a file is
// written exactly when its path is shown, and it holds its pane.

#include "FuzzSupport.h"

#include "Build.h"
#include "FormState.h"
#include "Import.h"
#include "SmoothingBuilder.h"
#include "SpecBuilder.h"

#include <QFile>
#include <QFileInfo>

namespace lumetra::fuzz {

void Road(const std::uint8_t* data, std::size_t size) {
    const QList<QByteArray> in = parts(bytesOf(data, size), 3);
    const QString dir = folderWithSwatches("road");
    const InFolder here(dir);
    const char* const files[] = {"spectral.txt", "lab.txt", "optimized.txt"};
    for (int k = 0; k < 3; ++k)
        writeFile(dir + u'/' + QLatin1String(files[k]), in.at(k));
    const QString smoothOut = dir + QStringLiteral("/Smooth.txt");
    const QString specOut = dir + QStringLiteral("/Ulvar.spec");
    QFile::remove(smoothOut);
    QFile::remove(specOut);

    FormState form;
    form.FormCreate();
    ScriptedToolkit toolkit = fuzzToolkit();
    for (int tag = 1; tag <= 3; ++tag) {
        toolkit.answerOpen(dir + u'/' + QLatin1String(files[tag - 1]));
        RunGuarded(toolkit, [&] { btnOpenCGATSFileClick(form, toolkit, tag); });
    }
    check(toolkit.errors().isEmpty(), "nothing escapes the imports", toolkit.errors().join(u'|'));
    check(!form.RectangleProgress.Visible, "the imports end with the bar hidden");

    const BuildClock clock = fixedClock();
    // One toolkit per build: one that stops before its dialog must not leave its answer to the next.
    ScriptedToolkit smoothing = fuzzToolkit();
    smoothing.answerSave(smoothOut);
    RunGuarded(smoothing, [&] { btnWriteSmoothingClick(form, smoothing, clock); });
    ScriptedToolkit spec = fuzzToolkit();
    spec.answerSave(specOut);
    RunGuarded(spec, [&] { btnWriteUlvarClick(form, spec, clock); });

    for (const QString& e : smoothing.errors() + spec.errors())
        check(isAllowedHandlerError(e), "only the errors a user is meant to see", e);
    if (form.LabelSmoothCGATS.Text == smoothOut)
        checkSavedFile(smoothOut, form.MemoSmoothCGATS.Lines, "the smoothing file holds its pane");
    else
        check(!QFileInfo::exists(smoothOut), "no smoothing file without its path shown");
    if (form.labelUlvarSpecFile.Text == specOut)
        checkSavedFile(specOut, form.memoUlvarSpec.Lines, "the spec file holds its pane");
    else
        check(!QFileInfo::exists(specOut), "no spec file without its path shown");
    for (const Memo* pane : {&form.MemoSmoothCGATS, &form.memoUlvarSpec})
        for (const QString& line : pane->Lines.lines())
            check(!line.contains(u'\r') && !line.contains(u'\n'),
                  "no line of a built document holds a break");
}

} // namespace lumetra::fuzz
