// The link with the real alerts, on a display of its own: Esc held down with xdotool while
// bytes move, the real connect-failure box, and the bell.
#include "tests/alerts_probe.h"
#include "tests/link_fixture.h"
#include "tests/link_probe.h"
#include "tests/support/host_command.h"
#include "ui/alerts.h"

#include <thread>

using Clock = std::chrono::steady_clock;

class LinkAlertsTest : public LinkFixture {
protected:
    void SetUp() override
    {
        LinkFixture::SetUp();
        window = ShowTestWindow();
    }

    void TearDown() override
    {
        RunHostCommand("/usr/bin/xdotool keyup Escape", 5000);
        WaitForEscape(0, 3000);
        LinkFixture::TearDown();
        CloseTestWindow();
    }

    // Waits until the Esc query gives `held`; false when it never did.
    static bool WaitForEscape(int held, int timeoutMs)
    {
        Clock::time_point start = Clock::now();
        while (MsSince(start) < timeoutMs) {
            PumpTestWindow();
            if ((EscapeHeld() != 0) == (held != 0))
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    WindowHandle window = nullptr;
};

TEST_F(LinkAlertsTest, EscHeldTakesTheByteButFailsReadAndWrite)
{
    ASSERT_NO_FATAL_FAILURE(Open());
    ASSERT_TRUE(WaitForEscape(0, 3000)) << "Esc reads as held before anyone pressed it";
    ASSERT_EQ(RunHostCommand("/usr/bin/xdotool keydown Escape", 5000), 0);
    ASSERT_TRUE(WaitForEscape(1, 3000)) << "the held Esc key was never seen";

    ASSERT_NO_FATAL_FAILURE(Send('z'));
    SetLinkTimeouts(TransferMode);
    int value = 0;
    EXPECT_EQ(LinkReadByte(&value), 0);
    EXPECT_EQ(value, 'z');
    EXPECT_EQ(LinkWriteByte('y'), 0);
    EXPECT_EQ(PeerReceiveByte(3000), 'y') << "the write hands its byte over before asking";

    ASSERT_EQ(RunHostCommand("/usr/bin/xdotool keyup Escape", 5000), 0);
    ASSERT_TRUE(WaitForEscape(0, 3000)) << "Esc still reads as held after it was let go";
    ASSERT_NO_FATAL_FAILURE(Send('k'));
    EXPECT_TRUE(LinkReadByte(&value));
    EXPECT_EQ(value, 'k') << "the byte read while Esc was held must be gone";
    EXPECT_TRUE(LinkWriteByte('j'));
    EXPECT_EQ(PeerReceiveByte(3000), 'j');
}

TEST_F(LinkAlertsTest, FailedOpenShowsTheRealMessageBox)
{
    PutSetting("Port", MissingPortName());
    WatchForMessageBox();
    OpenLink();
    SeenBox box = LastSeenBox();
    EXPECT_EQ(LinkHandle, LinkOpenFailed);
    ASSERT_TRUE(box.seen) << "no message box came up";
    EXPECT_EQ(box.title, "Tarnwell");
    EXPECT_EQ(box.text, "Can't connect to Serial Port");
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
