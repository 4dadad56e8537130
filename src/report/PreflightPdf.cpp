#include "PreflightPdf.h"

#include "ChartPainter.h"
#include "Error.h"
#include "HistogramPainter.h"
#include "Preflight.h"
#include "ReportText.h"
#include "SaveDocument.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>
#include <numeric>

namespace report {
namespace {

constexpr int kDpi = 300;
constexpr int kWorstRows = 50;

double mm(double millimetres) {
    return millimetres * kDpi / 25.4;
}

QFont font(double points, bool bold = false) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(points);
    f.setBold(bold);
    // No ligatures: a joined "fi" or "fl" would leave the PDF's text unsearchable for "file"
    // and "preflight".
    f.setStyleStrategy(QFont::PreferNoShaping);
    return f;
}

// Writes text downwards on the page, starting a new page when the next block would not fit.
class PageFlow {
public:
    PageFlow(QPdfWriter& writer, QPainter& painter)
        : m_writer(writer), m_painter(painter), m_width(writer.width()), m_height(writer.height()) {}

    double width() const { return m_width; }
    double y() const { return m_y; }
    double room() const { return m_height - m_y; }
    void skip(double height) { m_y += height; }

    void newPage() {
        m_writer.newPage();
        m_y = 0;
    }
    void need(double height) {
        if (m_y > 0 && m_y + height > m_height)
            newPage();
    }
    // A wrapped paragraph at x, as wide as what is left of the line.
    void paragraph(const QString& text, const QFont& f, double x = 0, QColor colour = Qt::black) {
        m_painter.setFont(f);
        const QRectF box(x, 0, m_width - x, m_height);
        const QRectF used = m_painter.boundingRect(box, Qt::TextWordWrap, text);
        need(used.height());
        m_painter.setPen(colour);
        m_painter.drawText(QRectF(x, m_y, m_width - x, used.height()), Qt::TextWordWrap, text);
        m_y += used.height();
    }

private:
    QPdfWriter& m_writer;
    QPainter& m_painter;
    double m_width;
    double m_height;
    double m_y = 0;
};

QString kindText(const preflight::PreflightReport& report) {
    return report.kind == preflight::PreflightReport::Kind::Spec ? QStringLiteral("spec file")
                                                                 : QStringLiteral("smoothing file");
}

QColor severityColour(preflight::Severity s) {
    switch (s) {
    case preflight::Severity::Error:
        return QColor(0xB0, 0x00, 0x00);
    case preflight::Severity::Warning:
        return QColor(0xA0, 0x60, 0x00);
    case preflight::Severity::Info:
        break;
    }
    return QColor(0x20, 0x20, 0x20);
}

// Columns of a simple table; each cell's text is elided to its column.
void tableRow(QPainter& p, double y, double h, const QList<double>& widths, const QStringList& cells) {
    double x = 0;
    const QFontMetricsF fm(p.font());
    for (qsizetype i = 0; i < cells.size() && i < widths.size(); ++i) {
        const QString text = fm.elidedText(cells[i], Qt::ElideRight, widths[i] - mm(1.5));
        p.drawText(QRectF(x, y, widths[i] - mm(1.5), h), Qt::AlignLeft | Qt::AlignVCenter, text);
        x += widths[i];
    }
}

void filesPage(PageFlow& flow, QPainter& p, const preflight::PreflightReport& report, const QDateTime& when) {
    flow.paragraph(QStringLiteral("Lumetra preflight — %1").arg(kindText(report)), font(16, true));
    flow.paragraph(QLocale::system().toString(when, QLocale::LongFormat), font(9), 0,
                   QColor(0x50, 0x50, 0x50));
    flow.skip(mm(4));
    flow.paragraph(preflight::StatusText(report), font(11, true));
    flow.skip(mm(3));

    flow.paragraph(QStringLiteral("Files"), font(11, true));
    p.setFont(font(9));
    const double rowH = QFontMetricsF(p.font()).height() * 1.3;
    const QList<double> widths{flow.width() * 0.40, flow.width() * 0.12, flow.width() * 0.13,
                               flow.width() * 0.18, flow.width() * 0.17};
    p.setPen(QColor(0x50, 0x50, 0x50));
    tableRow(p, flow.y(), rowH, widths,
             {QStringLiteral("Name"), QStringLiteral("Lines"), QStringLiteral("Data rows"),
              QStringLiteral("NUMBER_OF_SETS"), QStringLiteral("Size")});
    flow.skip(rowH);
    p.setPen(Qt::black);
    for (const preflight::FileSummary& f : report.files) {
        flow.need(rowH);
        p.setFont(font(9));
        tableRow(p, flow.y(), rowH, widths,
                 {f.name, QString::number(f.lines), QString::number(f.dataRows),
                  f.declaredSets < 0 ? QStringLiteral("—") : QString::number(f.declaredSets),
                  f.bytes < 0 ? QStringLiteral("—") : QStringLiteral("%1 bytes").arg(f.bytes)});
        flow.skip(rowH);
    }
    flow.skip(mm(3));
    flow.paragraph(QStringLiteral("Condition: %1").arg(ConditionText(report.condition)), font(10));
    flow.paragraph(QStringLiteral("Rows: %1").arg(report.rows.size()), font(10));
    flow.paragraph(DeltaSummaryText(report.dE00), font(10));

    if (report.kind == preflight::PreflightReport::Kind::Smoothing && report.dE00.count > 0) {
        flow.skip(mm(2));
        const QRectF box(0, flow.y(), mm(110), mm(45));
        flow.need(box.height());
        p.setFont(font(6.5));
        p.setPen(Qt::black);
        PaintHistogram(p, QRectF(0, flow.y(), box.width(), box.height()), MakeHistogram(report));
        flow.skip(box.height() + mm(1));
        flow.paragraph(
            QStringLiteral(
                "ΔE00 histogram, bins of 0.25; the last bin (5+) holds every pair of 5 and above."),
            font(7), 0, QColor(0x50, 0x50, 0x50));
    }

    flow.skip(mm(4));
    flow.paragraph(QStringLiteral("Findings (%1)").arg(report.findings.size()), font(11, true));
    if (report.findings.isEmpty())
        flow.paragraph(QStringLiteral("None."), font(9));
    for (const preflight::Finding& f : report.findings) {
        flow.paragraph(QStringLiteral("%1: %2").arg(SeverityText(f.severity), f.text), font(9), mm(2),
                       severityColour(f.severity));
        flow.skip(mm(0.8));
    }
}

void chartPage(PageFlow& flow, QPainter& p, const preflight::PreflightReport& report) {
    flow.newPage();
    flow.paragraph(QStringLiteral("Chart — %1 patches in row order").arg(report.rows.size()), font(12, true));
    flow.paragraph(
        report.kind == preflight::PreflightReport::Kind::Spec
            ? QStringLiteral("Each patch in the colour of its spectral row (D50, sRGB). "
                             "Red frame: an error; amber frame: a warning.")
            : QStringLiteral("Upper-left half: the L*a*b* file; lower-right half: computed from the "
                             "spectral row (D50, sRGB). Red frame: an error; amber frame: a warning."),
        font(8), 0, QColor(0x50, 0x50, 0x50));
    flow.skip(mm(3));
    const QRectF area(0, flow.y(), flow.width(), flow.room());
    const ChartGrid grid(static_cast<int>(report.rows.size()), area);
    PaintChart(p, grid, MakeChartPicture(report));
}

void worstRowsPage(PageFlow& flow, QPainter& p, const preflight::PreflightReport& report) {
    std::vector<int> order;
    for (int i = 0; i < report.rows.size(); ++i)
        if (report.rows[i].dE00 || report.rows[i].worst != preflight::Severity::Info)
            order.push_back(i);
    if (order.empty())
        return;
    auto key = [&](int i) {
        const preflight::PreflightRow& r = report.rows[i];
        return std::pair(static_cast<int>(r.worst), r.dE00.value_or(-1));
    };
    const size_t n = std::min<size_t>(order.size(), kWorstRows);
    std::partial_sort(order.begin(), order.begin() + n, order.end(), [&](int a, int b) {
        const auto ka = key(a);
        const auto kb = key(b);
        return ka != kb ? ka > kb : a < b;
    });
    order.resize(n);

    flow.newPage();
    flow.paragraph(QStringLiteral("The %1 worst rows").arg(n), font(12, true));
    flow.skip(mm(2));
    const bool spec = report.kind == preflight::PreflightReport::Kind::Spec;
    const double w = flow.width();
    const QList<double> widths =
        spec ? QList<double>{w * 0.06, w * 0.07, w * 0.16, w * 0.07, w * 0.24, w * 0.24, w * 0.16}
             : QList<double>{w * 0.05, w * 0.065, w * 0.065, w * 0.09,  w * 0.09,
                             w * 0.05, w * 0.21,  w * 0.155, w * 0.155, w * 0.07};
    const QStringList head =
        spec ? QStringList{"Row", "Line", "SAMPLE_ID", "Patch", "CMYK %", "L*a*b* from spectrum", "Finding"}
             : QStringList{"Row",   "Sp. line", "Lab line",    "Spectral ID",     "L*a*b* ID",
                           "Patch", "CMYK %",   "L*a*b* file", "L*a*b* spectrum", "ΔE00"};
    p.setFont(font(6.5, true));
    const double rowH = QFontMetricsF(p.font()).height() * 1.35;
    p.setPen(Qt::black);
    tableRow(p, flow.y(), rowH, widths, head);
    flow.skip(rowH);
    p.setFont(font(6.5));
    for (int i : order) {
        const preflight::PreflightRow& r = report.rows[i];
        if (flow.room() < rowH) {
            flow.newPage();
            p.setFont(font(6.5));
        }
        p.setPen(severityColour(r.worst));
        const QStringList cells =
            spec ? QStringList{QString::number(r.row), IndexText(r.spectralLine), r.spectralId,
                               IndexText(r.patch),     CmykText(r.cmyk),          LabText(r.labSpectra),
                               SeverityText(r.worst)}
                 : QStringList{QString::number(r.row),
                               IndexText(r.spectralLine),
                               IndexText(r.labLine),
                               r.spectralId,
                               r.labId,
                               IndexText(r.patch),
                               CmykText(r.cmyk),
                               LabText(r.labFile),
                               LabText(r.labSpectra),
                               DeltaText(r.dE00)};
        tableRow(p, flow.y(), rowH, widths, cells);
        flow.skip(rowH);
    }
}

} // namespace

QByteArray PreflightReportPdf(const preflight::PreflightReport& report, const QDateTime& when) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(kDpi);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter);
        writer.setTitle(QStringLiteral("Lumetra preflight — %1").arg(kindText(report)));
        writer.setCreator(QStringLiteral("Lumetra"));
        QPainter painter;
        if (!painter.begin(&writer))
            return {};
        PageFlow flow(writer, painter);
        filesPage(flow, painter, report, when);
        chartPage(flow, painter, report);
        worstRowsPage(flow, painter, report);
        painter.end();
    }
    buffer.close();
    return bytes;
}

bool WritePreflightReportPdf(const preflight::PreflightReport& report, const QString& path, QString* error) {
    // Rendered whole in memory first, then saved the way every other file is.
    const QByteArray bytes = PreflightReportPdf(report, QDateTime::currentDateTime());
    try {
        if (bytes.isEmpty())
            throw Error(QStringLiteral("Cannot create file \"%1\". The PDF could not be drawn")
                            .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())));
        WriteDocumentFile(path, bytes);
    } catch (const Error& e) {
        if (error)
            *error = e.message();
        return false;
    }
    return true;
}

} // namespace report
