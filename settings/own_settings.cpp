#include "settings/own_settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <QSysInfo>

#include <cmath>
#include <optional>
#include <utility>

namespace settings {

namespace {

// Reads whole numbers from the file, or gives the defaults when there is no file, and
// notes what it had to mend.
class Reader {
public:
    explicit Reader(const QSettings* file) : file_(file) {}

    int integer(const QString& key, int low, int high, int fallback) {
        const auto v = number(key, low, high, QString("the default %1 is used").arg(fallback));
        return v ? int(std::lround(*v)) : fallback;
    }

    // The value of a key within low..high; empty when it is missing or not a number, the
    // latter noted with what happens instead.
    std::optional<double> number(const QString& key, double low, double high, const QString& instead) {
        const QVariant raw = file_ ? file_->value(key) : QVariant();
        if (!raw.isValid()) {
            incomplete = true;
            return std::nullopt;
        }
        // "90,5" comes back as a list; shown as it stands in the file.
        const bool list = raw.metaType().id() == QMetaType::QStringList;
        const QString text = list ? raw.toStringList().join(',') : raw.toString();
        bool ok = false;
        const double v = text.trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(v)) {
            notNumbers << QString("%1=%2 (%3)").arg(key, text, instead);
            return std::nullopt;
        }
        if (v < low || v > high) {
            const double limit = v < low ? low : high;
            clamped << QString("%1=%2 (%3 to %4: %5 is used)").arg(key, text.trimmed()).arg(low).arg(high).arg(limit);
            return limit;
        }
        return v;
    }

    bool mended() const { return incomplete || !notNumbers.isEmpty() || !clamped.isEmpty() || !leftOut.isEmpty(); }

    bool incomplete = false;  // a key was missing
    QStringList notNumbers;
    QStringList clamped;
    QStringList leftOut;  // whole entries that could not be used

private:
    const QSettings* file_;
};

// --- the groups: one load and one save each ---

void loadRunGuard(Reader& in, core::RunGuardLimits& g) {
    using L = core::RunGuardLimits;
    auto read = [&in](const char* key, L::Range r) {
        return in.integer(QString("RunGuard/") + key, r.low, r.high, r.fallback);
    };
    g.noRiseS = read("NoRiseLimit", L::kNoRiseS);
    g.approachS = read("ApproachLimit", L::kApproachS);
    g.waitS = read("WaitLimit", L::kWaitS);
    g.overshootC = read("OvershootMargin", L::kOvershootC);
    g.linkLostS = read("LinkLostLimit", L::kLinkLostS);
}

void saveRunGuard(QSettings& out, const core::RunGuardLimits& g) {
    out.beginGroup("RunGuard");
    out.setValue("NoRiseLimit", g.noRiseS);
    out.setValue("ApproachLimit", g.approachS);
    out.setValue("WaitLimit", g.waitS);
    out.setValue("OvershootMargin", g.overshootC);
    out.setValue("LinkLostLimit", g.linkLostS);
    out.endGroup();
}

void loadAll(Reader& in, core::SharedState& state) { loadRunGuard(in, state.GuardLimits); }

void saveAll(QSettings& out, const core::SharedState& state) { saveRunGuard(out, state.GuardLimits); }

// --- the user's paste windows and the paste last chosen per profile ---

constexpr const char* kPasteGroup = "PasteWindows";
constexpr const char* kLastPasteGroup = "LastPaste";

constexpr double kHottestC = 450, kLongestS = 3600, kSteepest = 20;
constexpr PasteField kPasteFields[] = {
    {"LiquidusC", &PasteWindow::liquidusC, 50, kHottestC},
    {"HeatingSlopeMax", &PasteWindow::heatingSlopeMax, 0.1, kSteepest},
    {"SoakLowC", &PasteWindow::soakLowC, 0, kHottestC},
    {"SoakHighC", &PasteWindow::soakHighC, 0, kHottestC},
    {"SoakMinS", &PasteWindow::soakMinS, 0, kLongestS},
    {"SoakMaxS", &PasteWindow::soakMaxS, 0, kLongestS},
    {"AboveLiquidusMinS", &PasteWindow::aboveLiquidusMinS, 0, kLongestS},
    {"AboveLiquidusMaxS", &PasteWindow::aboveLiquidusMaxS, 0, kLongestS},
    {"PeakLowC", &PasteWindow::peakLowC, 0, kHottestC},
    {"PeakHighC", &PasteWindow::peakHighC, 0, kHottestC},
    {"NearPeakMaxS", &PasteWindow::nearPeakMaxS, 1, kLongestS},
    {"CoolingSlopeMax", &PasteWindow::coolingSlopeMax, 0.1, kSteepest},
    {"ToPeakMaxS", &PasteWindow::toPeakMaxS, 1, kLongestS},
};
// The ranges given as two numbers, low first.
constexpr std::pair<double PasteWindow::*, double PasteWindow::*> kPasteRanges[] = {
    {&PasteWindow::soakLowC, &PasteWindow::soakHighC},
    {&PasteWindow::soakMinS, &PasteWindow::soakMaxS},
    {&PasteWindow::aboveLiquidusMinS, &PasteWindow::aboveLiquidusMaxS},
    {&PasteWindow::peakLowC, &PasteWindow::peakHighC},
};

QList<PasteWindow> loadPastes(Reader& in, const QSettings& file, const QStringList& reservedNames) {
    QList<PasteWindow> windows;
    QStringList taken = reservedNames;
    const int count = file.value(QString(kPasteGroup) + "/size").toInt();
    for (int i = 1; i <= count; ++i) {
        const QString prefix = QString("%1/%2/").arg(kPasteGroup).arg(i);
        PasteWindow w;
        w.name = file.value(prefix + "Name").toString().trimmed();
        const QString which = prefix.chopped(1) + " \"" + w.name + "\"";
        if (w.name.isEmpty()) {
            in.leftOut << prefix + "Name (no name)";
            continue;
        }
        if (taken.contains(w.name, Qt::CaseInsensitive)) {
            in.leftOut << which + " (a name already used)";
            continue;
        }
        bool whole = true;
        for (const PasteField& f : kPasteFields) {
            in.incomplete = false;
            const auto v = in.number(prefix + f.key, f.low, f.high, "the paste window is left out");
            if (!v && in.incomplete) in.leftOut << which + " (" + f.key + " is missing)";
            if (!v) {
                whole = false;
                break;
            }
            w.*f.member = *v;
        }
        if (!whole) continue;
        bool empty = false;
        for (const auto& [low, high] : kPasteRanges) {
            if (w.*low > w.*high) {
                std::swap(w.*low, w.*high);
                in.clamped << which + " (a range given high to low is turned round)";
            }
            empty = empty || w.*low == w.*high;
        }
        if (empty) {
            in.leftOut << which + " (a range from a value to itself)";
            continue;
        }
        taken << w.name;
        windows << w;
    }
    return windows;
}

void savePastes(QSettings& out, const QList<PasteWindow>& windows) {
    out.remove(kPasteGroup);
    out.beginWriteArray(kPasteGroup, int(windows.size()));
    for (int i = 0; i < windows.size(); ++i) {
        out.setArrayIndex(i);
        out.setValue("Name", windows[i].name);
        for (const PasteField& f : kPasteFields) out.setValue(f.key, windows[i].*f.member);
    }
    out.endArray();
}

}  // namespace

std::span<const PasteField> pasteFields() { return kPasteFields; }

namespace {

// Why the file as a whole cannot be used; empty when it can.
QString troubleWith(const QFileInfo& info, const QSettings& file) {
    if (!info.exists()) return "is missing";
    if (!info.isFile() || !info.isReadable() || file.status() == QSettings::AccessError) return "could not be read";
    if (file.status() == QSettings::FormatError || file.allKeys().isEmpty()) return "holds no settings";
    return {};
}

}  // namespace

OwnSettings::OwnSettings(core::SharedState& state, QString folder) : state_(state), folder_(std::move(folder)) {}

QString OwnSettings::path() const { return QDir(folder_).filePath(kFileName); }

void OwnSettings::load() {
    const QFileInfo info(path());
    QString trouble;
    {
        const QSettings file(path(), QSettings::IniFormat);
        trouble = troubleWith(info, file);
        if (trouble.isEmpty()) {
            Reader in(&file);
            loadAll(in, state_);
            auto say = [this](const QStringList& items, const char* one, const char* many) {
                if (items.isEmpty()) return;
                state_.Diagnostics.add(QString(kFileName) + " holds " + QString(items.size() == 1 ? one : many) +
                                       ": " + items.join("; ") + ". The file is written anew: " + path());
            };
            say(in.notNumbers, "a value that is not a number", "values that are not numbers");
            say(in.clamped, "a value out of range", "values out of range");
            if (in.mended()) save();
            return;
        }
    }
    Reader defaults(nullptr);
    loadAll(defaults, state_);
    // A missing file is the first start, as with Settings.ini: no fault to report.
    if (info.exists())
        state_.Diagnostics.add(QString(kFileName) + " " + trouble + ": the defaults are used and written to " + path());
    if (info.isFile()) QFile::remove(path());  // nothing of a broken file is merged into the new one
    save();
}

bool OwnSettings::save() {
    QDir().mkpath(folder_);
    QSettings file(path(), QSettings::IniFormat);
    saveAll(file, state_);
    file.sync();
    return written(file);
}

bool OwnSettings::written(const QSettings& file) {
    // A format error only tells that the file replaced was broken; it is written all the same.
    if (file.status() != QSettings::AccessError) return true;
    state_.Diagnostics.add(QString(kFileName) + " could not be written to " + path() +
                           ": the values hold until the program ends");
    return false;
}

QList<PasteWindow> OwnSettings::loadPasteWindows(const QStringList& reservedNames) {
    QList<PasteWindow> windows;
    {
        const QSettings file(path(), QSettings::IniFormat);
        if (file.status() != QSettings::NoError) return windows;  // load() says what is wrong with the file
        Reader in(&file);
        windows = loadPastes(in, file, reservedNames);
        // A window is never half read: a missing key already left it out and is said there.
        in.incomplete = false;
        if (!in.mended()) return windows;
        auto say = [this](const QStringList& items, const char* one, const char* many, const char* then) {
            if (items.isEmpty()) return;
            state_.Diagnostics.add(QString(kFileName) + " holds " + QString(items.size() == 1 ? one : many) + ": " +
                                   items.join("; ") + then + " The paste windows are written anew: " + path());
        };
        say(in.notNumbers, "a value that is not a number", "values that are not numbers", ".");
        say(in.clamped, "a paste window value out of range", "paste window values out of range", ".");
        say(in.leftOut, "a paste window that cannot be used", "paste windows that cannot be used",
            ": left out.");
    }
    savePasteWindows(windows);
    return windows;
}

bool OwnSettings::savePasteWindows(const QList<PasteWindow>& windows) {
    QDir().mkpath(folder_);
    QSettings file(path(), QSettings::IniFormat);
    savePastes(file, windows);
    file.sync();
    return written(file);
}

QString OwnSettings::lastPaste(const QString& profileName) const {
    const QSettings file(path(), QSettings::IniFormat);
    const int count = file.value(QString(kLastPasteGroup) + "/size").toInt();
    for (int i = 1; i <= count; ++i) {
        const QString prefix = QString("%1/%2/").arg(kLastPasteGroup).arg(i);
        if (file.value(prefix + "Profile").toString() == profileName) return file.value(prefix + "Paste").toString();
    }
    return {};
}

bool OwnSettings::rememberPaste(const QString& profileName, const QString& paste) {
    QDir().mkpath(folder_);
    QSettings file(path(), QSettings::IniFormat);
    // The most recent first; the same profile name only once.
    QList<std::pair<QString, QString>> kept{{profileName, paste}};
    const int count = file.beginReadArray(kLastPasteGroup);
    for (int i = 0; i < count && kept.size() < kLastPastesKept; ++i) {
        file.setArrayIndex(i);
        const QString profile = file.value("Profile").toString();
        if (profile != profileName) kept.append({profile, file.value("Paste").toString()});
    }
    file.endArray();
    file.remove(kLastPasteGroup);
    file.beginWriteArray(kLastPasteGroup, int(kept.size()));
    for (int i = 0; i < kept.size(); ++i) {
        file.setArrayIndex(i);
        file.setValue("Profile", kept[i].first);
        file.setValue("Paste", kept[i].second);
    }
    file.endArray();
    file.sync();
    return written(file);
}

QString OwnSettings::operatorName() const {
    return QSettings(path(), QSettings::IniFormat).value("RunHistory/Operator").toString();
}

bool OwnSettings::rememberOperator(const QString& name) {
    QDir().mkpath(folder_);
    QSettings file(path(), QSettings::IniFormat);
    if (file.value("RunHistory/Operator").toString() == name) return true;
    file.setValue("RunHistory/Operator", name);
    file.sync();
    return written(file);
}

// --- the shop's shared runs database ---

QString OwnSettings::shopDatabase() const {
    return QSettings(path(), QSettings::IniFormat).value("ShopDatabase/Address").toString().trimmed();
}

bool OwnSettings::setShopDatabase(const QString& address) {
    QDir().mkpath(folder_);
    QSettings file(path(), QSettings::IniFormat);
    file.setValue("ShopDatabase/Address", address.trimmed());
    file.sync();
    return written(file);
}

QString OwnSettings::stationName() const {
    const QString name = QSettings(path(), QSettings::IniFormat).value("ShopDatabase/Station").toString().trimmed();
    return name.isEmpty() ? QSysInfo::machineHostName() : name;
}

bool OwnSettings::setStationName(const QString& name) {
    QDir().mkpath(folder_);
    QSettings file(path(), QSettings::IniFormat);
    file.setValue("ShopDatabase/Station", name.trimmed());
    file.sync();
    return written(file);
}

}  // namespace settings
