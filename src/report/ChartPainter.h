#pragma once

#include "PreflightReport.h"

#include <QColor>
#include <QRectF>

#include <vector>

class QPainter;

// The chart picture: every row of a preflight report as a square patch, in row order, wrapped
// into a grid that fills a rectangle. A smoothing report splits each patch on its diagonal: the
// upper-left half shows the L*a*b* file's colour, the lower-right half the colour computed from
// the spectral row. A spec report has only the spectral side, so its patches are whole.
namespace report {

// Where the patches lie: as many columns as make the square patches largest in the area.
class ChartGrid {
public:
    ChartGrid() = default;
    ChartGrid(int count, const QRectF& area);

    static int ColumnsFor(int count, double width, double height);

    int count() const { return m_count; }
    int columns() const { return m_columns; }
    int gridRows() const { return m_rows; }
    double cellSize() const { return m_cell; }
    // The top left corner of the first cell.
    QPointF origin() const { return m_origin; }
    // The patch drawn for index (its cell less a thin gap when the patches are large enough).
    QRectF patchRect(int index) const;
    // The patch under a point; -1 between patches' cells or outside the grid.
    int indexAt(const QPointF& point) const;
    // The indices of the grid row index lies in.
    std::pair<int, int> gridRowRange(int index) const;

private:
    int m_count = 0;
    int m_columns = 1;
    int m_rows = 0;
    double m_cell = 0;
    double m_gap = 0;
    QPointF m_origin;
};

// One patch's colours, worked out once per report.
struct ChartPatch {
    QRgb upper = 0; // the L*a*b* file's colour (same as lower for a spec report)
    QRgb lower = 0; // from the spectral row
    bool hasUpper = false;
    bool hasLower = false;
    preflight::Severity worst = preflight::Severity::Info;
};

struct ChartPicture {
    bool split = true;
    std::vector<ChartPatch> patches;
};

ChartPicture MakeChartPicture(const preflight::PreflightReport& report);

// Colours of the frames and of a half without a value.
QRgb FrameColour(preflight::Severity severity);
constexpr QRgb kMissingColour = 0xFFC8C8C8;

// Paints the patches whose cells meet clip (all of them when clip is empty). selected, when
// given, holds one flag per patch.
void PaintChart(QPainter& painter, const ChartGrid& grid, const ChartPicture& picture,
                const std::vector<char>* selected = nullptr, const QRectF& clip = {});

} // namespace report
