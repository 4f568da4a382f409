#pragma once
#include "core/shared_state.h"

class QSettings;

#include <QList>
#include <QString>
#include <QStringList>

#include <span>

namespace settings {

// A paste window as the file keeps it: the name, the liquidus and the limits, in Celsius,
// seconds and Celsius per second (the slopes as magnitudes). What the numbers mean and how
// a run is judged against them lives in process/.
struct PasteWindow {
    QString name;
    double liquidusC = 0;
    double heatingSlopeMax = 0;  // steepest rise over 5 s
    double soakLowC = 0, soakHighC = 0;
    double soakMinS = 0, soakMaxS = 0;
    double aboveLiquidusMinS = 0, aboveLiquidusMaxS = 0;
    double peakLowC = 0, peakHighC = 0;
    double nearPeakMaxS = 0;     // within 5 C of the peak
    double coolingSlopeMax = 0;  // steepest fall over 5 s after the peak
    double toPeakMaxS = 0;       // from 25 C to the peak

    bool operator==(const PasteWindow&) const = default;
};

// One number of a paste window: its key in the file and the range it must lie in.
struct PasteField {
    const char* key;
    double PasteWindow::*member;
    double low, high;
};
// The thirteen numbers, liquidus first, in the order the file keeps them.
std::span<const PasteField> pasteFields();

// The program's own per-user settings: what it keeps beyond Settings.ini, in one INI file
// of its own in the per-user configuration folder. Today that is the run guard's limits
// (group "RunGuard", seconds and Celsius); each group is read into the shared state and
// written back from it. The user's paste windows ("PasteWindows") and the paste last
// chosen for each profile name ("LastPaste") are read and written on their own, by the
// code that uses them. Settings.ini is never touched.
//
// A file that is missing, cannot be read or holds no settings gives the defaults; a value
// that is not a number gets its default and one out of range the nearest limit. In each
// case the file is written anew, so the diagnostic list says it once. A missing file (the
// first start) or key (a group added since the file was written) is no fault and is not
// said.
class OwnSettings {
public:
    static constexpr const char* kFileName = "ControlRoom.ini";

    // folder: the per-user configuration folder; tests pass a temporary one.
    OwnSettings(core::SharedState& state, QString folder);

    // Reads every group into the shared state.
    void load();
    // Writes every group from the shared state. False, said in the diagnostic list, when
    // the file cannot be written: the values then hold until the program ends.
    bool save();

    QString path() const;

    // The user's own paste windows in the order kept. A window without a name, with a name
    // used before or one of reservedNames (the built-in windows, "None"), with a value missing
    // or not a number, or with an empty range is left out; a value out of range gets the
    // nearest limit and a range given high to low is turned round. What was mended is said
    // once and the windows are written anew.
    QList<PasteWindow> loadPasteWindows(const QStringList& reservedNames);
    // Replaces the user's paste windows; false, said, when the file cannot be written.
    bool savePasteWindows(const QList<PasteWindow>& windows);

    // The paste last chosen for a profile name; empty when none was.
    QString lastPaste(const QString& profileName) const;
    // Remembers it (the most recent kLastPastesKept profile names).
    bool rememberPaste(const QString& profileName, const QString& paste);
    static constexpr int kLastPastesKept = 100;

    // The operator last named in the profile editor; empty when none was.
    QString operatorName() const;
    bool rememberOperator(const QString& name);

    // The shop's shared runs database (group "ShopDatabase"): its address,
    // postgresql://user@host:port/dbname, empty for none (never a password: that stays in
    // the user's PostgreSQL password file); and the name this bench goes by in it, the
    // computer's name unless one is set.
    QString shopDatabase() const;
    bool setShopDatabase(const QString& address);
    QString stationName() const;
    bool setStationName(const QString& name);  // empty: the computer's name again

private:
    bool written(const QSettings& file);

    core::SharedState& state_;
    QString folder_;
};

}  // namespace settings
