// The editor's boxes bound to their checks, the profile file commands and the chart.
#include "tests/profiles/editor_fixture.h"
#include "tests/support/qt_printers.h"

#include <QComboBox>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QFocusEvent>
#include <QImageReader>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <cmath>

using testsupport::Editor;

namespace {

struct EditorFields : Editor {
    void SetUp() override { open(); }

    QLineEdit* box(const char* name) { return find<QLineEdit>(name); }
    // The operator leaves a box (Tab, a click elsewhere).
    void leave(const char* name, Qt::FocusReason reason = Qt::TabFocusReason) {
        QFocusEvent out(QEvent::FocusOut, reason);
        QCoreApplication::sendEvent(box(name), &out);
    }
    void typeAndLeave(const char* name, const QString& text) {
        box(name)->setText(text);
        leave(name);
    }
    QString lastMessage() const {
        return dialogs.messages.empty() ? QString()
                                        : dialogs.messages.back().title + ": " + dialogs.messages.back().text;
    }
    double curveAt(int second) { return editor->chart().profileCurve()[std::size_t(second)]; }
    void fillValidProfile() {
        typeAndLeave("Text1", "150");
        typeAndLeave("Text3", "200");
        typeAndLeave("Text5", "240");
        box("Text2")->setText("PREHEAT");
        box("Text4")->setText("SOAK 2.5");
        box("Text6")->setText("REFLOW & HOLD");
        box("Text7")->setText("BGA-1");
        find<QComboBox>("Combo3")->setCurrentIndex(2);
        find<QComboBox>("Combo6")->setCurrentIndex(1);
        find<QCheckBox>("Check3")->setChecked(true);
    }
};

}  // namespace

TEST_F(EditorFields, LeavingABoxRunsItsCheckAndAFailureKeepsTheTextWithTheFocusBack) {
    struct Case {
        const char* box;
        QString text;
        QString expected;
    };
    const Case cases[] = {
        {"Text1", "15.5", "Data Error: Invalid character in X1 Value"},
        {"Text1", "29", "Data Error: X1 Temperature Must be more than 30 C"},
        {"Text2", "A,B", "Data Error: (X1 Message) invalid character"},
        {"Text7", "A.B", "Data Error: (Profile Name) invalid character"},
        {"Text7", "ABCDEFGHIJKLM", "Data Error: Profile Name must be < 13 characters"},
    };
    for (const Case& c : cases) {
        dialogs.messages.clear();
        typeAndLeave(c.box, c.text);
        EXPECT_EQ(lastMessage(), c.expected) << c.box;
        EXPECT_EQ(box(c.box)->text(), c.text) << "nothing is corrected";
        EXPECT_EQ(box(c.box)->selectedText(), c.text) << "the whole text selected for mending";
        box(c.box)->clear();
    }
    dialogs.messages.clear();
    box("Text1")->setText("1x");
    leave("Text1", Qt::ActiveWindowFocusReason);
    EXPECT_TRUE(dialogs.messages.empty()) << "another window taking the focus is not leaving the box";
}

TEST_F(EditorFields, TheSecondAndThirdMessagesAreJudgedOnEveryChange) {
    box("Text4")->setText("SOAK:");
    EXPECT_EQ(lastMessage(), "Data Error: (X2 Message)invalid character");
    dialogs.messages.clear();
    box("Text6")->setText(QString(21, 'A'));
    EXPECT_EQ(lastMessage(), "Data Error: X3 Message must be < 21 characters");
    dialogs.messages.clear();
    box("Text2")->setText("A,B");
    EXPECT_TRUE(dialogs.messages.empty()) << "the first message waits until its box is left";
}

TEST_F(EditorFields, ValidTemperaturesRedrawTheCurveAndTheAlloyMovesItsPointsOnTheNextCheck) {
    typeAndLeave("Text1", "150");
    EXPECT_EQ(rig.state.X1SetPointC, 0) << "two boxes still empty: nothing refreshed";
    typeAndLeave("Text3", "200");
    typeAndLeave("Text5", "240");
    EXPECT_TRUE(dialogs.messages.empty()) << lastMessage().toStdString();
    EXPECT_EQ(rig.state.X2SetPointC, 200);
    EXPECT_NEAR(curveAt(50), 150, 1e-6);
    EXPECT_NEAR(curveAt(100), 200, 1e-6);
    EXPECT_NEAR(curveAt(130), 240, 1e-6);

    find<QRadioButton>("Option5")->click();  // the points move at once
    EXPECT_NEAR(curveAt(60), 150, 1e-6);
    EXPECT_NEAR(curveAt(130), 200, 1e-6);
    EXPECT_NEAR(curveAt(200), 240, 1e-6);

    typeAndLeave("Text3", "150");
    EXPECT_EQ(lastMessage(), "Data Error: X2 Temperature Must be > X1 Value");
    EXPECT_EQ(rig.state.X2SetPointC, 200) << "a failure leaves the working copies";
    EXPECT_NEAR(curveAt(130), 200, 1e-6) << "and the curve";
    find<QPushButton>("Command2")->click();
    EXPECT_NEAR(curveAt(130), 200, 1e-6) << "New keeps the old curve until the next recomputation";
}

TEST_F(EditorFields, AProfileSavedToAFileOpensAgainAsItWas) {
    fillValidProfile();
    const QString file = rig.dir.filePath("bga.znt");
    dialogs.answers = {file};
    find<QPushButton>("Command4")->click();
    EXPECT_EQ(lastMessage(), "Saving Confirmation: File Saved Successfully");
    ASSERT_EQ(dialogs.requests.size(), 1u);
    EXPECT_EQ(dialogs.requests[0].title, "Save As");
    const profiles::ProfileRecord saved = editor->recordFromControls();

    find<QPushButton>("Command2")->click();
    rig.state.X1SetPointC = rig.state.X2SetPointC = rig.state.X3SetPointC = 0;
    dialogs.answers = {file};
    find<QPushButton>("Command3")->click();
    EXPECT_EQ(dialogs.requests.back().title, "Open");
    EXPECT_EQ(box("Text8")->text(), file);
    profiles::ProfileRecord opened = editor->recordFromControls();
    EXPECT_EQ(opened, saved);
    EXPECT_EQ(rig.state.X3SetPointC, 240);
    EXPECT_NEAR(curveAt(130), 240, 1e-6) << "the opened profile's curve is drawn";
}

TEST_F(EditorFields, SaveRefusesAnEmptyBoxAndABrokenFileLeavesTheEditorAsNew) {
    fillValidProfile();
    box("Text4")->clear();
    const QString file = rig.dir.filePath("half.znt");
    dialogs.answers = {file};
    find<QPushButton>("Command4")->click();
    EXPECT_EQ(lastMessage(), "Data Error: Enter X2 Message");
    EXPECT_FALSE(QFile::exists(file));

    QFile broken(rig.dir.filePath("broken.znt"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("[SomethingElse]\r\n");
    broken.close();
    box("Text4")->setText("SOAK");
    dialogs.answers = {broken.fileName()};
    dialogs.questionAnswers = {platform::Dialogs::Answer::No};
    find<QPushButton>("Command3")->click();
    EXPECT_EQ(lastMessage(), "Profile Error: File is not a standard ZENT Profile");
    EXPECT_EQ(box("Text7")->text(), "Untitled");
    for (const char* b : {"Text1", "Text2", "Text4", "Text8"}) EXPECT_TRUE(box(b)->text().isEmpty()) << b;

    dialogs.messages.clear();
    find<QPushButton>("Command3")->click();  // cancelled
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(EditorFields, SaveGraphCompletesTheNameByTheChosenFormatAndRefusesAnother) {
    fillValidProfile();
    const QString png = rig.dir.filePath("curve.png");
    dialogs.answers = {png};
    find<QPushButton>("Command8")->click();
    dialogs.answers = {rig.dir.filePath("shot")};
    dialogs.chosenFilters = {3};  // BMP
    find<QPushButton>("Command8")->click();
    ASSERT_EQ(dialogs.requests.size(), 2u);
    EXPECT_EQ(dialogs.requests[0].title, "Save As");
    EXPECT_EQ(dialogs.requests[0].filter,
              "JPG Picture (*.jpg)|*.jpg|PNG Picture (*.png)|*.png|GIF Picture (*.gif)|*.gif|BMP Picture (*.bmp)|*.bmp");
    EXPECT_EQ(QImageReader(png).format(), "png");
    EXPECT_EQ(QImageReader(rig.dir.filePath("shot.bmp")).format(), "bmp");
    EXPECT_EQ(QImageReader(png).size(), QSize(750, 310));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(editor->profileCaption(), "BGA-1:  X1 150 C,  X2 200 C,  X3 240 C");

    dialogs.answers = {rig.dir.filePath("curve.tif")};
    find<QPushButton>("Command8")->click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "\"curve.tif\" was not saved: pictures are saved as .jpg, .png, .gif or .bmp.");
    EXPECT_FALSE(QFileInfo::exists(rig.dir.filePath("curve.tif")));
}

TEST_F(EditorFields, SamplesGoIntoTheChartBySecondAndAGapMarksAProbeWithoutReadingOrAStaleOne) {
    editor->restartTrace();
    rig.state.PcbTemperatureValid = true;
    rig.state.PcbTemperature = 180;
    rig.state.LastStatusMs = rig.clock.nowMs();
    editor->appendSample();
    rig.clock.advance(1000);
    rig.state.PcbTemperatureValid = false;
    rig.state.LastStatusMs = rig.clock.nowMs();
    editor->appendSample();
    rig.clock.advance(3000);  // two seconds without a sample, then one without a fresh answer
    rig.state.PcbTemperatureValid = true;
    editor->appendSample();
    EXPECT_DOUBLE_EQ(editor->chart().TcTrace.at(0), 180);
    EXPECT_TRUE(std::isnan(editor->chart().TcTrace.at(1)));
    EXPECT_TRUE(std::isnan(editor->chart().TcTrace.at(4))) << "a stale reading is no reading";
    EXPECT_EQ(editor->chart().TcSampleCount, 5) << "the next sample goes to second 5";
}
