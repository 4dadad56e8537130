// CgatsScan on a loaded document: what it found must be where it says, a failure must have its
// cause in the document, and the counts must be the values written there. StrToInt on every field
// of the document, against a 64-bit parse of the same text.

#include "FuzzSupport.h"

#include "CgatsScan.h"
#include "Error.h"
#include "IntegerText.h"
#include "LineList.h"

#include <optional>

namespace lumetra::fuzz {
namespace {

// Sign, then decimal digits or hexadecimal ones after "$", "x" or "0x"; a whole signed 32-bit value.
std::optional<int> int32Of(const QString& s) {
    qsizetype i = 0;
    bool negative = false;
    if (i < s.size() && (s.at(i) == u'+' || s.at(i) == u'-'))
        negative = s.at(i++) == u'-';
    int base = 10;
    if (i < s.size() && (s.at(i) == u'$' || s.at(i) == u'x' || s.at(i) == u'X')) {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s.at(i) == u'0' && (s.at(i + 1) == u'x' || s.at(i + 1) == u'X')) {
        base = 16;
        i += 2;
    }
    QString digits = s.mid(i);
    if (digits.isEmpty())
        return std::nullopt;
    for (QChar c : digits) {
        const char16_t u = c.unicode();
        const bool dec = u >= u'0' && u <= u'9';
        const bool hex = (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
        if (!(dec || (base == 16 && hex)))
            return std::nullopt;
    }
    while (digits.size() > 1 && digits.front() == u'0')
        digits.remove(0, 1);
    if (digits.size() > 12)
        return std::nullopt;
    bool ok = false;
    const qlonglong magnitude = digits.toLongLong(&ok, base);
    if (!ok)
        return std::nullopt;
    const qlonglong value = negative ? -magnitude : magnitude;
    if (value < -2147483648LL || value > 2147483647LL)
        return std::nullopt;
    return static_cast<int>(value);
}

bool holds(const QString& line, const char* keyword) {
    return line.contains(QLatin1String(keyword), Qt::CaseSensitive);
}

// The marker the scan reported: its line holds the keyword, and where the keyword stands alone on a
// line below line 0 (letter case ignored) the scan took the first such line.
void checkMarker(const QStringList& lines, int found, const char* keyword) {
    check(found > 0 && found < lines.size(), "a marker stands below line 0, in the document", keyword);
    // A whole line is matched as IndexOf matches (its own harness checks it), a loose one by text.
    const int whole = listOf(lines).IndexOf(QString::fromLatin1(keyword));
    if (whole > 0)
        check(found == whole, "a whole marker line is taken before a loose one", keyword);
    else
        check(holds(lines.at(found), keyword), "the marker's line holds it", lines.at(found));
}

// A count read: a line above BEGIN_DATA holds the keyword, with the value as its second field; no
// such line, no count.
void checkCount(const QStringList& lines, int beginData, int value, const char* keyword) {
    bool any = false, matches = false;
    for (int i = 0; i < beginData; ++i) {
        if (!holds(lines.at(i), keyword))
            continue;
        any = true;
        const QStringList f = fieldsOf(lines.at(i));
        matches = matches || (f.size() >= 2 && int32Of(f.at(1)) == value);
    }
    if (!any)
        check(value == 0, "a count with no line to read it from", keyword);
    else if (value != 0)
        check(matches, "the count is the second field of its line", keyword);
}

} // namespace

void HeaderScan(const std::uint8_t* data, std::size_t size) {
    const std::optional<QStringList> lines = loaded(bytesOf(data, size));
    if (!lines)
        return;
    const LineList doc = listOf(*lines);
    int pumps = 0;
    const CgatsScanResult got = CgatsScan(doc, [&pumps] { ++pumps; });
    const QStringList& l = *lines;

    int keywordLines = 0; // count lines above the start marker: each is read at most twice
    for (int i = 0; i < (got.beginDataSet ? got.begin_data : 0); ++i)
        keywordLines += holds(l.at(i), "NUMBER_OF_SETS") + holds(l.at(i), "NUMBER_OF_FIELDS");
    check(pumps <= keywordLines, "one pump per count read", QString::number(pumps));

    if (got.ok) {
        check(got.error.isEmpty() && got.reason.isEmpty() && got.errorLine == -1 && got.beginDataSet,
              "a scan that succeeds reports no failure", got.error + u'|' + got.reason);
        checkMarker(l, got.end_data, "END_DATA");
        checkMarker(l, got.begin_data, "BEGIN_DATA");
        checkCount(l, got.begin_data, got.number_of_sets, "NUMBER_OF_SETS");
        checkCount(l, got.begin_data, got.number_of_fields, "NUMBER_OF_FIELDS");
        check(pumps >= (got.number_of_sets != 0) + (got.number_of_fields != 0),
              "a pump after each count read");
    } else if (got.error == QStringLiteral("Input File Error")) {
        // A marker is missing: no END_DATA below line 0, or no BEGIN_DATA below line 0.
        bool end = doc.IndexOf(QStringLiteral("END_DATA")) > 0;
        bool begin = doc.IndexOf(QStringLiteral("BEGIN_DATA")) > 0;
        for (int i = 1; i < l.size(); ++i) {
            end = end || holds(l.at(i), "END_DATA");
            begin = begin || holds(l.at(i), "BEGIN_DATA");
        }
        check(!end || !begin, "a missing marker that is there", got.reason);
        check(got.errorLine == -1 || (got.errorLine == 0 && !end),
              "a missing marker is on no line but the first", QString::number(got.errorLine));
        check(pumps == 0, "no count read before the markers");
    } else {
        // A count that cannot be read: the line named holds the keyword above BEGIN_DATA, and its
        // second field is missing or no whole 32-bit integer.
        check(got.beginDataSet && got.errorLine >= 0 && got.errorLine < got.begin_data,
              "a bad count names a line above the data", QString::number(got.errorLine));
        const QString& line = l.at(got.errorLine);
        check(holds(line, "NUMBER_OF_SETS") || holds(line, "NUMBER_OF_FIELDS"),
              "the named line holds a count", line);
        const QStringList f = fieldsOf(line);
        if (f.size() < 2)
            check(got.error == QStringLiteral("List index out of bounds (1)"), "a count with no value",
                  got.error);
        else
            check(!int32Of(f.at(1)) &&
                      got.error == QStringLiteral("'%1' is not a valid integer value").arg(f.at(1)),
                  "a count that is no integer is named", got.error);
    }
    if (!got.ok)
        check(!got.reason.isEmpty(), "a failed scan says why for a reader");

    // The integer conversion on every field of the document.
    int budget = 2000;
    for (const QString& line : l) {
        for (const QString& field : fieldsOf(line)) {
            if (--budget < 0)
                return;
            const std::optional<int> expected = int32Of(field);
            try {
                const int value = StrToInt(field);
                check(expected && *expected == value, "StrToInt takes a whole signed 32-bit integer", field);
            } catch (const Error& e) {
                check(!expected, "StrToInt refused an integer", field);
                check(e.message() == QStringLiteral("'%1' is not a valid integer value").arg(field),
                      "StrToInt's refusal names the field", e.message());
            }
        }
    }
}

} // namespace lumetra::fuzz
