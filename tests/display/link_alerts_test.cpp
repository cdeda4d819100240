// The link with the real alerts, on a display of its own: Esc held down with xdotool while
// bytes move, the real connect-failure box, and the bell.
#include "link/serial_port.h"
#include "tests/display/alerts_probe.h"
#include "tests/support/link_fixture.h"
#include "tests/support/link_probe.h"
#include "tests/support/host_tool.h"
#include "ui/alerts.h"

// How long the Esc key may take to read as pressed or let go: from xdotool through the X
// server (and Wine) to the query. Long enough for a busy machine; it ends once it reads so.
enum { EscapeSeenMs = 10000 };

class LinkAlertsTest : public LineFixture {
protected:
    void SetUp() override
    {
        LineFixture::SetUp();
        window = ShowTestWindow();
    }

    void TearDown() override
    {
        RunHostTool({"xdotool", "keyup", "Escape"});
        WaitForEscape(0, EscapeSeenMs);
        CloseLink();
        LineFixture::TearDown();
        CloseTestWindow();
    }

    // Waits until the Esc query gives `held`; false when it never did.
    static bool WaitForEscape(int held, int timeoutMs)
    {
        return WaitUntil(
            [held] {
                PumpTestWindow();
                return (EscapeHeld() != 0) == (held != 0);
            },
            timeoutMs, 10);
    }

    WindowHandle window = nullptr;
};

TEST_F(LinkAlertsTest, EscHeldTakesTheByteButFailsReadAndWrite)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_TRUE(WaitForEscape(0, EscapeSeenMs)) << "Esc reads as held before anyone pressed it";
    ASSERT_EQ(RunHostTool({"xdotool", "keydown", "Escape"}), 0);
    ASSERT_TRUE(WaitForEscape(1, EscapeSeenMs)) << "the held Esc key was never seen";

    ASSERT_NO_FATAL_FAILURE(Send('z'));
    SetLinkTimeouts(TransferMode);
    int value = 0;
    EXPECT_EQ(LinkReadByte(&value), 0);
    EXPECT_EQ(value, 'z');
    EXPECT_EQ(LinkWriteByte('y'), 0);
    EXPECT_EQ(PeerReceiveByte(3000), 'y') << "the write hands its byte over before asking";

    ASSERT_EQ(RunHostTool({"xdotool", "keyup", "Escape"}), 0);
    ASSERT_TRUE(WaitForEscape(0, EscapeSeenMs)) << "Esc still reads as held after it was let go";
    ASSERT_NO_FATAL_FAILURE(Send('k'));
    EXPECT_EQ(ReadByte(), 'k') << "the byte read while Esc was held must be gone";
    EXPECT_TRUE(LinkWriteByte('j'));
    EXPECT_EQ(PeerReceiveByte(3000), 'j');
}

TEST_F(LinkAlertsTest, FailedOpenShowsTheRealMessageBox)
{
    PutSetting("Port", MissingPortName());
    WatchForMessageBox();
    OpenLinkPort();
    SeenBox box = LastSeenBox();
    EXPECT_EQ(LinkHandle, LinkOpenFailed);
    ASSERT_TRUE(box.seen) << "no message box came up";
    EXPECT_EQ(box.title, "Tarnwell");
    // The first line as it always was; the port and the reason follow it (the reasons
    // themselves are the link tests' business), and the ports there are (Windows: COM1 and
    // COM2 the test's line).
    const std::string detail = PortFailureText();
    EXPECT_EQ(box.text, "Can't connect to Serial Port\n" + detail);
#ifdef _WIN32
    EXPECT_EQ(detail.rfind(std::string(MissingPortName()) + ": no such port.\nSerial ports found now:\n  COM1\n  COM2", 0),
              0u) << detail;
#else
    EXPECT_EQ(detail.rfind(std::string(MissingPortName()) + ": no such device.", 0), 0u) << detail;
#endif
    EXPECT_TRUE(box.errorIcon);
    EXPECT_TRUE(box.ownedByExpected) << "the box belongs to the active window";
}

TEST_F(LinkAlertsTest, SuccessRingsTheBell)
{
    int bells = BellsRungDuring(SignalSuccess);
    if (bells < 0)
        GTEST_SKIP() << "the bell cannot be observed on this platform";
    EXPECT_EQ(bells, 1);
}
