// A CGATS document as a table: keyword lines, the field names of the data-format block, and the
// data rows between BEGIN_DATA and END_DATA with their line indices.

#include "CgatsTable.h"

#include "Error.h"
#include "IntegerText.h"
#include "LineList.h"
#include "LineTokenize.h"
#include "NumberText.h"

namespace preflight {

namespace {

bool holdsMarker(QStringView line, QStringView marker) {
    // "BEGIN_DATA_FORMAT" holds "BEGIN_DATA" too; only a marker standing alone counts.
    return TrimControlView(line).compare(marker, Qt::CaseInsensitive) == 0;
}

} // namespace

FieldViews SplitFields(QStringView line) {
    FieldViews fields;
    const QStringView text = TrimControlView(line);
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        while (i < n && IsFieldSeparator(text[i]))
            ++i;
        if (i >= n)
            break;
        const qsizetype start = i;
        while (i < n && !IsFieldSeparator(text[i]))
            ++i;
        fields.append(TrimControlView(text.sliced(start, i - start)));
    }
    return fields;
}

std::optional<double> ReadNumber(QStringView text) {
    return ReadDecimalNumber(text, kPreflightNumberSyntax);
}

CgatsTable ReadCgatsTable(const LineList& lines) {
    CgatsTable t;
    t.beginData = lines.IndexOf(QStringLiteral("BEGIN_DATA"));
    t.endData = lines.IndexOf(QStringLiteral("END_DATA"));
    t.formatBegin = lines.IndexOf(QStringLiteral("BEGIN_DATA_FORMAT"));
    t.formatEnd = lines.IndexOf(QStringLiteral("END_DATA_FORMAT"));
    const int count = lines.Count();

    QString scratch;
    for (int i = 0; i < count; ++i) {
        const QStringView line = lines.view(i, scratch);
        if (t.looseBeginData < 0 && i != t.beginData && holdsMarker(line, u"BEGIN_DATA"))
            t.looseBeginData = i;
        if (t.looseEndData < 0 && i != t.endData && holdsMarker(line, u"END_DATA"))
            t.looseEndData = i;
    }

    // The header: every line above the data, less the data-format block.
    int headerEnd = count;
    for (int candidate : {t.beginData, t.looseBeginData})
        if (candidate >= 0 && candidate < headerEnd)
            headerEnd = candidate;
    for (int i = 0; i < headerEnd; ++i) {
        if (t.formatBegin >= 0 && i >= t.formatBegin && (t.formatEnd < t.formatBegin || i <= t.formatEnd))
            continue;
        const QString line = lines.Get(i);
        const FieldViews fields = SplitFields(line);
        if (fields.isEmpty())
            continue;
        CgatsTable::Keyword keyword;
        keyword.line = i;
        keyword.name = fields.front().toString();
        keyword.value = TrimControlView(QStringView(line).sliced(fields.front().data() - line.constData() +
                                                                 fields.front().size()))
                            .toString();
        if (keyword.name == QLatin1String("NUMBER_OF_SETS")) {
            t.numberOfSetsLine = i;
            try {
                t.numberOfSets = StrToInt(fields.size() > 1 ? fields.at(1).toString() : QString());
            } catch (const Error&) {
                t.problems.append({i, QStringLiteral("NUMBER_OF_SETS value \"%1\" is not a valid integer")
                                          .arg(fields.size() > 1 ? fields.at(1).toString() : QString())});
            }
        }
        t.keywords.append(keyword);
    }

    if (t.formatBegin >= 0) {
        const int last = t.formatEnd > t.formatBegin ? t.formatEnd : std::min(count, t.formatBegin + 2);
        for (int i = t.formatBegin + 1; i < last; ++i)
            for (QStringView name : SplitFields(lines.view(i, scratch)))
                t.fieldNames.append(name.toString());
        if (t.formatEnd < t.formatBegin)
            t.problems.append(
                {t.formatBegin, QStringLiteral("BEGIN_DATA_FORMAT has no END_DATA_FORMAT line")});
    }
    t.sampleIdColumn = static_cast<int>(t.fieldNames.indexOf(QStringLiteral("SAMPLE_ID")));

    if (t.beginData >= 0 && t.endData > t.beginData) {
        t.rows.reserve(t.endData - t.beginData - 1);
        for (int i = t.beginData + 1; i < t.endData; ++i)
            t.rows.append(CgatsTable::Row{i});
    }
    return t;
}

} // namespace preflight
