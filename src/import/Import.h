#pragma once

#include "MeasurementKind.h"

#include <QString>

class FormState;
class LineList;
class Toolkit;

// How an import ended, for a caller that acts on it (lumetra-cli); the window ignores it.
struct ImportResult {
    // The file was read and its header scanned without a message: its document stands in the pane.
    bool accepted = false;
    // The file chosen; empty when the dialog was cancelled or the Tag names no kind.
    QString fileName;
};

// The shared click handler of the three open buttons; tag is the clicked button's Tag, the
// number of its MeasurementKind (any other number does nothing).
ImportResult btnOpenCGATSFileClick(FormState& form, Toolkit& toolkit, int tag);
ImportResult btnOpenCGATSFileClick(FormState& form, Toolkit& toolkit, MeasurementKind kind);

// The header scan as a window operation: scans cgatsInput, pumping events after each count, and
// on failure applies the window's resets and shows the scan's message.
void CGATSFileProcess(FormState& form, Toolkit& toolkit, int tag, LineList& cgatsInput, int& begin_data,
                      int& number_of_sets, int& end_data, int& number_of_fields);

// The file name without its folder: what follows the last "/".
QString FileNameWithoutFolder(const QString& path);
