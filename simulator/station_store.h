#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

namespace simulator {

class SimStation;

// What a station keeps with its power off: the EEPROM settings block and the three profile slots.
struct StationMemory {
    std::array<std::uint8_t, 16> settings{};
    std::array<std::array<std::uint8_t, 81>, 3> profiles{};

    static StationMemory factory();
    static StationMemory of(SimStation& station);
    void restoreInto(SimStation& station) const;
    bool operator==(const StationMemory&) const = default;
};

// The memory as text: a "[EEPROM]" section with the lines Settings, Slot1, Slot2 and Slot3,
// each its bytes in hex, CR LF line ends.
QByteArray encodeStationMemory(const StationMemory& memory);
// The memory read back from that text. A part that is missing or does not read back whole
// (wrong length, not hex) is the factory's, and its name goes into `damaged`.
StationMemory decodeStationMemory(const QByteArray& text, QStringList* damaged = nullptr);

// Keeps a station's memory in a file across starts: reads it into the station when made
// (a missing or damaged file gives the factory's contents), writes it each time the station
// stores its settings or a profile slot, and once more when it goes.
class StationStore {
public:
    static constexpr const char* kFileName = "Simulated station.ini";

    StationStore(SimStation& station, QString path);
    ~StationStore();
    StationStore(const StationStore&) = delete;
    StationStore& operator=(const StationStore&) = delete;

    QString path() const { return path_; }
    // The parts the file lacked or had damaged when it was read ("file" when it was unreadable).
    const QStringList& damaged() const { return damaged_; }
    // Writes the station's memory when it differs from what the file holds; false when that failed.
    bool save();
    // Why the last write failed; empty after a good one.
    const QString& error() const { return error_; }

private:
    SimStation& station_;
    QString path_;
    StationMemory written_;
    bool fileMatches_ = false;
    QStringList damaged_;
    QString error_;
};

}  // namespace simulator
