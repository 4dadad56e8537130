// The smoothing file is a CGATS file for the Ulvar software:
//
//   <first line of the L*a*b* file>
//   ORIGINATOR "Lumetra"
//   FILE_DESCRIPTOR "Ulvar Measurements for Smoothing"
//   CREATED "11_Mar_2018 12:00:00 AM"
//   NUMBER_OF_FIELDS 44
//   BEGIN_DATA_FORMAT
//   SAMPLE_ID CMYK_C CMYK_M CMYK_Y CMYK_K LAB_L LAB_A LAB_B SPECTRAL_380 ... SPECTRAL_730 (each name
//   followed by one blank)
//   END_DATA_FORMAT
//   NUMBER_OF_SETS <patch count>
//   BEGIN_DATA
//   1 50.20 20.00 90.20 0.00 50.12 -3.45 2.10 0.0512 0.0634 ...
//   END_DATA
//
// Row k comes from line BEGIN_DATA + k of both measurement panes; its CMYK percentages come from
// the swatch's patch lines in order. A row whose patch line cannot be read is left out (a gap in
// the numbering) and the next row tries the same patch line again; past the first few such rows
// their boxes are summed up in one.

#include "SmoothingBuilder.h"

#include "Build.h"
#include "BuildClock.h"
#include "CreationDates.h"
#include "FormState.h"
#include "LineList.h"
#include "RowFailureBoxes.h"
#include "SaveDocument.h"
#include "SmoothingRows.h"
#include "SpectralBands.h"
#include "Swatch.h"
#include "Toolkit.h"

namespace {

QString fieldNameLine() {
    return QStringLiteral("SAMPLE_ID CMYK_C CMYK_M CMYK_Y CMYK_K LAB_L LAB_A LAB_B ") +
           SpectralFieldNames().join(u' ') + u' ';
}

bool endsInWhiteSpace(const QString& s) {
    return !s.isEmpty() && s.back().unicode() <= u' ';
}

bool startsWithWhiteSpace(const QString& s) {
    return !s.isEmpty() && s.front().unicode() <= u' ';
}

} // namespace

QString DropSampleId(QStringView line) {
    const qsizetype blank = line.indexOf(u' ');
    return (blank < 0 ? line : line.mid(blank + 1)).toString();
}

QString SmoothingRow(int number, const QString& cmykPart, const QString& labRest,
                     const QString& spectralRest) {
    QString row = QString::number(number) + cmykPart + labRest;
    // L*a*b* lines normally end in a blank that separates them from the spectral values.
    if (!endsInWhiteSpace(row) && !spectralRest.isEmpty() && !startsWithWhiteSpace(spectralRest))
        row += u' ';
    return row + spectralRest;
}

BuildResult btnWriteSmoothingClick(FormState& form, Toolkit& toolkit, const BuildClock& clock,
                                   const BuildGate* gate) {
    BuildResult result;
    if (form.NumberBoxPatches.Text() != form.NumberBoxPatchesLab.Text()) {
        toolkit.ShowMessage(QStringLiteral("Spectral and Lab CGATS file do not match."));
        return result;
    }
    form.MemoSmoothCGATS.Lines.Clear();

    LineList output;
    LineList patches;
    SwatchFileLoad(form, patches);
    toolkit.Yield();

    const LineList& lab = form.memoCGATSLab.Lines;
    const LineList& spectral = form.memoInput.Lines;
    output.Add(lab.Get(0));
    output.Add(QStringLiteral("ORIGINATOR \"Lumetra\""));
    output.Add(QStringLiteral("FILE_DESCRIPTOR \"Ulvar Measurements for Smoothing\""));
    output.Add(
        QStringLiteral("CREATED \"%1\"").arg(SmoothingCreatedText(clock.now().date(), clock.regional())));
    output.Add(QStringLiteral("NUMBER_OF_FIELDS 44"));
    output.Add(QStringLiteral("BEGIN_DATA_FORMAT"));
    output.Add(fieldNameLine());
    output.Add(QStringLiteral("END_DATA_FORMAT"));
    output.Add(QStringLiteral("NUMBER_OF_SETS ") + form.NumberBoxPatches.Text());
    output.Add(QStringLiteral("BEGIN_DATA"));

    SwatchPatchesExtract(patches);

    RowFailureBoxes failures(toolkit);
    QString scratch; // a row's text, where the pane holds it as bytes
    ForEachSmoothingRow(lab, patches, [&](const SmoothingRowPlan& row) {
        toolkit.Yield();
        // A spectral pane shorter than the L*a*b* one stops the build here.
        const QString spectralRest = DropSampleId(spectral.view(row.line, scratch));
        const QString labRest = DropSampleId(lab.view(row.line, scratch));
        if (row.failed)
            failures.failed(
                row.number,
                {QStringLiteral("i_row: %1 cgats_cmyk.count: %2").arg(row.patch).arg(patches.Count())});
        else {
            output.Add(SmoothingRow(row.number, row.cmyk, labRest, spectralRest));
            ++result.rowsWritten;
        }
    });
    output.Add(QStringLiteral("END_DATA"));
    form.MemoSmoothCGATS.Lines.AddStrings(output);
    failures.finish();
    result.rowsLeftOut = failures.failedRows();

    SaveStep save{form.dlgSaveCGATSFile, QStringLiteral("Smooth_"), QStringLiteral("txt"),
                  form.MemoSmoothCGATS, form.LabelSmoothCGATS};
    if (gate && gate->smoothing)
        save.blockers = gate->smoothing(form);
    if (RunSaveStep(save, toolkit, clock.now())) {
        result.stopped = false;
        result.savedTo = form.dlgSaveCGATSFile.FileName;
        toolkit.Yield();
    }

    toolkit.ProcessMessages();
    toolkit.Yield();
    return result;
}

void btnWriteSmoothingClick(FormState& form, Toolkit& toolkit) {
    btnWriteSmoothingClick(form, toolkit, SystemBuildClock());
}

void btnWriteSmoothingClick(FormState& form, Toolkit& toolkit, const BuildGate& gate) {
    btnWriteSmoothingClick(form, toolkit, SystemBuildClock(), &gate);
}
