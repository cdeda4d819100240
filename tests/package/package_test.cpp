// The packages as a user gets them, on both builds: the .deb unpacked into a fresh root with
// dpkg -x, the zip unpacked into a fresh folder, and the program in it started on the test
// display. The platform files check what else each package holds.
#include "tests/package/package_test.h"

#include "settings/settings.h"
#include "tests/support/peer_line.h"
#include "tests/support/settings_store.h"

namespace {

// The program as installed, started as a desktop launcher may start it, with a file name and
// an option it does not know: it ignores both, shows its main window and ends with 0 when
// that is closed.
TEST_F(PackageTest, ProgramShowsItsMainWindowWhateverItsArguments)
{
    char port[128];
    ResetSettingsStore();
    ASSERT_TRUE(OpenPeerLine(port, sizeof port));
    PutSetting("Port", port);
    PutSetting("Directory", ProgramPath(NewHostFolder()).c_str());
    ASSERT_TRUE(StartProgramAt(UnpackedPackage().program, {"/home/z88/letter.txt", "--geometry=9x9"}));
    ProgramWindow main;
    bool shown = WaitForMainWindow(60000, &main);
    EXPECT_TRUE(shown) << "the main window never came up";
    if (shown) {
        EXPECT_EQ(main.frame.x, 32);
        EXPECT_EQ(main.frame.y, 32);
        EXPECT_TRUE(CloseMainWindow());
        EXPECT_EQ(WaitForProgramExit(30000), 0);
    }
    KillProgram();
    ClosePeerLine();
}

}  // namespace
