// tarnwell-cli run as a user runs it, a child process with its output on a pipe or on a
// terminal, over a real line (a pty) with the test Z88 at the far end.
#include "tests/support/host_tool.h"
#include "tests/support/line_fixture.h"
#include "tests/support/process.h"
#include "tests/support/z88.h"
#include "tests/support/wait.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <termios.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

using Lines = std::vector<std::string>;

static const char MissingPort[] = "/dev/tarnwell-no-such-port";

// Starts tarnwell-cli with `arguments`, its standard output on a terminal of the test's
// (a new pty) or on a pipe, standard error on a pipe, standard input empty.
static void Start(ChildProcess* run, const Lines& arguments, bool onTerminal = false)
{
    ASSERT_TRUE(StartBuiltProgram(run, TARNWELL_CLI, arguments, onTerminal ? TerminalOutput : CollectOutput));
}

// Waits for the program to end: its exit status, or -1 when it had to be killed or a signal
// ended it.
static int Finish(ChildProcess* run, int timeoutMs = 20000)
{
    int status = WaitForChild(run, timeoutMs);
    if (status < 0)
        KillChild(run);
    return status >= 0 && status < 256 ? status : -1;
}

// Non-zero while a program holds `port` with its exclusive mark and has made it raw.
static int PortTaken(const char* port)
{
    int other = open(port, O_RDWR | O_NOCTTY | O_NONBLOCK);  // as root: the mark lets us in
    struct termios line = {};
    tcgetattr(other, &line);
    close(other);
    return TerminalMarkedExclusive(port) == 1 && !(line.c_lflag & ICANON);
}

// Waits until the program has opened its port and made it raw: bytes sent before that would
// meet a cooked line.
static bool WaitForPortTaken(const char* port)
{
    return WaitUntil([&] { return PortTaken(port) != 0; }, 10000, 10);
}

// Waits until a file stands at `path`: the '~' file of a reception stands from the start of
// its data.
static bool WaitForFile(const std::string& path)
{
    return WaitUntil([&] { return ReadWholeFile(path); }, 10000, 10);
}

class CliTest : public LineFixture {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(LineFixture::SetUp());
        PutSetting("Directory", folder.c_str());
    }

    void TearDown() override
    {
        Z88WaitSent();
        LineFixture::TearDown();
    }

    // A `receive` over a good copy of D.z88, once it has the port; the Z88 sends D, 600 bytes,
    // one every `gapMs`, and with `pullAfter` the cable is pulled after that many.
    void ReceiveDSlowly(ChildProcess* run, int gapMs, size_t pullAfter = 0)
    {
        WriteWholeFile(folder + "D.z88", "good copy");
        Start(run, {"receive"});
        ASSERT_TRUE(WaitForPortTaken(port));
        const Bytes frame = Z88Frame("D", Bytes(600, 'd'));
        Z88Pacing pacing;
        pacing.gapMs = gapMs;
        pacing.hangUpAfter = pullAfter > 0;
        Z88SendInBackground(Bytes(frame.begin(), pullAfter ? frame.begin() + pullAfter : frame.end()), pacing);
    }

    // Runs a send to its end: its exit status; in `frames` what the Z88 got, "name: data" for
    // each whole frame, the fault of one cut short.
    static int Send(ChildProcess* run, const Lines& arguments, Lines* frames)
    {
        Z88StartListening();
        Start(run, arguments);
        int status = Finish(run);
        for (const Z88Decoded& frame : Z88DecodeAll(Z88StopListening()))
            frames->push_back(frame.complete ? frame.name + ": " + std::string(frame.data.begin(), frame.data.end())
                                             : frame.fault);
        return status;
    }
};

// The settings of the command line are used for the run and never written: the file keeps
// its wrong port, rate and directory, and only the key no option gave ("Xon") is written
// back. Into a pipe, the output is the log line and the line of the file that came.
TEST_F(CliTest, ReceiveOnceWithOverridesStoresTheFileAndWritesNoSetting)
{
    ResetSettingsStore();
    PutSetting("Port", MissingPort);
    PutSetting("Rate", "9600");
    PutSetting("Directory", "/nonexistent/");
    PutSetting("Preserve", "1");
    const Lines before = SettingsSectionLines();
    WriteWholeFile(folder + "B.TXT", "old copy");

    // The folder by its name in the one above, current then, without its '/': the option
    // makes it full and adds the '/'.
    const std::filesystem::path kept = std::filesystem::current_path(), store = folder.substr(0, folder.size() - 1);
    std::filesystem::current_path(store.parent_path());
    ChildProcess run;
    Start(&run, {"--port", port, "--dir=" + store.filename().string(), "--no-preserve", "--rate", "19200", "receive",
                 "--once"});
    std::filesystem::current_path(kept);
    ASSERT_TRUE(WaitForPortTaken(port));
    // A name of 110 characters: whole in the lines, though the progress title cuts it.
    const std::string name = ":RAM.0/" + std::string(97, 'D') + "/B.TXT";
    Z88SendInBackground(Z88Frame(name, Text("new copy")));
    EXPECT_EQ(Finish(&run), 0);
    EXPECT_EQ(run.out, name + " - file changed.\n" + name + " - received.\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(Stored("B.TXT"), "new copy");
    EXPECT_EQ(Stored("_B.TXT"), "old copy");
    // The line keeps what the program set.
    int other = open(port, O_RDWR | O_NOCTTY | O_NONBLOCK);
    struct termios line = {};
    tcgetattr(other, &line);
    close(other);
    EXPECT_EQ(cfgetospeed(&line), (speed_t)B19200);
    EXPECT_EQ(line.c_iflag & (IXON | IXOFF), (tcflag_t)(IXON | IXOFF));

    Lines after = before;
    after.push_back("Xon=1");
    EXPECT_EQ(SettingsSectionLines(), after);
    EXPECT_FALSE(PortTaken(port)) << "the port is let go at the end";
}

// The store folder is checked before the wait, by the configuration dialog's rule and words:
// one that cannot be made (its path goes through a plain file) ends the run at once with 2,
// before the port is opened. A folder that passed but can no longer be used when the file
// comes fails the file, and says why: a plain file has taken the place of the folder above
// it, or the folder has lost its write bit. One that has lost its read bit takes the file,
// but cannot put its names on the disk, and says so. The program runs without root's
// power over file modes (the tests run as root), as a user's program does.
TEST_F(CliTest, StoreFolderIsCheckedBeforeTheWait)
{
    WriteWholeFile(folder + "plain", "a file, not a folder");
    ChildProcess wrong;
    Start(&wrong, {"--port", MissingPort, "--dir", folder + "plain/x", "receive"});
    EXPECT_EQ(Finish(&wrong, 5000), 2);
    EXPECT_EQ(wrong.err, "tarnwell-cli: Directory: the folder \"" + folder + "plain/x/\" cannot be made.\n");

    const std::string name = ":RAM.0/LETTER.TXT";
    const struct {
        mode_t mode;  // the store folder's once the port is taken; 0: a file in place of the one above
        int status;
        std::string err, out;
    } cases[] = {
        {0, 1, name + " - not received: the store folder cannot be made (Not a directory).\n", ""},
        {0500, 1, name + " - not received: the store folder cannot be written (Permission denied).\n", ""},
        {0300, 0, name + " - received, but the store folder's names could not be put on the disk (Permission denied).\n",
         name + " - received.\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.err);
        const std::string above = folder + "above" + std::to_string(c.mode), store = above + "/store";
        ChildProcess run;
        ASSERT_TRUE(StartChild(&run, "setpriv", {"--bounding-set=-dac_override,-dac_read_search", "sh", "-c",
                                                 "exec " + std::string(BuildEmulator()) + "\"$0\" \"$@\"", TARNWELL_CLI,
                                                 "--dir", store, "receive", "--once"}, CollectOutput));
        ASSERT_TRUE(WaitForPortTaken(port));
        if (c.mode) {
            chmod(store.c_str(), c.mode);
        } else {
            std::filesystem::remove_all(above);
            WriteWholeFile(above, "a file, not a folder");
        }
        Z88SendInBackground(Z88Frame(name, Text("Dear Sir,")));
        EXPECT_EQ(Finish(&run), c.status);
        EXPECT_EQ(run.err, c.err);
        EXPECT_EQ(run.out, c.out);
        chmod(store.c_str(), 0700);
    }
}

// A reader of the output that has gone (`tarnwell-cli receive | true`) does not end the
// program by SIGPIPE in the middle of a transfer: the file is stored whole, and the program
// then ends with 1 and says why.
TEST_F(CliTest, ReaderThatHasGoneEndsTheRunAfterTheTransfer)
{
    ChildProcess shell;
    const std::string command =
        std::string(BuildEmulator()) + "'" + TARNWELL_CLI + "' receive | true; echo ${PIPESTATUS[0]}";
    ASSERT_TRUE(StartChild(&shell, "bash", {"-c", command}, CollectOutput));
    ASSERT_TRUE(WaitForPortTaken(port));
    Z88SendInBackground(Z88Frame("PIPED", Text("stored all the same")));
    EXPECT_EQ(Finish(&shell), 0);
    EXPECT_EQ(shell.out, "1\n") << "141 is death by SIGPIPE";
    EXPECT_EQ(shell.err, "tarnwell-cli: standard output cannot be written; ending.\n");
    std::string stored;
    EXPECT_TRUE(ReadWholeFile(folder + "PIPED.z88", &stored));
    EXPECT_EQ(stored, "stored all the same");
}

// On a terminal the transfer has a progress line with the name, the bytes and the bytes per
// second, redrawn a few times a second rather than per byte, and finished before the next.
TEST_F(CliTest, ProgressLineOnlyOnATerminal)
{
    ChildProcess run;
    Start(&run, {"receive", "--once"}, true);
    ASSERT_TRUE(WaitForPortTaken(port));
    // The data comes slowly once the reception has begun, so that the line has to move.
    const Bytes frame = Z88Frame("C", Bytes(600, 'c'));
    Z88SendInBackground(Bytes(frame.begin(), frame.begin() + 5));
    ASSERT_TRUE(WaitForFile(folder + "~C.z88"));
    Z88Pacing pacing;
    pacing.gapMs = 2;
    Z88SendInBackground(Bytes(frame.begin() + 5, frame.end()), pacing);
    EXPECT_EQ(Finish(&run), 0);
    EXPECT_EQ(Stored("C.z88"), std::string(600, 'c'));
    const std::string& out = run.out;
    EXPECT_NE(out.find("\rNow Receiving file \"C\": 0 bytes\033[K"), std::string::npos) << out;
    EXPECT_NE(out.find("\rNow Receiving file \"C\": 600 bytes, "), std::string::npos) << out;
    EXPECT_NE(out.find(" bytes/s\033[K\r\nC - received.\r\n"), std::string::npos) << out;
    size_t draws = 0;
    for (size_t at = 0; (at = out.find("\rNow Receiving", at)) != std::string::npos; at++)
        draws++;
    EXPECT_GE(draws, 3u) << out;
    EXPECT_LE(draws, 30u) << out;
}

TEST_F(CliTest, SendTwoFilesInOrder)
{
    WriteWholeFile(folder + "one.txt", "first\n");
    WriteWholeFile(folder + "TWO.BIN", std::string("\x00\x1b\xff", 3));
    ChildProcess run;
    Lines frames;
    EXPECT_EQ(Send(&run, {"send", folder + "one.txt", folder + "TWO.BIN"}, &frames), 0);
    EXPECT_EQ(frames, (Lines{"one.txt: first\n", std::string("two.bin: \x00\x1B\xFF", 12)}));
    EXPECT_EQ(run.out, folder + "one.txt - sent.\n" + folder + "TWO.BIN - sent.\n");
    EXPECT_EQ(run.err, "");
}

// A file that is not there ends the batch: the one before it went, the ones after are not
// tried, and the status and standard error say so. In a folder, as in the window program, a
// file that cannot be sent (the "Icon\r" some systems leave) is passed over with its line,
// and the rest goes; the status still says that not all went.
TEST_F(CliTest, SendStopsAtAMissingFileAndAFolderPassesOverWhatItCannotSend)
{
    WriteWholeFile(folder + "a.txt", "a");
    WriteWholeFile(folder + "c.txt", "c");
    ChildProcess run;
    Lines frames;
    EXPECT_EQ(Send(&run, {"send", folder + "a.txt", folder + "missing.txt", folder + "c.txt"}, &frames), 1);
    EXPECT_EQ(frames, Lines{"a.txt: a"});
    EXPECT_EQ(run.out, folder + "a.txt - sent.\n");
    EXPECT_EQ(run.err, folder + "missing.txt - not sent: the file cannot be found (No such file or directory).\n"
                            "tarnwell-cli: 1 more file not tried.\n");

    const std::string box = folder + "box/";
    ASSERT_TRUE(MakeTestFolder(box));
    for (const char* name : {"A.TXT", "Icon\r", "Z.TXT"})
        WriteWholeFile(box + name, name);
    ChildProcess folderRun;
    Lines folderFrames;
    EXPECT_EQ(Send(&folderRun, {"send", box}, &folderFrames), 1);
    EXPECT_EQ(folderFrames, (Lines{"a.txt: A.TXT", "z.txt: Z.TXT"}));
    EXPECT_EQ(folderRun.out, box + "A.TXT - sent.\n" + box + "Z.TXT - sent.\n");
    EXPECT_EQ(folderRun.err, box + "Icon\r - not sent: its name holds a control character, which the Z88 cannot take.\n");
}

// Ctrl-C in the middle of a reception stops it as Esc does: the stored copy stays as it
// was, what came is in the '~' file, no success; status 130.
TEST_F(CliTest, CtrlCMidReceptionKeepsTheGoodCopy)
{
    ChildProcess run;
    ASSERT_NO_FATAL_FAILURE(ReceiveDSlowly(&run, 3));
    // The data takes a second and more.
    ASSERT_TRUE(WaitForFile(folder + "~D.z88"));
    usleep(200000);
    kill(run.pid, SIGINT);
    EXPECT_EQ(Finish(&run), 130);
    EXPECT_EQ(Stored("D.z88"), "good copy");
    EXPECT_EQ(Stored("_D.z88"), "<none>");
    std::string kept = Stored("~D.z88");
    EXPECT_GT(kept.size(), 0u);
    EXPECT_LT(kept.size(), 600u);
    EXPECT_EQ(kept, std::string(kept.size(), 'd'));
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, "D - not received: stopped by the user.\ntarnwell-cli: stopped in the middle of a transfer.\n");
    EXPECT_FALSE(PortTaken(port));
}

// The cable pulled in the middle of a reception: the file fails and the good copy stays;
// standard error says once that the port went away and once that it is back, and the next
// file arrives without anyone touching the program.
TEST_F(CliTest, UnpluggedMidReceptionThePortComesBackByItself)
{
    // A byte every 10 ms, for longer than a tick, and the cable pulled after the 300th: the
    // program is reading the data when the port goes.
    ChildProcess run;
    ASSERT_NO_FATAL_FAILURE(ReceiveDSlowly(&run, 10, 300));
    ASSERT_TRUE(Z88WaitSent());
    usleep(3000000);  // a retry that finds nothing

    const std::string name = port;
    ASSERT_TRUE(OpenPeerLine(port, sizeof port));
    ASSERT_EQ(port, name);
    ASSERT_TRUE(WaitForPortTaken(port));
    Z88SendInBackground(Z88Frame("E", Text("back")));
    EXPECT_TRUE(WaitForFile(folder + "E.z88"));
    kill(run.pid, SIGINT);
    EXPECT_EQ(Finish(&run), 0);
    EXPECT_EQ(Stored("E.z88"), "back");
    EXPECT_EQ(Stored("D.z88"), "good copy");
    EXPECT_EQ(run.err, "D - not received: the serial port went away.\n"
                       "tarnwell-cli: the serial port has gone away; waiting for it to come back.\n"
                       "tarnwell-cli: the serial port is back.\n");
}

// Ctrl-C while nothing moves ends the run at once with 0, the port let go; a port that does
// not open, one the window program holds, and a wrong command line end with their own status
// and say why.
TEST_F(CliTest, CtrlCWhileIdleAndFailuresBeforeAnyTransfer)
{
    // The window program's socket for this display, where a running one listens (in a
    // runtime folder of the user's alone: another is passed over).
    chmod(folder.c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", folder.c_str(), 1);
    setenv("DISPLAY", ":97", 1);
    const std::string socketPath = folder + "tarnwell-:97.socket";

    ChildProcess idle;
    Start(&idle, {"receive"});
    ASSERT_TRUE(WaitForPortTaken(port));
    kill(idle.pid, SIGINT);
    EXPECT_EQ(Finish(&idle, 3000), 0);
    EXPECT_FALSE(PortTaken(port));
    EXPECT_EQ(idle.err, "");

    ChildProcess missing;
    Start(&missing, {"--port", MissingPort, "receive"});
    EXPECT_EQ(Finish(&missing), 3);
    const std::string said = std::string("tarnwell-cli: Can't connect to Serial Port\n") + MissingPort;
    EXPECT_EQ(missing.err.rfind(said + ": no such device.\n", 0), 0u) << missing.err;
    EXPECT_EQ(missing.err.find("by Tarnwell"), std::string::npos) << "no window program runs";

    // A receive holds the port, and the test listens where the window program would.
    ChildProcess holder, held;
    Start(&holder, {"receive"});
    ASSERT_TRUE(WaitForPortTaken(port));
    int listener = socket(AF_UNIX, SOCK_STREAM, 0);
    struct sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    ASSERT_LT(socketPath.size(), sizeof address.sun_path);
    memcpy(address.sun_path, socketPath.c_str(), socketPath.size());
    ASSERT_EQ(bind(listener, (struct sockaddr*)&address, sizeof address), 0);
    ASSERT_EQ(listen(listener, 4), 0);
    setenv("DISPLAY", ":98", 1);  // the window program of another display counts as well
    Start(&held, {"send", "/etc/hostname"});
    EXPECT_EQ(Finish(&held), 3);
    EXPECT_NE(held.err.find(std::string(port) + ": in use by another program.\n"
                            "tarnwell-cli: the port is in use by Tarnwell; `tarnwell FILE...` sends through it\n"),
              std::string::npos)
        << held.err;
    close(listener);
    unlink(socketPath.c_str());
    kill(holder.pid, SIGINT);
    EXPECT_EQ(Finish(&holder), 0);

    // A word, and a number no serial port is set to, as the configuration dialog refuses them,
    // with the rates the port does take, the Z88's first.
    for (const char* rate : {"fast", "12345"}) {
        ChildProcess wrong;
        Start(&wrong, {"receive", "--rate", rate});
        EXPECT_EQ(Finish(&wrong), 2);
        EXPECT_NE(wrong.err.find("the rate '" + std::string(rate) + "' is not one the serial port can be set to.\n"
                                 "It takes the Z88's rates, 75, 300, 600, 1200, 2400, 9600, 19200 and\n38400, and"),
                  std::string::npos)
            << wrong.err;
    }
}
