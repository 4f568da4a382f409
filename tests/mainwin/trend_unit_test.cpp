// A unit change converts the trend's stored samples, so the curve never mixes units.
#include "mainwin/options_form.h"
#include "settings/units.h"
#include "tests/support/program_rig.h"
#include "tests/support/qt_printers.h"

#include <QRadioButton>
#include <qcustomplot.h>

#include <gtest/gtest.h>

#include <cmath>

using testsupport::ProgramRig;

namespace {
// The drawn curve, empty entries left out.
std::vector<double> curve(mainwin::Form1& form) {
    QCustomPlot* plot = form.ChartViewer1;
    QCPGraph* line = plot->graph(plot->graphCount() - 1);
    std::vector<double> out;
    for (auto it = line->data()->constBegin(); it != line->data()->constEnd(); ++it)
        if (!std::isnan(it->value)) out.push_back(it->value);
    return out;
}

void switchUnit(ProgramRig& rig, bool fahrenheit) {
    mainwin::OptionsForm options(rig.state, *rig.file, *rig.form);
    (fahrenheit ? options.Option2 : options.Option1)->click();
    options.Command1_Click();
}
}  // namespace

TEST(TrendUnit, CelsiusFahrenheitCelsiusConvertsTheStoredCurveAndBack) {
    ProgramRig rig(ProgramRig::settingsWith("AutoTCPlot", "1"));
    rig.start();
    rig.station.setBoardTemperature(150);
    rig.station.setHeaters(3, 2);
    ASSERT_TRUE(rig.runTicks(20));
    const std::vector<double> celsius = curve(*rig.form);
    ASSERT_GE(celsius.size(), 20u);
    ASSERT_GT(celsius.back(), 150);

    switchUnit(rig, true);
    const std::vector<double> fahrenheit = curve(*rig.form);
    ASSERT_EQ(fahrenheit.size(), celsius.size());
    for (std::size_t i = 0; i < celsius.size(); ++i)
        EXPECT_EQ(fahrenheit[i], *settings::ToFahr(std::int16_t(celsius[i]))) << i;
    EXPECT_EQ(rig.form->trendChart().yTitle(), "Temperature ( F)");

    // The next reading joins the converted curve without a step.
    ASSERT_TRUE(rig.runTicks(1));
    const std::vector<double> joined = curve(*rig.form);
    ASSERT_EQ(joined.size(), celsius.size() + 1);
    EXPECT_NEAR(joined.back(), joined[joined.size() - 2], 6);

    switchUnit(rig, false);
    const std::vector<double> back = curve(*rig.form);
    ASSERT_EQ(back.size(), joined.size());
    for (std::size_t i = 0; i < celsius.size(); ++i) EXPECT_EQ(back[i], celsius[i]) << i;
    EXPECT_EQ(rig.form->trendChart().yTitle(), "Temperature ( C)");
}

// The station's own unit arrives with its settings at a connection: the curve follows it too.
TEST(TrendUnit, AUnitTakenFromTheStationConvertsTheCurveAsWell) {
    ProgramRig rig(ProgramRig::settingsWith("AutoTCPlot", "1"));
    rig.start();
    ASSERT_TRUE(rig.runTicks(5));
    ASSERT_LT(curve(*rig.form).back(), 40);  // room temperature in Celsius
    rig.form->M_Tools_Disconnect->trigger();
    rig.station.settings()[10] = 1;  // the station shows Fahrenheit
    rig.form->M_Tools_Connect->trigger();
    ASSERT_TRUE(rig.runTicks(1));
    ASSERT_EQ(rig.state.Settings.TempUnit, 1);
    const std::vector<double> now = curve(*rig.form);
    ASSERT_GE(now.size(), 6u);
    for (double v : now) EXPECT_GT(v, 70) << "a Celsius room temperature left under a Fahrenheit axis";
}
