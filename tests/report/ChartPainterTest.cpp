#include "ChartPainter.h"
#include "HistogramPainter.h"
#include "ReportText.h"
#include "SampleReport.h"
#include "SrgbColour.h"

#include <QImage>
#include <QLocale>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>

#include <lcms2.h>

namespace {

// The test's own LittleCMS transform, made independently of the one under test.
QRgb expectedSrgb(const colour::Lab& lab) {
    cmsHPROFILE labProfile = cmsCreateLab4Profile(nullptr);
    cmsHPROFILE srgb = cmsCreate_sRGBProfile();
    cmsHTRANSFORM t =
        cmsCreateTransform(labProfile, TYPE_Lab_DBL, srgb, TYPE_RGB_8, INTENT_RELATIVE_COLORIMETRIC, 0);
    const cmsCIELab in{lab.L, lab.a, lab.b};
    unsigned char out[3] = {0, 0, 0};
    cmsDoTransform(t, &in, out, 1);
    cmsDeleteTransform(t);
    cmsCloseProfile(labProfile);
    cmsCloseProfile(srgb);
    return qRgb(out[0], out[1], out[2]);
}

::testing::AssertionResult near(QRgb actual, QRgb expected) {
    const int d =
        std::max({std::abs(qRed(actual) - qRed(expected)), std::abs(qGreen(actual) - qGreen(expected)),
                  std::abs(qBlue(actual) - qBlue(expected))});
    if (d <= 1)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << QColor(actual).name().toStdString() << " instead of " << QColor(expected).name().toStdString();
}

QPoint upperHalfCentre(const QRectF& r) {
    return QPointF(r.left() + r.width() / 3, r.top() + r.height() / 3).toPoint();
}
QPoint lowerHalfCentre(const QRectF& r) {
    return QPointF(r.left() + 2 * r.width() / 3, r.top() + 2 * r.height() / 3).toPoint();
}

// scale 1 takes the pixel path of screens and images; a scaled painter (as in the PDF) draws
// polygons. Both must give the same picture.
QImage paint(const preflight::PreflightReport& report, const report::ChartGrid& grid, double scale = 1) {
    QImage image(640, 400, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    if (scale != 1) {
        // Grid coordinates stay those of the image: draw at half size, scaled up twice.
        painter.resetTransform();
        painter.scale(2, 2);
        report::ChartGrid half(grid.count(), QRectF(0, 0, 320, 200));
        report::PaintChart(painter, half, report::MakeChartPicture(report));
        return image;
    }
    report::PaintChart(painter, grid, report::MakeChartPicture(report));
    return image;
}

} // namespace

TEST(ChartPicture, EachHalfShowsItsLabValueInSrgb) {
    preflight::PreflightReport report = sample::CleanReport(40);
    // Three patches whose halves differ plainly; the last one far outside sRGB, so clipped.
    report.rows[0].labFile = colour::Lab{50, 60, 40};
    report.rows[0].labSpectra = colour::Lab{70, -30, 20};
    report.rows[17].labFile = colour::Lab{95, 0, 2};
    report.rows[17].labSpectra = colour::Lab{20, 5, -40};
    report.rows[39].labFile = colour::Lab{60, 120, -120};
    report.rows[39].labSpectra = colour::Lab{5, 0, 0};
    const report::ChartGrid grid(static_cast<int>(report.rows.size()), QRectF(0, 0, 640, 400));
    for (double scale : {1.0, 2.0}) {
        const QImage image = paint(report, grid, scale);
        for (int i : {0, 17, 39}) {
            SCOPED_TRACE(testing::Message() << "patch " << i << " scale " << scale);
            const QRectF r = grid.patchRect(i);
            EXPECT_TRUE(near(image.pixel(upperHalfCentre(r)), expectedSrgb(*report.rows[i].labFile)));
            EXPECT_TRUE(near(image.pixel(lowerHalfCentre(r)), expectedSrgb(*report.rows[i].labSpectra)));
        }
    }
}

TEST(ChartPicture, ASpecReportPaintsWholePatchesFromItsSpectra) {
    preflight::PreflightReport report = sample::SpecReport(12);
    report.rows[5].labSpectra = colour::Lab{40, 50, -20};
    const report::ChartGrid grid(12, QRectF(0, 0, 640, 400));
    const QImage image = paint(report, grid);
    const QRectF r = grid.patchRect(5);
    const QRgb expected = expectedSrgb(*report.rows[5].labSpectra);
    EXPECT_TRUE(near(image.pixel(upperHalfCentre(r)), expected));
    EXPECT_TRUE(near(image.pixel(lowerHalfCentre(r)), expected));
}

TEST(ChartPicture, FramesMarkErrorsAndWarningsOnly) {
    preflight::PreflightReport report = sample::CleanReport(30);
    report.rows[4].worst = preflight::Severity::Error;
    report.rows[9].worst = preflight::Severity::Warning;
    const report::ChartGrid grid(30, QRectF(0, 0, 640, 400));
    for (double scale : {1.0, 2.0}) {
        SCOPED_TRACE(scale);
        const QImage image = paint(report, grid, scale);
        auto edge = [&](int i) {
            const QRectF r = grid.patchRect(i);
            return image.pixel(QPointF(r.left() + 2, r.center().y()).toPoint());
        };
        EXPECT_EQ(edge(4), report::FrameColour(preflight::Severity::Error));
        EXPECT_EQ(edge(9), report::FrameColour(preflight::Severity::Warning));
        EXPECT_TRUE(near(edge(5), expectedSrgb(*report.rows[5].labFile)));
        // The frame leaves the patch's colours readable.
        EXPECT_TRUE(
            near(image.pixel(upperHalfCentre(grid.patchRect(4))), expectedSrgb(*report.rows[4].labFile)));
    }
}

TEST(ChartPicture, MissingValuesShowGrey) {
    preflight::PreflightReport report = sample::CleanReport(4);
    report.rows[2].labFile.reset();
    report.rows[3].labSpectra = colour::Lab{50, std::nan(""), 0}; // a broken file's value
    const report::ChartGrid grid(4, QRectF(0, 0, 640, 400));
    const QImage image = paint(report, grid);
    EXPECT_EQ(image.pixel(upperHalfCentre(grid.patchRect(2))), report::kMissingColour);
    EXPECT_TRUE(
        near(image.pixel(lowerHalfCentre(grid.patchRect(2))), expectedSrgb(*report.rows[2].labSpectra)));
    EXPECT_EQ(image.pixel(lowerHalfCentre(grid.patchRect(3))), report::kMissingColour);
    EXPECT_TRUE(near(image.pixel(upperHalfCentre(grid.patchRect(3))), expectedSrgb(*report.rows[3].labFile)));
}

TEST(ChartGrid, FillsItsAreaAndFindsEveryPatch) {
    struct Case {
        int count;
        QRectF area;
    } cases[] = {
        {1, {0, 0, 300, 200}},    {7, {0, 0, 300, 200}},      {1617, {6, 6, 830, 300}},
        {1617, {0, 0, 300, 900}}, {10000, {0, 0, 1200, 800}}, {2, {0, 0, 10, 400}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        const report::ChartGrid grid(c.count, c.area);
        ASSERT_GT(grid.cellSize(), 0);
        EXPECT_EQ(grid.gridRows(), (c.count + grid.columns() - 1) / grid.columns());
        // Squares that fit, and no other column count gives larger ones.
        EXPECT_LE(grid.columns() * grid.cellSize(), c.area.width() + 1e-6);
        EXPECT_LE(grid.gridRows() * grid.cellSize(), c.area.height() + 1e-6);
        for (int cols = 1; cols <= std::min(c.count, 400); ++cols) {
            const int rows = (c.count + cols - 1) / cols;
            EXPECT_LE(std::min(c.area.width() / cols, c.area.height() / rows), grid.cellSize() + 1e-9)
                << cols;
        }
        for (int i = 0; i < c.count; ++i) {
            const QRectF r = grid.patchRect(i);
            ASSERT_TRUE(c.area.adjusted(-1e-6, -1e-6, 1e-6, 1e-6).contains(r)) << i;
            ASSERT_EQ(grid.indexAt(r.center()), i);
        }
    }
    // Reflows: a wide view takes more columns than a tall one.
    EXPECT_GT(report::ChartGrid(500, QRectF(0, 0, 1000, 200)).columns(),
              report::ChartGrid(500, QRectF(0, 0, 200, 1000)).columns());
    EXPECT_EQ(report::ChartGrid(5, QRectF(0, 0, 640, 400)).indexAt(QPointF(639, 399)), -1);
}

TEST(Histogram, BinsOfAQuarterUpToFiveThenOneMore) {
    const std::pair<double, int> cases[] = {{0, 0},     {0.2499, 0}, {0.25, 1}, {1.0, 4},   {4.74, 18},
                                            {4.75, 19}, {4.999, 19}, {5.0, 20}, {37.0, 20}, {-1, 0}};
    for (auto [value, bin] : cases)
        EXPECT_EQ(report::HistogramBin(value), bin) << value;

    preflight::PreflightReport report = sample::CleanReport(10);
    report.rows[3].dE00 = 6.0;
    report.rows[4].dE00.reset();
    const report::DeltaHistogram h = report::MakeHistogram(report);
    int total = 0;
    for (int n : h.bins)
        total += n;
    EXPECT_EQ(total, 9);
    EXPECT_EQ(h.bins[report::kHistogramBins - 1], 1);
}

TEST(ReportText, NumbersTakeAFullStopAndDescribeARow) {
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(report::Number(1234.5), "1234.50");
    EXPECT_EQ(report::Number(-0.001), "0.00");
    EXPECT_EQ(report::Number(-10.0), "-10.00");
    QLocale::setDefault(QLocale::c());

    preflight::PreflightRow row;
    row.row = 2;
    row.patch = 1;
    row.spectralLine = 10;
    row.labLine = 12;
    row.spectralId = "B1";
    row.labId = "B2";
    row.cmyk = std::array<double, 4>{10, 20, 30, 40};
    row.labFile = colour::Lab{50, 10, -10};
    row.labSpectra = colour::Lab{50.5, 10, -10};
    row.dE00 = 0.456;
    EXPECT_EQ(report::RowDescription(row, preflight::PreflightReport::Kind::Smoothing),
              "Row 2, patch 1\n"
              "Spectral line 10, SAMPLE_ID B1\n"
              "L*a*b* line 12, SAMPLE_ID B2\n"
              "CMYK %: 10.00 20.00 30.00 40.00\n"
              "L*a*b* file: 50.00 10.00 -10.00\n"
              "L*a*b* from spectrum: 50.50 10.00 -10.00\n"
              "ΔE00: 0.46");
    row.labFile.reset();
    row.dE00.reset();
    row.labLine = -1;
    row.labId.clear();
    row.cmyk.reset();
    EXPECT_EQ(report::RowDescription(row, preflight::PreflightReport::Kind::Spec),
              "Row 2, patch 1\n"
              "Optimized line 10, SAMPLE_ID B1\n"
              "L*a*b* from spectrum: 50.50 10.00 -10.00");
}
