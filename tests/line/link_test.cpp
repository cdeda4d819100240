// The serial link on a real line, on both builds: the link opens one end of a pty pair (COM1
// under Wine), the test plays the Z88 on the other. The ui layer is the test double here:
// the Esc key is held when the test says so and the connect-failure message is only counted.
#include "tests/line/link_test.h"

#include <thread>

TEST_F(LinkTest, PollModeReadTakesAByteThatIsWaiting)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_NO_FATAL_FAILURE(Send('a'));
    // The byte needs a moment to cross the line (seconds, on a busy machine); each poll
    // returns at once meanwhile.
    int value = -1;
    WaitUntil([&] { return (value = ReadByte(PollMode)) >= 0; }, 10000, 5);
    EXPECT_EQ(value, 'a');
}

// With nothing waiting, a PollMode read returns at once and a TransferMode read gives up
// after about a second, both with 0. The mode holds until the next switch, a write leaves
// TransferMode behind it, and a port opened afresh takes the mode asked for next.
TEST_F(LinkTest, ReadTimeoutsOfBothModes)
{
    for (int opening = 0; opening < 2; opening++) {
        ASSERT_NO_FATAL_FAILURE(Open());
        for (LinkTimeoutMode mode : {PollMode, TransferMode, PollMode}) {
            SetLinkTimeouts(mode);
            int value = 77;
            Clock::time_point start = Clock::now();
            EXPECT_EQ(LinkReadByte(&value), 0);
            long long waited = MsSince(start);
            EXPECT_EQ(value, 0);
            if (mode == PollMode) {
                EXPECT_LT(waited, 500) << "opening " << opening;
            } else {
                EXPECT_GE(waited, 700) << "opening " << opening;
                EXPECT_LE(waited, 3000) << "opening " << opening;
            }
        }
        EXPECT_TRUE(LinkWriteByte('w'));
        EXPECT_EQ(PeerReceiveByte(3000), 'w');
        int value = 0;
        Clock::time_point start = Clock::now();
        EXPECT_EQ(LinkReadByte(&value), 0);
        EXPECT_GE(MsSince(start), 700) << "a write leaves the port in TransferMode";
    }
}

TEST_F(LinkTest, TransferModeReadWaitsForAByteThatComesLate)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    std::thread z88([] {
        Pause(300);
        unsigned char byte = 'L';
        PeerSend(&byte, 1);
    });
    Clock::time_point start = Clock::now();
    int value = ReadByte();
    long long waited = MsSince(start);
    z88.join();
    EXPECT_EQ(value, 'L');
    EXPECT_GE(waited, 200);
}

// Raw in both directions: every value arrives as sent, 0x00 as 0 and 0xFF as 255, with no
// CR/LF translation, echo, signal characters or stripped eighth bit. Flow control is off,
// since with it XON and XOFF are the line's, not data.
TEST_F(LinkTest, EveryByteValueCrossesUnchangedBothWays)
{
    ASSERT_NO_FATAL_FAILURE(Open("9600", "0"));
    unsigned char all[256];
    for (int i = 0; i < 256; i++)
        all[i] = (unsigned char)i;
    ASSERT_TRUE(PeerSend(all, sizeof all));
    for (int i = 0; i < 256; i++)
        ASSERT_EQ(ReadByte(), i) << "byte " << i;

    for (int i = 0; i < 256; i++)
        ASSERT_TRUE(LinkWriteByte(i)) << "byte " << i;
    for (int i = 0; i < 256; i++)
        ASSERT_EQ(PeerReceiveByte(3000), i) << "byte " << i;
    EXPECT_EQ(PeerReceiveByte(300), -1) << "more came than was sent (an echo?)";
}

TEST_F(LinkTest, WriteSendsTheLowEightBits)
{
    ASSERT_NO_FATAL_FAILURE(Open("9600", "0"));
    const struct {
        int value;
        int sent;
    } cases[] = {
        {0x141, 0x41}, {-1, 0xFF}, {0x100, 0x00}, {0x7FFFFFFF, 0xFF}, {-256, 0x00}, {0x1B, 0x1B},
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(LinkWriteByte(c.value)) << c.value;
        EXPECT_EQ(PeerReceiveByte(3000), c.sent) << c.value;
    }
}

// The far end's discard drops what the program sent, also what was still on its way.
TEST_F(LinkTest, FarEndDiscardsWhatIsInFlight)
{
    ASSERT_NO_FATAL_FAILURE(Open("9600", "0"));
    for (int i = 0; i < 100; i++)
        ASSERT_TRUE(LinkWriteByte('a'));
    PeerDiscardInput();
    ASSERT_TRUE(LinkWriteByte('z'));
    EXPECT_EQ(PeerReceiveByte(3000), 'z');
}

TEST_F(LinkTest, SettingsAreReadInTheOrderPortRateXonDirectory)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    const std::string directory = SettingDefault(SettingDirectory);
    // Each read writes its key back, so keys that were missing appear in reading order.
    EXPECT_EQ(SettingsSectionLines(),
              (Lines{std::string("Port=") + port, "Rate=9600", "Xon=1", "Directory=" + directory}));
    EXPECT_EQ(std::string(StoreDirectory), directory);
}

// "Rate" gives the speed, "Xon" flow control in both directions together (any non-zero
// integer is on); 8 data bits, one stop bit and no parity checking whatever they are.
TEST_F(LinkTest, LineFollowsRateAndXon)
{
    const struct {
        const char* rate;
        const char* xon;
        long speed;
        int on;
    } cases[] = {
        {"19200", "1", 19200, 1}, {"1200", "0", 1200, 0},  {"115200", "2", 115200, 1},
        {"9600 baud", "-1", 9600, 1}, {"9600", "off", 9600, 0}, {"9600", "", 9600, 0},
    };
    for (const auto& c : cases) {
        ASSERT_NO_FATAL_FAILURE(Open(c.rate, c.xon));
        LineState line;
        ASSERT_TRUE(ReadLineState(&line));
        EXPECT_EQ(line.rate, c.speed) << "Rate=" << c.rate;
        EXPECT_EQ(line.xonOut, c.on) << "Xon=" << c.xon;
        EXPECT_EQ(line.xonIn, c.on) << "Xon=" << c.xon;
        EXPECT_EQ(line.dataBits, 8);
        EXPECT_EQ(line.twoStopBits, 0);
        EXPECT_EQ(line.parityCheck, 0);
        char said[TextSize];
        DescribeLink(said);
        EXPECT_EQ(std::string(said), std::string(port) + ", " + std::to_string(c.speed) + " baud");
    }
}

// A rate the port cannot take leaves the whole record as it was, Xon included; the port
// stays open and the directory is still read.
TEST_F(LinkTest, RateThatIsNoNumberLeavesTheRecordUnapplied)
{
    ASSERT_NO_FATAL_FAILURE(Open("9600", "0"));
    for (const char* rate : {"abc", "0", "-9600"}) {
        const std::string directory = std::string("after-") + rate + "/";
        PutSetting("Directory", directory.c_str());
        ASSERT_NO_FATAL_FAILURE(Open(rate, "1"));
        EXPECT_EQ(FakeUi.ConnectFailures(), 0);
        LineState line;
        ASSERT_TRUE(ReadLineState(&line));
        EXPECT_EQ(line.rate, 9600) << "Rate=" << rate;
        EXPECT_EQ(line.xonOut, 0) << "Rate=" << rate;
        EXPECT_EQ(line.xonIn, 0) << "Rate=" << rate;
        EXPECT_EQ(std::string(StoreDirectory), directory);
        char said[TextSize];
        DescribeLink(said);
        EXPECT_EQ(std::string(said), std::string(port) + ", 9600 baud") << "Rate=" << rate;
        EXPECT_TRUE(LinkWriteByte('r'));
        EXPECT_EQ(PeerReceiveByte(3000), 'r');
    }
}

// The Z88 holds XOFF: the byte cannot leave within its two seconds. That write must fail,
// and the byte must not slip out later when XON comes: the frame would be missing a byte
// without anyone knowing.
TEST_F(LinkTest, WriteThatMovesNoByteFails)
{
    ASSERT_NO_FATAL_FAILURE(Open("9600", "1"));
    const unsigned char stop[] = {Xoff, 'm'};
    ASSERT_TRUE(PeerSend(stop, sizeof stop));
    // 'm' comes behind the XOFF: once the link has read it, the XOFF has been taken in.
    ASSERT_EQ(ReadByte(), 'm');

    Clock::time_point start = Clock::now();
    EXPECT_EQ(LinkWriteByte('A'), 0);
    long long waited = MsSince(start);
    EXPECT_GE(waited, 1500);
    EXPECT_LE(waited, 6000);

    ASSERT_NO_FATAL_FAILURE(Send(Xon));
    EXPECT_TRUE(LinkWriteByte('B'));
    EXPECT_EQ(PeerReceiveByte(3000), 'B');
    EXPECT_EQ(PeerReceiveByte(300), -1);
}

TEST_F(LinkTest, EscHeldTakesTheByteButFailsReadAndWrite)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_NO_FATAL_FAILURE(Send('q'));
    SetLinkTimeouts(TransferMode);
    FakeUi.escapeFromCheck = 1;  // held from the next question on
    int value = 0;
    EXPECT_EQ(LinkReadByte(&value), 0);
    EXPECT_EQ(value, 'q');
    // A write has handed its byte to the port before Esc is asked.
    EXPECT_EQ(LinkWriteByte('w'), 0);
    EXPECT_EQ(PeerReceiveByte(3000), 'w');
    // Asked even when nothing came.
    int queries = FakeUi.escapeChecks;
    SetLinkTimeouts(PollMode);
    EXPECT_EQ(LinkReadByte(&value), 0);
    EXPECT_EQ(FakeUi.escapeChecks, queries + 1);

    FakeUi.escapeFromCheck = 0;  // let go
    ASSERT_NO_FATAL_FAILURE(Send('r'));
    EXPECT_EQ(ReadByte(), 'r') << "the byte read while Esc was held must be gone";
}

TEST_F(LinkTest, PortHeldElsewhereFailsWithTheMessage)
{
    if (!HoldPort(port))
        GTEST_SKIP() << "this platform lets a second program open the port";
    ExpectOpenFails(port);
    ReleasePort();
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_EQ(FakeUi.ConnectFailures(), 1);
}

// A port that names no device: the message once per OpenLinkPort, no other setting read, the
// directory of the last good open kept, and every call failing at once; after CloseLink
// the same, twice over.
TEST_F(LinkTest, PortThatNamesNoDeviceShowsTheMessageAndReadsNoOtherKey)
{
    PutSetting("Directory", "first/");
    ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_STREQ(StoreDirectory, "first/");
    ResetSettingsStore();
    PutSetting("Directory", "second/");
    PutSetting("Port", MissingPortName());
    OpenLink();
    EXPECT_EQ(FakeUi.ConnectFailures(), 1);
    ASSERT_EQ(LinkHandle, LinkOpenFailed);
    EXPECT_EQ(SettingsSectionLines(), (Lines{"Directory=second/", std::string("Port=") + MissingPortName()}));
    EXPECT_STREQ(StoreDirectory, "first/");
    char said[TextSize];
    DescribeLink(said);
    EXPECT_EQ(std::string(said), std::string("No port: ") + MissingPortName());
    OpenLink();
    EXPECT_EQ(FakeUi.ConnectFailures(), 2);

    for (int closed = 0; closed < 3; closed++) {
        EXPECT_EQ(SetLinkTimeouts(TransferMode), 0);
        int value = 9;
        Clock::time_point start = Clock::now();
        EXPECT_EQ(LinkReadByte(&value), 0);
        EXPECT_EQ(value, 0);
        EXPECT_EQ(LinkWriteByte('x'), 0);
        EXPECT_LT(MsSince(start), 500);
        CloseLink();
        EXPECT_EQ(LinkHandle, (LinkPort)0);
    }
    EXPECT_EQ(PeerReceiveByte(300), -1);
}

TEST_F(LinkTest, SecondOpenLinkClosesTheFirstPort)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    int handles = OpenHandleCount();
    ASSERT_GT(handles, 0);
    // The port is opened for one holder only, so each reopen of the same port shows that
    // the previous handle was closed first.
    for (int i = 0; i < 3; i++)
        ASSERT_NO_FATAL_FAILURE(Open());
    EXPECT_EQ(OpenHandleCount(), handles);
    EXPECT_EQ(FakeUi.ConnectFailures(), 0);
    ASSERT_NO_FATAL_FAILURE(Send('z'));
    EXPECT_EQ(ReadByte(), 'z');
}

// The line hung up, as an unplugged adapter: the first read (then, the first write) that
// finds the port gone fails at once and closes it. RetryLinkPort opens it again under the same
// name, silently, not before two seconds have passed and not while the name leads nowhere,
// and applies the settings as they are by then.
TEST_F(LinkTest, PortThatGoesAwayIsClosedAndRetriedUnderTheSameName)
{
    ASSERT_NO_FATAL_FAILURE(Open("9600", "0"));
    const int handles = OpenHandleCount();
    const std::string name = port;
    for (int write = 0; write < 2; write++) {
        ClosePeerLine();
        const int unplugged = OpenHandleCount();
        Clock::time_point start = Clock::now();
        int value = 0;
        SetLinkTimeouts(TransferMode);
        EXPECT_EQ(write ? LinkWriteByte('x') : LinkReadByte(&value), 0);
        EXPECT_LT(MsSince(start), 4000);
        EXPECT_FALSE(LinkIsOpen());
        EXPECT_EQ(LinkHandle, LinkOpenFailed);
        EXPECT_EQ(OpenHandleCount(), unplugged - 1) << "the port that went away is still open";
        Pause(2100);
        EXPECT_FALSE(RetryLink()) << "a port opened while its name leads nowhere";

        ASSERT_TRUE(OpenPeerLine(port, sizeof port));
        ASSERT_EQ(port, name);
        PutSetting("Rate", write ? "1200" : "19200");
        PutSetting("Directory", write ? "written/" : "read/");
        start = Clock::now();
        EXPECT_FALSE(RetryLink()) << "tried again within two seconds";
        WaitUntil(RetryLink, 10000);
        EXPECT_GE(MsSince(start), 1500);
        ASSERT_TRUE(LinkIsOpen());
        LineState line;
        ASSERT_TRUE(ReadLineState(&line));
        EXPECT_EQ(line.rate, write ? 1200 : 19200);
        EXPECT_STREQ(StoreDirectory, write ? "written/" : "read/");
        ASSERT_NO_FATAL_FAILURE(Send('n'));
        EXPECT_EQ(ReadByte(), 'n');
    }
    EXPECT_EQ(OpenHandleCount(), handles);
    EXPECT_EQ(FakeUi.ConnectFailures(), 0);
}

// What one read took in comes out in order, once, in either mode, before a later byte.
TEST_F(LinkTest, ByteThatArrivesWhileTheReadAheadIsHalfUsedComesAfterIt)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_TRUE(PeerSend("0123456789", 10));
    Pause(1000);  // all across, one read's worth
    std::string got;
    int value;
    auto take = [&](LinkTimeoutMode mode, int count) {
        SetLinkTimeouts(mode);
        for (int i = 0; i < count && LinkReadByte(&value); i++)
            got += (char)value;
    };
    take(TransferMode, 5);
    ASSERT_NO_FATAL_FAILURE(Send('z'));
    take(PollMode, 5);
    take(TransferMode, 1);
    EXPECT_EQ(got, "0123456789z");
    SetLinkTimeouts(PollMode);
    EXPECT_EQ(LinkReadByte(&value), 0);
}

// Hung up with bytes taken in: a read hands them out, then finds the port gone; a write
// finding it gone drops them. None comes back with the port.
TEST_F(LinkTest, PortFoundGoneWithBytesStillTakenIn)
{
    ASSERT_NO_FATAL_FAILURE(Open("9600", "0"));
    for (int write = 0; write < 2; write++) {
        ASSERT_TRUE(PeerSend("abc", 3));
        Pause(1000);
        ASSERT_GE(ReadByte(), 0);
        ClosePeerLine();
        int value = 0;
        if (write) {
            EXPECT_EQ(LinkWriteByte('x'), 0);
        } else {
            EXPECT_TRUE(LinkReadByte(&value) && value == 'b');
            EXPECT_TRUE(LinkReadByte(&value) && value == 'c');
        }
        EXPECT_EQ(LinkReadByte(&value), 0);
        EXPECT_EQ(LinkHandle, LinkOpenFailed);
        ASSERT_TRUE(OpenPeerLine(port, sizeof port));
        WaitUntil(RetryLinkPort, 10000);
        ASSERT_TRUE(LinkIsOpen());
        SetLinkTimeouts(PollMode);
        EXPECT_EQ(LinkReadByte(&value), 0) << "a byte taken in before the hang-up came back";
    }
}
