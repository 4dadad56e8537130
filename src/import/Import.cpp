// Import of the three kinds of measurement file: a spectral and an L*a*b* CGATS file of the same
// chart, and an optimized file. A spectral file must carry the line
//   SAMPLE_ID SPECTRAL_380 SPECTRAL_390 ... SPECTRAL_730<blank>
// and an L*a*b* file the line
//   SAMPLE_ID LAB_L LAB_A LAB_B<blank>
// as a whole line below its first one (letter case ignored); an optimized file is not checked.
// The header scan then finds BEGIN_DATA / END_DATA and reads NUMBER_OF_SETS / NUMBER_OF_FIELDS.
// Every import reads into a list of its own and touches the window only when it presents, so an
// import started inside one of its pumps cannot disturb it.

#include "Import.h"

#include "CgatsScan.h"
#include "Controls.h"
#include "Error.h"
#include "FormState.h"
#include "LineList.h"
#include "SpectralBands.h"
#include "Toolkit.h"

#include <QFileInfo>

#include <exception>

namespace {

const char kUnreadableFile[] = "Input File Incorrect: The File Should be an Ulvar CGATS File";
const char kNotSpectralFile[] = "Input File Incorrect: The File Should be the Ulvar Spectral CGATS File";
const char kNotLabFile[] = "Input File Incorrect: The File Should be the Ulvar L*a*b* CGATS File";

QString scanFailureMessage() {
    return QStringLiteral("i1 CGATS (input) file error.\rPress the Help Button or\rContact ") +
           QString::fromUtf8(kSupportAddress) + QStringLiteral(" for assistance");
}

// What belongs to one kind of file. Pointers into the form, whose controls live as long as it.
struct Kind {
    OpenDialog* dialog = nullptr;
    const QString* formatLine = nullptr; // nullptr: the kind needs none
    const char* formatMessage = nullptr;
    Label* fileName = nullptr;
    Label* fileType = nullptr; // nullptr: the kind has none to clear
    NumberBox* begin = nullptr;
    NumberBox* patches = nullptr;
    NumberBox* end = nullptr;
    NumberBox* columns = nullptr;
    Memo* pane = nullptr;
};

bool kindOf(FormState& f, int tag, Kind& kind) {
    switch (tag) {
    case 1:
        kind = Kind{.dialog = &f.dlgOpenMeasurementFile,
                    .formatLine = &SpectralFormatLine(),
                    .formatMessage = kNotSpectralFile,
                    .fileName = &f.labelMeasurementFileName,
                    .fileType = &f.LabelMeasureFileType,
                    .begin = &f.NumberBoxBeginData,
                    .patches = &f.NumberBoxPatches,
                    .end = &f.NumberBoxEndData,
                    .columns = &f.NumberBoxColumns,
                    .pane = &f.memoInput};
        return true;
    case 2:
        kind = Kind{.dialog = &f.dlgOpenMeasurementFile,
                    .formatLine = &LabFormatLine(),
                    .formatMessage = kNotLabFile,
                    .fileName = &f.labelLabFileName,
                    .fileType = &f.LabelLabFileType,
                    .begin = &f.NumberBoxBeginDataLab,
                    .patches = &f.NumberBoxPatchesLab,
                    .end = &f.NumberBoxEndDataLab,
                    .columns = &f.NumberBoxColumnsLab,
                    .pane = &f.memoCGATSLab};
        return true;
    case 3:
        // No format line to check, and Label3 keeps its caption.
        kind = Kind{.dialog = &f.dlgOpenOptimizedFile,
                    .fileName = &f.LabelOptimizedFileName,
                    .begin = &f.NumberBoxBeginDataOptimized,
                    .patches = &f.NumberBoxPatchesOptimized,
                    .end = &f.NumberBoxEndDataOptimized,
                    .columns = &f.NumberBoxColumnsOptimized,
                    .pane = &f.memoOptimized};
        return true;
    default:
        return false;
    }
}

// The detail lumetra-cli prints after a message: the file, the line (an index, -1 for none) and
// why. The window's message cannot name them.
void showDetail(Toolkit& toolkit, const QString& fileName, int line, const QString& reason) {
    const QString where = fileName.isEmpty() ? QString() : fileName + u':';
    if (line >= 0)
        toolkit.ShowDetail(
            QStringLiteral("%1%2: %3")
                .arg(where.isEmpty() ? QStringLiteral("line ") : where, QString::number(line + 1), reason));
    else
        toolkit.ShowDetail(where.isEmpty() ? reason : QStringLiteral("%1 %2").arg(where, reason));
}

// Why the kind's format line was not found, for the detail.
void showFormatLineDetail(Toolkit& toolkit, const QString& fileName, const LineList& input,
                          const QString& formatLine) {
    QString shown = formatLine;
    if (shown.size() > 40) // the spectral line: its first and last names tell it
        shown = shown.left(shown.indexOf(u' ', 10) + 1) + QStringLiteral("...") +
                shown.mid(shown.lastIndexOf(u' ', -2));
    if (input.IndexOf(formatLine) == 0) {
        showDetail(toolkit, fileName, 0, QStringLiteral("the data-format line must not be the first line"));
        return;
    }
    for (int i = 1; i < input.Count(); ++i) {
        if (LinesEqualIgnoringCase(input.Get(i).simplified() + u' ', formatLine)) {
            showDetail(toolkit, fileName, i,
                       QStringLiteral("the data-format line must read \"%1\": one blank between the names "
                                      "and one after the last")
                           .arg(shown));
            return;
        }
    }
    showDetail(toolkit, fileName, -1, QStringLiteral("no data-format line \"%1\"").arg(shown));
}

// Why a name that is no file was read as an empty document.
QString noFileReason(const QFileInfo& info) {
    if (!info.exists())
        return QStringLiteral("no such file");
    if (info.isDir())
        return QStringLiteral("is a folder, not a file");
    return QStringLiteral("is not a regular file");
}

// Reads the chosen file into input and checks its format line. False when the file was refused
// (its message has been shown). A name that is no file (missing, a folder, a device) reads
// nothing and lets the scan refuse the empty document; notFile then says why.
bool readAndCheck(FormState& form, Toolkit& toolkit, const Kind& kind, const QString& fileName,
                  LineList& input, QString& notFile) {
    try {
        const QFileInfo info(fileName);
        if (!info.isFile()) {
            notFile = noFileReason(info);
            return true;
        }
        form.TimerRun(true);
        input.LoadFromFile(fileName);
        form.RectangleProgress.Visible = true; // an import run inside a pump may have hidden it
        toolkit.ProcessMessages();
        if (kind.formatLine && input.IndexOf(*kind.formatLine) <= 0) {
            toolkit.ShowMessage(QString::fromUtf8(kind.formatMessage));
            showFormatLineDetail(toolkit, fileName, input, *kind.formatLine);
            return false;
        }
        return true;
    } catch (const std::exception& e) {
        // Unreadable or undecodable: the user is told the file is not one of ours, whatever the cause.
        toolkit.ShowMessage(QString::fromUtf8(kUnreadableFile));
        const auto* error = dynamic_cast<const Error*>(&e);
        showDetail(toolkit, fileName, -1, error ? error->message() : QString::fromLocal8Bit(e.what()));
        return false;
    }
}

// CGATSFileProcess, telling the detail of a failure after its message.
void processScan(FormState& form, Toolkit& toolkit, int tag, LineList& cgatsInput, int& begin_data,
                 int& number_of_sets, int& end_data, int& number_of_fields, const QString& fileName,
                 const QString& notFile);

void present(const Kind& kind, const QString& fileName, const LineList& input, int begin_data,
             int number_of_sets, int end_data, int number_of_fields) {
    kind.fileName->Visible = true;
    kind.fileName->Text = FileNameWithoutFolder(fileName);
    if (kind.fileType)
        kind.fileType->Text.clear();
    kind.pane->Lines.Clear();
    kind.pane->Lines.AddStrings(input);
    kind.pane->SourcePath = fileName;
    kind.begin->SetValue(begin_data);
    kind.patches->SetValue(number_of_sets);
    kind.end->SetValue(end_data);
    kind.columns->SetText(QString::number(number_of_fields));
}

// Tabs open as their documents arrive; this never closes one.
void openTabs(FormState& form) {
    if (form.memoInput.Lines.Count() >= 1) {
        form.TabItem2.Enabled = true;
        form.TabItem2.FontColor = Colors::MidnightBlue;
        if (form.memoCGATSLab.Lines.Count() >= 1) {
            form.TabItem3.Enabled = true;
            form.TabItem3.FontColor = Colors::ForestGreen;
        }
    }
    if (form.memoOptimized.Lines.Count() >= 1) {
        form.TabItem5.Enabled = true;
        form.TabItem5.FontColor = Colors::ForestGreen;
    }
}

} // namespace

const QString& SpectralFormatLine() {
    static const QString line = [] {
        return QStringLiteral("SAMPLE_ID ") + SpectralFieldNames().join(u' ') + u' ';
    }();
    return line;
}

const QString& LabFormatLine() {
    static const QString line = QStringLiteral("SAMPLE_ID LAB_L LAB_A LAB_B ");
    return line;
}

QString FileNameWithoutFolder(const QString& path) {
    // Here only "/" separates folders: ":" and "\\" are ordinary characters of a file name.
    return path.mid(path.lastIndexOf(u'/') + 1);
}

void CGATSFileProcess(FormState& form, Toolkit& toolkit, int tag, LineList& cgatsInput, int& begin_data,
                      int& number_of_sets, int& end_data, int& number_of_fields) {
    processScan(form, toolkit, tag, cgatsInput, begin_data, number_of_sets, end_data, number_of_fields,
                QString(), QString());
}

namespace {

void processScan(FormState& form, Toolkit& toolkit, int tag, LineList& cgatsInput, int& begin_data,
                 int& number_of_sets, int& end_data, int& number_of_fields, const QString& fileName,
                 const QString& notFile) {
    number_of_sets = 0;
    number_of_fields = 0;
    try {
        const CgatsScanResult scan = CgatsScan(cgatsInput, [&toolkit] { toolkit.ProcessMessages(); });
        number_of_sets = scan.number_of_sets;
        number_of_fields = scan.number_of_fields;
        end_data = scan.end_data;
        if (scan.ok || scan.beginDataSet)
            begin_data = scan.begin_data;
        if (!scan.ok) {
            // The caller goes on with an empty document; the scan's own text is never shown.
            cgatsInput.Clear();
            form.TabItem2.Enabled = false;
            toolkit.ShowMessage(scanFailureMessage());
            if (notFile.isEmpty())
                showDetail(toolkit, fileName, scan.errorLine, scan.reason);
            else
                showDetail(toolkit, fileName, -1, notFile);
            // Only a spectral file's failure concerns the spectral tab's name label: a bad L*a*b*
            // or optimized file must not blank the name of the spectral file still shown there.
            if (tag == 1) {
                form.labelMeasurementFileName.Text.clear();
                form.labelMeasurementFileName.Visible = true;
            }
            form.RectangleProgress.Visible = false;
        }
    } catch (...) {
        form.TimerRun(false);
        throw;
    }
    form.TimerRun(false);
}

} // namespace

void btnOpenCGATSFileClick(FormState& form, Toolkit& toolkit, int tag) {
    Kind kind;
    if (!kindOf(form, tag, kind))
        return;
    LineList input;
    if (!toolkit.ExecuteOpen(*kind.dialog))
        return;
    // Copied at once: an import started inside a later pump reuses the same dialog.
    const QString fileName = kind.dialog->FileName;

    QString notFile;
    if (readAndCheck(form, toolkit, kind, fileName, input, notFile)) {
        // Left to the scan; begin_data keeps 0 when the scan fails before it looks for the start marker.
        int begin_data = 0;
        int number_of_sets = 0;
        int end_data = 0;
        int number_of_fields = 0;
        // Whatever the scan ends with, the window shows the document as it then stands; an error
        // that escapes the scan goes on afterwards.
        std::exception_ptr scanError;
        try {
            processScan(form, toolkit, tag, input, begin_data, number_of_sets, end_data, number_of_fields,
                        fileName, notFile);
        } catch (...) {
            scanError = std::current_exception();
        }
        present(kind, fileName, input, begin_data, number_of_sets, end_data, number_of_fields);
        openTabs(form);
        toolkit.ProcessMessages();
        input.Clear();
        if (scanError)
            std::rethrow_exception(scanError);
    }
    form.TimerRun(false);
}
