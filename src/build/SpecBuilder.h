#pragma once

#include <QString>

class FormState;
class LineList;
class Toolkit;
struct BuildClock;
struct BuildGate;

// btnWriteUlvarClick with the clock and regional settings given.
void btnWriteUlvarClick(FormState& form, Toolkit& toolkit, const BuildClock& clock,
                        const BuildGate* gate = nullptr);

// The text of the error raised when the optimized file names no spectral field.
QString SpecAssertionText();
