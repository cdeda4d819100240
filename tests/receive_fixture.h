// The line fixture for the receive and poll tests: its folder as the store directory, the
// link open on the program's end, and the ui test double recording what the session shows.
#ifndef TARNWELL_TEST_RECEIVE_FIXTURE_H
#define TARNWELL_TEST_RECEIVE_FIXTURE_H

#include "link/serial_link.h"
#include "protocol/receive.h"
#include "tests/support/fake_ui.h"
#include "tests/support/line_fixture.h"
#include "tests/support/z88.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

// Long enough for bytes already sent to have crossed the line (socat under Wine).
enum { LineSettleMs = 500 };

class ReceiveFixture : public LineFixture {
protected:
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
    void UseDirectory(const std::string& directory)
    {
        PutSetting("Directory", directory.c_str());
        OpenLink();
        ASSERT_NE(LinkHandle, (LinkPort)0);
        ASSERT_NE(LinkHandle, LinkOpenFailed);
        ASSERT_STREQ(StoreDirectory, directory.c_str());
    }

    // The window the session is told to use as owner; the test double hands it back.
    static WindowHandle Owner()
    {
        static int mainWindow;
        return reinterpret_cast<WindowHandle>(&mainWindow);
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

    // The next byte waiting on the program's end of the line, -1 when none comes: at once in
    // PollMode, within a second in TransferMode. Esc is let go for the read.
    static int NextLineByte(LinkTimeoutMode mode)
    {
        FakeUiRecord kept = FakeUi;
        FakeUi.escapeFromStep = FakeUi.escapeFromCheck = 0;
        SetLinkTimeouts(mode);
        int value = 0;
        int got = LinkReadByte(&value);
        FakeUi = kept;
        return got ? value : -1;
    }

    // Takes what a failed reception left on the line, until the line has been quiet a while.
    static void DrainLine()
    {
        using Clock = std::chrono::steady_clock;
        Clock::time_point quietSince = Clock::now();
        while (Clock::now() - quietSince < std::chrono::milliseconds(300)) {
            if (NextLineByte(PollMode) >= 0)
                quietSince = Clock::now();
            else
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }

    static void SettleLine()
    {
        std::this_thread::sleep_for(std::chrono::milliseconds(LineSettleMs));
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
};

#endif
