// The main window shows what is so: the diagnostic list holds every line, station
// controls work only online, old values look old, nothing moves when the link drops.
#include "tests/support/program_rig.h"
#include "tests/support/qt_printers.h"
#include "tests/support/screenshot.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <qcustomplot.h>

#include <gtest/gtest.h>

using testsupport::ProgramRig;
using testsupport::saveShot;

namespace {
struct Honest : ::testing::Test {
    ProgramRig rig{settings::SettingsFile::defaultLines()};  // AutoUSB=1: connects by itself
    mainwin::Form1& form() { return *rig.form; }
    void SetUp() override { rig.start(); }
    void goOnline() {
        ASSERT_TRUE(rig.runTicks(1));
        ASSERT_TRUE(rig.state.MachineOnline);
    }
    std::vector<QWidget*> stationControls() {
        return {form().cmdUhUp, form().cmdUhDown, form().cmdLhUp, form().cmdLhDown, form().CmdCancel, form().Check1};
    }
    // Where each part of the panel stands in the window.
    std::vector<QRect> panelPlaces() {
        std::vector<QRect> out;
        for (QWidget* w : {static_cast<QWidget*>(form().Text_LCD[0]), static_cast<QWidget*>(form().Picture1),
                           static_cast<QWidget*>(form().Label3), static_cast<QWidget*>(form().cmdUhUp),
                           static_cast<QWidget*>(form().cmdLhDown), static_cast<QWidget*>(form().Frame1),
                           static_cast<QWidget*>(form().CmdCancel), static_cast<QWidget*>(form().ChartViewer1),
                           static_cast<QWidget*>(form().Command12)})
            out.push_back(QRect(w->mapTo(&form(), QPoint(0, 0)), w->size()));
        return out;
    }
    void toggleList() {
        QTest::keyClick(&form(), Qt::Key_F2, Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    }
};
}  // namespace

TEST_F(Honest, LinesAddedWhileTheListIsHiddenShowWhenItOpens) {
    goOnline();
    rig.station.setSilent(true);  // a poll that times out adds its lines while the list is hidden
    ASSERT_TRUE(rig.runTicks(1));
    rig.station.setSilent(false);
    ASSERT_TRUE(rig.runTicks(1));
    for (int i = 0; i < 30; ++i) rig.state.Diagnostics.add("Queue Error " + QString::number(i));
    ASSERT_FALSE(form().List1->isVisibleTo(&form()));

    toggleList();
    QCoreApplication::processEvents();
    QListWidget* list = form().List1;
    QStringList shown;
    for (int i = 0; i < list->count(); ++i) shown << list->item(i)->text();
    EXPECT_EQ(shown, rig.state.Diagnostics.lines());
    EXPECT_TRUE(shown.contains("Flush 1 occurrred"));
    // The newest line is in view.
    const QRect last = list->visualItemRect(list->item(list->count() - 1));
    EXPECT_TRUE(list->viewport()->rect().contains(last)) << last.y() << " in " << list->viewport()->height();

    // Cleared and refilled while hidden: the list shows the new lines only.
    toggleList();
    rig.state.Diagnostics.clear();
    rig.state.Diagnostics.add("Timeout 808");
    toggleList();
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->item(0)->text(), "Timeout 808");
}

TEST_F(Honest, ClearButtonsSayWhichLogTheyClear) {
    EXPECT_TRUE(form().Command3->toolTip().contains("log kept in the KR-9300")) << form().Command3->toolTip().toStdString();
    EXPECT_TRUE(form().Command11->toolTip().contains("this list")) << form().Command11->toolTip().toStdString();
}

TEST_F(Honest, StationControlsWorkOnlyOnline) {
    for (QWidget* w : stationControls()) EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_TRUE(form().Command3->isEnabled());  // "Clear Log" queues its request whatever the link
    goOnline();
    for (QWidget* w : stationControls()) EXPECT_TRUE(w->isEnabled()) << w->objectName().toStdString();

    // Editing when the station goes away: the edit is dropped, the box shows what is in force.
    form().Check1->click();
    form().Text1->setText("333");
    form().M_Tools_Disconnect->trigger();
    for (QWidget* w : stationControls()) EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
    EXPECT_FALSE(form().Check1->isChecked());
    EXPECT_FALSE(form().Text1->isEnabled());
    EXPECT_EQ(form().Text1->text(), "205");
}

TEST_F(Honest, AFailedPollMarksTheLiveValuesStaleUntilAPollSucceeds) {
    goOnline();
    ASSERT_TRUE(rig.runTicks(1));
    EXPECT_FALSE(form().liveValuesStale());
    const QString temperature = form().Label3->text();
    const QString line = form().Text_LCD[1]->text();
    saveShot(form(), "main-online.png");

    rig.station.setSilent(true);  // attached but mute: the poll times out
    ASSERT_TRUE(rig.runTicks(1));
    ASSERT_FALSE(rig.poller->lastPollSucceeded());
    EXPECT_TRUE(form().liveValuesStale());
    EXPECT_TRUE(rig.state.MachineOnline);
    // The designed texts stay; only their look says they are old.
    EXPECT_EQ(form().Label3->text(), temperature);
    EXPECT_EQ(form().Text_LCD[1]->text(), line);
    EXPECT_EQ(form().TemperatureCaption->text(), "Board Temperature (no reply)");
    EXPECT_TRUE(form().Text_LCD[1]->styleSheet().contains("italic"));
    EXPECT_FALSE(form().Label3->toolTip().isEmpty());
    ASSERT_TRUE(rig.runTicks(2));  // still no reply: still stale
    EXPECT_TRUE(form().liveValuesStale());
    saveShot(form(), "main-stale.png");

    rig.station.setSilent(false);
    ASSERT_TRUE(rig.clock.runUntil([&] { return rig.poller->lastPollSucceeded(); }, 20000));
    EXPECT_FALSE(form().liveValuesStale());
    EXPECT_EQ(form().TemperatureCaption->text(), "Board Temperature");
    EXPECT_FALSE(form().Text_LCD[1]->styleSheet().contains("italic"));
}

TEST_F(Honest, NothingMovesWhenTheLinkDropsAndTheWindowKeepsItsSize) {
    QCoreApplication::processEvents();
    const auto offline = panelPlaces();
    const QSize offlineSize = form().size();
    saveShot(form(), "main-offline.png");
    goOnline();
    QCoreApplication::processEvents();
    EXPECT_EQ(panelPlaces(), offline);
    EXPECT_EQ(form().size(), offlineSize);
    // Fixed: nothing to maximise into.
    EXPECT_EQ(form().minimumSize(), form().maximumSize());
    EXPECT_FALSE(form().windowFlags() & Qt::WindowMaximizeButtonHint);

    // The two heater button pairs stand one above the other.
    auto x = [&](QWidget* w) { return w->mapTo(&form(), QPoint(0, 0)).x(); };
    EXPECT_EQ(x(form().cmdUhUp), x(form().cmdLhUp));
    EXPECT_EQ(x(form().cmdUhDown), x(form().cmdLhDown));
    EXPECT_EQ(form().cmdUhUp->width(), form().cmdLhUp->width());

    // Only the diagnostic list changes the window's size, and closing it gives it back.
    toggleList();
    QCoreApplication::processEvents();
    EXPECT_GT(form().height(), offlineSize.height());
    toggleList();
    QCoreApplication::processEvents();
    EXPECT_EQ(form().size(), offlineSize);
}

// The logo sits in the lower right of the plot, where a cooling curve passes: the curve
// must be drawn over it.
TEST_F(Honest, TheTrendsLogoLiesBeneathTheCurveAndTheShading) {
    rig.state.PlottedSamples = 0;
    form().redrawTrend();  // the start-up reset
    for (int i = 0; i < 300; ++i) {
        form().addTrendSample(std::int16_t(i < 240 ? 250 : 30));
        ++rig.state.PlottedSamples;
    }
    rig.state.PlottedSamples = 299;
    form().redrawTrend();
    const QImage chart = form().trendChart().picture();
    QCustomPlot* plot = form().ChartViewer1;
    const int y = int(std::lround(plot->yAxis->coordToPixel(30)));
    int blue = 0;
    for (int x = 620; x < 690; ++x) {  // inside the logo's 92 x 22 box at (606..698, 231..253)
        const QColor c = chart.pixelColor(x, y);
        if (c.blue() > 180 && c.red() < 90 && c.green() < 90) ++blue;
    }
    EXPECT_GT(blue, 60) << "curve row " << y;
    // The shading above the alarm line is drawn, and the logo is on the bottom layer.
    bool logoBeneath = false;
    for (int i = 0; i < plot->itemCount(); ++i)
        if (auto* pic = qobject_cast<QCPItemPixmap*>(plot->item(i)))
            logoBeneath = pic->layer()->index() < plot->layer("main")->index();
    EXPECT_TRUE(logoBeneath);
}

TEST_F(Honest, EepromEntriesAreDisabledAndHelpSaysTheAddressItCouldNotOpen) {
    EXPECT_FALSE(form().M_File_New_EEPROM->isEnabled());
    EXPECT_FALSE(form().M_File_Open_EEPROM->isEnabled());
    EXPECT_EQ(form().M_File_New_EEPROM->text(), "&EEPROM File");

    form().M_Help_Support_Website->trigger();
    EXPECT_TRUE(rig.dialogs.messages.empty());  // opened: nothing to say
    rig.shell.opens = false;
    form().M_Help_Support_Updates->trigger();
    ASSERT_EQ(rig.dialogs.messages.size(), 1u);
    EXPECT_TRUE(rig.dialogs.messages[0].text.contains(mainwin::Form1::kUpdates))
        << rig.dialogs.messages[0].text.toStdString();
}
