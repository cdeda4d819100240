// The poll tick on a real line, on both builds: which bytes waiting on the line start a
// reception, which are dropped, and what each tick costs.
#include "tests/line/receive_fixture.h"

using Poll = ReceiveFixture;

// Noise ahead of a frame, ESC with another letter in it included, is dropped in one tick,
// and the frame behind it arrives in that same tick. A tick with nothing waiting returns at
// once.
TEST_F(Poll, NoiseAheadOfAFrameIsDroppedInOneTick)
{
    // Every byte value but ESC and the flow-control bytes, which the port itself takes.
    Bytes noise;
    for (int i = 0; i < 200; i++) {
        unsigned char byte = (unsigned char)(i * 37 + 11);
        noise.push_back(byte == Esc || byte == 0x11 || byte == 0x13 ? 'x' : byte);
    }
    noise[100] = Esc;
    noise[101] = 'x';
    ASSERT_TRUE(SendAndSettle(noise + Z88Frame("A", Text("a"))));
    Tick();
    EXPECT_EQ(FakeUi.events, (Events{Title("A"), "beep", "close"}));
    EXPECT_EQ(Stored("A.z88"), "a");
    EXPECT_EQ(outcome, 1) << "a file arrived whole";

    ResetFakeUi();
    EXPECT_LT(Tick(), 500);
    EXPECT_TRUE(FakeUi.events.empty());
    EXPECT_EQ(outcome, PollIdle);
}

// ESC and a letter other than 'N' start nothing, and the tick goes on to a run of ESC before
// 'N', which starts a file; two frames back to back take a tick each. After a reception the
// link is in TransferMode, and the next tick still returns at once when nothing waits.
TEST_F(Poll, EscRunsAndOneFilePerTick)
{
    ASSERT_TRUE(SendAndSettle(Bytes{Esc, 'x'} + Bytes{Esc} + Z88Frame("B", Text("b")) + Z88Frame("C", Text("c"))));

    Tick();
    EXPECT_EQ(FakeUi.events, (Events{Title("B"), "beep", "close"}));
    EXPECT_EQ(outcome, 1) << "ESC 'x' started nothing, the frame behind it did";
    EXPECT_EQ(Stored("C.z88"), "<none>");
    ResetFakeUi();
    Tick();
    EXPECT_EQ(FakeUi.events, (Events{Title("C"), "beep", "close"}));
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
    ASSERT_TRUE(SendAndSettle(Z88Frame("D", Text("d"))));
    FakeUi.escapeFromCheck = 2;  // the read of 'N' and every one after it
    Tick();
    EXPECT_EQ(FakeUi.escapeChecks, 3) << "ESC, 'N', and the session's first read";
    EXPECT_TRUE(FakeUi.events.empty());
    EXPECT_EQ(outcome, 0) << "a reception started and failed";
    EXPECT_EQ(NextLineByte(PollMode), Esc) << "the session took the name's 'D'";
    EXPECT_EQ(Stored("D.z88"), "<none>");
}

// An ESC that is the last byte waiting at a tick: the tick waits for the letter after it,
// which comes 200 ms later, and the file arrives.
TEST_F(Poll, EscWhoseNArrivesLateStillStartsTheFile)
{
    const Bytes frame = Z88Frame("E", Text("e"));
    ASSERT_TRUE(SendAndSettle(Bytes(frame.begin(), frame.begin() + 1)));
    Z88Pacing pacing;
    pacing.pauseBefore = 0;
    pacing.pauseMs = 200;
    Z88SendInBackground(Bytes(frame.begin() + 1, frame.end()), pacing);
    Tick();
    EXPECT_EQ(FakeUi.events, (Events{Title("E"), "beep", "close"}));
    EXPECT_EQ(Stored("E.z88"), "e");
}
