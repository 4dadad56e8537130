#pragma once

class FormState;
class Toolkit;

// Builds the smoothing document from the spectral and L*a*b* panes and the chart's swatch file,
// shows it and offers to save it.
void btnWriteSmoothingClick(FormState& form, Toolkit& toolkit);

// Builds the spec document from the optimized pane, shows it and offers to save it.
void btnWriteUlvarClick(FormState& form, Toolkit& toolkit);
