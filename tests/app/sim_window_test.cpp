// The demo's simulated-station window: beside the main window and wholly on the screen;
// its close box hides it and the Tools menu brings it back; its fault buttons switch the
// station's faults and show the state they are in.
#include "app/sim_station_window.h"
#include "tests/support/program_rig.h"
#include "tests/support/qt_printers.h"
#include "tests/support/screenshot.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include <gtest/gtest.h>

using testsupport::ProgramRig;

namespace {
std::string str(const QRect& r) {
    return QString("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height()).toStdString();
}
}  // namespace

TEST(SimWindowPlace, BesideTheMainWindowAndWhollyOnTheScreen) {
    const QRect screen(0, 0, 1920, 1080);
    const QSize frame(300, 400);
    struct Case {
        const char* what;
        QRect main;
        QPoint expected;
    };
    const Case cases[] = {
        {"room on the right", QRect(100, 50, 800, 600), QPoint(912, 50)},
        {"no room on the right: on the left", QRect(1000, 50, 900, 600), QPoint(688, 50)},
        {"room on neither side: at the screen's right edge", QRect(200, 50, 1600, 600), QPoint(1620, 50)},
        {"main window low on the screen: lifted to fit", QRect(100, 900, 800, 100), QPoint(912, 680)},
        {"main window above the screen's top", QRect(100, -40, 800, 600), QPoint(912, 0)},
    };
    for (const Case& c : cases) EXPECT_EQ(app::placeBeside(c.main, frame, screen), c.expected) << c.what;

    // A screen narrower than the window: its left edge stays on the screen.
    EXPECT_EQ(app::placeBeside(QRect(0, 0, 200, 200), QSize(500, 100), QRect(0, 0, 400, 300)), QPoint(0, 0));
    // A screen that does not start at 0,0.
    EXPECT_EQ(app::placeBeside(QRect(1950, 10, 800, 600), frame, QRect(1920, 0, 1920, 1080)), QPoint(2762, 10));
}

TEST(SimWindow, ShownOnceBesideTheMainWindowClosedItHidesAndTheMenuBringsItBack) {
    ProgramRig rig{settings::SettingsFile::defaultLines()};
    app::SimStationWindow window(rig.station, rig.clock);
    bool demo = false;
    app::SimStationWindowKeeper keeper(window, *rig.form, rig.clock, [&] { return demo; });
    rig.start();
    ASSERT_NE(keeper.menuEntry(), nullptr);
    ASSERT_TRUE(rig.runTicks(2));
    EXPECT_FALSE(window.isVisible());  // the real station: no simulated one to show
    EXPECT_FALSE(keeper.menuEntry()->isVisible());

    demo = true;
    ASSERT_TRUE(rig.clock.runUntil([&] { return window.isVisible(); }, 5000));
    EXPECT_TRUE(keeper.menuEntry()->isVisible());
    EXPECT_EQ(keeper.menuEntry()->text(), "Simulated KR-9300");
    const QRect available = rig.form->screen()->availableGeometry();
    EXPECT_TRUE(available.contains(window.frameGeometry())) << str(window.frameGeometry()) << " on " << str(available);
    EXPECT_FALSE(window.frameGeometry().intersects(rig.form->frameGeometry()) &&
                 available.width() >= rig.form->frameGeometry().width() + window.frameGeometry().width())
        << str(window.frameGeometry()) << " over " << str(rig.form->frameGeometry());

    window.close();
    EXPECT_FALSE(window.isVisible());
    ASSERT_TRUE(rig.runTicks(3));
    EXPECT_FALSE(window.isVisible());  // hidden stays hidden
    keeper.menuEntry()->trigger();
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(available.contains(window.frameGeometry()));
}

TEST(SimWindow, TheFaultButtonsSwitchTheStationsFaultsAndShowWhichAreOn) {
    using simulator::Heater;
    platform::VirtualClock clock;
    simulator::SimStation station(clock, 7);
    app::SimStationWindow window(station, clock);
    window.adjustSize();
    const QSize size = window.size();
    station.setBoardTemperature(120);
    station.setHeaters(3, 2);

    window.detachButton->click();
    window.upperDeadButton->click();
    station.setHeaterDead(Heater::Lower, true);  // switched on elsewhere: shows at the next refresh
    clock.advance(60000);
    EXPECT_TRUE(station.thermocoupleDetached() && station.heaterDead(Heater::Upper));
    EXPECT_EQ(window.detachButton->text(), "Reattach Thermocouple");
    EXPECT_TRUE(window.reading->text().endsWith("(off the board)")) << window.reading->text().toStdString();
    EXPECT_TRUE(window.upperDeadButton->isChecked() && window.lowerDeadButton->isChecked());
    EXPECT_EQ(window.upper->text(), "REFLOW  (element dead)");
    window.adjustSize();
    EXPECT_EQ(window.size(), size);  // no caption makes the window jump
    testsupport::saveShot(window, "sim-station-faults.png");

    for (QPushButton* b : {window.detachButton, window.upperDeadButton, window.lowerDeadButton}) b->click();
    EXPECT_FALSE(station.thermocoupleDetached() || station.heaterDead(Heater::Upper) || station.heaterDead(Heater::Lower));
    EXPECT_EQ(window.detachButton->text(), "Detach Thermocouple");
    EXPECT_FALSE(window.upperDeadButton->isChecked() || window.lowerDeadButton->isChecked());
    EXPECT_EQ(window.upper->text(), "REFLOW");
}
