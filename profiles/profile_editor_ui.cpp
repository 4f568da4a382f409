// Building the profile editor's controls, top to bottom, in tab order point by point.
#include "profiles/profile_editor_form.h"
#include "ui/widget_names.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QVBoxLayout>
#include <qcustomplot.h>

namespace profiles {

using ui::named;

namespace {

QPushButton* button(const QString& caption, const char* name, const QString& tip = {}) {
    auto* b = named(new QPushButton(caption), name);
    if (!tip.isEmpty()) b->setToolTip(tip);
    b->setMinimumWidth(96);
    return b;
}

QLabel* caption(const QString& text) {
    auto* l = new QLabel(text);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return l;
}

}  // namespace

void Profile_Editor_Form::buildControls() {
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(6, 6, 6, 0);
    root->setSpacing(6);

    chart_ = std::make_unique<ProfileChart>(state_, folders_.program, this);
    ChartViewer1 = chart_->ChartViewer1;
    auto* chartRow = new QHBoxLayout;  // the chart, and earlier runs' figures beside it
    chartRow->addStretch();
    chartRow->addWidget(ChartViewer1);
    root->addLayout(chartRow);

    // --- the three phase frames ---
    auto* phases = new QHBoxLayout;
    const char* frameNames[] = {"Frame1", "Frame2", "Frame3"};
    const char* titles[] = {" Preheat Phase ", " Soak Phase ", " Reflow Phase "};
    QGroupBox** frames[] = {&Frame1, &Frame2, &Frame3};
    QLineEdit** temps[] = {&Text1, &Text3, &Text5};
    QLineEdit** messages[] = {&Text2, &Text4, &Text6};
    QComboBox** lowers[] = {&Combo1, &Combo3, &Combo5};
    QComboBox** uppers[] = {&Combo2, &Combo4, &Combo6};
    QComboBox** modes[] = {&Combo7, &Combo8, &Combo9};
    QCheckBox** fans[] = {&Check1, &Check2, &Check3};
    for (int p = 0; p < 3; ++p) {
        const QString x = "X" + QString::number(p + 1);
        auto* frame = named(new QGroupBox(titles[p]), frameNames[p]);
        *frames[p] = frame;
        auto* g = new QGridLayout(frame);
        g->setVerticalSpacing(4);
        *temps[p] = named(new QLineEdit, QString("Text%1").arg(2 * p + 1).toLatin1().constData());
        (*temps[p])->setMaximumWidth(70);
        Label2[std::size_t(p)] = named(new QLabel(" C"), QString("Label2_%1").arg(p).toLatin1().constData());
        auto* tempRow = new QHBoxLayout;
        tempRow->addWidget(*temps[p]);
        tempRow->addWidget(Label2[std::size_t(p)]);
        tempRow->addStretch();
        g->addWidget(caption(x + " Temperature Setpoint: "), 0, 0);
        g->addLayout(tempRow, 0, 1);
        *messages[p] = named(new QLineEdit, QString("Text%1").arg(2 * p + 2).toLatin1().constData());
        g->addWidget(caption(x + " Message: "), 1, 0);
        g->addWidget(*messages[p], 1, 1);
        *lowers[p] = named(new QComboBox, QString("Combo%1").arg(2 * p + 1).toLatin1().constData());
        g->addWidget(caption("Lower Heater State: "), 2, 0);
        g->addWidget(*lowers[p], 2, 1);
        *uppers[p] = named(new QComboBox, QString("Combo%1").arg(2 * p + 2).toLatin1().constData());
        g->addWidget(caption("Upper Heater State: "), 3, 0);
        g->addWidget(*uppers[p], 3, 1);
        *fans[p] = named(new QCheckBox("FAN"), QString("Check%1").arg(p + 1).toLatin1().constData());
        *modes[p] = named(new QComboBox, QString("Combo%1").arg(p + 7).toLatin1().constData());
        g->addWidget(*fans[p], 4, 0, Qt::AlignRight);
        g->addWidget(*modes[p], 4, 1);
        phases->addWidget(frame);
    }
    root->addLayout(phases);

    // --- general parameters, the two profile frames and the right-hand buttons ---
    auto* bottom = new QHBoxLayout;
    Frame6 = named(new QGroupBox(" General Parameters "), "Frame6");
    auto* general = new QGridLayout(Frame6);
    Text7 = named(new QLineEdit, "Text7");
    Text7->setMaximumWidth(130);
    general->addWidget(caption("Profile Name: "), 0, 0);
    general->addWidget(Text7, 0, 1);
    Option4 = named(new QRadioButton("Leaded"), "Option4");
    Option5 = named(new QRadioButton("Lead-Free"), "Option5");
    auto* alloy = new QHBoxLayout;
    alloy->addWidget(Option4);
    alloy->addWidget(Option5);
    alloy->addStretch();
    auto* alloyGroup = new QWidget;  // its own group, apart from the slot options
    alloyGroup->setLayout(alloy);
    alloy->setContentsMargins(0, 0, 0, 0);
    general->addWidget(alloyGroup, 0, 2);
    Text8 = named(new QLineEdit, "Text8");
    general->addWidget(caption("File Name: "), 1, 0);
    general->addWidget(Text8, 1, 1, 1, 2);
    Command8 = button("Save Graph", "Command8", "Save the chart as a picture");
    general->addWidget(Command8, 2, 2, Qt::AlignRight);
    bottom->addWidget(Frame6, 3);

    Frame4 = named(new QGroupBox(" Profiles on Computer "), "Frame4");
    auto* computer = new QVBoxLayout(Frame4);
    Command2 = button("New", "Command2", "Open new profile");
    Command3 = button("Open", "Command3", "Open profile from computer");
    Command4 = button("Save", "Command4", "Save profile to computer");
    computer->addWidget(Command2);
    computer->addWidget(Command3);
    computer->addWidget(Command4);
    bottom->addWidget(Frame4, 1);

    Frame5 = named(new QGroupBox(" Profiles on KR-9300 "), "Frame5");
    auto* station = new QGridLayout(Frame5);
    Command6 = button("Retrieve", "Command6", "Retrieve Profile from KR-9300");
    Command7 = button("Save", "Command7", "Save Profile to KR-9300");
    Option1 = named(new QRadioButton("Profile 1"), "Option1");
    Option2 = named(new QRadioButton("Profile 2"), "Option2");
    Option3 = named(new QRadioButton("Profile 3"), "Option3");
    auto* slotGroup = new QWidget;
    auto* slotList = new QVBoxLayout(slotGroup);
    slotList->setContentsMargins(0, 0, 0, 0);
    slotList->addWidget(Option1);
    slotList->addWidget(Option2);
    slotList->addWidget(Option3);
    station->addWidget(Command6, 0, 0);
    station->addWidget(Command7, 1, 0);
    station->addWidget(slotGroup, 0, 1, 3, 1);
    bottom->addWidget(Frame5, 2);

    auto* right = new QVBoxLayout;
    Command9 = button("FAN ON/OFF", "Command9", "Switch the station's fan");
    Command5 = button("Run", "Command5", "Run current Profile");
    Command1 = button("Exit Profiles", "Command1", "Close the profile editor");
    right->addWidget(Command9);
    right->addWidget(Command5);
    right->addStretch();
    right->addWidget(Command1);
    bottom->addLayout(right);
    root->addLayout(bottom);

    buildHistoryControls(root, chartRow);

    StatusBar1 = named(new QStatusBar, "StatusBar1");
    StatusBar1->setSizeGripEnabled(false);
    for (int i = 0; i < 3; ++i) {
        auto* panel = new QLabel;
        panel->setObjectName(QString("StatusBar1_Panel%1").arg(i + 1));
        panel->setMinimumWidth(i == 0 ? 330 : i == 1 ? 280 : 300);
        StatusBar1->addWidget(panel, i == 0 ? 3 : 2);
        panels_[std::size_t(i)] = panel;
    }
    root->addWidget(StatusBar1);

    // Tab order: point by point, then the general parameters, the commands.
    QList<QWidget*> order;
    for (int p = 0; p < 3; ++p)
        order << temperatureBox(p) << messageBox(p) << lowerList(p) << upperList(p) << fanBox(p) << modeList(p);
    order << Text7 << Option4 << Option5 << Command8 << Command2 << Command3 << Command4 << Command6 << Command7
          << Option1 << Option2 << Option3 << Command9 << Command5 << Command1;
    for (int i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

}  // namespace profiles
