#pragma once

#include "PreflightReport.h"

#include <QAbstractTableModel>

#include <memory>
#include <vector>

// The rows of a preflight report for a table view: one line per row, sortable by any column
// (the model sorts an index list, so 161,700 rows sort in a blink and the report is not copied).
class PreflightRowModel : public QAbstractTableModel {
public:
    enum Column {
        Row,
        SpectralLine,
        LabLine,
        SpectralId,
        LabId,
        Patch,
        C,
        M,
        Y,
        K,
        LFile,
        AFile,
        BFile,
        LSpectra,
        ASpectra,
        BSpectra,
        Delta,
        ColumnCount
    };
    // The value a column sorts by (a number, or the text of an id).
    static constexpr int SortRole = Qt::UserRole + 1;

    explicit PreflightRowModel(QObject* parent = nullptr);

    void setReport(std::shared_ptr<const preflight::PreflightReport> report);
    const preflight::PreflightReport* report() const { return m_report.get(); }

    // Index into report()->rows of a model row, and back (-1 when out of range).
    int reportRow(int modelRow) const;
    int modelRow(int reportRow) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // Whether a column concerns the L*a*b* file (a double-click there goes to the L*a*b* pane).
    static bool IsLabColumn(int column);

private:
    QVariant sortValue(const preflight::PreflightRow& row, int column) const;

    std::shared_ptr<const preflight::PreflightReport> m_report;
    std::vector<int> m_order;   // model row -> report row
    std::vector<int> m_inverse; // report row -> model row
};
