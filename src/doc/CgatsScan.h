#pragma once

#include <QString>

#include <functional>

class LineList;

// Result of scanning a CGATS document for its data markers and declared counts. The values are
// those held when the scan ended; on failure they are what had been read up to the failure:
// end_data is the whole-line search's answer (-1 or 0) or the index of line 0 when only that line
// holds "END_DATA"; begin_data is meaningful only when beginDataSet (then -1 or 0 if the start
// marker was not found); counts not read are 0.
struct CgatsScanResult {
    bool ok = false;
    QString error; // the failure's own text ("Input File Error", ...); never shown
    // What a person needs to mend the file: the failure worded for a reader, and the index of the
    // line it concerns (-1 when it concerns no single line, a marker missing from the whole file).
    QString reason;
    int errorLine = -1;
    bool beginDataSet = false; // false when the scan failed before it looked for the start marker
    int begin_data = 0;
    int number_of_sets = 0;
    int end_data = 0;
    int number_of_fields = 0;
};

// Scans a loaded document; onCount runs after each count read (the window pumps events there).
// Never throws for a bad document: failures end the scan with ok false and their text in error.
CgatsScanResult CgatsScan(const LineList& input, const std::function<void()>& onCount = {});
