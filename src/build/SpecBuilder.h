#pragma once

#include <QString>

class FormState;
class LineList;
class Toolkit;
struct BuildClock;

// btnWriteUlvarClick with the clock and regional settings given.
void btnWriteUlvarClick(FormState& form, Toolkit& toolkit, const BuildClock& clock);

// The text of the error raised when the optimized file names no spectral field.
QString SpecAssertionText();
