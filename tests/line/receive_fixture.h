// The fixture of the receive and poll tests: the link open on a test line with the fixture's
// folder as the store directory, the ui test double, fresh for each test, recording what the
// session shows. After the test the Z88 has finished sending and the link is closed.
#ifndef TARNWELL_TEST_RECEIVE_FIXTURE_H
#define TARNWELL_TEST_RECEIVE_FIXTURE_H

#include "protocol/poll.h"
#include "protocol/receive.h"
#include "tests/support/link_fixture.h"
#include "tests/support/z88.h"

#include <algorithm>
#include <filesystem>

// Long enough for bytes already sent to have crossed the line (socat under Wine).
enum { LineSettleMs = 500 };

class ReceiveFixture : public LineFixture {
protected:
    using Events = std::vector<std::string>;

    void SetUp() override
    {
        ResetFakeUi();
        ASSERT_NO_FATAL_FAILURE(LineFixture::SetUp());
        ASSERT_NO_FATAL_FAILURE(UseDirectory(folder));
    }

    void TearDown() override
    {
        Z88WaitSent();
        CloseLink();
        LineFixture::TearDown();
    }

    // Puts `directory` in "Directory" and opens the link again, which loads StoreDirectory.
    static void UseDirectory(const std::string& directory)
    {
        PutSetting("Directory", directory.c_str());
        ASSERT_NO_FATAL_FAILURE(Open());
        ASSERT_STREQ(StoreDirectory, directory.c_str());
    }

    // A frame without its ESC 'N', which the poll has read before ReceiveFile runs.
    static Bytes Body(const Bytes& frame)
    {
        return Bytes(frame.begin() + 2, frame.end());
    }
    static Bytes NameEnd() { return Bytes{Esc, 'F'}; }
    static Bytes DataEnd() { return Bytes{Esc, 'E'}; }

    // The Z88 sends `body` while ReceiveFile reads it; ReceiveFile's result.
    static int Receive(const Bytes& body, Z88Pacing pacing = Z88Pacing())
    {
        Z88SendInBackground(body, pacing);
        int result = ReceiveFile(Owner());
        EXPECT_TRUE(Z88WaitSent());
        return result;
    }

    // The Z88 sends `bytes` whole, and they have crossed the line; false when the line
    // refused a byte.
    static bool SendAndSettle(const Bytes& bytes)
    {
        Z88SendInBackground(bytes);
        bool sent = Z88WaitSent();
        Pause(LineSettleMs);
        return sent;
    }

    // The next byte waiting on the program's end of the line, -1 when none comes: at once in
    // PollMode, within a second in TransferMode. Esc is let go for the read.
    static int NextLineByte(LinkTimeoutMode mode)
    {
        FakeUiRecord kept = FakeUi;
        FakeUi.escapeFromStep = FakeUi.escapeFromCheck = 0;
        int value = ReadByte(mode);
        FakeUi = kept;
        return value;
    }

    // Takes what a failed reception left on the line, until the line has been quiet a while.
    static void DrainLine()
    {
        auto quietSince = Clock::now();
        while (MsSince(quietSince) < 300) {
            if (NextLineByte(PollMode) >= 0)
                quietSince = Clock::now();
            else
                Pause(10);
        }
    }

    // A frame of `name` holding "new" fails with no file stored and leaves `next` as the next
    // byte on the line (-1: none), which is then drained.
    static void ExpectRefused(const std::string& name, int next)
    {
        ResetFakeUi();
        EXPECT_EQ(Receive(Body(Z88Frame(name, Text("new")))), 0);
        EXPECT_EQ(FakeUi.events, (Events{Title(name), "close"}));
        EXPECT_EQ(NextLineByte(next < 0 ? PollMode : TransferMode), next);
        DrainLine();
    }

    // The names in a folder, sorted.
    static std::vector<std::string> Listing(const std::string& path)
    {
        std::vector<std::string> names;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(path, error))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    static std::string Title(const std::string& name)
    {
        return "show Now Receiving file \"" + name + "\"";
    }

    // One poll tick; its length in milliseconds. What the tick reported goes to `outcome`.
    long long Tick()
    {
        auto start = Clock::now();
        outcome = PollLink(Owner());
        return MsSince(start);
    }

    int outcome = 99;
    const std::string sep = PathSeparator();
};

#endif
