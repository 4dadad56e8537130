#include "SmoothingRows.h"

#include "CmykPercent.h"
#include "Error.h"
#include "LineList.h"
#include "LineTokenize.h"

namespace {

// " C M Y K " from the first four fields of a patch line.
QString cmykPart(const QString& patchLine, LineList& fields) {
    fields.Clear();
    LineTokenize(patchLine, fields);
    QString part = QStringLiteral(" ");
    for (int i = 0; i < 4; ++i)
        part += CmykPercent(fields.Get(i)) + u' ';
    return part;
}

} // namespace

void ForEachSmoothingRow(const LineList& lab, const LineList& patches,
                         const std::function<void(const SmoothingRowPlan&)>& row) {
    const int begin = lab.IndexOf(QStringLiteral("BEGIN_DATA"));
    const int end = lab.IndexOf(QStringLiteral("END_DATA"));
    LineList fields;
    int p = 0;
    for (int o = begin + 1; o <= end - 1; ++o) {
        SmoothingRowPlan plan;
        plan.number = o - begin;
        plan.line = o;
        plan.patch = p;
        if (p < patches.Count()) {
            try {
                plan.cmyk = cmykPart(patches.Get(p), fields);
            } catch (const Error&) {
                plan.failed = true;
            }
        } else {
            plan.noPatch = true;
            plan.cmyk = QStringLiteral(" 0 0 0 0 ");
        }
        if (!plan.failed)
            ++p;
        row(plan);
    }
}
