#pragma once

class FormState;
class LineList;
class Toolkit;

// The shared click handler of the three open buttons; tag is the clicked button's Tag
// (1 spectral, 2 L*a*b*, 3 optimized).
void btnOpenCGATSFileClick(FormState& form, Toolkit& toolkit, int tag);

// The header scan as a window operation: scans cgatsInput, pumping events after each count, and
// on failure applies the window's resets and shows the scan's message.
void CGATSFileProcess(FormState& form, Toolkit& toolkit, int tag, LineList& cgatsInput, int& begin_data,
                      int& number_of_sets, int& end_data, int& number_of_fields);
