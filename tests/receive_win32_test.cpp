// Receive cases of Windows alone: names that Windows would not store as the file they name.
#include "tests/receive_fixture.h"

using Events = std::vector<std::string>;

class ReceiveWin32 : public ReceiveFixture {};

// A device name would send the data to the device, and Windows drops a trailing dot or blank,
// so that "NOTES." would be stored over "NOTES". Such names fail before the disk is touched.
TEST_F(ReceiveWin32, NamesWindowsWouldChangeAreRefused)
{
    PutSetting("Preserve", "0");
    WriteWholeFile(folder + "NOTES", "kept");
    for (const char* name : {"NOTES.", "NOTES ", "NUL", "com1.txt", "A/NOTES.."}) {
        SCOPED_TRACE(name);
        ResetFakeUi();
        EXPECT_EQ(Receive(Body(Z88Frame(name, Text("new")))), 0);
        EXPECT_EQ(FakeUi.events, (Events{Title(name), "close"}));
        EXPECT_EQ(NextLineByte(TransferMode), 'n') << "the data is still on the line";
        DrainLine();
    }
    EXPECT_EQ(Listing(folder), (std::vector<std::string>{"NOTES"}));
    EXPECT_EQ(Stored("NOTES"), "kept");
}
