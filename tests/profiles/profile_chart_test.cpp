#include "core/shared_state.h"
#include "profiles/profile_chart.h"
#include "tests/support/screenshot.h"

#include <QImageReader>
#include <QTemporaryDir>
#include <qcustomplot.h>

#include <gtest/gtest.h>

#include <cmath>

using profiles::Alloy;
using profiles::ProfileChart;

namespace {

struct ProfileChartTest : ::testing::Test {
    core::SharedState state;
    ProfileChart chart{state, KR_ASSET_DIR};

    // The window's opening: an empty trace, the shared reset taken, the first picture.
    void SetUp() override {
        state.PcbTemperatureValid = true;
        chart.TcTrace.clear();
        chart.RequestChartRedraw();
    }
    void sample(int celsius) {
        state.PcbTemperature = std::int16_t(celsius);
        chart.AppendTcSample();
    }
    void loadProfile(std::int16_t x1, std::int16_t x2, std::int16_t x3, Alloy alloy = Alloy::Leaded) {
        state.X1SetPointC = x1;
        state.X2SetPointC = x2;
        state.X3SetPointC = x3;
        chart.ComputeProfileCurve(alloy);
        chart.RequestChartRedraw();
    }
    QCPGraph* traceGraph() { return chart.ChartViewer1->graph(0); }
    QCPGraph* curveGraph() { return chart.ChartViewer1->graph(1); }
    static int drawnPoints(QCPGraph* g) {
        int n = 0;
        for (auto it = g->data()->constBegin(); it != g->data()->constEnd(); ++it)
            if (!std::isnan(it->value)) ++n;
        return n;
    }
    // Pixel column of a second and row of a temperature in the chart's picture.
    int px(double second) const { return int(std::lround(chart.ChartViewer1->xAxis->coordToPixel(second))); }
    int py(double value) const { return int(std::lround(chart.ChartViewer1->yAxis->coordToPixel(value))); }
};

bool columnHas(const QImage& img, int x, int top, int bottom, QRgb colour) {
    for (int y = top; y <= bottom; ++y)
        if (img.pixel(x, y) == colour) return true;
    return false;
}

}  // namespace

TEST_F(ProfileChartTest, LayoutUnitAndLegend) {
    QCustomPlot& plot = *chart.ChartViewer1;
    EXPECT_EQ(plot.objectName(), "ChartViewer1");
    EXPECT_EQ(plot.axisRect()->rect(), QRect(55, 62, 650, 200));  // laid out before it is ever shown
    const struct {
        int unit;
        const char* yTitle;
        double yMax;
        const char* legend;
    } cases[] = {{0, "Temperature ( C)", 300, "T/C Reading: 151 C"}, {1, "Temperature ( F)", 572, "T/C Reading: 304 F"}};
    for (const auto& c : cases) {
        state.Settings.TempUnit = std::int16_t(c.unit);
        sample(151);
        EXPECT_EQ(chart.yTitle(), c.yTitle);
        EXPECT_EQ(chart.yMax(), c.yMax);
        EXPECT_EQ(chart.legendText(), c.legend);
    }
    // Three columns filled left to right: the trace, then "User Graph", then an empty cell.
    QCPLegend* legend = plot.legend;
    EXPECT_EQ(legend->outerRect().topLeft(), QPoint(55, 33));
    EXPECT_EQ(legend->outerRect().width(), 520);
    ASSERT_EQ(legend->columnCount(), 3);
    ASSERT_EQ(legend->rowCount(), 1);
    auto* first = qobject_cast<QCPPlottableLegendItem*>(legend->item(0));
    auto* second = qobject_cast<QCPPlottableLegendItem*>(legend->item(1));
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->plottable(), traceGraph());
    EXPECT_EQ(second->plottable()->name(), "User Graph");
    EXPECT_EQ(legend->item(2), nullptr);
    // A rebuild between samples shows the entry the next sample fills: still empty.
    chart.RequestChartRedraw();
    EXPECT_EQ(chart.legendText(), "T/C Reading: -- F");
    EXPECT_EQ(legend->columnCount(), 3);
}

TEST_F(ProfileChartTest, SamplesInTheDisplayUnitAndGapsWithoutAReading) {
    const struct {
        int unit;
        int celsius;
        bool valid;
        double stored;  // NaN: a gap
    } cases[] = {{1, 150, true, 302}, {0, 150, true, 150}, {1, 25, true, 77}, {0, -5, true, -5},
                 {0, 120, false, profiles::CurveNoValue}};
    for (const auto& c : cases) {
        state.Settings.TempUnit = std::int16_t(c.unit);
        state.PcbTemperatureValid = c.valid;
        const int at = chart.TcSampleCount;
        sample(c.celsius);
        if (std::isnan(c.stored)) EXPECT_TRUE(std::isnan(chart.TcTrace.at(at)));
        else EXPECT_EQ(chart.TcTrace.at(at), c.stored) << c.celsius;
        EXPECT_EQ(chart.TcSampleCount, at + 1);
    }
}

TEST_F(ProfileChartTest, RestartCycleAfterThreeHundredSeconds) {
    for (int i = 0; i <= 300; ++i) sample(100 + i % 50);
    // The build after the sample at 300 still draws 0..300, shows the empty last entry
    // and asks for a new trace.
    EXPECT_EQ(drawnPoints(traceGraph()), 301);
    EXPECT_EQ(chart.legendText(), "T/C Reading: -- C");
    EXPECT_TRUE(chart.TcTrace.resetRequested());
    EXPECT_EQ(chart.TcSampleCount, 301);

    sample(180);  // lost with the rest
    EXPECT_FALSE(chart.TcTrace.resetRequested());
    EXPECT_EQ(drawnPoints(traceGraph()), 1);
    EXPECT_EQ(chart.TcTrace.at(0), 0);
    EXPECT_EQ(chart.legendText(), "T/C Reading: 0 C");
    EXPECT_EQ(chart.TcSampleCount, 1);
    sample(181);
    EXPECT_EQ(chart.TcTrace.at(1), 181);
    EXPECT_EQ(drawnPoints(traceGraph()), 2);
}

TEST_F(ProfileChartTest, TheMainWindowsTrendResetLeavesTheProfileTraceAlone) {
    for (int i = 0; i < 20; ++i) sample(100 + i);
    state.TraceResetRequested = true;  // the link went offline: the main window's trend starts afresh
    sample(120);
    EXPECT_EQ(drawnPoints(traceGraph()), 21) << "a run's trace survives the main window's reset";
    EXPECT_TRUE(state.TraceResetRequested) << "and the trend still gets its reset";
}

TEST_F(ProfileChartTest, NewKeepsTheCurveAndEmptiesTheTrace) {
    loadProfile(100, 150, 190);
    for (int i = 0; i < 20; ++i) sample(100 + i);
    const auto curve = chart.profileCurve();
    chart.TcTrace.requestReset();  // what New does
    chart.TcSampleCount = 0;
    chart.RequestChartRedraw();
    EXPECT_EQ(drawnPoints(traceGraph()), 1);
    EXPECT_EQ(chart.TcTrace.at(0), 0);
    EXPECT_EQ(drawnPoints(curveGraph()), 299);
    for (int i = 1; i < 300; ++i) EXPECT_EQ(chart.profileCurve()[std::size_t(i)], curve[std::size_t(i)]);
}

TEST_F(ProfileChartTest, CurveFromTheWorkingCopiesInTheDisplayUnit) {
    state.Settings.TempUnit = 1;
    loadProfile(100, 150, 190, Alloy::LeadFree);
    EXPECT_NEAR(curveGraph()->data()->at(130)->value, 302, 1e-9);
    EXPECT_NEAR(curveGraph()->data()->at(299)->value, 77, 1e-9);
    EXPECT_TRUE(std::isnan(curveGraph()->data()->at(0)->value));
}

TEST_F(ProfileChartTest, GapsAreNeverDrawnAsZeros) {
    // 150 at seconds 0..9, no reading at 10..18, 150 again at 19..29.
    for (int second = 0; second < 30; ++second) {
        state.PcbTemperatureValid = second < 10 || second > 18;
        sample(state.PcbTemperatureValid ? 150 : 0);
    }
    const QImage img = chart.picture().convertToFormat(QImage::Format_RGB32);
    const QRgb white = qRgb(255, 255, 255);
    const int top = py(300) + 2, bottom = py(0) - 2;
    EXPECT_TRUE(columnHas(img, px(5), top, bottom, white));
    EXPECT_TRUE(columnHas(img, px(25), top, bottom, white));
    for (int s : {13, 15, 17}) EXPECT_FALSE(columnHas(img, px(s), top, bottom, white)) << s;
    // The curve has no entry 0 either: nothing blue between 0 and 1 s near the bottom.
    loadProfile(100, 150, 190);
    const QImage withCurve = chart.picture().convertToFormat(QImage::Format_RGB32);
    EXPECT_FALSE(columnHas(withCurve, px(0.5), py(20), bottom, qRgb(0, 0, 255)));
    EXPECT_TRUE(columnHas(withCurve, px(30), top, bottom, qRgb(0, 0, 255)));
}

TEST_F(ProfileChartTest, ToolTipShowsTheValueUnderThePointer) {
    loadProfile(100, 150, 190);
    for (int i = 1; i <= 40; ++i) sample(40 + i);  // 41 at 0 s, 61 at 20 s
    const struct {
        double second, value;
        const char* tip;
    } cases[] = {{75, 125, "125"}, {1, 26.5, "26.5"}, {20, 61, "61"}, {200, 280, ""}};
    for (const auto& c : cases)
        EXPECT_EQ(chart.valueTipAt(QPointF(px(c.second), py(c.value))), c.tip) << c.second;
}

TEST_F(ProfileChartTest, SavesTheLastChartInEveryFormat) {
    loadProfile(100, 150, 190);
    for (int i = 1; i <= 60; ++i) sample(60 + i);
    QTemporaryDir dir;
    const struct {
        const char* name;
        const char* format;
    } cases[] = {{"c.jpg", "jpeg"}, {"c.png", "png"}, {"c.gif", "gif"}, {"c.bmp", "bmp"}, {"plain", "png"}};
    for (const auto& c : cases) {
        const QString path = dir.filePath(c.name);
        ASSERT_TRUE(chart.saveGraph(path)) << c.name;
        QImageReader reader(path);
        EXPECT_EQ(reader.format(), c.format) << c.name;
        EXPECT_EQ(reader.read().size(), QSize(750, 310)) << c.name;
    }
    EXPECT_FALSE(chart.saveGraph(dir.filePath("missing-folder/c.png")));
}

TEST_F(ProfileChartTest, LiveTraceOverTheCurveWithTheLogoInTheLowerRightCorner) {
    loadProfile(100, 150, 190);
    for (int i = 1; i <= 150; ++i) {
        const double target = chart.profileCurve()[std::size_t(i)];
        sample(int(std::lround(target - 6 + 4 * std::sin(i / 9.0))));
    }
    testsupport::saveShot(*chart.ChartViewer1, "profile_chart.png");
    const QImage img = chart.picture().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(columnHas(img, px(60), py(300), py(0), qRgb(255, 255, 255)));
    EXPECT_TRUE(columnHas(img, px(60), py(300), py(0), qRgb(0, 0, 255)));
    EXPECT_FALSE(columnHas(img, px(200), py(300), py(0), qRgb(255, 255, 255)));  // no samples yet

    // The same chart from a folder without the picture: only the logo's corner differs.
    ProfileChart bare(state, QTemporaryDir().path());
    bare.ComputeProfileCurve(Alloy::Leaded);
    for (int i = 0; i < ui::TraceStore::kSize; ++i) bare.TcTrace.set(i, chart.TcTrace.at(i));
    bare.TcSampleCount = chart.TcSampleCount;
    bare.RequestChartRedraw();
    chart.RequestChartRedraw();  // both legends now show the same empty next entry
    const QImage with = chart.picture().convertToFormat(QImage::Format_RGB32);
    const QImage without = bare.picture().convertToFormat(QImage::Format_RGB32);
    QRect changed;
    for (int y = 0; y < with.height(); ++y)
        for (int x = 0; x < with.width(); ++x)
            if (with.pixel(x, y) != without.pixel(x, y)) changed |= QRect(x, y, 1, 1);
    ASSERT_FALSE(changed.isEmpty());
    const QSize logo = QImage(QString(KR_ASSET_DIR) + "/LogoSB.png").size();
    EXPECT_GE(changed.left(), 698 - logo.width());
    EXPECT_GE(changed.top(), 253 - logo.height());
    EXPECT_LE(changed.right(), 698);
    EXPECT_LE(changed.bottom(), 253);
}

TEST_F(ProfileChartTest, SamplesBetweenWholeRedrawsKeepTheTraceAndTheLegendCurrent) {
    for (int c : {30, 40, 50}) sample(c);
    loadProfile(150, 183, 217);  // the whole chart rebuilt between two samples
    sample(60);
    EXPECT_EQ(drawnPoints(traceGraph()), 4);
    EXPECT_EQ(traceGraph()->data()->at(3)->value, 60);
    EXPECT_GT(drawnPoints(curveGraph()), 0);
    EXPECT_EQ(chart.legendText(), "T/C Reading: 60 C");

    state.Settings.TempUnit = 1;  // a new unit rebuilds the scale with the next sample
    sample(100);
    EXPECT_EQ(chart.yTitle(), "Temperature ( F)");
    EXPECT_EQ(chart.legendText(), "T/C Reading: 212 F");
}
