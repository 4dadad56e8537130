#include "PreflightWindow.h"

#include "ChartView.h"
#include "Controls.h"
#include "HistogramView.h"
#include "Preflight.h"
#include "PreflightPdf.h"
#include "PreflightRowModel.h"
#include "ReportText.h"
#include "SaveDocument.h"
#include "SpectralPlotView.h"
#include "SrgbColour.h"
#include "Toolkit.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QIcon severityIcon(const QWidget* w, preflight::Severity s) {
    switch (s) {
    case preflight::Severity::Error:
        return w->style()->standardIcon(QStyle::SP_MessageBoxCritical);
    case preflight::Severity::Warning:
        return w->style()->standardIcon(QStyle::SP_MessageBoxWarning);
    case preflight::Severity::Info:
        break;
    }
    return w->style()->standardIcon(QStyle::SP_MessageBoxInformation);
}

QColor severityColour(preflight::Severity s) {
    switch (s) {
    case preflight::Severity::Error:
        return QColor(0xB0, 0x00, 0x00);
    case preflight::Severity::Warning:
        return QColor(0x9A, 0x5B, 0x00);
    case preflight::Severity::Info:
        break;
    }
    return {};
}

} // namespace

PreflightWindow::PreflightWindow(Toolkit& toolkit, QWidget* parent)
    : QWidget(parent, Qt::Window), m_toolkit(toolkit) {
    setObjectName(QStringLiteral("PreflightWindow"));
    setWindowTitle(QStringLiteral("Preflight"));
    resize(1000, 700);

    auto* column = new QVBoxLayout(this);

    // Summary, histogram and the save button across the top.
    auto* top = new QHBoxLayout;
    auto* summaryColumn = new QVBoxLayout;
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("labelPreflightSummary"));
    m_summary->setTextFormat(Qt::PlainText);
    m_summary->setWordWrap(true);
    m_summary->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    summaryColumn->addWidget(m_summary, 1);
    m_save = new QPushButton(QStringLiteral("Save report…"), this);
    m_save->setObjectName(QStringLiteral("btnSavePreflightReport"));
    m_save->setAutoDefault(false);
    connect(m_save, &QPushButton::clicked, this, [this] { saveReport(); });
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addWidget(m_save);
    buttonRow->addStretch(1);
    summaryColumn->addLayout(buttonRow);
    top->addLayout(summaryColumn, 1);
    m_histogram = new HistogramView(this);
    m_histogram->setObjectName(QStringLiteral("PreflightHistogram"));
    m_histogram->setFixedSize(320, 120);
    top->addWidget(m_histogram);
    column->addLayout(top);

    auto* split = new QSplitter(Qt::Horizontal, this);
    m_findings = new QListWidget(split);
    m_findings->setObjectName(QStringLiteral("PreflightFindings"));
    m_findings->setWordWrap(true);
    m_findings->setTextElideMode(Qt::ElideNone);
    connect(m_findings, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        const int at = item->data(Qt::UserRole).toInt();
        if (!m_report || at < 0 || at >= m_report->findings.size())
            return;
        const QList<int>& rows = m_report->findings[at].rows;
        if (!rows.isEmpty())
            selectRows(rows);
    });

    m_tabs = new QTabWidget(split);
    m_tabs->setObjectName(QStringLiteral("PreflightTabs"));
    auto* chartSplit = new QSplitter(Qt::Vertical);
    m_chart = new ChartView(chartSplit);
    m_chart->setObjectName(QStringLiteral("PreflightChart"));
    m_plot = new SpectralPlotView(chartSplit);
    m_plot->setObjectName(QStringLiteral("PreflightSpectra"));
    chartSplit->setStretchFactor(0, 3);
    chartSplit->setStretchFactor(1, 2);
    m_tabs->addTab(chartSplit, QStringLiteral("Chart"));

    m_table = new QTableView;
    m_table->setObjectName(QStringLiteral("PreflightRows"));
    m_model = new PreflightRowModel(m_table);
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setSortingEnabled(true);
    m_table->sortByColumn(PreflightRowModel::Row, Qt::AscendingOrder);
    m_table->verticalHeader()->hide();
    // Fixed row heights: a table of 161,700 rows never measures its rows one by one.
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    m_table->horizontalHeader()->setDefaultSectionSize(78);
    m_tabs->addTab(m_table, QStringLiteral("Rows"));
    split->setStretchFactor(0, 1);
    split->setStretchFactor(1, 3);
    split->setSizes({260, 740});
    column->addWidget(split, 1);

    connect(m_table->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { tableSelectionChanged(); });
    connect(m_table, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        const int row = m_model->reportRow(index.row());
        if (row >= 0 && onRowActivated)
            onRowActivated(row, PreflightRowModel::IsLabColumn(index.column()));
    });
    m_chart->onSelectionChanged = [this](const QList<int>& rows) { chartSelectionChanged(rows); };
}

PreflightWindow::~PreflightWindow() {
    m_chart->onSelectionChanged = nullptr;
}

void PreflightWindow::setReport(std::shared_ptr<const preflight::PreflightReport> report) {
    // Keep the chosen rows by their row number: a new import may have moved or dropped them.
    QList<int> numbers;
    if (m_report)
        for (int r : selectedRows())
            numbers.append(m_report->rows[r].row);

    m_report = std::move(report);
    static const preflight::PreflightReport empty;
    const preflight::PreflightReport& r = m_report ? *m_report : empty;
    const bool spec = r.kind == preflight::PreflightReport::Kind::Spec;
    setWindowTitle(spec ? QStringLiteral("Preflight — spec file")
                        : QStringLiteral("Preflight — smoothing file"));

    QStringList summary;
    summary << preflight::StatusText(r);
    summary << QStringLiteral("Condition %1").arg(report::ConditionText(r.condition));
    for (const preflight::FileSummary& f : r.files)
        summary << QStringLiteral("%1: %2 lines, %3 data rows").arg(f.name).arg(f.lines).arg(f.dataRows);
    if (!spec)
        summary << report::DeltaSummaryText(r.dE00);
    m_summary->setText(summary.join(u'\n'));
    m_histogram->setHistogram(report::MakeHistogram(r));
    m_histogram->setVisible(!spec);

    m_findings->clear();
    for (int i = 0; i < r.findings.size(); ++i) {
        const preflight::Finding& f = r.findings[i];
        auto* item = new QListWidgetItem(severityIcon(this, f.severity), f.text, m_findings);
        item->setData(Qt::UserRole, i);
        if (const QColor c = severityColour(f.severity); c.isValid())
            item->setForeground(c);
        item->setToolTip(report::SeverityText(f.severity) + QStringLiteral(": ") + f.text);
    }
    if (r.findings.isEmpty())
        new QListWidgetItem(severityIcon(this, preflight::Severity::Info), QStringLiteral("No findings."),
                            m_findings);

    m_syncing = true;
    m_model->setReport(m_report);
    const int sortColumn = m_table->horizontalHeader()->sortIndicatorSection();
    m_model->sort(sortColumn, m_table->horizontalHeader()->sortIndicatorOrder());
    for (int c : {PreflightRowModel::LabLine, PreflightRowModel::LabId, PreflightRowModel::LFile,
                  PreflightRowModel::AFile, PreflightRowModel::BFile, PreflightRowModel::Delta})
        m_table->setColumnHidden(c, spec);
    // Every header readable; the cells' numbers are never wider than their header's text.
    const QFontMetrics headerMetrics(m_table->horizontalHeader()->font());
    for (int c = 0; c < m_model->columnCount(); ++c) {
        const QString title = m_model->headerData(c, Qt::Horizontal).toString();
        m_table->setColumnWidth(c, std::max(70, headerMetrics.horizontalAdvance(title) + 28));
    }
    m_chart->setReport(m_report);
    m_syncing = false;

    QHash<int, int> byNumber;
    for (int i = 0; i < r.rows.size(); ++i)
        byNumber.insert(r.rows[i].row, i);
    QList<int> again;
    for (int n : numbers)
        if (auto it = byNumber.constFind(n); it != byNumber.constEnd())
            again.append(*it);
    selectRows(again);
}

QList<int> PreflightWindow::selectedRows() const {
    return m_chart->selection();
}

void PreflightWindow::selectRows(const QList<int>& rows) {
    m_chart->setSelection(rows);
    chartSelectionChanged(m_chart->selection());
}

void PreflightWindow::chartSelectionChanged(const QList<int>& rows) {
    if (m_syncing)
        return;
    m_syncing = true;
    // Neighbouring model rows make one range, so a grid row selects in a few steps.
    std::vector<int> modelRows;
    modelRows.reserve(rows.size());
    for (int r : rows)
        if (const int m = m_model->modelRow(r); m >= 0)
            modelRows.push_back(m);
    std::sort(modelRows.begin(), modelRows.end());
    QItemSelection selection;
    const int lastColumn = m_model->columnCount() - 1;
    for (size_t i = 0; i < modelRows.size();) {
        size_t j = i;
        while (j + 1 < modelRows.size() && modelRows[j + 1] == modelRows[j] + 1)
            ++j;
        selection.select(m_model->index(modelRows[i], 0), m_model->index(modelRows[j], lastColumn));
        i = j + 1;
    }
    m_table->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (!rows.isEmpty())
        m_table->scrollTo(m_model->index(m_model->modelRow(rows.last()), 0));
    m_syncing = false;
    showSelection(rows);
}

void PreflightWindow::tableSelectionChanged() {
    if (m_syncing)
        return;
    QList<int> rows;
    for (const QModelIndex& i : m_table->selectionModel()->selectedRows())
        rows.append(m_model->reportRow(i.row()));
    std::sort(rows.begin(), rows.end());
    m_chart->setSelection(rows);
    showSelection(rows);
}

void PreflightWindow::showSelection(const QList<int>& rows) {
    QList<report::SpectralCurve> curves;
    const report::ChartPicture& picture = m_chart->picture();
    for (int r : rows) {
        if (!m_report || r < 0 || r >= m_report->rows.size())
            continue;
        const preflight::PreflightRow& row = m_report->rows[r];
        if (!row.reflectance)
            continue;
        curves.append({*row.reflectance, picture.patches[r].lower});
    }
    m_plot->setCurves(std::move(curves));
}

void PreflightWindow::saveReport() {
    if (!m_report)
        return;
    SaveDialog dialog;
    dialog.Filter = QStringLiteral("pdf|*.pdf|*|*");
    dialog.FileName = QStringLiteral("Preflight_") + SaveTimestamp(QDateTime::currentDateTime());
    dialog.DefaultExt = QStringLiteral("pdf");
    dialog.Options = ofOverwritePrompt | ofHideReadOnly | ofEnableSizing;
    if (!m_toolkit.ExecuteSave(dialog))
        return;
    // The report shown when the user pressed the button, even if an import replaced it since.
    const std::shared_ptr<const preflight::PreflightReport> report = m_report;
    QString error;
    if (!report::WritePreflightReportPdf(*report, dialog.FileName, &error))
        m_toolkit.ShowError(error);
}
