// Building the main window's widgets, menus and toolbar.
#include "mainwin/form1.h"
#include "platform/program_folder.h"
#include "settings/limits.h"
#include "ui/widget_names.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QSlider>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <qcustomplot.h>

namespace mainwin {

using ui::named;

namespace {

QAction* entry(QMenu* menu, const QString& caption, const char* name) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    return a;
}

QPushButton* button(const QString& caption, const char* name, const QString& tip = {}) {
    auto* b = named(new QPushButton(caption), name);
    if (!tip.isEmpty()) b->setToolTip(tip);
    b->setMinimumWidth(56);
    return b;
}

}  // namespace

void Form1::buildMenus() {
    QMenuBar* bar = menuBar();
    QMenu* file = bar->addMenu("&File");
    file->setObjectName("M_File");
    QMenu* fileNew = file->addMenu("&New");
    fileNew->setObjectName("M_File_New");
    M_File_New_Profile = entry(fileNew, "&Profile", "M_File_New_Profile");
    M_File_New_EEPROM = entry(fileNew, "&EEPROM File", "M_File_New_EEPROM");
    QMenu* fileOpen = file->addMenu("&Open");
    fileOpen->setObjectName("M_File_Open");
    M_File_Open_Profile = entry(fileOpen, "&Profile", "M_File_Open_Profile");
    M_File_Open_EEPROM = entry(fileOpen, "EEPROM", "M_File_Open_EEPROM");
    file->addSeparator()->setObjectName("M_File_Separator");
    M_File_Exit = entry(file, "E&xit", "M_File_Exit");

    QMenu* profile = bar->addMenu("Profile");
    profile->setObjectName("M_Profile");
    M_Profile_Editor = entry(profile, "Profile Editor", "M_Profile_Editor");
    M_Profile_Run_Records = entry(profile, "Run Records", "M_Profile_Run_Records");
    M_Profile_Run_Records->setToolTip("Open the folder with the record of every profile run");
    M_Profile_Run_History = entry(profile, "Run History", "M_Profile_Run_History");
    M_Profile_Run_History->setToolTip("Find earlier runs, see their charts and compare them");

    QMenu* tools = bar->addMenu("Tools");
    tools->setObjectName("M_Tools");
    M_Tools_Connect = entry(tools, "Connect to KR-9300", "M_Tools_Connect");
    M_Tools_Disconnect = entry(tools, "Disconnect KR-9300", "M_Tools_Disconnect");
    tools->addSeparator()->setObjectName("M_Tools_Separator1");
    M_Tools_Defaults = entry(tools, "Upload Factory Settings", "M_Tools_Defaults");
    tools->addSeparator()->setObjectName("M_Tools_Separator2");
    M_Tools_Options = entry(tools, "Options", "M_Tools_Options");

    QMenu* help = bar->addMenu("&Help");
    help->setObjectName("M_Help");
    M_Help_Support_Website = entry(help, "Go to ZENT SYSTEMS website", "M_Help_Support_Website");
    M_Help_Support_Updates = entry(help, "Check Software Updates", "M_Help_Support_Updates");
    help->addSeparator()->setObjectName("M_Help_Separator");
    M_Help_About = entry(help, "&About", "M_Help_About");

    // Entries whose window is registered later stay disabled until then.
    for (QAction* a : {M_File_New_Profile, M_File_Open_Profile, M_Profile_Editor, M_Profile_Run_Records,
                       M_Profile_Run_History, M_Tools_Defaults, M_Tools_Options, M_Help_About, M_Tools_Disconnect})
        a->setEnabled(false);
    // The two EEPROM entries have no action: shown, never enabled.
    M_File_New_EEPROM->setEnabled(false);
    M_File_Open_EEPROM->setEnabled(false);

    connect(M_File_Exit, &QAction::triggered, this, [this] {
        if (exitHandler_) exitHandler_();
        else closeForGood();
    });
    connect(M_Tools_Connect, &QAction::triggered, this, [this] {
        if (isEnabled()) M_Tools_Connect_Click();
    });
    connect(M_Help_Support_Website, &QAction::triggered, this, [this] { M_Help_Support_Website_Click(); });
    connect(M_Help_Support_Updates, &QAction::triggered, this, [this] { M_Help_Support_Updates_Click(); });
    for (QAction* a : {M_File_New_Profile, M_File_Open_Profile, M_Profile_Editor, M_Profile_Run_Records,
                       M_Profile_Run_History, M_Tools_Disconnect, M_Tools_Defaults, M_Tools_Options, M_Help_About}) {
        connect(a, &QAction::triggered, this, [this, a] {
            if (!isEnabled()) return;  // a window held by a tool or by leaving opens nothing
            auto it = menuActions_.find(a);
            if (it != menuActions_.end() && it->second) it->second();
        });
    }
}

void Form1::buildToolbar() {
    Toolbar1 = named(addToolBar("Toolbar1"), "Toolbar1");
    Toolbar1->setMovable(false);
    Toolbar1->setIconSize(QSize(24, 24));
    Toolbar1->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    auto icon = [this](const char* file) { return QIcon(platform::picturePath(programFolder_, file)); };
    M_Tools_Connect->setIcon(icon("IconConnect.png"));
    M_Tools_Disconnect->setIcon(icon("IconDisconnect.png"));
    M_Profile_Editor->setIcon(icon("IconProfile.png"));
    M_Tools_Options->setIcon(icon("IconOptions.png"));
    M_File_Exit->setIcon(icon("IconExit.png"));
    Toolbar1->addAction(M_Tools_Connect);
    Toolbar1->addAction(M_Tools_Disconnect);
    Toolbar1->addSeparator();
    Toolbar1->addAction(M_Profile_Editor);
    Toolbar1->addAction(M_Tools_Options);
    Toolbar1->addSeparator();
    Toolbar1->addAction(M_File_Exit);
}

void Form1::buildPanel() {
    auto* central = new QWidget;
    auto* root = new QVBoxLayout(central);
    root->setContentsMargins(8, 8, 8, 4);
    root->setSpacing(8);

    // --- the station's front panel ---
    auto* top = new QHBoxLayout;
    auto* display = named(new QGroupBox("Station Display"), "StationDisplayGroup");
    auto* dl = new QGridLayout(display);
    QFont lcdFont("Liberation Mono", 13, QFont::Bold);
    lcdFont.setStyleHint(QFont::Monospace);
    auto* lcdBox = new QVBoxLayout;
    lcdBox->setSpacing(0);
    for (int i = 0; i < 4; ++i) {
        auto* line = new QLineEdit;
        line->setObjectName(QString("Text_LCD_%1").arg(i));
        line->setReadOnly(true);
        line->setFocusPolicy(Qt::NoFocus);
        line->setMaxLength(28);
        line->setFont(lcdFont);
        line->setFrame(false);
        line->setFixedWidth(QFontMetrics(lcdFont).horizontalAdvance(QString(29, 'M')) + 8);
        Text_LCD[std::size_t(i)] = line;
        lcdBox->addWidget(line);
    }
    auto* lcdFrame = LcdFrame = named(new QFrame, "LcdFrame");
    lcdFrame->setFrameShape(QFrame::Box);
    lcdFrame->setLineWidth(3);
    lcdBox->setContentsMargins(6, 6, 6, 6);
    lcdFrame->setLayout(lcdBox);
    lcdFrame->setStyleSheet("#LcdFrame { background: #202020; border: 2px solid #101010; border-radius: 4px; }");
    lcdFrame->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    dl->addWidget(lcdFrame, 0, 0, 1, 2, Qt::AlignHCenter);
    Label3 = named(new QLabel("--"), "Label3");
    QFont big("Liberation Sans", 34, QFont::Bold);
    Label3->setFont(big);
    Label3->setAlignment(Qt::AlignCenter);
    Label3->setMinimumWidth(190);
    Label3->setStyleSheet("color: #c01010;");
    QSizePolicy keepPlace = Label3->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);  // hidden offline without moving the panel
    Label3->setSizePolicy(keepPlace);
    auto* tempBox = new QVBoxLayout;
    TemperatureCaption = named(new QLabel("Board Temperature"), "TemperatureCaption");
    TemperatureCaption->setAlignment(Qt::AlignCenter);
    tempBox->addWidget(TemperatureCaption);
    tempBox->addWidget(Label3);
    tempBox->addStretch();
    dl->addLayout(tempBox, 1, 0);
    auto* modeBox = new QVBoxLayout;
    Label1 = named(new QLabel("Machine Status: N/A"), "Label1");
    Label1->setAlignment(Qt::AlignHCenter);
    Label1->setFont(QFont("Liberation Sans", 10, QFont::Bold));
    Picture1 = named(new QLabel, "Picture1");
    Picture1->setFixedSize(220, 150);
    Picture1->setAlignment(Qt::AlignCenter);
    Picture1->setFrameShape(QFrame::StyledPanel);
    modeBox->addWidget(Label1, 0, Qt::AlignHCenter);
    modeBox->addWidget(Picture1, 0, Qt::AlignHCenter);
    dl->addLayout(modeBox, 1, 1);
    top->addWidget(display);

    // --- heaters and fan ---
    auto* heaters = new QVBoxLayout;
    auto heaterGroup = [&](const QString& title, const char* name, QCustomPlot*& gauge, const char* gaugeName,
                           QPushButton*& up, const char* upName, QPushButton*& down, const char* downName) {
        auto* g = named(new QGroupBox(title), name);
        auto* l = new QHBoxLayout(g);
        gauge = named(new QCustomPlot, gaugeName);
        l->addWidget(gauge);
        l->addStretch();  // both button pairs stand at the right edge, one above the other
        auto* buttons = new QVBoxLayout;
        up = button("UP", upName, "One step up");
        down = button("Dn", downName, "One step down");
        up->setFixedWidth(60);
        down->setFixedWidth(60);
        buttons->addWidget(up);
        buttons->addWidget(down);
        l->addLayout(buttons);
        heaters->addWidget(g);
    };
    heaterGroup("Upper Heater (U.H.)", "UpperHeaterGroup", ChartViewer2, "ChartViewer2", cmdUhUp, "cmdUhUp",
                cmdUhDown, "cmdUhDown");
    heaterGroup("Lower Heater (L.H.)", "LowerHeaterGroup", ChartViewer3, "ChartViewer3", cmdLhUp, "cmdLhUp",
                cmdLhDown, "cmdLhDown");
    auto* fanRow = new QHBoxLayout;
    CmdCancel = button("FAN", "CmdCancel", "Switch the fan on or off");
    CmdCancel->setMinimumHeight(32);
    fanRow->addWidget(CmdCancel, 1);
    LabelFan = named(new QLabel("Fan: N/A"), "LabelFan");
    LabelFan->setFont(QFont("Liberation Sans", 10, QFont::Bold));
    LabelFan->setAlignment(Qt::AlignCenter);
    LabelFan->setFixedSize(90, 32);
    LabelFan->setFrameShape(QFrame::StyledPanel);
    LabelFan->setToolTip("The fan as the KR-9300 reports it");
    fanRow->addWidget(LabelFan);
    heaters->addLayout(fanRow);
    heaters->addStretch();
    top->addLayout(heaters);

    // --- alarm threshold ---
    Frame1 = named(new QGroupBox(" Alarm "), "Frame1");
    auto* al = new QGridLayout(Frame1);
    Text1 = named(new QLineEdit, "Text1");
    Text1->setMaximumWidth(70);
    Text1->setAlignment(Qt::AlignRight);
    Label2 = named(new QLabel("C"), "Label2");
    Label2->setFixedWidth(QFontMetrics(Label2->font()).horizontalAdvance(" F") + 4);  // "C" and " C" alike
    Slider1 = named(new QSlider(Qt::Vertical), "Slider1");
    Slider1->setToolTip("Set Alarm Threshold");
    Slider1->setRange(0, settings::kAlarmRangeC.high);
    Slider1->setMinimumHeight(110);
    Check1 = named(new QCheckBox("Edit"), "Check1");
    Command1 = button("Accept", "Command1", "Save to KR-9300");
    al->addWidget(Slider1, 0, 0, 4, 1);
    al->addWidget(Text1, 0, 1);
    al->addWidget(Label2, 0, 2);
    al->addWidget(Check1, 1, 1, 1, 2);
    al->addWidget(Command1, 2, 1, 1, 2);
    al->setRowStretch(3, 1);
    top->addWidget(Frame1);
    top->addStretch();
    root->addLayout(top);

    // --- trend ---
    auto* trendRow = new QHBoxLayout;
    ChartViewer1 = named(new QCustomPlot, "ChartViewer1");
    trendRow->addWidget(ChartViewer1);
    auto* trendButtons = new QVBoxLayout;
    Command12 = button("Start Plotting", "Command12");
    Command10 = button("Reset Graph", "Command10");
    Command8 = button("Save Graph", "Command8");
    for (QPushButton* b : {Command12, Command10, Command8}) {
        b->setMinimumWidth(120);
        trendButtons->addWidget(b);
    }
    trendButtons->addStretch();
    trendRow->addLayout(trendButtons);
    trendRow->addStretch();
    root->addLayout(trendRow);

    // --- the hidden diagnostic list ---
    auto* diag = new QHBoxLayout;
    List1 = named(new QListWidget, "List1");
    List1->setMaximumHeight(120);
    List1->setFont(QFont("Liberation Mono", 9));
    List1->setUniformItemSizes(true);  // a long list stays cheap to lay out
    auto* diagButtons = new QVBoxLayout;
    Command2 = button("Save Log", "Command2");
    Command3 = button("Clear Log", "Command3", "Clears the log kept in the KR-9300 (this list stays)");
    Command11 = button("Clear", "Command11", "Empties this list (the KR-9300's own log stays)");
    for (QPushButton* b : {Command2, Command3, Command11}) diagButtons->addWidget(b);
    diagButtons->addStretch();
    diag->addWidget(List1);
    diag->addLayout(diagButtons);
    root->addLayout(diag);
    for (QWidget* w : {static_cast<QWidget*>(List1), static_cast<QWidget*>(Command2),
                       static_cast<QWidget*>(Command3), static_cast<QWidget*>(Command11)})
        w->setVisible(false);

    // Holds the poller's busy flag in the original layout; here only a hidden name.
    cmdPump = button("Command1", "cmdPump");
    cmdPump->setVisible(false);
    root->addWidget(cmdPump);
    root->addStretch();
    setCentralWidget(central);

    for (int i = 0; i < 3; ++i) {
        auto* panel = new QLabel;
        panel->setObjectName(QString("StatusBar1_Panel%1").arg(i + 1));
        panel->setMinimumWidth(i == 0 ? 330 : 160);
        panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);  // a longer text never widens the window
        statusBar()->addWidget(panel, i == 0 ? 2 : 1);
        StatusBar1[std::size_t(i)] = panel;
    }
    statusBar()->setObjectName("StatusBar1");
    // The design texts, until the load.
    StatusBar1[0]->setText("KR-9300 Status: Offline");
    StatusBar1[1]->setText("F/W Ver.: N/A");
    StatusBar1[2]->setText("Machine ID: N/A");

    connect(cmdUhUp, &QPushButton::clicked, this, [this] { cmdUhUp_Click(); });
    connect(cmdUhDown, &QPushButton::clicked, this, [this] { cmdUhDown_Click(); });
    connect(cmdLhUp, &QPushButton::clicked, this, [this] { cmdLhUp_Click(); });
    connect(cmdLhDown, &QPushButton::clicked, this, [this] { cmdLhDown_Click(); });
    connect(CmdCancel, &QPushButton::clicked, this, [this] { CmdCancel_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Command11, &QPushButton::clicked, this, [this] { Command11_Click(); });
    connect(Check1, &QCheckBox::clicked, this, [this] { Check1_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(Text1, &QLineEdit::returnPressed, this, [this] {
        if (Command1->isEnabled()) Command1_Click();
    });
    connect(Slider1, &QSlider::sliderReleased, this, [this] { Slider1_MouseUp(); });
    connect(Command12, &QPushButton::clicked, this, [this] { Command12_Click(); });
    connect(Command10, &QPushButton::clicked, this, [this] { Command10_Click(); });
    connect(Command8, &QPushButton::clicked, this, [this] { Command8_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
    setStationControlsEnabled(false);  // until the station is online

    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
}

}  // namespace mainwin
