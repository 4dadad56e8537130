#pragma once

#include "FormState.h"

#include <QString>

#include <array>
#include <optional>

// The three kinds of measurement file the window reads, one tab each. The values are the Tags of
// their open buttons.
enum class MeasurementKind { Spectral = 1, Lab = 2, Optimized = 3 };

// One control of the form: where its state lives and the name its widget goes by.
template <class T> struct FormControl {
    T FormState::*member;
    const char* name;

    T& of(FormState& form) const { return form.*member; }
    const T& of(const FormState& form) const { return form.*member; }
};

// Everything that belongs to one kind of file: its tab, pane and controls, the dialog it is
// chosen with, the format line it must carry and what the user is told when it does not.
struct MeasurementKindInfo {
    MeasurementKind kind;
    const char* cliName; // lumetra-cli scan --kind
    FormControl<TabItem> tab;
    int tabIndex; // the tab's place in the tab control (FormState::ActiveTab)
    FormControl<Memo> pane;
    FormControl<Button> open;
    FormControl<Label> fileName;
    FormControl<Label> fileType;
    FormControl<Label> patchesCaption;
    FormControl<NumberBox> patches;
    FormControl<Label> columnsCaption;
    FormControl<NumberBox> columns;
    FormControl<NumberBox> begin;
    FormControl<NumberBox> end;
    OpenDialog FormState::*dialog;
    const QString& (*formatLine)(); // nullptr: the kind needs none
    const char* formatMessage;      // nullptr with formatLine
    bool clearsFileType;            // the optimized tab's Label3 keeps its caption
};

// The table, in Tag order: spectral, L*a*b*, optimized.
const std::array<MeasurementKindInfo, 3>& MeasurementKinds();
const MeasurementKindInfo& MeasurementKindOf(MeasurementKind kind);
// The kind an open button's Tag names; none for any other number.
std::optional<MeasurementKind> MeasurementKindOfTag(int tag);

// The data-format lines a spectral and an L*a*b* file must carry as a whole line (letter case
// ignored, every blank counting) somewhere below their first line.
const QString& SpectralFormatLine(); // "SAMPLE_ID SPECTRAL_380 ... SPECTRAL_730 ", 478 characters
const QString& LabFormatLine();      // "SAMPLE_ID LAB_L LAB_A LAB_B ", 28 characters
