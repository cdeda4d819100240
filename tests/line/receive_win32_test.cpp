// Receive cases of Windows alone: names that Windows would not store as the file they name,
// and a current copy that another program holds open.
#include "tests/line/receive_fixture.h"

#include <windows.h>

#include <thread>

using ReceiveWin32 = ReceiveFixture;

// A device name would send the data to the device, and Windows drops a trailing dot or blank,
// so that "NOTES." would be stored over "NOTES". Such names fail before the disk is touched.
TEST_F(ReceiveWin32, NamesWindowsWouldChangeAreRefused)
{
    PutSetting("Preserve", "0");
    WriteWholeFile(folder + "NOTES", "kept");
    for (const char* name : {"NOTES.", "NOTES ", "NUL", "com1.txt", "A/NOTES.."}) {
        SCOPED_TRACE(name);
        ExpectRefused(name, 'n');  // the data is still on the line
    }
    EXPECT_EQ(Listing(folder), (std::vector<std::string>{"NOTES"}));
    EXPECT_EQ(Stored("NOTES"), "kept");
}

// A current copy open in another program, sharing reading and writing but not deletion as
// an editor opens it, cannot become the previous copy: the reception fails, once the rename
// has been tried for two seconds, and the store name, the previous copy and the new file
// stay as they were. The other program is this one started again, suspended, and given the
// handle. A new file held so for half a second only, as a virus scanner holds a file just
// written, takes its name once it is let go.
TEST_F(ReceiveWin32, CurrentCopyHeldOpenElsewhereKeepsAllThree)
{
    WriteWholeFile(folder + "HELD.z88", "current");
    WriteWholeFile(folder + "_HELD.z88", "previous");
    HANDLE file = CreateFileA((folder + "HELD.z88").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              NULL, OPEN_EXISTING, 0, NULL);
    char self[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(NULL, self, sizeof self), 0u);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION other = {};
    ASSERT_TRUE(CreateProcessA(self, NULL, NULL, NULL, FALSE, CREATE_SUSPENDED, NULL, NULL, &startup, &other));
    HANDLE held = NULL;
    EXPECT_TRUE(DuplicateHandle(GetCurrentProcess(), file, other.hProcess, &held, 0, FALSE,
                                DUPLICATE_SAME_ACCESS | DUPLICATE_CLOSE_SOURCE));

    EXPECT_EQ(Receive(Body(Z88Frame("HELD", Text("new")))), 0);
    TerminateProcess(other.hProcess, 0);
    WaitForSingleObject(other.hProcess, 10000);
    CloseHandle(other.hThread);
    CloseHandle(other.hProcess);
    EXPECT_EQ(FakeUi.events, (Events{Title("HELD"), "close"}));
    ASSERT_EQ(FakeUi.failures.size(), 1u);
    const std::string said = "HELD - not received: the current copy cannot be moved aside (";
    EXPECT_EQ(FakeUi.failures[0].substr(0, said.size()), said) << FakeUi.failures[0];
    EXPECT_EQ(Stored("HELD.z88"), "current");
    EXPECT_EQ(Stored("_HELD.z88"), "previous");
    EXPECT_EQ(Stored("~HELD.z88"), "new");

    static std::string incoming = folder + "~HELD.z88";
    static std::thread scanner;
    ResetFakeUi();
    FakeUi.onStep = [](int count) {  // the last byte: a scanner opens the file as it is closed
        HANDLE file = count == 5 ? CreateFileA(incoming.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                               NULL, OPEN_EXISTING, 0, NULL) : INVALID_HANDLE_VALUE;
        if (file != INVALID_HANDLE_VALUE)
            scanner = std::thread([file] { Sleep(500); CloseHandle(file); });
    };
    EXPECT_EQ(Receive(Body(Z88Frame("HELD", Text("newer")))), 1);
    ASSERT_TRUE(scanner.joinable());
    scanner.join();
    EXPECT_EQ(Stored("HELD.z88") + " " + Stored("_HELD.z88") + " " + Stored("~HELD.z88"), "newer current <none>");
}
