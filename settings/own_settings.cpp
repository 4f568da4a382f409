#include "settings/own_settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>

#include <cmath>

namespace settings {

namespace {

// Reads whole numbers from the file, or gives the defaults when there is no file, and
// notes what it had to mend.
class Reader {
public:
    explicit Reader(const QSettings* file) : file_(file) {}

    int integer(const QString& key, int low, int high, int fallback) {
        const QVariant raw = file_ ? file_->value(key) : QVariant();
        if (!raw.isValid()) {
            incomplete = true;
            return fallback;
        }
        // "90,5" comes back as a list; shown as it stands in the file.
        const bool list = raw.metaType().id() == QMetaType::QStringList;
        const QString text = list ? raw.toStringList().join(',') : raw.toString();
        bool ok = false;
        const double v = text.trimmed().toDouble(&ok);
        if (!ok || !std::isfinite(v)) {
            notNumbers << QString("%1=%2 (the default %3 is used)").arg(key, text).arg(fallback);
            return fallback;
        }
        if (v < low || v > high) {
            const int limit = v < low ? low : high;
            clamped << QString("%1=%2 (%3 to %4: %5 is used)").arg(key, text.trimmed()).arg(low).arg(high).arg(limit);
            return limit;
        }
        return int(std::lround(v));
    }

    bool mended() const { return incomplete || !notNumbers.isEmpty() || !clamped.isEmpty(); }

    bool incomplete = false;  // a key was missing
    QStringList notNumbers;
    QStringList clamped;

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
    // A format error only tells that the file replaced was broken; it is written all the same.
    if (file.status() != QSettings::AccessError) return true;
    state_.Diagnostics.add(QString(kFileName) + " could not be written to " + path() +
                           ": the values hold until the program ends");
    return false;
}

}  // namespace settings
