// A swatch file: its patch lines cut out, then the smoothing build taking its CMYK values from them.

#include "FuzzSupport.h"

#include "Build.h"
#include "FormState.h"
#include "SmoothingBuilder.h"
#include "Swatch.h"

#include <QDir>

#include <algorithm>

namespace lumetra::fuzz {
namespace {

// The lines between the opening and the first closing marker line, each less its first five and
// last two characters (nothing of a line of seven or fewer).
void checkPatchLines(const QStringList& file, const QStringList& cut) {
    const LineList list = listOf(file);
    const int begin = list.IndexOf(QStringLiteral("   Patches {"));
    const int end = list.IndexOf(QStringLiteral("   }"));
    check(cut.size() == std::max(0, end - begin - 1), "one patch line per line between the markers",
          QStringLiteral("%1 patch lines, markers on lines %2 and %3").arg(cut.size()).arg(begin).arg(end));
    for (qsizetype j = 0; j < cut.size(); ++j) {
        const QString& line = file.at(begin + 1 + j);
        const bool ok = line.size() <= 7 ? cut.at(j).isEmpty()
                                         : line.size() == cut.at(j).size() + 7 &&
                                               QStringView(line).mid(5, cut.at(j).size()) == cut.at(j);
        check(ok, "a patch line is its line less the indent and bracket before and the two after",
              line.left(200) + QStringLiteral(" -> ") + cut.at(j).left(200));
    }
}

} // namespace

void Swatch(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes = bytesOf(data, size);
    const std::optional<QStringList> lines = loaded(bytes);
    QStringList patches;
    if (lines) {
        LineList cut = listOf(*lines);
        SwatchPatchesExtract(cut);
        patches = cut.lines();
        checkPatchLines(*lines, patches);
    }

    // The smoothing build taking its CMYK values from this swatch file.
    const QString dir = scratch("swatch");
    QDir().mkpath(dir + QStringLiteral("/CMYK"));
    writeFile(dir + QStringLiteral("/CMYK/Quick.IccSwa"), bytes);
    const InFolder here(dir);

    const int rows = static_cast<int>(std::clamp<qsizetype>(patches.size(), 1, 300));
    QStringList lab = {QStringLiteral("CGATS.17"), QStringLiteral("BEGIN_DATA")};
    QStringList spectral = lab;
    for (int i = 1; i <= rows; ++i) {
        lab << QStringLiteral("%1 50.0 1.0 -1.0 ").arg(i);
        spectral << QStringLiteral("%1 0.1 0.2").arg(i);
    }
    lab << QStringLiteral("END_DATA");
    spectral << QStringLiteral("END_DATA");

    FormState form;
    form.FormCreate();
    form.memoCGATSLab.Lines.setLines(lab);
    form.memoInput.Lines.setLines(spectral);
    form.NumberBoxPatches.SetValue(rows);
    form.NumberBoxPatchesLab.SetValue(rows);
    ScriptedToolkit toolkit = fuzzToolkit();
    toolkit.answerSave(std::nullopt);
    const BuildClock clock = fixedClock();
    RunGuarded(toolkit, [&] { btnWriteSmoothingClick(form, toolkit, clock); });

    if (!lines) {
        check(toolkit.errors().size() == 1 &&
                  toolkit.errors().front().startsWith(QStringLiteral("No mapping")),
              "an undecodable swatch file stops the build with its reason", toolkit.errors().join(u'|'));
        return;
    }
    check(toolkit.errors().isEmpty(), "nothing escapes a build over a readable swatch",
          toolkit.errors().join(u'|'));
    checkSmoothingDocument(form.MemoSmoothCGATS.Lines.lines(), toolkit.messages(), lab, spectral, patches,
                           QString::number(rows));
}

} // namespace lumetra::fuzz
