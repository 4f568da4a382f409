#pragma once
#include "core/shared_state.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace settings {

// Settings.ini: eleven CR LF lines in a fixed order, kept in the program folder. When
// that folder cannot be written the file lives in the per-user configuration folder
// instead, and the diagnostic list says so once.
class SettingsFile {
public:
    static constexpr const char* kFileName = "Settings.ini";

    SettingsFile(core::SharedState& state, QString programFolder, QString userFolder);

    struct ReadResult {
        enum Outcome { Read, Created, Replaced, LoadError } outcome = Read;
        int errorCode = 0;                  // 62 past the end of the file, 6 overflow
        std::optional<bool> plotCaptionStop;  // what the AutoTCPlot line set the plot button to
    };

    // Fills the settings record from the file, or creates the default file. A load error
    // is also written to the diagnostic list as "Error Code: " and the number.
    ReadResult Read_INI();
    // Writes the default file and puts the defaults into the record.
    bool Create_New_INI();
    // Writes all eleven lines from the record.
    bool Write_INI();
    // Rewrites the AlarmMSD, AlarmLSD and TempUnit lines, keeping the others as they are.
    bool Update_INI_Alarm();

    // Reads a file's contents into the record without touching any file: what Read_INI
    // does after opening, before it replaces a bad file with the defaults.
    ReadResult parseContents(const QByteArray& contents);

    // Where the file is now.
    QString path() const;
    static QStringList defaultLines();
    QStringList linesFromRecord() const;

private:
    bool writeLines(const QStringList& lines);
    void moveToUserFolder();
    ReadResult parse(const QStringList& lines);

    core::SharedState& state_;
    QString programFolder_;
    QString userFolder_;
    bool inUserFolder_ = false;
};

}  // namespace settings
