#pragma once

#include "PreflightReport.h"

#include <QList>
#include <QWidget>

#include <functional>
#include <memory>

class ChartView;
class HistogramView;
class PreflightRowModel;
class QLabel;
class QListWidget;
class QPushButton;
class QTabWidget;
class QTableView;
class SpectralPlotView;
class Toolkit;

// The preflight's details, in a window of its own that stays open beside the main window: the
// summary with its ΔE00 histogram, the findings, the chart with the spectra of the chosen
// patches, and every row in a sortable table. Chart and table share one selection; a
// double-click on a table row shows that row's line in its pane.
class PreflightWindow : public QWidget {
public:
    // Dialogs and errors go through toolkit (the main window's).
    explicit PreflightWindow(Toolkit& toolkit, QWidget* parent = nullptr);
    ~PreflightWindow() override;

    // Shows a new report; the rows chosen before stay chosen where the new report has them.
    void setReport(std::shared_ptr<const preflight::PreflightReport> report);
    const preflight::PreflightReport* report() const { return m_report.get(); }

    // Report row indices.
    QList<int> selectedRows() const;
    void selectRows(const QList<int>& rows);

    // "Save report…": asks for a path, writes the PDF; a failed save shows its error.
    void saveReport();

    // A double-click on a table row: the report row index, and whether the L*a*b* side was meant.
    std::function<void(int row, bool labPane)> onRowActivated;

    QTableView* table() const { return m_table; }
    PreflightRowModel* model() const { return m_model; }
    ChartView* chart() const { return m_chart; }
    SpectralPlotView* plot() const { return m_plot; }
    HistogramView* histogram() const { return m_histogram; }
    QListWidget* findings() const { return m_findings; }
    QLabel* summary() const { return m_summary; }

private:
    void tableSelectionChanged();
    void chartSelectionChanged(const QList<int>& rows);
    void showSelection(const QList<int>& rows);

    Toolkit& m_toolkit;
    std::shared_ptr<const preflight::PreflightReport> m_report;
    QLabel* m_summary = nullptr;
    HistogramView* m_histogram = nullptr;
    QPushButton* m_save = nullptr;
    QListWidget* m_findings = nullptr;
    QTabWidget* m_tabs = nullptr;
    ChartView* m_chart = nullptr;
    SpectralPlotView* m_plot = nullptr;
    QTableView* m_table = nullptr;
    PreflightRowModel* m_model = nullptr;
    bool m_syncing = false;
};
