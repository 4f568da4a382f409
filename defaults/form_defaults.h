#pragma once
#include "defaults/defaults_uploader.h"

#include <QWidget>

#include <functional>
#include <memory>

class QLabel;
class QPushButton;
class QStatusBar;

namespace core {
struct SharedState;
}
namespace platform {
class Dialogs;
}

namespace defaults {

// What the tool does to the main window around it.
struct DefaultsHost {
    std::function<void()> stopPoller;    // USB_Service_Timer off; called only when no tick runs
    std::function<void()> resumePoller;  // USB_Service_Timer on and the main window enabled
};

// "KR-9300 Defaults Uploading Tool": puts the factory settings and the three default
// profiles into a station. Modal to the window it is given as parent; the main window's poller is stopped while it is open
// and the tool talks to the station itself, one upload at a time.
class Form_Defaults : public QWidget {
    Q_OBJECT
public:
    // Questions and notes go through `dialogs`, over this window.
    Form_Defaults(core::SharedState& state, platform::Bridge& bridge, platform::Clock& clock, platform::Dialogs& dialogs,
                  DefaultsHost host, QWidget* parent = nullptr);
    ~Form_Defaults() override;

    void Form_Load();
    void Command1_Click();  // Upload default EEPROM
    void UploadProfileClick(int slot);  // Command2..Command4
    void Command5_Click();  // Detect KR-9300
    void Command6_Click();  // Exit

    QString panel(int panel) const;
    DefaultsUploader& uploader() { return uploader_; }

    static constexpr const char* kSettingsQuestion = "Overwrite the KR-9300's settings with the factory settings?";
    // "Overwrite profile slot 2 with NORTH BRIDGE?"
    static QString profileQuestion(int slot);
    // The tool closes by itself once the upload under way is over.
    bool closingWhenDone() const { return closeWhenDone_; }

    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;
    QPushButton* Command4 = nullptr;
    QPushButton* Command5 = nullptr;
    QPushButton* Command6 = nullptr;
    QStatusBar* StatusBar1 = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void setPanel(int panel, const QString& text);
    void setUploadsEnabled(bool on);
    // Every button off while an upload runs; afterwards as the station's state allows.
    void runExclusive(const std::function<void()>& work);
    void leave();

    void uploadProfile(int slot);
    void closeIfAsked();

    core::SharedState& state_;
    platform::Dialogs& dialogs_;
    DefaultsHost host_;
    DefaultsUploader uploader_;
    std::array<QLabel*, 2> panels_{};
    bool uploadsEnabled_ = false;
    bool detectEnabled_ = false;
    bool closing_ = false;
    bool closeWhenDone_ = false;  // the close box was pressed during an upload
};

}  // namespace defaults
