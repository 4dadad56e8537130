// The spec file gives Ulvar the spectral values of an optimized file, one patch a line:
//
//   ; Created: 11.03.2018
//   0.0512<TAB>0.0634<TAB>...<TAB>0.8120
//   ...
//
// The values are copied as written, from the first field whose name starts with "SPEC" (case
// matters here) to the end of the row. The saved file ends every line, the last included, with
// CR LF: an empty line is added to the pane before it is written.
//
// The build pumps events while it runs, so it reads the optimized document from its own copy; the
// pane it fills and the progress bar are shared with whatever runs during a pump.

#include "SpecBuilder.h"

#include "Build.h"
#include "BuildClock.h"
#include "CreationDates.h"
#include "Error.h"
#include "FormState.h"
#include "LineList.h"
#include "LineTokenize.h"
#include "RowFailureBoxes.h"
#include "SaveDocument.h"
#include "Toolkit.h"

namespace {

void startProgress(FormState& form) {
    ProgressBar& bar = form.RectangleProgress;
    bar.Visible = true;
    form.BringProgressToFront();
    bar.Width = 10;
    bar.LastTrigger = QStringLiteral("isinvalid");
    form.Timer.Interval = 100;
    form.Timer.Enabled = true;
    bar.Width = bar.Width + 2;
}

// Marks the form's spec build as running for its lifetime (or until released). A click handled
// in one of the build's pumps could start a second build on the same form; it would clear and
// refill the pane the first is still filling, and the first would then save the second's document
// with its own rows appended. The second click is not taken, as if the button were disabled.
class RunningBuild {
public:
    explicit RunningBuild(FormState& form) : m_flag(&form.SpecBuildRunning) { *m_flag = true; }
    ~RunningBuild() { release(); }
    RunningBuild(const RunningBuild&) = delete;
    RunningBuild& operator=(const RunningBuild&) = delete;

    void release() {
        if (m_flag)
            *m_flag = false;
        m_flag = nullptr;
    }

private:
    bool* m_flag;
};

} // namespace

QString SpecAssertionText() {
    return QStringLiteral("%1 (%2, line %3)")
        .arg(QStringLiteral("Assertion failure"), QStringLiteral("unitUlvarTabbed"))
        .arg(516);
}

BuildResult btnWriteUlvarClick(FormState& form, Toolkit& toolkit, const BuildClock& clock,
                               const BuildGate* gate) {
    BuildResult result;
    if (form.SpecBuildRunning)
        return result;
    if (form.memoOptimized.Lines.Count() <= 100) {
        toolkit.ShowMessage(QStringLiteral("Optimized File Not Loaded."));
        return result;
    }
    RunningBuild running(form);
    LineList& spec = form.memoUlvarSpec.Lines;
    spec.Clear();
    spec.Add(QStringLiteral("; Created: ") + SpecCreatedDate(clock.now().date(), clock.regional()));

    const LineList working = form.memoOptimized.Lines;
    const int formatLine = working.IndexOf(QStringLiteral("BEGIN_DATA_FORMAT"));
    QString buffer;
    startProgress(form);

    // p: 1-based position of the first field name starting with "SPEC". A document that ends on
    // its BEGIN_DATA_FORMAT line has an empty field-name line.
    int p = 0;
    {
        LineList names;
        const int namesAt = formatLine + 1;
        LineTokenize(namesAt < working.Count() ? working.Get(namesAt) : QString(), names);
        for (int i = 0; i < names.Count() && buffer != QLatin1String("SPEC"); ++i) {
            p = i + 1;
            buffer = TrimControl(names.Get(i).left(4));
        }
    }
    if (buffer != QLatin1String("SPEC"))
        throw Error(SpecAssertionText());

    const int first = working.IndexOf(QStringLiteral("BEGIN_DATA")) + 1;
    const int end = working.IndexOf(QStringLiteral("END_DATA"));
    RowFailureBoxes failures(toolkit);
    for (int r = first; r <= end - 1; ++r) {
        LineList fields;
        LineTokenize(working.Get(r), fields);
        try {
            buffer = fields.Get(p - 1);
            for (int j = p; j < fields.Count(); ++j) {
                buffer += u'\t';
                buffer += fields.Get(j);
            }
            spec.Add(buffer);
            ++result.rowsWritten;
            if (r % 20 == 0) {
                form.RectangleProgress.Width = form.RectangleProgress.Width + 1;
                toolkit.ProcessMessages();
            }
        } catch (const Error&) {
            // The second box shows the line buffer: the last row written, or "SPEC" before any.
            failures.failed(r, {QStringLiteral("i_row:%1").arg(r), buffer});
        }
        toolkit.Yield();
    }
    failures.finish();
    result.rowsLeftOut = failures.failedRows();
    toolkit.ProcessMessages();

    SaveStep save{form.dlgSaveSmoothFile, QStringLiteral("UlvarSpec_"), QStringLiteral("spec"),
                  form.memoUlvarSpec,     form.labelUlvarSpecFile,      true};
    if (gate && gate->spec)
        save.blockers = gate->spec(working, form.LabelOptimizedFileName.Text);
    try {
        if (RunSaveStep(save, toolkit, clock.now())) {
            result.stopped = false;
            result.savedTo = form.dlgSaveSmoothFile.FileName;
        }
    } catch (const Error&) {
        // The error reaches the user through the window's error display; the bar should not
        // stay behind it as if the build were still running.
        form.TimerRun(false);
        throw;
    }
    form.TimerRun(false);
    // The file is written: a build started from here on is a new one.
    running.release();
    toolkit.ProcessMessages();
    toolkit.Yield();
    return result;
}

void btnWriteUlvarClick(FormState& form, Toolkit& toolkit) {
    btnWriteUlvarClick(form, toolkit, SystemBuildClock());
}

void btnWriteUlvarClick(FormState& form, Toolkit& toolkit, const BuildGate& gate) {
    btnWriteUlvarClick(form, toolkit, SystemBuildClock(), &gate);
}
