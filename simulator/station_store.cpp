#include "simulator/station_store.h"

#include "platform/text_file.h"
#include "simulator/factory_data.h"
#include "simulator/sim_station.h"

#include <QFile>

#include <optional>

namespace simulator {

namespace {
constexpr const char* kSection = "[EEPROM]";
constexpr const char* kHeader = "; The simulated station's memory: its settings block and profile slots, in hex";
// Anything longer is not a file of ours.
constexpr qint64 kMostBytes = 16 * 1024;

template <std::size_t N>
QByteArray hexOf(const std::array<std::uint8_t, N>& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(N)).toHex(' ').toUpper();
}

// The bytes of a hex line, only when there are exactly N of them.
template <std::size_t N>
std::optional<std::array<std::uint8_t, N>> bytesOf(const QByteArray& hex) {
    const QList<QByteArray> parts = hex.simplified().split(' ');
    if (qsizetype(N) != parts.size()) return std::nullopt;
    std::array<std::uint8_t, N> out{};
    for (std::size_t i = 0; i < N; ++i) {
        const QByteArray& p = parts[qsizetype(i)];
        bool ok = false;
        const uint v = p.toUInt(&ok, 16);
        if (!ok || p.size() > 2 || v > 255) return std::nullopt;
        out[i] = std::uint8_t(v);
    }
    return out;
}
}  // namespace

StationMemory StationMemory::factory() {
    StationMemory m;
    m.settings = factorySettings();
    for (int slot = 1; slot <= 3; ++slot) m.profiles[std::size_t(slot - 1)] = factoryProfile(slot);
    return m;
}

StationMemory StationMemory::of(SimStation& station) {
    StationMemory m;
    m.settings = station.settings();
    for (int slot = 1; slot <= 3; ++slot) m.profiles[std::size_t(slot - 1)] = station.profile(slot);
    return m;
}

void StationMemory::restoreInto(SimStation& station) const {
    station.settings() = settings;
    for (int slot = 1; slot <= 3; ++slot) station.profile(slot) = profiles[std::size_t(slot - 1)];
}

QByteArray encodeStationMemory(const StationMemory& memory) {
    QByteArray out = QByteArray(kHeader) + "\r\n" + kSection + "\r\n";
    out += "Settings=" + hexOf(memory.settings) + "\r\n";
    for (int i = 0; i < 3; ++i) out += "Slot" + QByteArray::number(i + 1) + "=" + hexOf(memory.profiles[std::size_t(i)]) + "\r\n";
    return out;
}

StationMemory decodeStationMemory(const QByteArray& text, QStringList* damaged) {
    StationMemory m = StationMemory::factory();
    bool inSection = false;
    bool found[4] = {};
    bool good[4] = {};
    for (QByteArray line : text.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(';')) continue;
        if (line.startsWith('[')) {
            inSection = line == kSection;
            continue;
        }
        const qsizetype eq = line.indexOf('=');
        if (!inSection || eq < 0) continue;
        const QByteArray key = line.left(eq).trimmed();
        const QByteArray value = line.mid(eq + 1);
        int part = -1;
        if (key == "Settings") part = 0;
        else if (key == "Slot1" || key == "Slot2" || key == "Slot3") part = key.back() - '0';
        if (part < 0 || found[part]) continue;  // the first of a repeated line counts
        found[part] = true;
        if (part == 0) {
            if (const auto b = bytesOf<16>(value)) {
                m.settings = *b;
                good[0] = true;
            }
        } else if (const auto b = bytesOf<81>(value)) {
            m.profiles[std::size_t(part - 1)] = *b;
            good[part] = true;
        }
    }
    if (damaged)
        for (int part = 0; part < 4; ++part)
            if (!good[part]) damaged->append(part == 0 ? QString("settings") : QString("slot %1").arg(part));
    return m;
}

StationStore::StationStore(SimStation& station, QString path) : station_(station), path_(std::move(path)) {
    QFile file(path_);
    StationMemory memory = StationMemory::factory();
    fileMatches_ = !file.exists();  // no file is a factory-new station: written once it changes
    if (file.exists()) {
        if (file.size() <= kMostBytes && file.open(QIODevice::ReadOnly)) {
            memory = decodeStationMemory(file.read(kMostBytes), &damaged_);
            fileMatches_ = damaged_.isEmpty();
        } else {
            damaged_ << "file";
        }
    }
    memory.restoreInto(station_);
    written_ = memory;
    station_.setStoredHandler([this] { save(); });
}

StationStore::~StationStore() {
    station_.setStoredHandler({});
    save();
}

bool StationStore::save() {
    const StationMemory now = StationMemory::of(station_);
    if (fileMatches_ && now == written_) return true;
    const platform::TextWrite w = platform::writeFileBytes(path_, encodeStationMemory(now));
    error_ = w.ok() ? QString() : w.error;
    if (!w.ok()) return false;
    written_ = now;
    fileMatches_ = true;
    return true;
}

}  // namespace simulator
