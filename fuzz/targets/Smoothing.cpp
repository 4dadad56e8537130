// The smoothing build on spectral and L*a*b* panes holding the input's two parts, with readable
// swatch files for every chart: the document it makes, or the one reason it stops.

#include "FuzzSupport.h"

#include "Build.h"
#include "CgatsScan.h"
#include "FormState.h"
#include "SmoothingBuilder.h"
#include "Toolkit.h"

#include <algorithm>

namespace lumetra::fuzz {

void SmoothingRows(const std::uint8_t* data, std::size_t size) {
    const QList<QByteArray> in = parts(bytesOf(data, size), 2);
    const std::optional<QStringList> spectral = loaded(in.at(0));
    const std::optional<QStringList> lab = loaded(in.at(1));
    if (!spectral || !lab)
        return;
    const InFolder here(folderWithSwatches("smoothing"));

    FormState form;
    form.FormCreate();
    form.memoInput.Lines.setLines(*spectral);
    form.memoCGATSLab.Lines.setLines(*lab);
    // The declared count picks the chart; every chart has a swatch file here.
    const CgatsScanResult scan = CgatsScan(form.memoCGATSLab.Lines);
    form.NumberBoxPatches.SetValue(scan.number_of_sets);
    form.NumberBoxPatchesLab.SetValue(scan.number_of_sets);
    form.MemoSmoothCGATS.Lines.setLines({QStringLiteral("previous")});

    ScriptedToolkit toolkit = fuzzToolkit();
    toolkit.answerSave(std::nullopt);
    const BuildClock clock = fixedClock();
    RunGuarded(toolkit, [&] { btnWriteSmoothingClick(form, toolkit, clock); });

    // The build stops on the first line it needs and a pane lacks: the L*a*b* pane's line 0, or a
    // paired line below the spectral pane's end.
    const LineList labList = listOf(*lab);
    const int begin = labList.IndexOf(QStringLiteral("BEGIN_DATA"));
    const int end = labList.IndexOf(QStringLiteral("END_DATA"));
    const int firstMissing = std::max<int>(begin + 1, static_cast<int>(spectral->size()));
    const int missing = lab->isEmpty() ? 0 : firstMissing < end ? firstMissing : -1;
    if (missing >= 0) {
        check(toolkit.errors() ==
                  QStringList{ErrorDisplayText(QStringLiteral("List index out of bounds (%1)").arg(missing))},
              "a build that cannot go on names the line it lacks", toolkit.errors().join(u'|'));
        check(form.MemoSmoothCGATS.Lines.Count() == 0, "a stopped build leaves its pane empty");
        check(toolkit.count(ScriptedToolkit::Event::Save) == 0, "a stopped build offers no save");
        return;
    }
    check(toolkit.errors().isEmpty(), "nothing escapes a build that can go on", toolkit.errors().join(u'|'));
    checkSmoothingDocument(form.MemoSmoothCGATS.Lines.lines(), toolkit.messages(), *lab, *spectral,
                           kSwatchPatches, form.NumberBoxPatches.Text());
    check(toolkit.count(ScriptedToolkit::Event::Save) == 1, "the build offers to save");
}

} // namespace lumetra::fuzz
