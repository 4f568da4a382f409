#pragma once
#include "settings/own_settings.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace process {

// A solder paste's process window: its liquidus and the limits on the statistics of a run.
using PasteWindow = settings::PasteWindow;

// The statistics a run is judged on, in the order they are listed.
enum class Statistic {
    HeatingSlope,       // steepest rise over any 5 s, C/s
    SoakTime,           // seconds in the soak band before the peak
    TimeAboveLiquidus,  // seconds at or above the liquidus
    Peak,               // highest reading, C
    TimeNearPeak,       // seconds within 5 C of the peak
    CoolingSlope,       // steepest fall over any 5 s after the peak, C/s as a magnitude
    TimeToPeak,         // seconds from 25 C to the peak
};
inline constexpr int kStatisticCount = 7;
inline constexpr std::array<Statistic, kStatisticCount> kStatistics{
    Statistic::HeatingSlope, Statistic::SoakTime,     Statistic::TimeAboveLiquidus, Statistic::Peak,
    Statistic::TimeNearPeak, Statistic::CoolingSlope, Statistic::TimeToPeak};
constexpr std::size_t indexOf(Statistic s) { return std::size_t(s); }

// The limits on one statistic: low to high, or at most high (low then 0).
struct Limit {
    double low = 0;
    double high = 0;
    bool oneSided = false;
};
Limit limitOf(const PasteWindow& window, Statistic s);

// "time above liquidus", "peak", ...
QString statisticName(Statistic s);
// "2.4 C/s", "31 s", "243 C".
QString valueText(Statistic s, double value);
// "<= 3.0 C/s", "45-90 s", "235-250 C".
QString limitText(const PasteWindow& window, Statistic s);

inline constexpr const char* kNoPaste = "None";
inline constexpr const char* kLeadedPaste = "Sn63Pb37";
inline constexpr const char* kLeadFreePaste = "SAC305";

// The two windows that come with the program; they can be copied, not changed.
const QList<PasteWindow>& builtInWindows();
bool isBuiltIn(const QString& name);
// The names a user's window may not take: the built-in ones and "None".
QStringList reservedNames();

// The built-in windows, then the user's.
QList<PasteWindow> allWindows(const QList<PasteWindow>& user);
// The window of that name, whatever its case; none for "None" or an unknown name.
std::optional<PasteWindow> findWindow(const QList<PasteWindow>& windows, const QString& name);
// The editor's paste list: the built-in names, the user's, "None".
QStringList pasteChoices(const QList<PasteWindow>& user);

// What is wrong with a window the user made or changed, one text each; empty when nothing.
// others: the user's other windows, whose names it may not take.
QStringList windowProblems(const PasteWindow& window, const QList<PasteWindow>& others);

// The user's windows from the program's own settings file, and back.
QList<PasteWindow> loadUserWindows(settings::OwnSettings& own);
bool saveUserWindows(settings::OwnSettings& own, const QList<PasteWindow>& user);

// The paste for a profile: the one last chosen for its name while it is still in the list,
// else the alloy's own (Sn63Pb37 for Leaded, SAC305 for Lead-Free).
QString pasteForProfile(const settings::OwnSettings& own, const QString& profileName, bool leadFree,
                        const QList<PasteWindow>& user);

}  // namespace process
