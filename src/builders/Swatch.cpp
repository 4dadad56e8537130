// A swatch file lists the CMYK values (0 to 255) of one chart's patches. Only its patch block is
// read:
//
//      Patches {
//        [128 51 230 0],          <- five characters of indent and "[", then C M Y K, then "],"
//      }
//
// The marker lines are matched whole (letter case ignored) and the closing one is the first such
// line anywhere in the file, before the opening one included.

#include "Swatch.h"

#include "Error.h"
#include "FormState.h"
#include "IntegerText.h"
#include "LineList.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <limits>

namespace {

struct ChartRange {
    int first;
    int last;
    const char* name;
};

// 2383 falls between ExtremeL and Ultra; every other range takes the count just past its end to
// the next chart, so 2383 does the same and selects Ultra.
constexpr ChartRange kCharts[] = {
    {1, 993, "Quick"},        {994, 1985, "Standard"}, {1986, 2065, "Extreme"},
    {2066, 2382, "ExtremeL"}, {2383, 2462, "Ultra"},   {2463, 2800, "UltraL"},
};

} // namespace

QString SwatchChartName(int patches) {
    for (const ChartRange& range : kCharts)
        if (patches >= range.first && patches <= range.last)
            return QString::fromLatin1(range.name);
    return QStringLiteral("Extreme");
}

QString SwatchFilePath(const FormState& form) {
    const int patches =
        static_cast<int>(ReadInteger(form.NumberBoxPatches.Text(), IntegerSyntax::Decimal,
                                     std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
    return SwatchFilePath(patches, form.cbScrambledSwatch.IsChecked);
}

QString SwatchFilePath(int patches, bool scrambled) {
    QString name = SwatchChartName(patches);
    if (!scrambled)
        name += u'U';
    return QStringLiteral("./CMYK/") + name + QStringLiteral(".IccSwa");
}

void SwatchFileLoad(const FormState& form, LineList& lines) {
    const QString path = SwatchFilePath(form);
    const QString fullPath = QDir::toNativeSeparators(QDir::cleanPath(QDir::current().absoluteFilePath(path)));
    QFile file(path);
    const bool isDir = QFileInfo(path).isDir();
    if (isDir || !file.open(QIODevice::ReadOnly)) {
        const QString reason = isDir ? QStringLiteral("Is a directory") : file.errorString();
        throw Error(QStringLiteral("Cannot open file \"%1\". %2").arg(fullPath, ReasonText(reason)));
    }
    lines.LoadFromStream(file);
}

void SwatchPatchesExtract(LineList& lines) {
    const int begin = lines.IndexOf(QStringLiteral("   Patches {"));
    const int end = lines.IndexOf(QStringLiteral("   }"));
    LineList patches;
    for (int k = begin + 1; k <= end - 1; ++k) {
        const QString& line = lines.Get(k);
        patches.Add(line.size() <= 7 ? QString() : line.mid(5, line.size() - 7));
    }
    lines.Clear();
    lines.AddStrings(patches);
}
