// The spec build on an optimized pane holding the input's lines: every row of the spec document is
// one data line's values from its first spectral field on, tab-separated; a line without them is
// named instead; the saved file is the pane.

#include "FuzzSupport.h"

#include "Build.h"
#include "FormState.h"
#include "SpecBuilder.h"
#include "Toolkit.h"

#include <QFile>
#include <QFileInfo>

namespace lumetra::fuzz {

void SpecRows(const std::uint8_t* data, std::size_t size) {
    std::optional<QStringList> lines = loaded(bytesOf(data, size));
    if (!lines)
        return;
    // The build needs more than 100 lines; empty lines after the document change nothing else.
    while (lines->size() <= 100)
        lines->append(QString());
    const QString out = scratch("spec") + QStringLiteral("/out.spec");
    QFile::remove(out);

    FormState form;
    form.FormCreate();
    form.memoOptimized.Lines.setLines(*lines);
    form.memoUlvarSpec.Lines.setLines({QStringLiteral("previous")});
    ScriptedToolkit toolkit = fuzzToolkit();
    toolkit.answerSave(out);
    const BuildClock clock = fixedClock();
    RunGuarded(toolkit, [&] { btnWriteUlvarClick(form, toolkit, clock); });

    const LineList doc = listOf(*lines);
    const QStringList pane = form.memoUlvarSpec.Lines.lines();
    check(!pane.isEmpty() && pane.front().startsWith(QStringLiteral("; Created: ")),
          "the creation line comes first");

    // The values start at the first field named on the line after BEGIN_DATA_FORMAT whose name
    // starts with "SPEC" (1-based p).
    const int h = doc.IndexOf(QStringLiteral("BEGIN_DATA_FORMAT"));
    const QStringList names = h + 1 < doc.Count() ? fieldsOf(doc.Get(h + 1)) : QStringList();
    int p = 0;
    while (p < names.size() && !names.at(p).startsWith(QLatin1String("SPEC")))
        ++p;
    if (p == names.size()) {
        check(toolkit.errors() == QStringList{ErrorDisplayText(SpecAssertionText())},
              "no spectral field: the assertion", toolkit.errors().join(u'|'));
        check(pane.size() == 1 && toolkit.count(ScriptedToolkit::Event::Save) == 0 && !QFileInfo::exists(out),
              "no rows, no file");
        check(form.RectangleProgress.Visible && form.RectangleProgress.Width == 12 && form.Timer.Enabled,
              "the bar stays at 12");
        return;
    }
    ++p;

    check(toolkit.errors().isEmpty(), "nothing escapes a spec build", toolkit.errors().join(u'|'));
    check(pane.size() >= 2 && pane.back().isEmpty(),
          "the confirmed save ends the document with an empty line");
    const QStringList rows = pane.mid(1, pane.size() - 2);
    QStringList messages;
    QString lastRow = QStringLiteral("SPEC"); // the line buffer before any row
    double width = 12;
    qsizetype j = 0;
    const int first = doc.IndexOf(QStringLiteral("BEGIN_DATA")) + 1;
    const int end = doc.IndexOf(QStringLiteral("END_DATA"));
    for (int r = first; r <= end - 1; ++r) {
        const QStringList f = fieldsOf(doc.Get(r));
        if (f.size() < p) {
            // Named by its line index and the line buffer: the last row written.
            messages << QStringLiteral("i_row:%1").arg(r) << lastRow;
            continue;
        }
        check(j < rows.size(), "a row for every data line with spectral values", QString::number(r));
        check(!rows.at(j).contains(u' ') && rows.at(j).split(u'\t') == f.mid(p - 1),
              "a row is its line's values from the first spectral field on, tab-separated",
              rows.at(j).left(200) + QStringLiteral(" / ") + doc.Get(r).left(200));
        lastRow = rows.at(j++);
        if (r % 20 == 0)
            width += 1;
    }
    check(j == rows.size(), "no row without its data line",
          QStringLiteral("%1 rows, %2 from data lines").arg(rows.size()).arg(j));
    checkLines(toolkit.messages(), messages, "short rows: their index and the line buffer");
    check(form.labelUlvarSpecFile.Text == out, "the path display shows the saved file");
    checkSavedFile(out, form.memoUlvarSpec.Lines, "the spec file holds its pane");
    check(form.RectangleProgress.Width == width, "the bar grows at every twentieth line index");
    check(!form.RectangleProgress.Visible && !form.Timer.Enabled, "the bar ends hidden");
}

} // namespace lumetra::fuzz
