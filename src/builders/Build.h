#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class FormState;
class LineList;
class Toolkit;

// Checks a build makes after its rows and before its save dialog: the errors that would make the
// saved file plainly wrong. With any, the user is asked whether to save anyway.
struct BuildGate {
    std::function<QStringList(const FormState& form)> smoothing;
    std::function<QStringList(const LineList& optimized, const QString& name)> spec;
};

// How a build ended, for a caller that acts on it (lumetra-cli); the window ignores it.
struct BuildResult {
    // Ended before the document was saved: refused at the start, cancelled at the question or the
    // save dialog, or stopped by an error (which then escapes the handler).
    bool stopped = true;
    int rowsWritten = 0;
    // Rows that failed and are missing from the document (each told in a box).
    int rowsLeftOut = 0;
    // The path the save dialog was confirmed with ("-" for a toolkit that took the bytes itself);
    // empty unless saved.
    QString savedTo;
};

// Builds the smoothing document from the spectral and L*a*b* panes and the chart's swatch file,
// shows it and offers to save it.
void btnWriteSmoothingClick(FormState& form, Toolkit& toolkit);
void btnWriteSmoothingClick(FormState& form, Toolkit& toolkit, const BuildGate& gate);

// Builds the spec document from the optimized pane, shows it and offers to save it.
void btnWriteUlvarClick(FormState& form, Toolkit& toolkit);
void btnWriteUlvarClick(FormState& form, Toolkit& toolkit, const BuildGate& gate);
