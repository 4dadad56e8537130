#include "ChartPainter.h"

#include "SrgbColour.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace report {

int ChartGrid::ColumnsFor(int count, double width, double height) {
    if (count <= 0 || !(width > 0) || !(height > 0))
        return 1;
    // The cell size for c columns is min(width / c, height / rows(c)); it peaks near
    // sqrt(count * width / height), but the rounding of rows makes it worth trying a few.
    const double estimate = std::sqrt(static_cast<double>(count) * width / height);
    const int from = std::max(1, static_cast<int>(estimate) - 3);
    const int to = std::min(count, static_cast<int>(estimate) + 4);
    int best = std::clamp(static_cast<int>(std::lround(estimate)), 1, count);
    double bestCell = -1;
    for (int c = from; c <= to; ++c) {
        const int rows = (count + c - 1) / c;
        const double cell = std::min(width / c, height / rows);
        if (cell > bestCell + 1e-9) {
            bestCell = cell;
            best = c;
        }
    }
    return best;
}

ChartGrid::ChartGrid(int count, const QRectF& area) : m_count(std::max(0, count)) {
    if (m_count == 0 || area.isEmpty())
        return;
    m_columns = ColumnsFor(m_count, area.width(), area.height());
    m_rows = (m_count + m_columns - 1) / m_columns;
    m_cell = std::min(area.width() / m_columns, area.height() / m_rows);
    // A gap between patches reads as a chart; below 8 units it would only eat the colour.
    m_gap = m_cell >= 8 ? std::max(1.0, m_cell * 0.08) : 0;
    const double usedWidth = m_cell * m_columns;
    m_origin = QPointF(area.left() + (area.width() - usedWidth) / 2, area.top());
}

QRectF ChartGrid::patchRect(int index) const {
    if (index < 0 || index >= m_count)
        return {};
    const int r = index / m_columns;
    const int c = index % m_columns;
    const double half = m_gap / 2;
    return QRectF(m_origin.x() + c * m_cell + half, m_origin.y() + r * m_cell + half, m_cell - m_gap,
                  m_cell - m_gap);
}

int ChartGrid::indexAt(const QPointF& point) const {
    if (m_count == 0 || m_cell <= 0)
        return -1;
    const double x = (point.x() - m_origin.x()) / m_cell;
    const double y = (point.y() - m_origin.y()) / m_cell;
    if (x < 0 || y < 0 || x >= m_columns || y >= m_rows)
        return -1;
    const int index = static_cast<int>(y) * m_columns + static_cast<int>(x);
    if (index >= m_count || !patchRect(index).contains(point))
        return -1;
    return index;
}

std::pair<int, int> ChartGrid::gridRowRange(int index) const {
    if (index < 0 || index >= m_count)
        return {-1, -1};
    const int first = index / m_columns * m_columns;
    return {first, std::min(m_count, first + m_columns) - 1};
}

ChartPicture MakeChartPicture(const preflight::PreflightReport& report) {
    ChartPicture picture;
    picture.split = report.kind == preflight::PreflightReport::Kind::Smoothing;
    const qsizetype n = report.rows.size();
    picture.patches.resize(n);
    // Gather the values and convert them in two calls, not one per patch.
    std::vector<colour::Lab> lab;
    std::vector<QRgb> rgb;
    auto convert = [&](auto member, auto apply) {
        lab.clear();
        // A value that is not a number is shown as missing, not as some colour.
        auto usable = [](const std::optional<colour::Lab>& v) {
            return v && std::isfinite(v->L) && std::isfinite(v->a) && std::isfinite(v->b);
        };
        for (const preflight::PreflightRow& row : report.rows)
            if (usable(row.*member))
                lab.push_back(*(row.*member));
        rgb.resize(lab.size());
        LabToSrgb(lab, rgb);
        size_t k = 0;
        for (qsizetype i = 0; i < n; ++i)
            if (usable(report.rows[i].*member))
                apply(picture.patches[i], rgb[k++]);
    };
    convert(&preflight::PreflightRow::labSpectra, [](ChartPatch& p, QRgb c) {
        p.lower = c;
        p.hasLower = true;
    });
    if (picture.split) {
        convert(&preflight::PreflightRow::labFile, [](ChartPatch& p, QRgb c) {
            p.upper = c;
            p.hasUpper = true;
        });
    }
    for (qsizetype i = 0; i < n; ++i) {
        ChartPatch& p = picture.patches[i];
        if (!picture.split) {
            p.upper = p.lower;
            p.hasUpper = p.hasLower;
        }
        if (!p.hasUpper)
            p.upper = kMissingColour;
        if (!p.hasLower)
            p.lower = kMissingColour;
        p.worst = report.rows[i].worst;
    }
    return picture;
}

QRgb FrameColour(preflight::Severity severity) {
    switch (severity) {
    case preflight::Severity::Error:
        return 0xFFD00000;
    case preflight::Severity::Warning:
        return 0xFFF0A000;
    case preflight::Severity::Info:
        break;
    }
    return 0;
}

namespace {

double frameWidth(double cell) {
    return std::clamp(cell * 0.12, 1.0, 6.0);
}

// On screen and into images the patches are written as pixel spans into one image that is
// drawn once: ten thousand small polygons through QPainter would take several times as long.
// A pixel belongs to a patch when its centre lies inside it, and to the upper-left half when
// its centre lies above the diagonal, as the polygon fill would have it.
void rasterisePatches(QPainter& painter, const ChartGrid& grid, const ChartPicture& picture, int first,
                      int last, const QRectF& clip) {
    const double cell = grid.cellSize();
    const int r0 = first / grid.columns();
    const int r1 = last / grid.columns();
    QRectF bounds(grid.origin().x(), grid.origin().y() + r0 * cell, grid.columns() * cell,
                  (r1 - r0 + 1) * cell);
    if (!clip.isEmpty())
        bounds = bounds.intersected(clip);
    const double dpr = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QRect pixels(QPoint(static_cast<int>(std::floor(bounds.left() * dpr)),
                              static_cast<int>(std::floor(bounds.top() * dpr))),
                       QPoint(static_cast<int>(std::ceil(bounds.right() * dpr)),
                              static_cast<int>(std::ceil(bounds.bottom() * dpr))));
    if (pixels.isEmpty())
        return;
    QImage image(pixels.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    auto toPixel = [](double v) { return static_cast<int>(std::ceil(v - 0.5)); };
    const int width = image.width();
    const int height = image.height();
    for (int i = first; i <= last; ++i) {
        const ChartPatch& p = picture.patches[i];
        const QRectF r = grid.patchRect(i);
        const double left = r.left() * dpr - pixels.left();
        const double top = r.top() * dpr - pixels.top();
        const double w = r.width() * dpr;
        const double h = r.height() * dpr;
        const int x0 = std::max(0, toPixel(left));
        const int x1 = std::min(width, toPixel(left + w));
        const int y0 = std::max(0, toPixel(top));
        const int y1 = std::min(height, toPixel(top + h));
        if (x0 >= x1 || y0 >= y1)
            continue;
        const bool split = picture.split && p.lower != p.upper;
        for (int y = y0; y < y1; ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            int xs = x1;
            if (split) {
                const double t = (y + 0.5 - top) / h;
                xs = std::clamp(toPixel(left + w * (1 - t)), x0, x1);
            }
            std::fill(line + x0, line + xs, p.upper);
            std::fill(line + xs, line + x1, p.lower);
        }
        if (p.worst == preflight::Severity::Info)
            continue;
        // The frame inside the patch's edge, as wide as the vector path draws it.
        const int f = std::max(1, static_cast<int>(std::lround(frameWidth(cell) * dpr)));
        const QRgb colour = FrameColour(p.worst);
        for (int y = y0; y < y1; ++y) {
            auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
            if (y < y0 + f || y >= y1 - f) {
                std::fill(line + x0, line + x1, colour);
            } else {
                std::fill(line + x0, line + std::min(x1, x0 + f), colour);
                std::fill(line + std::max(x0, x1 - f), line + x1, colour);
            }
        }
    }
    image.setDevicePixelRatio(dpr);
    painter.drawImage(QPointF(pixels.left() / dpr, pixels.top() / dpr), image);
}

} // namespace

void PaintChart(QPainter& painter, const ChartGrid& grid, const ChartPicture& picture,
                const std::vector<char>* selected, const QRectF& clip) {
    const int n = std::min<int>(grid.count(), static_cast<int>(picture.patches.size()));
    if (n == 0 || grid.cellSize() <= 0)
        return;
    // Only the grid rows that meet the clip.
    int first = 0;
    int last = n - 1;
    if (!clip.isEmpty()) {
        const double cell = grid.cellSize();
        const double y0 = grid.origin().y();
        // One row more on each side: a selection outline reaches past its patch.
        const int r0 = std::max(0, static_cast<int>(std::floor((clip.top() - y0) / cell)) - 1);
        const int r1 = static_cast<int>(std::floor((clip.bottom() - y0) / cell)) + 1;
        first = std::min(n, r0 * grid.columns());
        last = std::min(n - 1, (r1 + 1) * grid.columns() - 1);
        if (first > last)
            return;
    }

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const bool raster = painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster &&
                        painter.transform().type() <= QTransform::TxTranslate;
    if (raster) {
        rasterisePatches(painter, grid, picture, first, last, clip);
    } else {
        painter.setPen(Qt::NoPen);
        QPolygonF triangle(3);
        for (int i = first; i <= last; ++i) {
            const ChartPatch& p = picture.patches[i];
            const QRectF r = grid.patchRect(i);
            painter.fillRect(r, QColor(p.upper));
            if (picture.split && p.lower != p.upper) {
                triangle[0] = r.topRight();
                triangle[1] = r.bottomRight();
                triangle[2] = r.bottomLeft();
                painter.setBrush(QColor(p.lower));
                painter.drawConvexPolygon(triangle);
            }
        }
    }

    // Frames over the colours (already in the image on screen): errors red, warnings amber; the
    // selection outlined on top.
    const double frame = frameWidth(grid.cellSize());
    painter.setBrush(Qt::NoBrush);
    for (int i = first; i <= last && !raster; ++i) {
        const preflight::Severity worst = picture.patches[i].worst;
        if (worst == preflight::Severity::Info)
            continue;
        QPen pen{QColor(FrameColour(worst)), frame};
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        const QRectF r = grid.patchRect(i);
        painter.drawRect(r.adjusted(frame / 2, frame / 2, -frame / 2, -frame / 2));
    }
    if (selected) {
        const double outline = std::clamp(grid.cellSize() * 0.08, 1.0, 3.0);
        const int end = std::min<int>(last, static_cast<int>(selected->size()) - 1);
        for (int i = first; i <= end; ++i) {
            if (!(*selected)[i])
                continue;
            const QRectF r = grid.patchRect(i);
            const double half = outline / 2;
            // Black outside the patch, white inside it, so it shows on light and dark patches alike.
            painter.setPen(QPen(Qt::black, outline, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
            painter.drawRect(r.adjusted(-half, -half, half, half));
            painter.setPen(QPen(Qt::white, outline, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
            painter.drawRect(r.adjusted(half, half, -half, -half));
        }
    }
    painter.restore();
}

} // namespace report
