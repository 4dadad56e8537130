#pragma once

#include "Controls.h"

// Every control of the main window as plain state, under the window's own names, with the
// values the window starts with. The window (or a headless caller) owns one of these.
class FormState {
public:
    FormState();

    // Puts the tabs into their start-up states.
    void FormCreate();
    // Shows the progress bar at width 100 in front (true), or stops Timer and hides it (false).
    void TimerRun(bool run);
    // Click on the fifth tab's caption: hides the progress bar, nothing else.
    void TabItem5Click();

    // Header bar
    Label ToolBarLabel;
    Button btnHelp;

    // Tab control: index of the page shown (0 = TabItem1)
    int ActiveTab = 0;
    TabItem TabItem1, TabItem2, TabItem3, TabItem4, TabItem5;

    // Tab 1: spectral file
    Button btnOpenSpecMeasurement;
    Label labelMeasurementFileName;
    Label LabelMeasureFileType;
    Label LabelPatches;
    NumberBox NumberBoxPatches;
    Label LabelColumns;
    NumberBox NumberBoxColumns;
    NumberBox NumberBoxBeginData;
    NumberBox NumberBoxEndData;
    Memo memoInput;

    // Tab 2: L*a*b* file
    Button btnOpenLabMeasuremdent;
    Label labelLabFileName;
    Label LabelLabFileType;
    Label LabelPatchesLab;
    NumberBox NumberBoxPatchesLab;
    Label LabelColumnsLab;
    NumberBox NumberBoxColumnsLab;
    NumberBox NumberBoxBeginDataLab;
    NumberBox NumberBoxEndDataLab;
    Memo memoCGATSLab;

    // Tab 3: smoothing file
    Button btnWriteSmoothing;
    Label LabelSmoothCGATS; // one-line edit, read-only
    CheckBox cbScrambledSwatch;
    Memo MemoSmoothCGATS;

    // Tab 4: optimized file
    Button btnOpenOptimized;
    Label LabelOptimizedFileName;
    Label Label3;
    Label Label1;
    NumberBox NumberBoxPatchesOptimized;
    Label Label2;
    NumberBox NumberBoxColumnsOptimized;
    NumberBox NumberBoxBeginDataOptimized;
    NumberBox NumberBoxEndDataOptimized;
    Memo memoOptimized;

    // Tab 5: spec file
    Button btnWriteUlvar;
    Label labelUlvarSpecFile; // one-line edit, editable
    Memo memoUlvarSpec;

    // Components without a place on a page
    OpenDialog dlgOpenMeasurementFile;
    OpenDialog dlgOpenOptimizedFile;
    SaveDialog dlgSaveCGATSFile;
    SaveDialog dlgSaveSmoothFile;
    ProgressBar RectangleProgress;
    TimerState Timer;

    // True while a spec build runs on this window; a click on its button meanwhile is not taken.
    bool SpecBuildRunning = false;

    // Brings the progress bar in front of every other control.
    void BringProgressToFront() { ++RectangleProgress.FrontSerial; }
};

// Where the support messages send the user.
extern const char* const kSupportAddress;
