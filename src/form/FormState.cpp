#include "FormState.h"

const char* const kSupportAddress = "support@lumetra.example";

namespace {
Label label(const char* text, bool visible = true) {
    return Label{QString::fromUtf8(text), visible, true};
}
Button button(const char* text, int tag = 0) {
    return Button{QString::fromUtf8(text), tag};
}
} // namespace

FormState::FormState() {
    ToolBarLabel = label("Lumetra");
    btnHelp = button("Help");

    TabItem1 = {QStringLiteral("Read Ulvar Spec CGATS File"), true, Colors::MidnightBlue};
    TabItem2 = {QStringLiteral("Read Ulvar Lab CGATS File"), true, Colors::MidnightBlue};
    TabItem3 = {QStringLiteral("Build Smoothing File"), true, Colors::MidnightBlue};
    TabItem4 = {QStringLiteral("Read Optimized File"), true, Colors::MidnightBlue};
    TabItem5 = {QStringLiteral("Build Ulvar Spec File"), true, Colors::MidnightBlue};

    btnOpenSpecMeasurement = button("Open Spectral CGATS File", 1);
    labelMeasurementFileName = label("CGATS File Name", false);
    LabelMeasureFileType = label("Measure File Type");
    LabelPatches = label("Patches");
    NumberBoxPatches = NumberBox(10000, 0, true, true);
    LabelColumns = label("Columns");
    NumberBoxColumns = NumberBox(1000, 0, false, true);
    NumberBoxBeginData = NumberBox(1000000000, 6, false, false);
    NumberBoxEndData = NumberBox(1000000000, 6, false, false);
    memoInput.ReadOnly = true;

    btnOpenLabMeasuremdent = button("Open Lab CGATS File", 2);
    labelLabFileName = label("CGATS File Name", false);
    LabelLabFileType = label("Measure File Type");
    LabelPatchesLab = label("Patches");
    NumberBoxPatchesLab = NumberBox(10000, 0, true, true);
    LabelColumnsLab = label("Columns");
    NumberBoxColumnsLab = NumberBox(1000, 0, false, true);
    NumberBoxBeginDataLab = NumberBox(1000000000, 6, false, false);
    NumberBoxEndDataLab = NumberBox(1000000000, 6, false, false);
    memoCGATSLab.ReadOnly = true;
    memoCGATSLab.Lines.Add(QString()); // the pane comes with one empty line

    btnWriteSmoothing = button("Create CGATS Smoothing File");
    LabelSmoothCGATS = Label{QStringLiteral("SmoothCGATS.txt"), true, true};
    cbScrambledSwatch = CheckBox{QStringLiteral("Scrambled Swatch"), true};
    MemoSmoothCGATS.ReadOnly = false;

    btnOpenOptimized = button("Open Optimized File", 3);
    LabelOptimizedFileName = label("CGATS File Name", false);
    Label3 = label("Measure File Type");
    Label1 = label("Patches");
    NumberBoxPatchesOptimized = NumberBox(10000, 0, true, true);
    Label2 = label("Columns");
    NumberBoxColumnsOptimized = NumberBox(1000, 0, false, true);
    NumberBoxBeginDataOptimized = NumberBox(10000, 0, true, false);
    NumberBoxEndDataOptimized = NumberBox(10000, 0, true, false);
    memoOptimized.ReadOnly = true;

    btnWriteUlvar = button("Create Ulvar Spec File");
    labelUlvarSpecFile = Label{QStringLiteral("Ulvar Spec File"), true, false};
    memoUlvarSpec.ReadOnly = false;

    dlgOpenMeasurementFile.Filter = QStringLiteral("cgats|*.cgats|txt|*.txt|*|*");
    dlgOpenOptimizedFile.Filter = QStringLiteral("CIE|*.cie;*.txt|txt|*.txt|*|*");
    const unsigned saveOptions = ofOverwritePrompt | ofHideReadOnly | ofEnableSizing;
    dlgSaveCGATSFile = SaveDialog{QStringLiteral("txt|*.txt|spec|*.spec|*|*"), 0, QStringLiteral("CGATS"),
                                  QStringLiteral("spec"), saveOptions};
    dlgSaveSmoothFile = SaveDialog{QStringLiteral("spec|*.spec|txt|*.txt|*|*"), 0, QStringLiteral("CGATS"),
                                   QStringLiteral("spec"), saveOptions};
}

void FormState::FormCreate() {
    ActiveTab = 0;
    NumberBoxBeginData.Visible = false;
    NumberBoxEndData.Visible = false;
    TabItem2.Enabled = false;
    TabItem2.FontColor = Colors::DimGrey;
    TabItem3.Enabled = false;
    TabItem3.FontColor = Colors::DimGrey;
    TabItem4.Enabled = true;
    TabItem4.FontColor = Colors::MidnightBlue;
    TabItem5.Enabled = false;
    TabItem5.FontColor = Colors::DimGrey;
}

void FormState::TimerRun(bool run) {
    if (run) {
        RectangleProgress.Visible = true;
        BringProgressToFront();
        RectangleProgress.Width = 100;
    } else {
        Timer.Enabled = false;
        RectangleProgress.Visible = false;
    }
}

void FormState::TabItem5Click() {
    RectangleProgress.Visible = false;
}
