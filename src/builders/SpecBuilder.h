#pragma once

#include "Build.h"

#include <QString>

class FormState;
class LineList;
class Toolkit;
struct BuildClock;

// btnWriteUlvarClick with the clock and regional settings given, telling how it ended.
BuildResult btnWriteUlvarClick(FormState& form, Toolkit& toolkit, const BuildClock& clock,
                               const BuildGate* gate = nullptr);

// The text of the error raised when the optimized file names no spectral field.
QString SpecAssertionText();
