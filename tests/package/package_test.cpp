// The packages as a user gets them, on both builds: the .deb unpacked into a fresh root with
// dpkg -x, the zip unpacked into a fresh folder, and the program in it started on the test
// display. The platform files check what else each package holds.
#include "tests/package/package_test.h"

#include "settings/settings.h"
#include "tests/support/peer_line.h"
#include "tests/support/settings_store.h"
#include "tests/support/temp_folder.h"
#include "tests/support/wait.h"
#include "tests/support/z88.h"

#include <string>
#include <vector>

namespace {

// The program as installed, started as a desktop launcher's "Open With" starts it: with a
// file to send and (on Linux, where the other arguments name files) an option it does not
// know. It ignores the option, shows its main window, sends the file to the Z88, and ends
// with 0 when the window is closed.
TEST_F(PackageTest, ProgramShowsItsMainWindowWhateverItsArguments)
{
    char port[128];
    ResetSettingsStore();
    ASSERT_TRUE(OpenPeerLine(port, sizeof port));
    PutSetting("Port", port);
    const std::string files = NewHostFolder();
    PutSetting("Directory", ProgramPath(files).c_str());
    WriteWholeFile(files + "letter.txt", "Dear Sir,\r\n");
    std::vector<std::string> arguments = {ProgramPath(files + "letter.txt")};
#ifndef _WIN32
    arguments.insert(arguments.begin(), "--geometry=9x9");
#endif
    Z88StartListening();
    ASSERT_TRUE(StartProgramAt(UnpackedPackage().program, arguments));
    ProgramWindow main;
    bool shown = WaitForMainWindow(60000, &main);
    EXPECT_TRUE(shown) << "the main window never came up";
    WaitUntil([] { return Z88HeardSoFar() > 0; }, 30000, 100);
    std::vector<Z88Decoded> frames = Z88DecodeAll(Z88StopListening(3000));
    ASSERT_EQ(frames.size(), 1u) << "the file on the command line was not sent, or more was";
    EXPECT_TRUE(frames[0].complete) << frames[0].fault;
    EXPECT_EQ(frames[0].name, "letter.txt");
    EXPECT_EQ(std::string(frames[0].data.begin(), frames[0].data.end()), "Dear Sir,\r\n");
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
