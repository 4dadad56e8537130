// The whole open-button handler on a file holding the input (first byte: which button). A refused
// file leaves the window as it was; an accepted one fills its pane with the file's lines and its
// boxes with what the scan of those lines read; nothing escapes but the messages meant for a user.

#include "FuzzSupport.h"

#include "CgatsScan.h"
#include "Controls.h"
#include "FormState.h"
#include "Import.h"
#include "MeasurementKind.h"

namespace lumetra::fuzz {

void Import(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return;
    const int tag = data[0] % 3 + 1;
    const QByteArray bytes = bytesOf(data + 1, size - 1);
    const QString path = scratch("import") + QStringLiteral("/input.txt");
    writeFile(path, bytes);

    // Every kind shows an earlier document, so that "left as it was" means something.
    FormState form;
    form.FormCreate();
    Memo* panes[] = {&form.memoInput, &form.memoCGATSLab, &form.memoOptimized};
    Label* names[] = {&form.labelMeasurementFileName, &form.labelLabFileName, &form.LabelOptimizedFileName};
    NumberBox* patches[] = {&form.NumberBoxPatches, &form.NumberBoxPatchesLab,
                            &form.NumberBoxPatchesOptimized};
    for (int k = 0; k < 3; ++k) {
        panes[k]->Lines.setLines({QStringLiteral("earlier document")});
        names[k]->Text = QStringLiteral("earlier.txt");
        patches[k]->SetValue(7);
    }
    const QStringList paneBefore = panes[tag - 1]->Lines.lines();

    ScriptedToolkit toolkit = fuzzToolkit();
    toolkit.answerOpen(path);
    RunGuarded(toolkit, [&] { btnOpenCGATSFileClick(form, toolkit, tag); });

    check(toolkit.errors().isEmpty(), "nothing escapes an import", toolkit.errors().join(u'|'));
    check(toolkit.count(ScriptedToolkit::Event::Open) == 1 && toolkit.unexpectedDialogs == 0,
          "one open dialog and no other");
    check(!form.RectangleProgress.Visible && !form.Timer.Enabled, "the bar ends hidden, its timer stopped");
    check(toolkit.messages().size() <= 1, "at most one message", toolkit.messages().join(u'|'));
    const Memo& pane = *panes[tag - 1];
    const Label& name = *names[tag - 1];

    const std::optional<QStringList> lines = loaded(bytes);
    const QString formatMessage =
        tag == 1   ? QStringLiteral("Input File Incorrect: The File Should be the Ulvar Spectral CGATS File")
        : tag == 2 ? QStringLiteral("Input File Incorrect: The File Should be the Ulvar L*a*b* CGATS File")
                   : QString();
    QString refused;
    if (!lines)
        refused = QStringLiteral("Input File Incorrect: The File Should be an Ulvar CGATS File");
    else if (tag != 3 && listOf(*lines).IndexOf(tag == 1 ? SpectralFormatLine() : LabFormatLine()) <= 0)
        refused = formatMessage;
    if (!refused.isEmpty()) {
        check(toolkit.messages() == QStringList{refused}, "a refused file is named so",
              toolkit.messages().join(u'|'));
        checkLines(pane.Lines.lines(), paneBefore, "a refused file leaves the pane");
        check(name.Text == QStringLiteral("earlier.txt") && patches[tag - 1]->Value() == 7,
              "a refused file leaves the labels and boxes");
        return;
    }
    check(name.Text == QStringLiteral("input.txt"), "the name label shows the file's name", name.Text);
    const CgatsScanResult scan = CgatsScan(listOf(*lines));
    if (!scan.ok) {
        check(toolkit.messages().size() == 1 &&
                  toolkit.messages().front().startsWith(QStringLiteral("i1 CGATS")),
              "a failed scan shows its message", toolkit.messages().join(u'|'));
        check(pane.Lines.Count() == 0, "a failed scan leaves the pane empty");
        return;
    }
    check(toolkit.messages().isEmpty(), "an accepted file shows no message", toolkit.messages().join(u'|'));
    checkLines(pane.Lines.lines(), *lines, "the pane holds the file's lines");
    NumberBox expected(10000, 0, true, true);
    expected.SetValue(scan.number_of_sets);
    check(patches[tag - 1]->Value() == expected.Value(), "the patches box shows the declared count");
    if (tag == 3)
        check(form.TabItem5.Enabled, "a loaded optimized file opens the spec tab");
    else if (tag == 1)
        check(form.TabItem2.Enabled, "a loaded spectral file opens the L*a*b* tab");
}

} // namespace lumetra::fuzz
