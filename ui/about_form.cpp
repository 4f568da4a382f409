#include "ui/about_form.h"

#include "core/shared_state.h"
#include "platform/program_folder.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace ui {

QString frmAbout::versionText() {
    return "Software Version " + QString::number(KR_VERSION_MAJOR) + "." + QString::number(KR_VERSION_MINOR) + "." +
           QString::number(KR_VERSION_REVISION);
}

frmAbout::frmAbout(const core::SharedState& state, const QString& programFolder, QWidget* parent)
    : QDialog(parent), state_(state) {
    setObjectName("frmAbout");
    setWindowTitle("About MyApp");
    setWindowModality(Qt::ApplicationModal);
    setAttribute(Qt::WA_DeleteOnClose);
    auto* grid = new QGridLayout(this);
    picIcon = new QLabel;
    picIcon->setObjectName("picIcon");
    picIcon->setPixmap(QPixmap(platform::picturePath(programFolder, "LogoSB.png")));
    lblTitle = new QLabel;
    lblTitle->setObjectName("lblTitle");
    QFont tf = lblTitle->font();
    tf.setPointSize(tf.pointSize() + 4);
    tf.setBold(true);
    lblTitle->setFont(tf);
    lblVersion = new QLabel;
    lblVersion->setObjectName("lblVersion");
    Label1 = new QLabel;
    Label1->setObjectName("Label1");
    Label2 = new QLabel;
    Label2->setObjectName("Label2");
    cmdOK = new QPushButton("OK");
    cmdOK->setObjectName("cmdOK");
    cmdOK->setDefault(true);
    grid->addWidget(picIcon, 0, 0, 2, 1, Qt::AlignTop);
    grid->addWidget(lblTitle, 0, 1);
    grid->addWidget(lblVersion, 1, 1);
    grid->addWidget(Label1, 2, 1);
    grid->addWidget(Label2, 3, 1);
    grid->addWidget(cmdOK, 4, 1, Qt::AlignRight);
    grid->setHorizontalSpacing(16);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::close);
    Form_Load();
}

void frmAbout::Form_Load() {
    setWindowTitle(QString("About ") + kTitle);
    lblVersion->setText(versionText());
    lblTitle->setText(QString(kTitle) + " (ML)");
    const int fw = state_.FirmwareVersion;
    Label1->setText("Firmware Version: " + (fw >= 0 ? " " + QString::number(fw) : QString::number(fw)));
    Label2->setText("Machine ID: " + state_.MachineId);
}

}  // namespace ui
