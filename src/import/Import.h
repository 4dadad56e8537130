#pragma once

#include <QString>

class FormState;
class LineList;
class Toolkit;

// The data-format lines a spectral and an L*a*b* file must carry as a whole line (letter case
// ignored, every blank counting) somewhere below their first line.
const QString& SpectralFormatLine(); // "SAMPLE_ID SPECTRAL_380 ... SPECTRAL_730 ", 478 characters
const QString& LabFormatLine();      // "SAMPLE_ID LAB_L LAB_A LAB_B ", 28 characters

// The shared click handler of the three open buttons; tag is the clicked button's Tag
// (1 spectral, 2 L*a*b*, 3 optimized).
void btnOpenCGATSFileClick(FormState& form, Toolkit& toolkit, int tag);

// The header scan as a window operation: scans cgatsInput, pumping events after each count, and
// on failure applies the window's resets and shows the scan's message.
void CGATSFileProcess(FormState& form, Toolkit& toolkit, int tag, LineList& cgatsInput, int& begin_data,
                      int& number_of_sets, int& end_data, int& number_of_fields);

// The file name without its folder: what follows the last "/".
QString FileNameWithoutFolder(const QString& path);
