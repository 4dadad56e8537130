#include "PreflightRowModel.h"

#include "ReportText.h"

#include <QBrush>
#include <QColor>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

std::optional<double> numberOf(const preflight::PreflightRow& r, int column) {
    auto lab = [](const std::optional<colour::Lab>& v, int part) -> std::optional<double> {
        if (!v)
            return std::nullopt;
        return part == 0 ? v->L : part == 1 ? v->a : v->b;
    };
    auto index = [](int i) -> std::optional<double> {
        if (i < 0)
            return std::nullopt;
        return i;
    };
    switch (column) {
    case PreflightRowModel::Row:
        return r.row;
    case PreflightRowModel::SpectralLine:
        return index(r.spectralLine);
    case PreflightRowModel::LabLine:
        return index(r.labLine);
    case PreflightRowModel::Patch:
        return index(r.patch);
    case PreflightRowModel::C:
    case PreflightRowModel::M:
    case PreflightRowModel::Y:
    case PreflightRowModel::K:
        if (!r.cmyk)
            return std::nullopt;
        return (*r.cmyk)[column - PreflightRowModel::C];
    case PreflightRowModel::LFile:
    case PreflightRowModel::AFile:
    case PreflightRowModel::BFile:
        return lab(r.labFile, column - PreflightRowModel::LFile);
    case PreflightRowModel::LSpectra:
    case PreflightRowModel::ASpectra:
    case PreflightRowModel::BSpectra:
        return lab(r.labSpectra, column - PreflightRowModel::LSpectra);
    case PreflightRowModel::Delta:
        return r.dE00;
    default:
        return std::nullopt;
    }
}

// SAMPLE_IDs as a person sorts them: "A2" before "A10", letters without regard to case.
int naturalCompare(const QString& a, const QString& b) {
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            qsizetype i2 = i;
            qsizetype j2 = j;
            while (i2 < a.size() && a[i2].isDigit())
                ++i2;
            while (j2 < b.size() && b[j2].isDigit())
                ++j2;
            QStringView x = QStringView(a).mid(i, i2 - i);
            QStringView y = QStringView(b).mid(j, j2 - j);
            while (x.size() > 1 && x.front() == u'0')
                x = x.mid(1);
            while (y.size() > 1 && y.front() == u'0')
                y = y.mid(1);
            if (x.size() != y.size())
                return x.size() < y.size() ? -1 : 1;
            if (const int c = x.compare(y))
                return c;
            i = i2;
            j = j2;
            continue;
        }
        const int c = static_cast<int>(a[i].toCaseFolded().unicode()) - b[j].toCaseFolded().unicode();
        if (c)
            return c;
        ++i;
        ++j;
    }
    const qsizetype left = (a.size() - i) - (b.size() - j);
    return left < 0 ? -1 : left > 0 ? 1 : 0;
}

} // namespace

PreflightRowModel::PreflightRowModel(QObject* parent) : QAbstractTableModel(parent) {}

void PreflightRowModel::setReport(std::shared_ptr<const preflight::PreflightReport> report) {
    beginResetModel();
    m_report = std::move(report);
    const int n = m_report ? static_cast<int>(m_report->rows.size()) : 0;
    m_order.resize(n);
    std::iota(m_order.begin(), m_order.end(), 0);
    m_inverse = m_order;
    endResetModel();
}

int PreflightRowModel::reportRow(int modelRow) const {
    return modelRow >= 0 && modelRow < static_cast<int>(m_order.size()) ? m_order[modelRow] : -1;
}

int PreflightRowModel::modelRow(int reportRow) const {
    return reportRow >= 0 && reportRow < static_cast<int>(m_inverse.size()) ? m_inverse[reportRow] : -1;
}

int PreflightRowModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_order.size());
}

int PreflightRowModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

bool PreflightRowModel::IsLabColumn(int column) {
    return column == LabLine || column == LabId || column == LFile || column == AFile || column == BFile;
}

QVariant PreflightRowModel::sortValue(const preflight::PreflightRow& r, int column) const {
    if (column == SpectralId)
        return r.spectralId;
    if (column == LabId)
        return r.labId;
    const std::optional<double> v = numberOf(r, column);
    return v ? QVariant(*v) : QVariant();
}

QVariant PreflightRowModel::data(const QModelIndex& index, int role) const {
    const int at = reportRow(index.row());
    if (!m_report || at < 0)
        return {};
    const preflight::PreflightRow& r = m_report->rows[at];
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole: {
        if (column == SpectralId)
            return r.spectralId;
        if (column == LabId)
            return r.labId;
        const std::optional<double> v = numberOf(r, column);
        if (!v)
            return QString();
        if (column == Row || column == SpectralLine || column == LabLine || column == Patch)
            return QString::number(static_cast<qint64>(*v));
        return report::Number(*v);
    }
    case SortRole:
        return sortValue(r, column);
    case Qt::TextAlignmentRole:
        if (column == SpectralId || column == LabId)
            return int(Qt::AlignLeft | Qt::AlignVCenter);
        return int(Qt::AlignRight | Qt::AlignVCenter);
    case Qt::BackgroundRole:
        if (r.worst == preflight::Severity::Error)
            return QBrush(QColor(0xFF, 0xE0, 0xE0));
        if (r.worst == preflight::Severity::Warning)
            return QBrush(QColor(0xFF, 0xF0, 0xD0));
        return {};
    case Qt::ToolTipRole:
        return report::RowDescription(r, m_report->kind);
    default:
        return {};
    }
}

QVariant PreflightRowModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    const bool spec = m_report && m_report->kind == preflight::PreflightReport::Kind::Spec;
    static const char* const names[ColumnCount] = {
        "Row",     "Spectral line", "L*a*b* line", "Spectral ID", "L*a*b* ID", "Patch",
        "C %",     "M %",           "Y %",         "K %",         "L* file",   "a* file",
        "b* file", "L* spectrum",   "a* spectrum", "b* spectrum", "ΔE00"};
    if (section < 0 || section >= ColumnCount)
        return {};
    if (spec && section == SpectralLine)
        return QStringLiteral("Line");
    if (spec && section == SpectralId)
        return QStringLiteral("SAMPLE_ID");
    return QString::fromUtf8(names[section]);
}

void PreflightRowModel::sort(int column, Qt::SortOrder order) {
    if (!m_report || column < 0 || column >= ColumnCount)
        return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    QList<int> reportRows;
    reportRows.reserve(before.size());
    for (const QModelIndex& i : before)
        reportRows.append(reportRow(i.row()));

    const auto& rows = m_report->rows;
    const bool descending = order == Qt::DescendingOrder;
    const bool byText = column == SpectralId || column == LabId;
    // The keys once, not twice per comparison; rows without a value go last either way and ties
    // keep row order.
    std::vector<std::optional<double>> keys;
    if (!byText) {
        keys.reserve(rows.size());
        for (const preflight::PreflightRow& r : rows)
            keys.push_back(numberOf(r, column));
    }
    auto less = [&](int a, int b) {
        if (byText) {
            const QString& x = column == SpectralId ? rows[a].spectralId : rows[a].labId;
            const QString& y = column == SpectralId ? rows[b].spectralId : rows[b].labId;
            const int c = naturalCompare(x, y);
            return descending ? c > 0 : c < 0;
        }
        const std::optional<double>& x = keys[a];
        const std::optional<double>& y = keys[b];
        if (!x || !y)
            return x.has_value() && !y.has_value();
        return descending ? *x > *y : *x < *y;
    };
    std::iota(m_order.begin(), m_order.end(), 0);
    std::stable_sort(m_order.begin(), m_order.end(), less);
    for (int i = 0; i < static_cast<int>(m_order.size()); ++i)
        m_inverse[m_order[i]] = i;

    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i)
        after.append(index(modelRow(reportRows[i]), before[i].column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
