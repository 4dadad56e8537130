// The few CGATS keywords the header scan reads.
//
// A CGATS measurement file is a keyword header followed by a data block:
//
//   CGATS.17
//   NUMBER_OF_FIELDS 4
//   BEGIN_DATA_FORMAT
//   SAMPLE_ID LAB_L LAB_A LAB_B
//   END_DATA_FORMAT
//   NUMBER_OF_SETS 2
//   BEGIN_DATA
//   1 50.1 2.3 -4.5
//   2 60.2 1.0 3.3
//   END_DATA
//
// The scan finds the lines of BEGIN_DATA and END_DATA (a whole line, letter case ignored; failing
// that, the first line below line 0 resp. the last line holding the keyword anywhere, exact case)
// and reads the second field of the NUMBER_OF_SETS and NUMBER_OF_FIELDS lines above BEGIN_DATA.
// Nothing else of the header is read, and a marker on line 0 is never accepted.

#include "CgatsScan.h"

#include "Error.h"
#include "IntegerText.h"
#include "LineList.h"
#include "LineTokenize.h"

#include <exception>

namespace {

const QString kInputFileError = QStringLiteral("Input File Error");

int lastLineContaining(const LineList& input, QStringView keyword) {
    for (int i = input.Count() - 1; i >= 0; --i)
        if (input.Get(i).contains(keyword, Qt::CaseSensitive))
            return i;
    return -1;
}

int firstLineBelowTopContaining(const LineList& input, QStringView keyword) {
    for (int i = 1; i < input.Count(); ++i)
        if (input.Get(i).contains(keyword, Qt::CaseSensitive))
            return i;
    return -1;
}

// The count in the second field of a NUMBER_OF_SETS or NUMBER_OF_FIELDS line; on failure the
// result names the line and what is wrong with it.
int readCount(CgatsScanResult& r, int index, const QString& line, const QString& keyword, LineList& fields) {
    LineTokenize(line, fields);
    if (fields.Count() < 2) {
        r.errorLine = index;
        r.reason = QStringLiteral("%1 has no value").arg(keyword);
        return StrToInt(fields.Get(1)); // throws the scan's own text
    }
    try {
        return StrToInt(fields.Get(1));
    } catch (const Error&) {
        r.errorLine = index;
        r.reason = QStringLiteral("%1 value \"%2\" is not a valid integer").arg(keyword, fields.Get(1));
        throw;
    }
}

} // namespace

CgatsScanResult CgatsScan(const LineList& input, const std::function<void()>& onCount) {
    CgatsScanResult r;
    r.number_of_sets = 0;
    r.number_of_fields = 0;
    r.end_data = input.IndexOf(QStringLiteral("END_DATA"));
    LineList fields;
    try {
        // A trailing blank or a marker on line 0 defeats the whole-line search; the last line that
        // holds the keyword stands in.
        if (r.end_data <= 0) {
            const int found = lastLineContaining(input, u"END_DATA");
            if (found >= 0)
                r.end_data = found;
            if (found <= 0) {
                if (found == 0) {
                    r.errorLine = 0;
                    r.reason =
                        QStringLiteral("END_DATA stands only on the first line, where no marker counts");
                } else {
                    r.reason = input.Count() == 0 ? QStringLiteral("the file is empty")
                                                  : QStringLiteral("no END_DATA line");
                }
                throw Error(kInputFileError);
            }
        }

        r.begin_data = input.IndexOf(QStringLiteral("BEGIN_DATA"));
        r.beginDataSet = true;
        // Without an exact BEGIN_DATA line this normally stops at BEGIN_DATA_FORMAT, which comes first.
        if (r.begin_data <= 0) {
            const int found = firstLineBelowTopContaining(input, u"BEGIN_DATA");
            if (found < 0) {
                r.reason = QStringLiteral("no BEGIN_DATA line below the first line");
                throw Error(kInputFileError);
            }
            r.begin_data = found;
        }

        for (int i = r.begin_data - 1; i >= 0; --i) {
            if (r.number_of_sets != 0 && r.number_of_fields != 0)
                break;
            // A copy: the event pump inside onCount may run code that changes the list.
            const QString line = input.Get(i);
            if (line.contains(u"NUMBER_OF_SETS", Qt::CaseSensitive)) {
                r.number_of_sets = readCount(r, i, line, QStringLiteral("NUMBER_OF_SETS"), fields);
                if (onCount)
                    onCount();
            }
            if (line.contains(u"NUMBER_OF_FIELDS", Qt::CaseSensitive)) {
                r.number_of_fields = readCount(r, i, line, QStringLiteral("NUMBER_OF_FIELDS"), fields);
                if (onCount)
                    onCount();
            }
        }
        r.ok = true;
    } catch (const Error& e) {
        r.error = e.message();
    } catch (const std::exception& e) {
        r.error = QString::fromLocal8Bit(e.what());
    }
    if (!r.ok && r.reason.isEmpty())
        r.reason = r.error;
    return r;
}
