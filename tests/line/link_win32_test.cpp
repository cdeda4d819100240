// The Windows link's own ground, under Wine: the DCB as the port reports it, port names
// opened through the device namespace, and the line errors ClearCommError reports.
#include "link/comm_errors_win32.h"
#include "tests/line/link_test.h"
#include "tests/support/host_tool.h"
#include "tests/support/temp_folder.h"

#include <windows.h>

#include <stdlib.h>

using LinkWin32Test = LinkTest;

// The DCB of `port` as GetCommState gives it; false when it gives none.
static bool ReadDcb(HANDLE port, DCB* line)
{
    ZeroMemory(line, sizeof *line);
    line->DCBlength = sizeof *line;
    return GetCommState(port, line) != 0;
}

TEST_F(LinkWin32Test, OpenChangesOnlyTheNamedDcbFields)
{
    // The port as another program might have left it.
    HANDLE other = CreateFileA("\\\\.\\COM1", GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    DCB before;
    ASSERT_TRUE(ReadDcb(other, &before));
    before.BaudRate = 2400;
    before.StopBits = TWOSTOPBITS;
    before.fParity = TRUE;
    before.fOutX = FALSE;
    before.fInX = FALSE;
    before.XonChar = 0x01;
    before.XoffChar = 0x02;
    before.fOutxCtsFlow = TRUE;
    before.fRtsControl = RTS_CONTROL_HANDSHAKE;
    ASSERT_TRUE(SetCommState(other, &before));
    ASSERT_TRUE(ReadDcb(other, &before));  // what the port kept of it
    CloseHandle(other);

    ASSERT_NO_FATAL_FAILURE(Open("19200", "1"));
    DCB after;
    ASSERT_TRUE(ReadDcb(LinkHandle, &after));
    // What the port had stays; the named settings are as asked.
    EXPECT_EQ(after.XonChar, before.XonChar);
    EXPECT_EQ(after.XoffChar, before.XoffChar);
    EXPECT_EQ(after.fOutxCtsFlow, before.fOutxCtsFlow);
    EXPECT_EQ(after.fRtsControl, before.fRtsControl);
    EXPECT_EQ(after.Parity, before.Parity);
    EXPECT_EQ(after.BaudRate, 19200u);
    EXPECT_EQ(after.ByteSize, 8);
    EXPECT_EQ(after.StopBits, ONESTOPBIT);
    EXPECT_EQ(after.fParity, 0u);
    EXPECT_EQ(after.fOutX, 1u);
    EXPECT_EQ(after.fInX, 1u);
}

// "COM10" is no DOS device name: opened by its plain name it would be a file of that name in
// the current folder. The link opens it as "\\.\COM10". Here COM10 is made to lead to this
// test's line, and a decoy file named COM10 waits in the current folder.
TEST_F(LinkWin32Test, PortNameWithoutBackslashOpensInTheDeviceNamespace)
{
    const char* prefix = getenv("WINEPREFIX");
    const char* line = getenv("TARNWELL_LINE_DIR");
    if (!prefix || !*prefix || !line || !*line)
        GTEST_SKIP() << "needs Wine's prefix and the test line (tests/tools/wine-run)";
    const std::string device = std::string(prefix) + "/dosdevices/com10";
    ASSERT_EQ(RunHostTool({"ln", "-sfn", std::string(line) + "/com1", device}), 0);
    HANDLE decoy = CreateFileA("COM10", GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(decoy, INVALID_HANDLE_VALUE);
    CloseHandle(decoy);

    // The premise: by its plain name, "COM10" is the decoy, no port.
    HANDLE plain = CreateFileA("COM10", GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, NULL);
    DCB line10;
    bool plainIsPort = plain != INVALID_HANDLE_VALUE && ReadDcb(plain, &line10);
    if (plain != INVALID_HANDLE_VALUE)
        CloseHandle(plain);

    PutSetting("Port", "COM10");
    OpenLinkPort();
    bool opened = LinkHandle != LinkOpenFailed && LinkHandle != 0;
    bool isPort = opened && ReadDcb(LinkHandle, &line10);
    bool carries = false;
    if (isPort) {
        unsigned char byte = 'X';
        PeerSend(&byte, 1);
        carries = ReadByte() == 'X';
    }
    std::vector<std::string> lines = SettingsSectionLines();
    CloseLink();
    DeleteFileA("COM10");
    RunHostTool({"rm", "-f", device});

    EXPECT_FALSE(plainIsPort);
    EXPECT_TRUE(opened);
    EXPECT_TRUE(isPort);
    EXPECT_TRUE(carries);
    EXPECT_EQ(FakeUi.ConnectFailures(), 0);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "Port=COM10") << "the setting keeps the name as typed";
}

TEST_F(LinkWin32Test, PortNameWithBackslashIsOpenedAsTyped)
{
    PutSetting("Port", "\\\\.\\COM1");
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_NO_FATAL_FAILURE(Send('b'));
    EXPECT_EQ(ReadByte(), 'b');
    EXPECT_EQ(SettingsSectionLines()[0], "Port=\\\\.\\COM1");
}

// A path that names a file opens, but is no port: taken for one, it would be written the
// frames meant for the Z88. It fails as a missing port does.
TEST_F(LinkWin32Test, FileNamedAsThePortFailsToOpen)
{
    const std::string file = NewTestFolder() + "not-a-port";
    WriteWholeFile(file, "");
    ExpectOpenFails(file);
}

// The two columns of timeouts as the port holds them, also on a port opened afresh after
// the same mode was already in force on the old one.
TEST_F(LinkWin32Test, TimeoutsOfEachModeReachThePort)
{
    const struct {
        LinkTimeoutMode mode;
        DWORD readMultiplier;
    } modes[] = {{TransferMode, 1000}, {PollMode, 0}, {TransferMode, 1000}};
    for (int opening = 0; opening < 2; opening++) {
        ASSERT_NO_FATAL_FAILURE(Open());
        for (const auto& m : modes) {
            EXPECT_TRUE(SetLinkTimeouts(m.mode));
            COMMTIMEOUTS timeouts = {};
            ASSERT_TRUE(GetCommTimeouts(LinkHandle, &timeouts));
            EXPECT_EQ(timeouts.ReadIntervalTimeout, MAXDWORD) << "opening " << opening;
            EXPECT_EQ(timeouts.ReadTotalTimeoutMultiplier, m.readMultiplier) << "opening " << opening;
            EXPECT_EQ(timeouts.ReadTotalTimeoutConstant, 0u);
            // A run of any length is given 2000 ms.
            EXPECT_EQ(timeouts.WriteTotalTimeoutMultiplier, 0u) << "opening " << opening;
            EXPECT_EQ(timeouts.WriteTotalTimeoutConstant, 2000u);
        }
    }
}

// ClearCommError's error flags, which Wine never sets: each fails a reception with the kind
// of line error it stands for; a flag of no line error fails none.
TEST(CommErrors, EachLineErrorFlagNamesItsKind)
{
    const std::pair<unsigned long, const char*> cases[] = {
        {0, nullptr}, {CE_TXFULL, nullptr}, {CE_FRAME, "framing error"}, {CE_OVERRUN, "overrun"},
        {CE_RXOVER, "overrun"}, {CE_RXPARITY, "parity error"}, {CE_BREAK, "break"}};
    for (const auto& [flags, kind] : cases) {
        LineErrorCounts before = {1, 2, 3, 4}, after = before;
        AddCommErrors(flags, &after);
        EXPECT_STREQ(LineErrorKind(&before, &after), kind) << "flags " << flags;
    }
}
