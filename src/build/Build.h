#pragma once

#include <QStringList>

#include <functional>

class FormState;
class LineList;
class QString;
class Toolkit;

// Checks a build makes after its rows and before its save dialog: the errors that would make the
// saved file plainly wrong. With any, the user is asked whether to save anyway.
struct BuildGate {
    std::function<QStringList(const FormState& form)> smoothing;
    std::function<QStringList(const LineList& optimized, const QString& name)> spec;
};

// Builds the smoothing document from the spectral and L*a*b* panes and the chart's swatch file,
// shows it and offers to save it.
void btnWriteSmoothingClick(FormState& form, Toolkit& toolkit);
void btnWriteSmoothingClick(FormState& form, Toolkit& toolkit, const BuildGate& gate);

// Builds the spec document from the optimized pane, shows it and offers to save it.
void btnWriteUlvarClick(FormState& form, Toolkit& toolkit);
void btnWriteUlvarClick(FormState& form, Toolkit& toolkit, const BuildGate& gate);
