#pragma once
#include <QDialog>

class QLabel;
class QPushButton;

namespace core {
struct SharedState;
}

namespace ui {

// The about box: the program's title and version, the station's firmware and identity.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    frmAbout(const core::SharedState& state, const QString& programFolder, QWidget* parent = nullptr);
    void Form_Load();

    static constexpr const char* kTitle = "KR-9300 Control Room";
    static QString versionText();

    QLabel* picIcon = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* cmdOK = nullptr;

private:
    const core::SharedState& state_;
};

}  // namespace ui
