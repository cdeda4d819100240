// The Linux link's own ground: termios as the port reports it, the exclusive open, the
// descriptor the port lives on, and the rules that decide what is applied.
#include "base/failure.h"
#include "link/line_settings_posix.h"
#include "link/port_list_posix.h"
#include "link/serial_port.h"
#include "tests/line/link_test.h"
#include "tests/support/host_tool.h"
#include "tests/support/temp_folder.h"

#include <fcntl.h>
#include <grp.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>

using LinkPosixTest = LinkTest;

// Sets `port` as another program might have left it, through a descriptor of the test's own;
// returns what the pty kept of it.
static struct termios LeavePortAs(const char* port, void (*change)(struct termios*))
{
    struct termios line = {};
    int other = open(port, O_RDWR | O_NOCTTY | O_NONBLOCK);
    EXPECT_GE(other, 0);
    tcgetattr(other, &line);
    change(&line);
    EXPECT_EQ(tcsetattr(other, TCSANOW, &line), 0);
    tcgetattr(other, &line);
    close(other);
    return line;
}

static const tcflag_t CookedLocal = ICANON | ECHO | ECHOE | ECHOK | ECHONL | ISIG | IEXTEN;
static const tcflag_t TranslatedInput = BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IUCLC;

static void OddlyConfigured(struct termios* line)
{
    cfsetspeed(line, B2400);
    line->c_cflag |= CRTSCTS | CLOCAL | CSTOPB | PARENB | PARODD;
    line->c_cflag &= ~HUPCL;
    line->c_iflag |= INPCK | IXANY | IMAXBEL | IUTF8 | ISTRIP | ICRNL | INLCR | PARMRK | BRKINT;
    line->c_iflag &= ~(IXON | IXOFF);
    line->c_oflag |= OPOST | ONLCR;
    line->c_lflag |= ICANON | ECHO | ECHOCTL | ISIG | IEXTEN;
    line->c_cc[VSTART] = 0x01;
    line->c_cc[VSTOP] = 0x02;
    line->c_cc[VINTR] = 0x05;
    line->c_cc[VMIN] = 0;
    line->c_cc[VTIME] = 5;
}

TEST_F(LinkPosixTest, OpenMakesThePortRawAndChangesOnlyTheNamedSettings)
{
    struct termios before = LeavePortAs(port, OddlyConfigured);
    ASSERT_NO_FATAL_FAILURE(Open("19200", "1"));
    struct termios after = {};
    ASSERT_EQ(tcgetattr(LinkHandle, &after), 0);

    // Raw, as a Windows port is.
    EXPECT_EQ(after.c_lflag & CookedLocal, 0u);
    EXPECT_EQ(after.c_iflag & TranslatedInput, 0u);
    EXPECT_EQ(after.c_oflag & OPOST, 0u);
    EXPECT_NE(after.c_cflag & CREAD, 0u);
    EXPECT_EQ(after.c_cc[VMIN], 1);
    EXPECT_EQ(after.c_cc[VTIME], 0);
    // The named settings.
    EXPECT_EQ(cfgetispeed(&after), (speed_t)B19200);
    EXPECT_EQ(cfgetospeed(&after), (speed_t)B19200);
    EXPECT_EQ(after.c_cflag & CSIZE, (tcflag_t)CS8);
    EXPECT_EQ(after.c_cflag & CSTOPB, 0u);
    EXPECT_EQ(after.c_iflag & INPCK, 0u);
    EXPECT_EQ(after.c_iflag & (IXON | IXOFF | IXANY), (tcflag_t)(IXON | IXOFF));
    // Everything else as the port had it.
    const tcflag_t ownControl = CRTSCTS | CLOCAL | HUPCL | PARENB | PARODD;
    EXPECT_EQ(after.c_cflag & ownControl, before.c_cflag & ownControl);
    EXPECT_EQ(after.c_iflag & (IMAXBEL | IUTF8), before.c_iflag & (IMAXBEL | IUTF8));
    EXPECT_EQ(after.c_oflag & ONLCR, before.c_oflag & ONLCR);
    EXPECT_EQ(after.c_lflag & ECHOCTL, before.c_lflag & ECHOCTL);
    EXPECT_EQ(after.c_cc[VSTART], 0x01);
    EXPECT_EQ(after.c_cc[VSTOP], 0x02);
    EXPECT_EQ(after.c_cc[VINTR], 0x05);
}

// Rates that termios has no speed for: the record (speed, stop bits, parity checking, flow
// control) stays as the port had it, raw mode all the same.
TEST_F(LinkPosixTest, RateTheLineCannotTakeLeavesTheWholeRecordUnapplied)
{
    for (const char* rate : {"abc", "0", "-9600", "1234", "99999999999", "9600000"}) {
        struct termios before = LeavePortAs(port, OddlyConfigured);
        ASSERT_NO_FATAL_FAILURE(Open(rate, "1"));
        struct termios after = {};
        ASSERT_EQ(tcgetattr(LinkHandle, &after), 0);
        EXPECT_EQ(cfgetospeed(&after), cfgetospeed(&before)) << "Rate=" << rate;
        EXPECT_EQ(after.c_cflag & CSTOPB, before.c_cflag & CSTOPB) << "Rate=" << rate;
        EXPECT_EQ(after.c_iflag & (INPCK | IXON | IXOFF | IXANY),
                  before.c_iflag & (INPCK | IXON | IXOFF | IXANY))
            << "Rate=" << rate;
        EXPECT_EQ(after.c_lflag & CookedLocal, 0u) << "Rate=" << rate;
        EXPECT_EQ(FakeUi.ConnectFailures(), 0);
        CloseLink();
    }
}

TEST_F(LinkPosixTest, PortIsExclusiveWhileOpenAndFreeAfterwards)
{
    // Opened before the link marks the port exclusive: as root the mark would not stop
    // this open, but a user's would fail.
    int other = open(port, O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(other, 0);
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_EQ(TerminalMarkedExclusive(port), 1);
    EXPECT_NE(flock(other, LOCK_EX | LOCK_NB), 0);

    // Moving to another port, even one that fails to open, lets this one go.
    PutSetting("Port", MissingPortName());
    OpenLinkPort();
    EXPECT_EQ(TerminalMarkedExclusive(port), 0);
    EXPECT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
    close(other);
}

TEST_F(LinkPosixTest, PortHeldElsewhereIsLeftAsItWas)
{
    ASSERT_TRUE(HoldPort(port));
    struct termios before = LeavePortAs(port, [](struct termios*) {});
    OpenLinkPort();
    EXPECT_EQ(LinkHandle, LinkOpenFailed);
    EXPECT_EQ(FakeUi.ConnectFailures(), 1);
    int other = open(port, O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(other, 0);
    struct termios after;
    tcgetattr(other, &after);
    close(other);
    int exclusive = TerminalMarkedExclusive(port);
    ReleasePort();
    EXPECT_EQ(exclusive, 0);
    EXPECT_EQ(after.c_lflag, before.c_lflag);
    EXPECT_EQ(after.c_iflag, before.c_iflag);
}

TEST_F(LinkPosixTest, NamesThatAreNoSerialPortFail)
{
    const std::string folder = NewTestFolder();
    const std::string file = folder + "not-a-port";
    WriteWholeFile(file, "");
    ASSERT_TRUE(ReadWholeFile(file));
    for (std::string name : {"", "/dev/null", file.c_str(), folder.c_str(), "/dev/tarnwell-no-such-port"})
        ExpectOpenFails(name);
}

// Opened while descriptor 0 is free, the port still lands above 2: 0 means "never opened",
// and stray output to stdout or stderr must never reach the Z88.
TEST_F(LinkPosixTest, PortNeverLandsOnAStandardDescriptor)
{
    int saved = dup(0);
    ASSERT_GE(saved, 0);
    close(0);
    OpenLinkPort();
    LinkPort handle = LinkHandle;
    dup2(saved, 0);
    close(saved);
    EXPECT_GT(handle, 2);
    ASSERT_NO_FATAL_FAILURE(Send('s'));
    EXPECT_EQ(ReadByte(), 's');
}

TEST_F(LinkPosixTest, LinkThatIsNotOpenLeavesStandardInputAlone)
{
    CloseLink();
    ASSERT_EQ(LinkHandle, 0);
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    ASSERT_EQ(write(pipeEnds[1], "x", 1), 1);
    fcntl(pipeEnds[0], F_SETFL, O_NONBLOCK);
    int saved = dup(0);
    dup2(pipeEnds[0], 0);

    SetLinkTimeouts(TransferMode);
    int value = 0;
    int read = LinkReadByte(&value);
    char left = 0;
    ssize_t stillThere = ::read(0, &left, 1);

    dup2(saved, 0);
    close(saved);
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    EXPECT_EQ(read, 0);
    EXPECT_EQ(stillThere, 1);
    EXPECT_EQ(left, 'x');
}

// What OpenLinkPort says of `name` when a user without root's rights runs it: it runs in a
// child process that, when the tests run as root, has become the user "nobody" first.
static std::string FailureSeenByAUser(const char* name)
{
    int ends[2];
    if (pipe(ends) != 0)
        return "<no pipe>";
    pid_t child = fork();
    if (child == 0) {
        close(ends[0]);
        const gid_t nobody = 65534;
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setgid(nobody) != 0 || setuid(nobody) != 0))
            _exit(2);
        // The override keeps the child away from the settings file, which is root's. The
        // parent's port is not this process's to close: OpenLinkPort would lift its mark.
        OverrideSetting(SettingPort, name);
        LinkHandle = 0;
        OpenLinkPort();
        const char* text = LinkHandle == LinkOpenFailed ? PortFailureText() : "<opened>";
        ssize_t written = write(ends[1], text, strlen(text));
        _exit(written < 0 ? 3 : 0);
    }
    close(ends[1]);
    std::string text;
    char chunk[256];
    ssize_t got;
    while ((got = read(ends[0], chunk, sizeof chunk)) > 0)
        text.append(chunk, (size_t)got);
    close(ends[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "<child failed " + std::to_string(status) + ">";
    return text;
}

// A port that does not open says why, under its name: missing (with the ports found now),
// no serial port at all, not set, in use by another program (locked, or marked exclusive by
// the Tarnwell that has it), and no permission (with the dialout hint).
TEST_F(LinkPosixTest, FailedOpenSaysWhyInPlainWords)
{
    PutSetting("Port", MissingPortName());
    OpenLinkPort();
    std::string missing = PortFailureText();
    EXPECT_EQ(missing.rfind(std::string(MissingPortName()) + ": no such device.\n", 0), 0u) << missing;
    SerialPortEntry found[PortListMax];
    int count = ListSerialPorts(found, PortListMax);
    if (count == 0)
        EXPECT_NE(missing.find("\nNo serial port is found on this machine now."), std::string::npos) << missing;
    else
        EXPECT_NE(missing.find(std::string("\nSerial ports found now:\n  ") + found[0].name), std::string::npos) << missing;

    PutSetting("Port", "");
    OpenLinkPort();
    EXPECT_EQ(std::string(PortFailureText()).rfind("No serial port is set.\n", 0), 0u) << PortFailureText();

    PutSetting("Port", "/dev/null");
    OpenLinkPort();
    EXPECT_STREQ(PortFailureText(), "/dev/null: not a serial port.");

    PutSetting("Port", port);
    ASSERT_TRUE(HoldPort(port));
    OpenLinkPort();
    EXPECT_EQ(PortFailureText(), std::string(port) + ": in use by another program.");
    ReleasePort();
    EXPECT_EQ(FakeUi.ConnectFailures(), 4);

    // Another Tarnwell has the port: its exclusive mark turns a user away (root passes it).
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_EQ(chmod(port, 0666), 0);
    EXPECT_EQ(FailureSeenByAUser(port), std::string(port) + ": in use by another program.");
    CloseLink();
    EXPECT_EQ(FailureSeenByAUser(port), "<opened>") << "the user may have the port once it is free";

    ASSERT_EQ(chmod(port, 0), 0);
    EXPECT_EQ(FailureSeenByAUser(port), std::string(port) +
                                            ": permission denied.\n"
                                            "Serial ports belong to the dialout group; join it with\n"
                                            "  sudo usermod -aG dialout $USER\n"
                                            "then log out and in again.");
}

TEST(LineSettings, SpeedForEachRate)
{
    const struct {
        int rate;
        speed_t speed;
    } cases[] = {
        {9600, B9600}, {19200, B19200}, {115200, B115200}, {300, B300}, {4000000, B4000000},
        {0, B0},       {-9600, B0},     {1234, B0},        {9601, B0},  {2147483647, B0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LineSpeed(c.rate), c.speed) << c.rate;
}

// What counts when the line is read back after tcsetattr: everything the link asked for,
// and nothing it did not.
TEST(LineSettings, ReadBackChecksWhatWasAskedFor)
{
    struct termios asked = {};
    asked.c_iflag = ICRNL | IXANY | INPCK;
    asked.c_oflag = OPOST | ONLCR;
    asked.c_cflag = CS7 | PARENB | CSTOPB | HUPCL;
    asked.c_lflag = ICANON | ECHO | ISIG;
    MakeLineRaw(&asked);
    SetLineRecord(&asked, B9600, 1);

    const struct {
        const char* what;
        void (*change)(struct termios*);
        int taken;
    } cases[] = {
        {"all of it", [](struct termios*) {}, 1},
        {"parity dropped, as a pty does", [](struct termios* t) { t->c_cflag &= ~PARENB; }, 1},
        {"hardware handshake differs", [](struct termios* t) { t->c_cflag |= CRTSCTS; }, 1},
        {"output speed kept old", [](struct termios* t) { cfsetospeed(t, B38400); }, 0},
        {"input speed kept old", [](struct termios* t) { cfsetispeed(t, B38400); }, 0},
        {"seven data bits", [](struct termios* t) { t->c_cflag = (t->c_cflag & ~CSIZE) | CS7; }, 0},
        {"two stop bits", [](struct termios* t) { t->c_cflag |= CSTOPB; }, 0},
        {"parity checking", [](struct termios* t) { t->c_iflag |= INPCK; }, 0},
        {"no XOFF sent", [](struct termios* t) { t->c_iflag &= ~IXOFF; }, 0},
        {"resumed by any byte", [](struct termios* t) { t->c_iflag |= IXANY; }, 0},
        {"still canonical", [](struct termios* t) { t->c_lflag |= ICANON; }, 0},
        {"still translating CR", [](struct termios* t) { t->c_iflag |= ICRNL; }, 0},
        {"still processing output", [](struct termios* t) { t->c_oflag |= OPOST; }, 0},
        {"receiver off", [](struct termios* t) { t->c_cflag &= ~CREAD; }, 0},
        {"reads return empty", [](struct termios* t) { t->c_cc[VMIN] = 0; }, 0},
    };
    for (const auto& c : cases) {
        struct termios got = asked;
        c.change(&got);
        EXPECT_EQ(LineRecordTaken(&asked, &got), c.taken) << c.what;
    }
}

// The output queue (a USB adapter's, played: link_probe.h) may empty slowly, but 2000 ms in
// which it does not shrink fail the drain, and so do Esc held and the port gone away
// (closed, as a failed write closes it), each with its reason.
TEST_F(LinkPosixTest, DrainWaitsWhileTheOutputQueueShrinks)
{
    std::vector<int> slow;  // one byte less every 10 ms: 2500 ms in all
    for (int left = 250; left >= 0; left--)
        slow.push_back(left);
    const struct {
        const char* what;
        std::vector<int> queue;
        int escapeFromCheck, drained, leastMs, mostMs;
        std::string reason;
    } cases[] = {
        {"shrinking slowly", slow, 0, 1, 2400, 10000, ""},
        {"stuck", {40, 30, 30}, 0, 0, 2000, 5000, "the Z88 held the line (XOFF) for over two seconds"},
        {"Esc held", {40}, 1, 0, 0, 1000, "stopped by the user"},
        {"port gone", {40, -1}, 0, 0, 0, 1000, "the serial port went away"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_NO_FATAL_FAILURE(Open());
        ResetFakeUi();
        ClearFailure();
        FakeUi.escapeFromCheck = c.escapeFromCheck;
        PlayOutputQueue(c.queue);
        auto start = Clock::now();
        EXPECT_EQ(LinkDrainOutput(), c.drained);
        long long took = MsSince(start);
        PlayOutputQueue({});
        EXPECT_TRUE(took >= c.leastMs && took <= c.mostMs) << took << " ms";
        EXPECT_EQ(LinkHandle == LinkOpenFailed, c.queue.back() < 0);
        EXPECT_EQ(std::string(FailureReason), c.reason);
    }
}
