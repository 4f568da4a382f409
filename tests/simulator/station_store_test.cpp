// The station's memory in a file: what the station stores comes back at the next start; a
// missing or damaged file gives the factory's contents.
#include "simulator/factory_data.h"
#include "simulator/sim_station.h"
#include "simulator/station_store.h"
#include "tests/support/sim_host.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using simulator::StationMemory;
using simulator::StationStore;
using testsupport::frameOf;
using Bytes = std::vector<std::uint8_t>;

namespace {
struct Store : ::testing::Test {
    QTemporaryDir dir;
    QString path() const { return dir.filePath(StationStore::kFileName); }
    void write(const QByteArray& contents) {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(contents);
    }
    QByteArray read() const {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

StationMemory someMemory() {
    StationMemory m;
    for (std::size_t i = 0; i < m.settings.size(); ++i) m.settings[i] = std::uint8_t(i * 17 + 3);
    for (std::size_t s = 0; s < 3; ++s)
        for (std::size_t i = 0; i < 81; ++i) m.profiles[s][i] = std::uint8_t(i * 7 + s * 101);
    return m;
}
}  // namespace

TEST_F(Store, WhatTheStationStoresComesBackAtTheNextStartAndAnUntouchedStationWritesNoFile) {
    {
        platform::VirtualClock clock;
        simulator::SimStation station(clock, 7);
        StationStore store(station, path());
    }
    EXPECT_FALSE(QFile::exists(path()));

    const Bytes settings{0, 8, 10, 15, 0, 6, 60, 0, 205, 5, 0, 48, 50, 0, 150};  // safety set point 150
    const StationMemory m = someMemory();
    {
        platform::VirtualClock clock;
        simulator::SimStation station(clock, 7);
        StationStore store(station, path());
        testsupport::SimHost host{clock, station};
        host.exchange(frameOf(0x50, settings));
        EXPECT_TRUE(read().contains("Settings=00 08 0A 0F 00 06 3C 00 CD 05 00 30 32 00 96"));  // at once
        station.profile(3) = m.profiles[2];  // kept when the store goes
    }
    platform::VirtualClock clock;
    simulator::SimStation station(clock, 7);
    StationStore store(station, path());
    EXPECT_TRUE(store.damaged().isEmpty()) << store.damaged().join(", ").toStdString();
    testsupport::SimHost host{clock, station};
    const Bytes r = host.exchange(frameOf(0xA0));
    ASSERT_EQ(r.size(), 19u);
    EXPECT_EQ(Bytes(r.begin() + 4, r.end()), settings);
    EXPECT_EQ(station.profile(3), m.profiles[2]);
    EXPECT_EQ(station.profile(1), simulator::factoryProfile(1));
    EXPECT_EQ(simulator::decodeStationMemory(simulator::encodeStationMemory(m)), m);
}

TEST_F(Store, AMissingOrDamagedPartIsTheFactorysAndTheFileIsMendedAtTheEnd) {
    const StationMemory m = someMemory();
    const QByteArray good = simulator::encodeStationMemory(m);
    QByteArray shortSlot = good;
    shortSlot.replace(shortSlot.indexOf("Slot2=") + 6, 3, "");  // one byte less
    QByteArray badHex = good;
    badHex.replace(badHex.indexOf("Settings=") + 9, 2, "G7");
    QByteArray wide = good;
    wide.replace(wide.indexOf("Slot1=") + 6, 2, "100");
    struct Case {
        const char* what;
        QByteArray contents;
        QStringList damaged;
    } cases[] = {
        {"empty", "", {"settings", "slot 1", "slot 2", "slot 3"}},
        {"not text", QByteArray(300, '\xFF') + QByteArray(20, '\0'), {"settings", "slot 1", "slot 2", "slot 3"}},
        {"other section", QByteArray(good).replace("[EEPROM]", "[Other]"), {"settings", "slot 1", "slot 2", "slot 3"}},
        {"cut after the settings", good.left(good.indexOf("Slot1=") + 20), {"slot 1", "slot 2", "slot 3"}},
        {"a slot a byte short", shortSlot, {"slot 2"}},
        {"not hex", badHex, {"settings"}},
        {"a byte over 255", wide, {"slot 1"}},
        {"LF line ends", QByteArray(good).replace("\r\n", "\n"), {}},
        {"too big to be ours", good + QByteArray(20000, ';'), {"file"}},
    };
    for (const Case& c : cases) {
        write(c.contents);
        {
            platform::VirtualClock clock;
            simulator::SimStation station(clock, 7);
            StationStore store(station, path());
            EXPECT_EQ(store.damaged(), c.damaged) << c.what;
            const StationMemory loaded = StationMemory::of(station);
            const StationMemory factory = StationMemory::factory();
            EXPECT_EQ(loaded.settings, c.damaged.contains("settings") || c.damaged.contains("file") ? factory.settings
                                                                                                   : m.settings)
                << c.what;
            for (int s = 1; s <= 3; ++s) {
                const bool lost = c.damaged.contains(QString("slot %1").arg(s)) || c.damaged.contains("file");
                EXPECT_EQ(loaded.profiles[std::size_t(s - 1)], lost ? factory.profiles[std::size_t(s - 1)]
                                                                 : m.profiles[std::size_t(s - 1)])
                    << c.what << ", slot " << s;
            }
        }
        // Rewritten whole when it was damaged; left alone when it was good.
        QStringList again;
        simulator::decodeStationMemory(read(), &again);
        EXPECT_TRUE(again.isEmpty()) << c.what;
        if (c.damaged.isEmpty()) {
            EXPECT_EQ(read(), c.contents) << c.what;
        }
    }
}
