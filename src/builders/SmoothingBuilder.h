#pragma once

#include "Build.h"

#include <QString>
#include <QStringView>

class FormState;
class Toolkit;
struct BuildClock;

// btnWriteSmoothingClick with the clock and regional settings given, telling how it ended.
BuildResult btnWriteSmoothingClick(FormState& form, Toolkit& toolkit, const BuildClock& clock,
                                   const BuildGate* gate = nullptr);

// A data line less its first field: everything after its first blank (tabs do not count); a
// line without a blank stays whole.
QString DropSampleId(QStringView line);

// One data row: number, CMYK part, L*a*b* remainder, spectral remainder. A blank goes between the
// two remainders when nothing else separates them, so their values never fuse.
QString SmoothingRow(int number, const QString& cmykPart, const QString& labRest,
                     const QString& spectralRest);
