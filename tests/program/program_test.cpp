// The whole program, end to end, on both builds: tarnwell (tarnwell.exe under Wine) started
// as a user starts it, with its settings prepared, and driven only from outside: the test Z88
// on the far end of the line, xdotool for clicks and keys, our drag source for drops, and
// screenshots of what a person would see.
#include "app/window/icon.h"
#include "link/serial_link.h"
#include "settings/profile.h"
#include "tests/support/link_probe.h"
#include "tests/support/fake_ui.h"
#include "tests/support/host_tool.h"
#include "tests/support/line_fixture.h"
#include "tests/support/program.h"
#include "tests/support/wait.h"
#include "tests/support/z88.h"

#include <gtest/gtest.h>

#include <string.h>
#ifdef _WIN32
#include <windows.h>
#else
#include "app/window/single_start_find_posix.h"

#include <limits.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <atomic>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using Lines = std::vector<std::string>;
const unsigned char Xoff = 0x13, Xon = 0x11;
const unsigned LightGray = 0xC0C0C0, White = 0xFFFFFF;
const char Log[] = "File Transfer Information";

// The pixels of an area, row by row.
std::vector<unsigned> PixelsOf(const Screenshot& shot, const ScreenArea& area)
{
    std::vector<unsigned> pixels;
    for (int y = area.y; y < area.y + area.height; y++)
        for (int x = area.x; x < area.x + area.width; x++)
            pixels.push_back(shot.Pixel(x, y));
    return pixels;
}

// Every pixel of the area, and there are some, has this colour.
bool AllOf(const Screenshot& shot, const ScreenArea& area, unsigned colour)
{
    std::vector<unsigned> pixels = PixelsOf(shot, area);
    return !pixels.empty() && std::count(pixels.begin(), pixels.end(), colour) == (long)pixels.size();
}

// Light gray with black text on it: the client area saying the program's state.
bool SaysItsState(const Screenshot& shot, const ScreenArea& client)
{
    std::vector<unsigned> pixels = PixelsOf(shot, client);
    return !pixels.empty() && pixels.back() == LightGray &&
           std::count(pixels.begin(), pixels.end(), 0u) > 20;
}

// Waits for a file at `path` holding exactly `contents`, and for the display to show a window
// captioned `title`.
bool WaitForFile(const std::string& path, const std::string& contents, int timeoutMs = 15000)
{
    std::string found;
    return WaitUntil([&] { return ReadWholeFile(path, &found) && found == contents; }, timeoutMs, 100);
}

bool WaitForTitle(const std::string& title, int timeoutMs = 15000)
{
    return WaitUntil([&] { return DisplayShowsWindow(title); }, timeoutMs, 100);
}

class ProgramTest : public LineFixture {
protected:
    static void SetUpTestSuite() { PrepareDesktop(); }

    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(LineFixture::SetUp());
        ResetFakeUi();
        files = NewHostFolder();
        PutSetting("Directory", folder.c_str());  // the store
        PutSetting("Preserve", "0");
    }

    void TearDown() override
    {
        KillProgram();
        Z88WaitSent();
        Z88StopListening(0);
        LineFixture::TearDown();
        StopWindowManager();
    }

    void Start()
    {
        ASSERT_TRUE(StartProgram());
        ASSERT_TRUE(WaitForMainWindow(60000, &main)) << "the main window never came up";
    }

    // A file the user can drop, in a folder the drag source reaches; its host path.
    std::string MakeFile(const std::string& name, const std::string& contents)
    {
        WriteWholeFile(ProgramPath(files + name), contents);
        return files + name;
    }

    int Drop(const Lines& paths) { return DropOn(main.client, paths); }

    // Screenshots until the window captioned `title` (the main window for null) shows `line`
    // on `paper`, the last in `shot`; false when it does not within `timeoutMs`. The line is
    // painted by the program's event loop, at a time of its own.
    static bool WaitUntilShown(const char* title, const std::string& line, unsigned paper, Screenshot* shot,
                               int timeoutMs = 30000)
    {
        return WaitUntil([&] { return TakeScreenshot(shot) && WindowShows(title, line.c_str(), paper, *shot); },
                         timeoutMs, 250);
    }

    // What the program sends to the Z88 while `action` runs, until the line has been quiet
    // for a while: "name: data" for each whole frame, the fault of one cut short.
    template <typename Action> Lines Heard(Action action, int quietMs = 3000)
    {
        Z88StartListening();
        action();
        Lines frames;
        for (const Z88Decoded& frame : Z88DecodeAll(Z88StopListening(quietMs)))
            frames.push_back(frame.complete ? frame.name + ": " + std::string(frame.data.begin(), frame.data.end())
                                            : frame.fault);
        return frames;
    }

    // The pointer to the middle of an area, with a click of the left button when asked. The
    // pointer gets there first: Wine takes a press that comes with the move as one on the
    // window the pointer left.
    static void Point(const ScreenArea& area, bool click = false)
    {
        ASSERT_EQ(PointAt(area), 0);
        Pause(200);
        if (click)
            Keys({"click", "1"});
    }

    // Keys for the window under the pointer: without a window manager the keyboard goes
    // where the pointer is.
    static void Keys(const std::vector<std::string>& keys)
    {
        std::vector<std::string> command = {"xdotool"};
        command.insert(command.end(), keys.begin(), keys.end());
        ASSERT_EQ(RunHostTool(command), 0);
    }

    // Plugs the line in again, under the name the program knows, and sees the program take
    // it up by itself: the caption says "Tarnwell" again, the file `name` from the Z88
    // arrives, and no retry has shown the connect-failure message.
    void PlugInAndReceive(const std::string& name)
    {
        char again[128];
        ASSERT_TRUE(OpenPeerLine(again, sizeof again));
        ASSERT_STREQ(again, port);
        EXPECT_TRUE(WaitForTitle("Tarnwell"));
        Z88SendInBackground(Z88Frame(":RAM.0/" + name, Text("after the port came back\r\n")));
        EXPECT_TRUE(WaitForFile(folder + name, "after the port came back\r\n"));
        EXPECT_FALSE(WaitForOtherWindow("Tarnwell", 0)) << "a retry showed the connect message";
    }

    // Closes the main window with its close box and waits for the program's exit code. A
    // log window (a failure's line) stands over the close box on Windows: then by Alt+F4's
    // request.
    int CloseAndWait()
    {
        if (WaitForOtherWindow(Log, 0))
            EXPECT_TRUE(SendCloseRequest("Tarnwell"));
        else
            EXPECT_TRUE(CloseMainWindow()) << "no main window to close";
        return WaitForProgramExit(30000);
    }

    std::string files;  // files to drop, a host path
    ProgramWindow main;
};

// The window a user sees: at (32, 32), sized from the screen frame included, light gray, with
// our icon; closed with its close box, the program ends with 0 and leaves the port free.
TEST_F(ProgramTest, MainWindowShowsAndTheCloseBoxEndsTheProgram)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    Screenshot shot;
    EXPECT_TRUE(WaitUntilShown(nullptr, "Nothing transferred yet", LightGray, &shot));
    ASSERT_TRUE(TakeScreenshot(&shot, "main-window.png"));
    ASSERT_TRUE(FindMainWindow(&main));
    EXPECT_EQ(main.frame.x, 32);
    EXPECT_EQ(main.frame.y, 32);
    EXPECT_EQ(main.frame.width, shot.width / 8 + 20);
    EXPECT_EQ(main.frame.height, shot.height / 14 + 20);
    EXPECT_TRUE(SaysItsState(shot, main.client)) << "the client area says nothing";
    EXPECT_GT(main.client.width * main.client.height, 0);

    unsigned char shown[IconSide * IconSide * 4], drawn[IconSide * IconSide * 4];
    ASSERT_TRUE(DecodeIcon(IconFile, IconFileSize, drawn));
    ASSERT_TRUE(ProgramIcon(shown));
    EXPECT_EQ(memcmp(shown, drawn, sizeof drawn), 0) << "the program shows another icon";

    EXPECT_EQ(CloseAndWait(), 0);
    EXPECT_FALSE(PortHeldExclusively(port)) << "the port is left marked as the program's";
    OpenLinkPort();
    EXPECT_NE(LinkHandle, LinkOpenFailed) << "the port cannot be opened after the program ended";
    EXPECT_TRUE(LinkWriteByte('k'));
    EXPECT_EQ(PeerReceiveByte(3000), 'k');
    CloseLink();
}

// Receptions: two frames sent back to back arrive as two files, and a name received again
// keeps the copy it replaces and says in the log that it changed. The main window's text
// says what came last.
TEST_F(ProgramTest, ReceivesBackToBackFramesAndKeepsThePreviousCopy)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    Screenshot before, after;
    EXPECT_TRUE(WaitUntilShown(nullptr, "Nothing transferred yet", LightGray, &before));
    Z88SendInBackground(Z88Frame(":RAM.0/LETTER.TXT", Text("Dear Sir,\r\n")) +
                        Z88Frame(":RAM.0/BUDGET.DAT", Bytes{0x00, 0x1B, 0xFF, 'x'}));
    EXPECT_TRUE(WaitForFile(folder + "LETTER.TXT", "Dear Sir,\r\n"));
    EXPECT_TRUE(WaitForFile(folder + "BUDGET.DAT", std::string("\x00\x1B\xFFx", 4)));
    ASSERT_TRUE(Z88WaitSent());
    // The window is narrow: the name is cut ("Received BUDG…, 10:42"), as far as the font allows.
    EXPECT_TRUE(WaitUntilShown(nullptr, "Received B", LightGray, &after)) << "not the last file's line";
    ASSERT_TRUE(TakeScreenshot(&after, "main-window-state.png"));
    EXPECT_TRUE(SaysItsState(after, main.client));
    EXPECT_NE(PixelsOf(before, main.client), PixelsOf(after, main.client))
        << "the main window's text did not change with a reception";

    Z88SendInBackground(Z88Frame(":RAM.0/LETTER.TXT", Text("Dear Madam,\r\n")));
    EXPECT_TRUE(WaitForFile(folder + "LETTER.TXT", "Dear Madam,\r\n"));
    EXPECT_TRUE(WaitForFile(folder + "_LETTER.TXT", "Dear Sir,\r\n"));
    ASSERT_TRUE(Z88WaitSent());

    ASSERT_TRUE(WaitForOtherWindow(Log, 10000));
    Screenshot shot;
    EXPECT_TRUE(WaitUntilShown(Log, ":RAM.0/LETTER.TXT - file changed.", White, &shot));
    ASSERT_TRUE(TakeScreenshot(&shot, "transfer-log.png"));
    EXPECT_FALSE(WindowShows(Log, ":RAM.0/LETTER.TXT - no change.", White, shot));
    // Closed with the log open (by Alt+F4's request: the log stands over the close box), the
    // main window ends the program, and the log goes with it.
    ASSERT_TRUE(SendCloseRequest("Tarnwell"));
    EXPECT_EQ(WaitForProgramExit(30000), 0);
}

// A reception into a store folder that cannot be written fails, and says why in the "File
// Transfer Information" window, which it opens; the main window says "Not received". No
// message box, and the program runs on. (The tests run as root, for whom no permission bits
// refuse a folder: the store folder's path goes through a plain file.)
TEST_F(ProgramTest, FailedReceptionSaysWhyInTheLog)
{
    const std::string sep = PathSeparator();
    WriteWholeFile(folder + "plain", "a file, not a folder");
    PutSetting("Directory", (folder + "plain" + sep + "store" + sep).c_str());
    ASSERT_NO_FATAL_FAILURE(Start());
    Z88SendInBackground(Z88Frame("A", Text("lost")));
    ASSERT_TRUE(WaitForOtherWindow(Log, 15000)) << "no word of the failure";
    Screenshot shot;
    // As far as the narrow list shows it.
    EXPECT_TRUE(WaitUntilShown(Log, "A - not received: the store folder cannot", White, &shot));
    ASSERT_TRUE(TakeScreenshot(&shot, "transfer-log-failure.png"));
    EXPECT_FALSE(WaitForOtherWindow("Tarnwell", 0));
    EXPECT_EQ(CloseAndWait(), 0);
}

// A drop sends its files in order and stops at the first that cannot be sent: here the
// second, which is missing; the first reaches the Z88 whole and nothing follows it.
TEST_F(ProgramTest, DropStopsAtTheFirstFileThatCannotBeSent)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    std::string first = MakeFile("first copy.txt", "one\r\n");
    std::string third = MakeFile("third.txt", "three\r\n");
    // Anything after the first frame would be one more entry.
    EXPECT_EQ(Heard([&] { EXPECT_EQ(Drop({first, files + "missing.txt", third}), 0); }),
              Lines{"first copy.txt: one\r\n"});
    EXPECT_EQ(CloseAndWait(), 0);
}

// tarnwell-cli (on Windows a console program) over the same line with the same settings: a
// file sent to the test Z88, then one received into the store with receive --once.
TEST_F(ProgramTest, TerminalProgramSendsAndReceivesOnce)
{
    std::string note = MakeFile("note.txt", "from the terminal\r\n");
    EXPECT_EQ(Heard([&] {
                  ASSERT_TRUE(StartProgramAt(TARNWELL_CLI, {"send", ProgramPath(note)}));
                  EXPECT_EQ(WaitForProgramExit(30000), 0);
              }),
              Lines{"note.txt: from the terminal\r\n"});

    ASSERT_TRUE(StartProgramAt(TARNWELL_CLI, {"receive", "--once"}));
    // Until it has the port (Windows gives no sign of that from outside: the full wait).
    WaitUntil([&] { return PortHeldExclusively(port) != 0; }, 5000, 100);
    Z88SendInBackground(Z88Frame(":RAM.0/REPLY.TXT", Text("to the store\r\n")));
    EXPECT_EQ(WaitForProgramExit(30000), 0);
    EXPECT_TRUE(WaitForFile(folder + "REPLY.TXT", "to the store\r\n", 1000));
}

// tarnwell-cli with these arguments (quoted as needed) to its end: its exit status, and all
// it wrote on standard output and error in `output`.
static int RunCli(const std::string& arguments, std::string* output)
{
    const std::string said = NewTestFolder() + "said.txt";
    std::string command = "\"" + ProgramPath(TARNWELL_CLI) + "\" " + arguments + " >\"" + said + "\" 2>&1";
#ifdef _WIN32
    int status = system(("\"" + command + "\"").c_str());  // cmd takes the outer quotes away
#else
    int status = system(command.c_str());
    status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    ReadWholeFile(said, output);
    return status;
}

// tarnwell-cli speaks its platform: its help has the platform's examples, says where the
// settings are and where to read more, in lines of at most 80 columns. While the window
// program runs with the port, tarnwell-cli sends nothing and ends with 3, saying why, also
// where the system lets a port be opened twice (Wine).
TEST_F(ProgramTest, TerminalProgramSpeaksItsPlatformAndLeavesTheWindowProgramsPortAlone)
{
    std::string help, said;
    EXPECT_EQ(RunCli("--help", &help), 0);
#ifdef _WIN32
    const Lines words = {"such as COM5", "--port COM5 receive", "--dir C:\\Users\\", "README.txt"},
                others = {"/dev/", "~/", "tarnwell-cli(1)"};
#else
    const Lines words = {"such as /dev/ttyUSB0", "--port /dev/ttyUSB0 receive", "--dir ~/", "tarnwell-cli(1)"},
                others = {"COM5", "C:\\", "README.txt"};
#endif
    std::istringstream lines(help);
    std::string flat;
    for (std::string line; std::getline(lines, line); flat += line + " ") {
        line.erase(line.find_last_not_of('\r') + 1);
        EXPECT_LE(line.size(), 80u) << line;
    }
    EXPECT_NE(flat.find("The settings are in " + ProfileLocation() + ". "), std::string::npos) << help;
    for (const std::string& word : words)
        EXPECT_NE(help.find(word), std::string::npos) << word << " in\n" << help;
    for (const std::string& word : others)
        EXPECT_EQ(help.find(word), std::string::npos) << word << " in\n" << help;

    ASSERT_NO_FATAL_FAILURE(Start());
    std::string note = MakeFile("held.txt", "held\r\n");
    EXPECT_EQ(Heard([&] { EXPECT_EQ(RunCli("send \"" + ProgramPath(note) + "\"", &said), 3); }), Lines{});
    EXPECT_NE(said.find("tarnwell-cli: the port is in use by Tarnwell; "), std::string::npos) << said;
    EXPECT_EQ(CloseAndWait(), 0);
}

// A path too long for the program's 128-byte texts is refused whole. Cut to its first 127
// characters it would name another file, which must not go to the Z88 in its place.
TEST_F(ProgramTest, DropOfAPathOver127CharactersSendsNothing)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    const size_t folderLength = ProgramPath(files).size();
    ASSERT_LT(folderLength, 100u) << "the test folder's path leaves no room for the names";
    std::string cut = MakeFile(std::string(127 - folderLength, 'c'), "the wrong file\r\n");
    std::string whole = MakeFile(std::string(127 - folderLength, 'c') + "-and-more", "right\r\n");
    ASSERT_EQ(ProgramPath(cut).size(), 127u);
    ASSERT_GT(ProgramPath(whole).size(), 127u);
    std::string later = MakeFile("later.txt", "not after a refusal\r\n");

    EXPECT_EQ(Heard([&] { EXPECT_EQ(Drop({whole, later}), 0); }), Lines{});

    // The refusal is said in the log, which opens over the main window: closed, so that the
    // next drop reaches the main window again.
    ASSERT_TRUE(WaitForOtherWindow(Log, 10000)) << "the refusal said nothing";
    ASSERT_TRUE(SendCloseRequest(Log));
    WaitForOtherWindowGone(Log, 10000);

    // The program took the drop and goes on taking drops.
    EXPECT_EQ(Heard([&] { EXPECT_EQ(Drop({later}), 0); }), Lines{"later.txt: not after a refusal\r\n"});
    EXPECT_EQ(CloseAndWait(), 0);
}

// A dropped folder sends the plain files directly inside it, in name order: no hidden file,
// nothing of a sub-folder. An empty folder sends nothing and stops nothing.
TEST_F(ProgramTest, DroppedFolderSendsItsFilesInNameOrder)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    for (const char* folder : {"folder", "folder/sub", "empty"})
        ASSERT_TRUE(MakeTestFolder(ProgramPath(files + folder)));
    for (const char* name : {"folder/b.txt", "folder/a.txt", "folder/c.txt", "folder/.hidden", "folder/sub/d.txt"})
        MakeFile(name, std::string(name) + "\r\n");
    std::string last = MakeFile("last.txt", "last\r\n");
    EXPECT_EQ(Heard([&] { EXPECT_EQ(Drop({files + "empty", files + "folder", last}), 0); }),
              (Lines{"a.txt: folder/a.txt\r\n", "b.txt: folder/b.txt\r\n", "c.txt: folder/c.txt\r\n",
                     "last.txt: last\r\n"}));
    EXPECT_EQ(CloseAndWait(), 0);
}

// `tarnwell FILE1 FILE2` while one runs: the new start hands the files over and ends with 0,
// and the running one sends both, in order. A file named that cannot be sent is named by the
// new start with its reason, in a message box (Linux: and on its standard error, which is no
// terminal here), and it ends 1; the others still go.
TEST_F(ProgramTest, FilesOnTheCommandLineGoThroughTheRunningProgram)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    std::string first = MakeFile("first.txt", "one\r\n");
    std::string second = MakeFile("second.txt", "two\r\n");
    std::string third = MakeFile("third.txt", "three\r\n");
    const std::string missing = ProgramPath(files + "missing.txt");
    std::string said;
    int boxes = -1;
    const Lines both = {ProgramPath(first), ProgramPath(second)};
    EXPECT_EQ(Heard([&] { EXPECT_EQ(RunSecondProgram(10000, both, nullptr, &boxes), 0); }),
              (Lines{"first.txt: one\r\n", "second.txt: two\r\n"}));
    EXPECT_EQ(boxes, 0);
    EXPECT_EQ(Heard([&] { EXPECT_EQ(RunSecondProgram(10000, {missing, ProgramPath(third)}, &said, &boxes), 1); }),
              Lines{"third.txt: three\r\n"});
    EXPECT_EQ(said.rfind(missing + " - not sent: the file cannot be found (", 0), 0u) << said;
    EXPECT_EQ(boxes, 1) << "not said where the user looks";
    EXPECT_FALSE(WaitForOtherWindow("Tarnwell", 0));
    EXPECT_EQ(CloseAndWait(), 0);
}

#ifdef _WIN32
// A running program that does not answer (a window of its class whose thread takes no
// messages, as during a transfer): `tarnwell.exe FILE` stops waiting after a minute, says in
// a message box that Tarnwell is busy and the file was not sent, and ends 1.
TEST_F(ProgramTest, HandOverToAProgramThatDoesNotAnswerEndsAfterAMinute)
{
    HANDLE made = CreateEventA(NULL, TRUE, FALSE, NULL), release = CreateEventA(NULL, TRUE, FALSE, NULL);
    std::thread hung([&] {
        WNDCLASSA kind = {};
        kind.lpfnWndProc = DefWindowProcA;
        kind.lpszClassName = "Z88_Server_Window_Class";
        RegisterClassA(&kind);
        HWND window = CreateWindowExA(0, kind.lpszClassName, "Tarnwell", 0, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
        SetEvent(made);
        WaitForSingleObject(release, INFINITE);
        DestroyWindow(window);
    });
    ASSERT_EQ(WaitForSingleObject(made, 10000), WAIT_OBJECT_0);
    std::string said;
    EXPECT_EQ(RunSecondProgram(90000, {ProgramPath(MakeFile("held.txt", "held"))}, &said), 1);
    EXPECT_EQ(said, "Tarnwell is busy and did not take the files within 60 seconds: they were not sent.");
    SetEvent(release);
    hung.join();
}
#else
// A start that writes its request a byte a second holds up neither the window nor its poll
// tick: a file the Z88 sends meanwhile arrives while that start is still writing.
TEST_F(ProgramTest, SlowStartDoesNotHoldUpThePoll)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    struct sockaddr_un address;
    std::string why;
    ASSERT_TRUE(ProgramSocketAddress(&address, false, &why)) << why;
    int start = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(connect(start, (struct sockaddr*)&address, sizeof address), 0) << address.sun_path;
    std::atomic<bool> writing{true};
    std::thread slowly([&] {
        for (char byte : std::string("raise\nraise\n"))
            send(start, &byte, 1, MSG_NOSIGNAL), Pause(1000);
        writing = false;
    });
    Z88SendInBackground(Z88Frame(":RAM.0/POLLED.TXT", Text("while a start dawdles")));
    EXPECT_TRUE(WaitForFile(folder + "POLLED.TXT", "while a start dawdles"));
    EXPECT_TRUE(writing) << "the file came only once the slow start had written its last byte";
    slowly.join();
    close(start);
    EXPECT_EQ(CloseAndWait(), 0);
}
#endif

// A right click opens the menu (a window of the program without a caption) where the pointer
// is, and so do Shift+F10 and the menu key; "Send Files..." opens the file chooser, whose
// file goes to the Z88. The left click still opens the configuration dialog.
TEST_F(ProgramTest, RightClickMenuOpensAndSendsTheChosenFile)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    std::string chosen = MakeFile("chosen.txt", "chosen\r\n");
    ProgramWindow menu;
    Screenshot shot;
    ASSERT_NO_FATAL_FAILURE(Point(main.client));
    for (const char* key : {"", "shift+F10", "Menu"}) {
        ASSERT_NO_FATAL_FAILURE(Keys({*key ? "key" : "click", *key ? key : "3"}));
        ASSERT_TRUE(WaitForOtherWindow("", 10000, &menu)) << "no menu for " << key;
        EXPECT_TRUE(menu.frame.x >= main.client.x && menu.frame.y >= main.client.y) << key;
        if (!*key)
            TakeScreenshot(&shot, "menu.png");
        ASSERT_NO_FATAL_FAILURE(Keys({"key", "Escape"}));
        ASSERT_TRUE(WaitForOtherWindowGone("", 10000)) << "Escape left the menu open, for " << key;
    }
    ASSERT_NO_FATAL_FAILURE(Keys({"click", "3"}));
    ASSERT_TRUE(WaitForOtherWindow("", 10000));
    ASSERT_NO_FATAL_FAILURE(Keys({"key", "--delay", "200", "Down", "Return"}));
    ASSERT_TRUE(WaitForOtherWindow("Send Files", 15000)) << "no file chooser";
    Pause(1500);
    TakeScreenshot(&shot, "file-chooser.png");
#ifdef _WIN32
    // The chooser opens in the user's Documents ("Look in", control 0x471), then in the
    // folder of the files chosen last.
    auto lookingIn = [] {
        char folder[MAX_PATH] = "";
        GetDlgItemTextA(FindWindowA(NULL, "Send Files"), 0x471, folder, sizeof folder);
        return std::string(folder);
    };
    EXPECT_EQ(lookingIn(), "Documents");
#endif
    EXPECT_EQ(Heard([&] {
#ifndef _WIN32
                  // GTK's chooser: a '/' opens a field for the path, which takes more once it
                  // has shown the folder "/".
                  ASSERT_NO_FATAL_FAILURE(Keys({"type", "/"}));
                  Pause(1000);
#endif
                  ASSERT_NO_FATAL_FAILURE(Keys({"type", "--delay", "20", ProgramPath(chosen)}));
                  ASSERT_NO_FATAL_FAILURE(Keys({"key", "--delay", "500", "Return"}));
              }),
              Lines{"chosen.txt: chosen\r\n"});
#ifdef _WIN32
    ASSERT_NO_FATAL_FAILURE(Point(main.client));
    ASSERT_NO_FATAL_FAILURE(Keys({"click", "3"}));
    ASSERT_TRUE(WaitForOtherWindow("", 10000));
    ASSERT_NO_FATAL_FAILURE(Keys({"key", "--delay", "200", "Down", "Return"}));
    const std::string chosenIn = files.substr(0, files.size() - 1);
    EXPECT_TRUE(WaitUntil([&] { return lookingIn() == chosenIn.substr(chosenIn.rfind('/') + 1); }, 15000, 100)) << lookingIn();
    ASSERT_NO_FATAL_FAILURE(Keys({"key", "Escape"}));
    ASSERT_TRUE(WaitForOtherWindowGone("Send Files", 10000));
#endif
    ASSERT_NO_FATAL_FAILURE(Point(main.client, true));
    EXPECT_TRUE(WaitForOtherWindow("Tarnwell Configuration", 15000));
}

// Where the program says it starts at sign-in, "" for nowhere: the Run value on Windows (in
// this prefix), the autostart entry's Exec line on Linux. `remove` removes it first, as the
// system's own settings do.
std::string StartAtSignIn(bool remove = false)
{
#ifdef _WIN32
    const char run[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    char value[1024] = "";
    DWORD size = sizeof value;
    if (remove)
        RegDeleteKeyValueA(HKEY_CURRENT_USER, run, "Tarnwell");
    return RegGetValueA(HKEY_CURRENT_USER, run, "Tarnwell", RRF_RT_REG_SZ, NULL, value, &size) ? "" : value;
#else
    std::string entry, path = std::string(getenv("XDG_CONFIG_HOME")) + "/autostart/tarnwell.desktop";
    if (remove)
        unlink(path.c_str());
    size_t exec = ReadWholeFile(path, &entry) ? entry.find("\nExec=") + 6 : 0;
    return exec ? entry.substr(exec, entry.find('\n', exec) - exec) : "";
#endif
}

// The menu's fourth item, "Start with Windows" ("Start at Login" on Linux), turns the start at
// sign-in on and off, for this program's own path, and the menu shows which with a check mark,
// read afresh each time it opens; the last, "Exit", ends the program as the close box does.
TEST_F(ProgramTest, MenuTurnsStartAtSignInOnAndOffAndExits)
{
#ifdef _WIN32
    const std::string me = "\"" + ProgramPath(TARNWELL_PROGRAM) + "\"";
#else
    char real[PATH_MAX];
    const std::string me = realpath(TARNWELL_PROGRAM, real) ? real : "?";
#endif
    ASSERT_EQ(StartAtSignIn(true), "");
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(Point(main.client));
    // Item `item` chosen with the keys, then the start at sign-in seen as `then`; for item 0
    // a picture of the menu taken (`keepAs` keeps it) and nothing chosen.
    auto menu = [&](int item, const std::string& then, std::vector<unsigned>* picture, const char* keepAs) {
        ProgramWindow shown;
        Screenshot shot;
        std::vector<std::string> keys = {"key", "--delay", "200"};
        keys.insert(keys.end(), item, "Down");
        keys.push_back(item ? "Return" : "Escape");
        ASSERT_NO_FATAL_FAILURE(Keys({"click", "3"}));
        ASSERT_TRUE(WaitForOtherWindow("", 10000, &shown));
        Pause(500);
        if (picture && TakeScreenshot(&shot, keepAs))
            *picture = PixelsOf(shot, shown.frame);
        ASSERT_NO_FATAL_FAILURE(Keys(keys));
        ASSERT_TRUE(WaitForOtherWindowGone("", 10000));
        EXPECT_TRUE(WaitUntil([&] { return StartAtSignIn() == then; }, 10000, 100)) << item << StartAtSignIn();
    };
    std::vector<unsigned> on, off;
    menu(4, me, nullptr, nullptr);
    menu(0, me, &on, "menu-start-at-sign-in.png");
    StartAtSignIn(true);
    menu(0, "", &off, nullptr);
    EXPECT_FALSE(on.empty() || on == off) << "the menu looks the same with the start at sign-in on and off";
    menu(4, me, nullptr, nullptr);
    menu(4, "", nullptr, nullptr);
    menu(6, "", nullptr, nullptr);
    EXPECT_EQ(WaitForProgramExit(30000), 0) << "Exit did not end the program";
}

// A file that starts to arrive while the menu is open waits for the menu: Escape closes it at
// once, another client can take the keyboard and the pointer while the file comes (asked on
// Linux), and the file arrives whole, Escape pressed and let go at once or held on after the
// menu has gone (the link takes a held Esc for a stop).
TEST_F(ProgramTest, FileArrivingUnderTheMenuWaitsAndNeverHoldsTheDesktop)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(Point(main.client));
    Z88Pacing slowly;  // about 8 s on the line
    slowly.gapMs = 100;
    for (const char* press : {"key", "keydown"}) {
        const std::string name = press == std::string("key") ? "PRESSED.TXT" : "HELD.TXT";
        const Bytes data = Text(std::string(60, 'm'));
        ASSERT_NO_FATAL_FAILURE(Keys({"click", "3"}));
        ASSERT_TRUE(WaitForOtherWindow("", 10000)) << "no menu";
        Z88SendInBackground(Z88Frame(":RAM.0/" + name, data), slowly);
        Pause(1500);  // a tick or two while the menu is open
        ASSERT_NO_FATAL_FAILURE(Keys({press, "Escape"}));
        EXPECT_TRUE(WaitForOtherWindowGone("", 2000)) << "Escape left the menu open: " << press;
        Pause(1500);  // a tick with Escape held (keydown)
        ASSERT_NO_FATAL_FAILURE(Keys({"keyup", "Escape"}));
        const std::string receiving = "Now Receiving file \":RAM.0/" + name + "\"";
        EXPECT_TRUE(WaitForOtherWindow(receiving.c_str(), 5000)) << press;
#ifndef _WIN32
        EXPECT_TRUE(DesktopFree()) << "the desktop is held while the file comes: " << press;
#endif
        EXPECT_TRUE(WaitForFile(folder + name, std::string(data.begin(), data.end()))) << press;
        ASSERT_TRUE(Z88WaitSent());
    }
    EXPECT_EQ(CloseAndWait(), 0);
}

// The progress window is on the screen, painted and captioned, from the start of a transfer,
// before 64 bytes have moved (no bar is drawn then): seen in screenshots while the Z88 sends
// slowly, and while it holds the line with XOFF.
TEST_F(ProgramTest, ProgressWindowIsOnTheScreenFromTheStartOfATransfer)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    const std::string name = ":RAM.0/SLOW.TXT";
    // Slowly, a byte every 100 ms, and after the name a pause of 800 ms, which is within
    // the second a read may wait: the screenshot is taken then, before any data has come.
    Z88Pacing slowly;
    slowly.gapMs = 100;
    slowly.pauseBefore = 2 + name.size() + 2;
    slowly.pauseMs = 800;
    Z88SendInBackground(Z88Frame(name, Text(std::string(40, 's'))), slowly);
    const std::string receiving = "Now Receiving file \"" + name + "\"";
    ProgramWindow progress;
    ASSERT_TRUE(WaitForOtherWindow(receiving.c_str(), 10000, &progress));
    Screenshot shot;
    ASSERT_TRUE(TakeScreenshot(&shot, "progress-receiving.png"));
    EXPECT_TRUE(DisplayShowsWindow(receiving)) << "the display has no window so captioned";
    EXPECT_TRUE(AllOf(shot, progress.client, DialogBackground()))
        << "the progress window is not painted on the screen";
    ASSERT_TRUE(Z88WaitSent());
    EXPECT_TRUE(WaitForFile(folder + "SLOW.TXT", std::string(40, 's')));

    // The send waits at its first byte on the Z88's XOFF, which holds the line for up to
    // the two seconds a write is given; the Z88 lets go once the screenshot is taken.
    const std::string path = MakeFile("held.txt", "held back by XOFF\r\n");
    ASSERT_TRUE(PeerSend(&Xoff, 1));
    Pause(300);  // across the line (socat under Wine)
    Z88StartListening();
    // Linux: the drag source waits until the drop's handler, and so the send, is done.
    int dropped = -1;
    std::thread drop([&] { dropped = Drop({path}); });
    const std::string sending = "Now sending file \"" + ProgramPath(path) + "\"";
    bool shown = WaitForOtherWindow(sending.c_str(), 10000, &progress);
    bool onDisplay = shown && DisplayShowsWindow(sending);
    bool taken = shown && TakeScreenshot(&shot, "progress-sending.png");
    PeerSend(&Xon, 1);
    drop.join();
    Bytes line = Z88StopListening();
    ASSERT_TRUE(shown) << "no progress window for the send";
    ASSERT_TRUE(taken);
    EXPECT_TRUE(onDisplay) << "the display has no window so captioned";
    EXPECT_TRUE(AllOf(shot, progress.client, DialogBackground()))
        << "the progress window is not painted on the screen";
    EXPECT_EQ(dropped, 0);
    Z88Decoded frame = Z88Decode(line);
    EXPECT_TRUE(frame.complete) << frame.fault;
    EXPECT_EQ(frame.data, Text("held back by XOFF\r\n"));
    EXPECT_EQ(CloseAndWait(), 0);
}

// A port that cannot be opened at start is reported before the main window shows; once the
// message is dismissed the window comes up and the program runs on without a port, its
// caption saying so, and its Folder line the store folder, too long for the window: its
// beginning and its last folder with "…" between. Plugged in later, the port is taken up
// without another message, and a file from the Z88 arrives.
TEST_F(ProgramTest, MissingPortIsReportedBeforeTheWindowShowsAndTakenUpWhenItComes)
{
    const std::string sep = PathSeparator();
    const std::string store = folder + std::string(40, 'z') + sep + "LINK" + sep;
    PutSetting("Directory", store.c_str());
    ClosePeerLine();
    ASSERT_TRUE(StartProgram());
    ProgramWindow box;
    ASSERT_TRUE(WaitForOtherWindow("Tarnwell", 60000, &box)) << "no connect-failure message";
    EXPECT_FALSE(FindMainWindow(&main)) << "the main window came up before the message";
    Screenshot shot;
    ASSERT_TRUE(TakeScreenshot(&shot, "connect-failure.png"));
    EXPECT_FALSE(FindMainWindow(&main));

    // Enter, as a user dismisses it, with the pointer over it for the keyboard. Under Wine a
    // key that comes before the box is the active window may reach no window: Enter again
    // while the box stays, for as long as a busy machine may need to take it.
    ASSERT_NO_FATAL_FAILURE(Point(box.client));
    EXPECT_TRUE(WaitUntil(
        [] {
            return !WaitForOtherWindow("Tarnwell", 0) ||
                   (RunHostTool({"xdotool", "key", "Return"}) == 0 && WaitForOtherWindowGone("Tarnwell", 3000));
        },
        60000, 0))
        << "Enter did not dismiss the message";
    ASSERT_TRUE(WaitForMainWindow(60000, &main)) << "no main window after the message";
    EXPECT_TRUE(WaitForTitle("Tarnwell - no port"));
    // One of "Folder: /…/LINK/", "Folder: /tmp/…/LINK/" and so on, as far as the width allows.
    auto folderLineShown = [&] {
        Screenshot shot;
        if (!TakeScreenshot(&shot))
            return false;
        for (size_t end = 1; end <= folder.size(); end++) {
            std::string line = "Folder: " + store.substr(0, end) + "\xE2\x80\xA6" + sep + "LINK" + sep;
            if (strchr("/\\", store[end - 1]) && WindowShows(nullptr, line.c_str(), LightGray, shot))
                return true;
        }
        return false;
    };
    EXPECT_TRUE(WaitUntil(folderLineShown, 30000, 500)) << "no Folder line, or one cut without a sign";
    Pause(4500);  // ticks and retries that find no port
    EXPECT_EQ(WaitForProgramExit(0), -1) << "the program ended";
    EXPECT_FALSE(WaitForOtherWindow("Tarnwell", 0)) << "a retry showed the message";

    PutSetting("Directory", folder.c_str());  // read again as the port opens
    ASSERT_NO_FATAL_FAILURE(PlugInAndReceive("LATE.TXT"));
    EXPECT_EQ(CloseAndWait(), 0);
}

// The cable pulled in the middle of a reception: the reception fails and the good copy
// stays; the caption says "Tarnwell - no port" until the cable is back, and then "Tarnwell";
// no message comes up; the next file from the Z88 arrives without anyone touching the
// program.
TEST_F(ProgramTest, UnpluggedMidReceptionThePortComesBackByItself)
{
    WriteWholeFile(folder + "CUT.TXT", "good copy");
    ASSERT_NO_FATAL_FAILURE(Start());
    EXPECT_TRUE(WaitForTitle("Tarnwell"));
    // A byte every 20 ms, for longer than a tick, and the cable pulled after the 200th: the
    // program is reading the data when the port goes.
    const Bytes frame = Z88Frame(":RAM.0/CUT.TXT", Text(std::string(400, 'c')));
    Z88Pacing pulled;
    pulled.gapMs = 20;
    pulled.hangUpAfter = true;
    Z88SendInBackground(Bytes(frame.begin(), frame.begin() + 200), pulled);
    EXPECT_TRUE(WaitForOtherWindow("Now Receiving file \":RAM.0/CUT.TXT\"", 10000));
    Z88WaitSent();
    EXPECT_TRUE(WaitForTitle("Tarnwell - no port"));
    Pause(3000);  // a retry or two that find nothing

    ASSERT_NO_FATAL_FAILURE(PlugInAndReceive("AFTER.TXT"));
    EXPECT_EQ(Stored("CUT.TXT"), "good copy");
    EXPECT_EQ(Stored("_CUT.TXT"), "<none>");
    const std::string cut = Stored("~CUT.TXT");
    EXPECT_NE(cut, "<none>") << "the reception never began";
    EXPECT_LT(cut.size(), 400u);
    EXPECT_EQ(CloseAndWait(), 0);
}

// Ten unplugs and plugs leave the program with the descriptors it had: each port that went
// away was closed.
TEST_F(ProgramTest, TenUnplugsLeakNoDescriptor)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    // Counted once the window's text has been drawn: the fonts' files are open while the
    // first drawing loads them (seen under the sanitizers, which make it slow).
    Pause(3000);
    const int before = ProgramOpenHandles();
    if (before < 0)
        GTEST_SKIP() << "the program's handles cannot be counted here";
    for (int unplug = 0; unplug < 10; unplug++) {
        ClosePeerLine();
        ASSERT_TRUE(WaitForTitle("Tarnwell - no port")) << "unplug " << unplug;
        ASSERT_TRUE(OpenPeerLine(port, sizeof port));
        ASSERT_TRUE(WaitForTitle("Tarnwell")) << "unplug " << unplug;
    }
    EXPECT_EQ(ProgramOpenHandles(), before);
    EXPECT_EQ(CloseAndWait(), 0);
}

// A click opens the configuration dialog. Ticks go on under it: a file arrives while it is
// open. "fast" as the rate and Enter: a message over the dialog, which stays open with the
// rate selected, and nothing stored. Then a rate and a new directory typed without its
// separator, and Enter: both stored, the directory with its separator; the next file lands
// there.
TEST_F(ProgramTest, ClickOpensTheDialogWhoseNewDirectoryTakesTheNextFile)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    ASSERT_NO_FATAL_FAILURE(Point(main.client, true));
    const char* title = "Tarnwell Configuration";
    ProgramWindow dialog;
    ASSERT_TRUE(WaitForOtherWindow(title, 10000, &dialog)) << "the click opened no dialog";

    Z88SendInBackground(Z88Frame(":RAM.0/DURING.TXT", Text("while the dialog is open\r\n")));
    EXPECT_TRUE(WaitForFile(folder + "DURING.TXT", "while the dialog is open\r\n"));
    ASSERT_TRUE(Z88WaitSent());
    Screenshot shot;
    ASSERT_TRUE(TakeScreenshot(&shot, "configuration-dialog.png"));

    const std::vector<std::string> stored = SettingsSectionLines();
    ASSERT_TRUE(WaitForOtherWindow(title, 0, &dialog));
    ASSERT_NO_FATAL_FAILURE(Point(dialog.client));
    ASSERT_NO_FATAL_FAILURE(Keys({"key", "--delay", "50", "Tab", "End", "shift+Home", "BackSpace"}));
    ASSERT_NO_FATAL_FAILURE(Keys({"type", "--delay", "5", "fast"}));
    ASSERT_NO_FATAL_FAILURE(Keys({"key", "Return"}));
    ProgramWindow box;
    ASSERT_TRUE(WaitForOtherWindow("Tarnwell", 10000, &box)) << "no word about the rate";
    ASSERT_TRUE(TakeScreenshot(&shot, "configuration-rate-refused.png"));
    EXPECT_EQ(SettingsSectionLines(), stored);
    ASSERT_NO_FATAL_FAILURE(Point(box.client));
    ASSERT_NO_FATAL_FAILURE(Keys({"key", "Return"}));
    WaitForOtherWindowGone("Tarnwell", 10000);
    ASSERT_TRUE(WaitForOtherWindow(title, 0, &dialog)) << "the refused rate ended the dialog";

    // The rate replaces the selected "fast"; the directory field is two stops on.
    std::string other = NewTestFolder();
    other.pop_back();
    ASSERT_NO_FATAL_FAILURE(Point(dialog.client));
    ASSERT_NO_FATAL_FAILURE(Keys({"type", "--delay", "5", "19200"}));
    ASSERT_NO_FATAL_FAILURE(Keys({"key", "--delay", "50", "Tab", "Tab", "End", "shift+Home", "BackSpace"}));
    ASSERT_NO_FATAL_FAILURE(Keys({"type", "--delay", "5", other}));
    ASSERT_NO_FATAL_FAILURE(Keys({"key", "Return"}));
    EXPECT_TRUE(WaitForOtherWindowGone(title, 10000)) << "Enter did not end the dialog";

    char text[TextSize];
    ReadSetting(SettingRate, text);
    EXPECT_STREQ(text, "19200");
    ReadSetting(SettingDirectory, text);
    EXPECT_EQ(text, other + PathSeparator());

    Z88SendInBackground(Z88Frame(":RAM.0/AFTER.TXT", Text("after OK\r\n")));
    EXPECT_TRUE(WaitForFile(other + PathSeparator() + "AFTER.TXT", "after OK\r\n"));
    EXPECT_EQ(Stored("AFTER.TXT"), "<none>");
    EXPECT_EQ(CloseAndWait(), 0);
}

// A second start brings the first one's main window to the front and ends with 0: no second
// window, no word of a port in use. On Linux without a window manager the main window then
// stands above the log window that covered it (on Windows an owned window stays above its
// owner, so there the log stays in front).
TEST_F(ProgramTest, SecondStartBringsTheFirstToTheFrontAndEnds)
{
    ASSERT_NO_FATAL_FAILURE(Start());
    Z88SendInBackground(Z88Frame(":RAM.0/A.TXT", Text("one")) + Z88Frame(":RAM.0/A.TXT", Text("two")));
    ASSERT_TRUE(WaitForOtherWindow(Log, 15000));
    Screenshot shot;
    ASSERT_TRUE(WaitUntil([&] { return TakeScreenshot(&shot) && !SaysItsState(shot, main.client); }, 15000, 250))
        << "the log does not cover the main window";

    EXPECT_EQ(RunSecondProgram(60000), 0);
#ifndef _WIN32
    EXPECT_TRUE(WaitUntilShown(nullptr, "Received A.TXT, ", LightGray, &shot)) << "the main window is not in front";
    EXPECT_TRUE(SaysItsState(shot, main.client)) << "the main window is not in front";
#else
    Pause(1000);  // nothing changes on the screen here: the log stays in front
#endif
    ASSERT_TRUE(TakeScreenshot(&shot, "second-start.png"));
    EXPECT_FALSE(WaitForOtherWindow("Tarnwell", 0));
    EXPECT_EQ(WaitForProgramExit(0), -1) << "the first program ended";
    EXPECT_EQ(CloseAndWait(), 0);
}

// Under a window manager the window's size still counts its frame and caption, as on
// Windows: the client area is made smaller by the frame it reports, and the frame's corner
// stands at (32, 32).
TEST_F(ProgramTest, UnderAWindowManagerTheFrameCountsInTheSize)
{
    int manager = StartWindowManager();
    if (manager < 0)
        GTEST_SKIP() << "the Windows build draws its own frames";
    ASSERT_EQ(manager, 1) << "openbox did not start";
    ASSERT_NO_FATAL_FAILURE(Start());
    Screenshot shot;
    ASSERT_TRUE(TakeScreenshot(&shot));
    const int width = shot.width / 8 + 20, height = shot.height / 14 + 20;
    auto framed = [&] { return main.frame.width == width && main.frame.height == height && main.frame.width != main.client.width; };
    WaitUntil([&] { return framed() || (FindMainWindow(&main) && framed()); }, 5000, 100);
    EXPECT_EQ(main.frame.x, 32);
    EXPECT_EQ(main.frame.y, 32);
    EXPECT_EQ(main.frame.width, width);
    EXPECT_EQ(main.frame.height, height);
    EXPECT_LT(main.client.height, main.frame.height) << "no caption";
    EXPECT_TRUE(WaitUntilShown(nullptr, "Nothing transferred yet", LightGray, &shot));
    ASSERT_TRUE(TakeScreenshot(&shot, "main-window-openbox.png"));
    EXPECT_TRUE(SaysItsState(shot, main.client));
    EXPECT_EQ(CloseAndWait(), 0);
}

// The configuration dialog at 96 dpi and at a higher DPI of the desktop: as much larger
// (within 5 %), and each label whole: the last word of "Serial Port :" and "Preserve Name :"
// stands on its line, not wrapped out of sight. The DPI goes back to 96 whatever happens.
TEST_F(ProgramTest, DialogGrowsWithTheDesktopsDpiAndKeepsItsLabelsWhole)
{
    struct Restore {
        ~Restore() { EXPECT_TRUE(SetDesktopDpi(96)); }
    } restore;
    const int dpis[2] = {96, HigherDpi};
    ScreenArea sizes[2];
    for (int i = 0; i < 2; i++) {
        ASSERT_TRUE(SetDesktopDpi(dpis[i]));
        ASSERT_NO_FATAL_FAILURE(Start());
        ASSERT_NO_FATAL_FAILURE(Point(main.client, true));
        ProgramWindow dialog;
        ASSERT_TRUE(WaitForOtherWindow("Tarnwell Configuration", 10000, &dialog));
        Screenshot shot;
        const ScreenArea& c = sizes[i] = dialog.client;
        // Each label's ink in its row (dialog units) reaches three quarters across its width,
        // short of the fields at 69: how far it reaches, and how far it should.
        static const int labels[2][3] = {{7, 10, 37}, {7, 73, 54}};  // left, top, width
        auto x = [&](int units) { return c.x + units * c.width / 243; };
        auto y = [&](int units) { return c.y + units * c.height / 87; };
        auto reach = [&](const int* label) {
            const unsigned background = shot.Pixel(c.x + 2, c.y + 2);
            int inkRight = 0;
            for (int py = y(label[1]); py < y(label[1] + 8); py++)
                for (int px = x(label[0]); px < x(69) - 2; px++)
                    if (shot.Pixel(px, py) != background && px > inkRight)
                        inkRight = px;
            return inkRight - x(label[0]);
        };
        auto wanted = [&](const int* label) { return (x(label[0] + label[2]) - x(label[0])) * 3 / 4; };
        // The labels are looked at once drawn, or after 15 s of screenshots.
        WaitUntil([&] { return TakeScreenshot(&shot) && reach(labels[0]) >= wanted(labels[0]) &&
                               reach(labels[1]) >= wanted(labels[1]); }, 15000, 250);
        std::string name = "configuration-dialog-" + std::to_string(dpis[i]) + "dpi.png";
        ASSERT_TRUE(TakeScreenshot(&shot, name.c_str()));
        for (const int* label : labels)
            EXPECT_GE(reach(label), wanted(label))
                << "label at " << label[0] << ", " << label[1] << " cut at " << dpis[i] << " dpi";
        KillProgram();
    }
    const double scale = HigherDpi / 96.0;
    EXPECT_NEAR(double(sizes[1].width) / sizes[0].width, scale, 0.05 * scale);
    EXPECT_NEAR(double(sizes[1].height) / sizes[0].height, scale, 0.05 * scale);
}

}  // namespace
