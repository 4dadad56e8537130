#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVarLengthArray>

#include <optional>

class LineList;

namespace preflight {

// The fields of one line, split as LineTokenize splits them (blanks and tabs separate, control
// characters trimmed from each field), as views into the line.
using FieldViews = QVarLengthArray<QStringView, 48>;
FieldViews SplitFields(QStringView line);

// A decimal number with a full stop, whatever the locale ("12,5", "nan", "inf", "" are not).
std::optional<double> ReadNumber(QStringView text);

// A pane's CGATS document read as a table. It reads; the pane is not changed.
struct CgatsTable {
    struct Keyword {
        int line = 0;
        QString name;  // first field
        QString value; // the rest of the line, trimmed
    };
    // A data row; its fields are read from the line when asked for (SplitFields), so reading a
    // table of 100,000 rows does not make millions of strings.
    struct Row {
        int line = 0;
    };
    struct Problem {
        int line = 0;
        QString text;
    };

    QList<Keyword> keywords; // header lines above the data, less the data-format block
    int formatBegin = -1;    // BEGIN_DATA_FORMAT, as a whole line
    int formatEnd = -1;      // END_DATA_FORMAT, as a whole line
    QStringList fieldNames;
    // The data markers found as whole lines (letter case ignored), -1 when there is none; the
    // builders look for them the same way.
    int beginData = -1;
    int endData = -1;
    // Lines that hold a marker but not as a whole line ("END_DATA " with a trailing blank); the
    // header scan accepts them, the builders do not. -1 when there is none.
    int looseBeginData = -1;
    int looseEndData = -1;
    int sampleIdColumn = -1;   // index of SAMPLE_ID among fieldNames
    int numberOfSetsLine = -1; // line of NUMBER_OF_SETS above the data
    std::optional<int> numberOfSets;
    QList<Row> rows; // the lines strictly between beginData and endData
    QList<Problem> problems;

    int column(const QString& name) const { return fieldNames.indexOf(name); }
};

CgatsTable ReadCgatsTable(const LineList& lines);

} // namespace preflight
