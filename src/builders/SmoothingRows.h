#pragma once

#include <QString>

#include <functional>

class LineList;

// One row of the smoothing document as the builder pairs it: line `line` of the L*a*b* pane with
// line `line` of the spectral pane and swatch patch `patch`.
struct SmoothingRowPlan {
    int number = 0;       // the row number written: line - BEGIN_DATA line
    int line = 0;         // the same line index in both panes
    int patch = 0;        // 0-based patch line; == patch count when the swatch has run out
    bool noPatch = false; // the swatch has run out: the CMYK part is " 0 0 0 0 "
    bool failed = false;  // the patch line cannot be read: the row is left out, the patch is retried
    QString cmyk;         // " C M Y K " when not failed
};

// The rows the smoothing builder writes, in order: every line strictly between the L*a*b* pane's
// whole-line BEGIN_DATA and END_DATA (letter case ignored), with the patch lines taken in order;
// a row that fails on its patch line does not use it up. `row` may throw to stop the walk.
void ForEachSmoothingRow(const LineList& lab, const LineList& patches,
                         const std::function<void(const SmoothingRowPlan&)>& row);
