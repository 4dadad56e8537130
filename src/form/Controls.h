#pragma once

#include "LineList.h"

#include <QString>
#include <QtGlobal>

// The window's controls as plain state. The widgets of the window mirror these; the handlers
// read and write only these, so they run the same with or without a display.

namespace Colors {
constexpr quint32 DimGrey = 0xFF696969;
constexpr quint32 MidnightBlue = 0xFF191970;
constexpr quint32 ForestGreen = 0xFF228B22;
constexpr quint32 Blue = 0xFF0000FF;
constexpr quint32 Indigo = 0xFF4B0082;
constexpr quint32 DarkBlue = 0xFF00008B;
} // namespace Colors

struct TabItem {
    QString Text;
    bool Enabled = true;
    quint32 FontColor = Colors::MidnightBlue; // ARGB
};

// Labels and one-line edits share one shape.
struct Label {
    QString Text;
    bool Visible = true;
    bool ReadOnly = true;
};

struct CheckBox {
    QString Text;
    bool IsChecked = false;
};

struct Button {
    QString Text;
    int Tag = 0;
};

// An integer box: Value bounded by Min/Max, Text the rounded value in plain digits.
class NumberBox {
public:
    NumberBox() = default;
    NumberBox(double max, double value, bool readOnly, bool visible);

    double Value() const { return m_value; }
    void SetValue(double value);
    QString Text() const;
    // Digits (with an optional leading minus) act as setting Value; anything else is refused
    // with an Error, as a toolkit conversion would.
    void SetText(const QString& text);

    double Min = 0;
    double Max = 0;
    bool ReadOnly = false;
    bool Visible = true;

private:
    double m_value = 0;
};

struct Memo {
    LineList Lines;
    bool ReadOnly = true;
    // The file the lines were read from (empty for a built document); what a report names.
    QString SourcePath;
};

// Option flags of the save dialogs.
enum SaveOption : unsigned { ofOverwritePrompt = 1u << 0, ofHideReadOnly = 1u << 1, ofEnableSizing = 1u << 2 };

struct OpenDialog {
    QString Filter;
    int FilterIndex = 0;
    QString FileName; // full path after a confirmed Execute
};

struct SaveDialog {
    QString Filter;
    int FilterIndex = 0;
    QString FileName;
    QString DefaultExt;
    unsigned Options = 0;
};

struct ProgressBar {
    bool Visible = false;
    double Width = 0;
    double X = 196;
    double Y = 112;
    double Height = 25;
    // Raised each time the bar is brought to the front, so the window restacks it.
    quint64 FrontSerial = 0;
    // The bar owns no animations: starting a trigger changes nothing, but the name is kept.
    QString LastTrigger;
};

struct TimerState {
    int Interval = 1000;
    bool Enabled = false;
};
