// The poll tick on a real line, on both builds: which bytes waiting on the line start a
// reception, which are dropped, and what each tick costs.
#include "protocol/poll.h"
#include "tests/receive_fixture.h"

using Clock = std::chrono::steady_clock;
using Events = std::vector<std::string>;

class Poll : public ReceiveFixture {
protected:
    // One tick; its length in milliseconds.
    static long long Tick()
    {
        Clock::time_point start = Clock::now();
        PollLink(Owner());
        return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    }
};

// Outside a frame each tick drops one stray byte, so three of them delay the file by three
// ticks. A tick with nothing waiting returns at once.
TEST_F(Poll, StrayBytesCostOneTickEach)
{
    Z88SendInBackground(Text("xyz") + Z88Frame("A", Text("a")));
    Z88WaitSent();
    SettleLine();
    for (int tick = 1; tick <= 3; tick++) {
        Tick();
        EXPECT_TRUE(FakeUi.events.empty()) << "tick " << tick;
    }
    Tick();
    EXPECT_EQ(FakeUi.events, (Events{"show Now Receiving file \"A\"", "beep", "close"}));
    EXPECT_EQ(Stored("A.z88"), "a");

    ResetFakeUi();
    EXPECT_LT(Tick(), 500);
    EXPECT_TRUE(FakeUi.events.empty());
}

// ESC and a letter other than 'N' are dropped together; a run of ESC before 'N' still starts
// a file; two frames back to back take a tick each. After a reception the link is in
// TransferMode, and the next tick still returns at once when nothing waits.
TEST_F(Poll, EscRunsAndOneFilePerTick)
{
    Z88SendInBackground(Bytes{Esc, 'x'} + Bytes{Esc} + Z88Frame("B", Text("b")) + Z88Frame("C", Text("c")));
    Z88WaitSent();
    SettleLine();

    Tick();
    EXPECT_TRUE(FakeUi.events.empty());
    Tick();
    EXPECT_EQ(FakeUi.events, (Events{"show Now Receiving file \"B\"", "beep", "close"}));
    EXPECT_EQ(Stored("C.z88"), "<none>");
    ResetFakeUi();
    Tick();
    EXPECT_EQ(FakeUi.events, (Events{"show Now Receiving file \"C\"", "beep", "close"}));
    EXPECT_EQ(Stored("B.z88"), "b");
    EXPECT_EQ(Stored("C.z88"), "c");

    ResetFakeUi();
    EXPECT_LT(Tick(), 500);
    EXPECT_TRUE(FakeUi.events.empty());
}

// The 'N' after ESC decides by itself, even when Esc was held as it was read: the session
// starts, and its first read, of the name, meets the held key and ends it without a trace.
TEST_F(Poll, NReadWhileEscIsHeldStillStartsTheSession)
{
    Z88SendInBackground(Z88Frame("D", Text("d")));
    Z88WaitSent();
    SettleLine();
    FakeUi.escapeFromCheck = 2;  // the read of 'N' and every one after it
    Tick();
    EXPECT_EQ(FakeUi.escapeChecks, 3) << "ESC, 'N', and the session's first read";
    EXPECT_TRUE(FakeUi.events.empty());
    EXPECT_EQ(NextLineByte(PollMode), Esc) << "the session took the name's 'D'";
    EXPECT_EQ(Stored("D.z88"), "<none>");
}

// An ESC that is the last byte waiting ends the tick at once; its 'N', arriving later, is
// dropped by the next tick as a lone byte, and the rest of the frame goes the same way.
TEST_F(Poll, EscWhoseNArrivesLateStartsNothing)
{
    Z88Pacing pacing;
    pacing.pauseBefore = 1;
    pacing.pauseMs = 1500;
    Z88SendInBackground(Z88Frame("E", Text("e")), pacing);
    SettleLine();
    EXPECT_LT(Tick(), 500);
    Z88WaitSent();
    SettleLine();
    for (int tick = 0; tick < 8; tick++)
        Tick();
    EXPECT_TRUE(FakeUi.events.empty());
    EXPECT_EQ(NextLineByte(PollMode), -1);
    EXPECT_EQ(Listing(folder), std::vector<std::string>());
}
