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
#include "Toolkit.h"

#include <QFileInfo>

#include <algorithm>
#include <exception>

namespace {

const char kUnreadableFile[] = "Input File Incorrect: The File Should be an Ulvar CGATS File";
QString scanFailureMessage() {
    return QStringLiteral("i1 CGATS (input) file error.\rPress the Help Button or\rContact ") +
           QString::fromUtf8(kSupportAddress) + QStringLiteral(" for assistance");
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
bool readAndCheck(FormState& form, Toolkit& toolkit, const MeasurementKindInfo& kind, const QString& fileName,
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
        if (kind.formatLine && input.IndexOf(kind.formatLine()) <= 0) {
            toolkit.ShowMessage(QString::fromUtf8(kind.formatMessage));
            showFormatLineDetail(toolkit, fileName, input, kind.formatLine());
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

// CGATSFileProcess, telling the detail of a failure after its message; true when the scan
// accepted the document.
bool processScan(FormState& form, Toolkit& toolkit, MeasurementKind kind, LineList& cgatsInput,
                 int& begin_data, int& number_of_sets, int& end_data, int& number_of_fields,
                 const QString& fileName, const QString& notFile);

void present(FormState& form, const MeasurementKindInfo& kind, const QString& fileName, const LineList& input,
             int begin_data, int number_of_sets, int end_data, int number_of_fields) {
    Label& name = kind.fileName.of(form);
    name.Visible = true;
    name.Text = FileNameWithoutFolder(fileName);
    if (kind.clearsFileType)
        kind.fileType.of(form).Text.clear();
    Memo& pane = kind.pane.of(form);
    pane.Lines.Clear();
    pane.Lines.AddStrings(input);
    pane.SourcePath = fileName;
    kind.begin.of(form).SetValue(begin_data);
    kind.patches.of(form).SetValue(number_of_sets);
    kind.end.of(form).SetValue(end_data);
    kind.columns.of(form).SetText(QString::number(number_of_fields));
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

QString FileNameWithoutFolder(const QString& path) {
#ifdef Q_OS_WIN
    // A drive ("C:") and either slash end a folder.
    const qsizetype cut = std::max({path.lastIndexOf(u'\\'), path.lastIndexOf(u':'), path.lastIndexOf(u'/')});
    return path.mid(cut + 1);
#else
    // Here only "/" separates folders: ":" and "\\" are ordinary characters of a file name.
    return path.mid(path.lastIndexOf(u'/') + 1);
#endif
}

void CGATSFileProcess(FormState& form, Toolkit& toolkit, int tag, LineList& cgatsInput, int& begin_data,
                      int& number_of_sets, int& end_data, int& number_of_fields) {
    // Only the spectral kind's failure touches a control of its own; any other tag scans alike.
    const MeasurementKind kind = MeasurementKindOfTag(tag).value_or(MeasurementKind::Optimized);
    processScan(form, toolkit, kind, cgatsInput, begin_data, number_of_sets, end_data, number_of_fields,
                QString(), QString());
}

namespace {

bool processScan(FormState& form, Toolkit& toolkit, MeasurementKind kind, LineList& cgatsInput,
                 int& begin_data, int& number_of_sets, int& end_data, int& number_of_fields,
                 const QString& fileName, const QString& notFile) {
    bool accepted = false;
    number_of_sets = 0;
    number_of_fields = 0;
    try {
        const CgatsScanResult scan = CgatsScan(cgatsInput, [&toolkit] { toolkit.ProcessMessages(); });
        number_of_sets = scan.number_of_sets;
        number_of_fields = scan.number_of_fields;
        end_data = scan.end_data;
        if (scan.ok || scan.beginDataSet)
            begin_data = scan.begin_data;
        accepted = scan.ok;
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
            if (kind == MeasurementKind::Spectral) {
                Label& name = MeasurementKindOf(kind).fileName.of(form);
                name.Text.clear();
                name.Visible = true;
            }
            form.RectangleProgress.Visible = false;
        }
    } catch (...) {
        form.TimerRun(false);
        throw;
    }
    form.TimerRun(false);
    return accepted;
}

} // namespace

ImportResult btnOpenCGATSFileClick(FormState& form, Toolkit& toolkit, int tag) {
    if (const std::optional<MeasurementKind> kind = MeasurementKindOfTag(tag))
        return btnOpenCGATSFileClick(form, toolkit, *kind);
    return {};
}

ImportResult btnOpenCGATSFileClick(FormState& form, Toolkit& toolkit, MeasurementKind which) {
    const MeasurementKindInfo& kind = MeasurementKindOf(which);
    LineList input;
    OpenDialog& dialog = form.*kind.dialog;
    ImportResult result;
    if (!toolkit.ExecuteOpen(dialog))
        return result;
    // Copied at once: an import started inside a later pump reuses the same dialog.
    const QString fileName = dialog.FileName;
    result.fileName = fileName;

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
            result.accepted = processScan(form, toolkit, kind.kind, input, begin_data, number_of_sets,
                                          end_data, number_of_fields, fileName, notFile);
        } catch (...) {
            scanError = std::current_exception();
        }
        present(form, kind, fileName, input, begin_data, number_of_sets, end_data, number_of_fields);
        openTabs(form);
        toolkit.ProcessMessages();
        input.Clear();
        if (scanError)
            std::rethrow_exception(scanError);
    }
    form.TimerRun(false);
    return result;
}
