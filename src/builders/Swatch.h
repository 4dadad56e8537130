#pragma once

#include <QString>

class FormState;
class LineList;

// The chart whose swatch file describes a measurement of `patches` patches. A count of 2383, which
// lies between the ExtremeL and the Ultra ranges, takes Ultra.
QString SwatchChartName(int patches);

// "CMYK/<chart>[U].IccSwa" below the current directory; the "U" (the unscrambled swatch) when
// cbScrambledSwatch is not checked.
QString SwatchFilePath(const FormState& form);
QString SwatchFilePath(int patches, bool scrambled);

// Replaces lines with the swatch file chosen by NumberBoxPatches and cbScrambledSwatch. Throws
// "Cannot open file "<full path>". <reason>" and keeps the old lines when it cannot be read.
void SwatchFileLoad(const FormState& form, LineList& lines);

// Cuts a loaded swatch file down to its patch lines: the lines between "   Patches {" and the first
// "   }", less their first five and last two characters.
void SwatchPatchesExtract(LineList& lines);
