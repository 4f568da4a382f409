// The program serves request slots 5 and 8 with the profile transactions, and their
// status texts reach the main window.
#include "tests/support/program_rig.h"
#include "tests/support/qt_printers.h"
#include "tests/support/screenshot.h"

#include <QLabel>

#include <gtest/gtest.h>

using testsupport::ProgramRig;

namespace {
bool served(ProgramRig& rig, int slot) {
    return rig.clock.runUntil([&] { return !rig.state.RequestFlags[std::size_t(slot)]; }, 60000);
}
}  // namespace

TEST(ProfileWiring, RequestSlotsFiveAndEightRunTheProfileTransactions) {
    ProgramRig rig(ProgramRig::settingsWith("AutoUSB", "1"));
    rig.start();
    ASSERT_TRUE(rig.runTicks(1));
    ASSERT_TRUE(rig.state.MachineOnline);

    rig.state.Transfer.ProfileNumber = 2;
    rig.state.RequestFlags[core::SlotProfileRead] = true;
    ASSERT_TRUE(served(rig, core::SlotProfileRead));
    EXPECT_TRUE(rig.state.Transfer.ReadDone);
    EXPECT_EQ(rig.state.Transfer.Name, QByteArray("NORTH BRIDGE"));

    rig.state.Transfer.Name = "REWRITTEN   ";
    rig.state.RequestFlags[core::SlotProfileWrite] = true;
    ASSERT_TRUE(served(rig, core::SlotProfileWrite));
    EXPECT_TRUE(rig.state.Transfer.WriteDone);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(rig.station.profile(2).data()), 12),
              QByteArray("REWRITTEN   "));
    // Only the connection's word that the station's safety set point replaced the file's.
    EXPECT_EQ(rig.state.Diagnostics.lines(), QStringList{"Safety set point from the station: 270 C"});
    for (const auto& v : rig.station.violations()) ADD_FAILURE() << toString(v.kind) << ": " << v.detail;
}

TEST(ProfileWiring, ABadSlotNumberShowsInTheMainWindowsFirstPanel) {
    ProgramRig rig(ProgramRig::settingsWith("AutoUSB", "1"));
    rig.start();
    ASSERT_TRUE(rig.runTicks(1));
    const std::uint64_t frames = rig.station.frameCount();

    rig.state.Transfer.ProfileNumber = 4;
    rig.state.RequestFlags[core::SlotProfileWrite] = true;
    ASSERT_TRUE(served(rig, core::SlotProfileWrite));
    EXPECT_EQ(rig.form->StatusBar1[0]->text(), "KR-9300 Status: Profile No. SAVE ERROR !!!");
    testsupport::saveShot(*rig.form, "main-profile-save-error.png");
    EXPECT_EQ(rig.station.frameCount(), frames + 1);  // only that tick's status poll

    rig.state.Transfer.ProfileNumber = 0;
    rig.state.RequestFlags[core::SlotProfileRead] = true;
    ASSERT_TRUE(served(rig, core::SlotProfileRead));
    EXPECT_EQ(rig.form->StatusBar1[0]->text(), "KR-9300 Status: Profile No. READ ERROR !!!");
    EXPECT_EQ(rig.station.frameCount(), frames + 2);
}
