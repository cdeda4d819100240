// Calls for tests that drive the link on a test line (line_fixture.h): open it on the
// fixture's port, play the Z88's end byte by byte, read what the link takes in. A test's
// fixture closes the link in its TearDown (CloseLink), before LineFixture's.
#ifndef TARNWELL_TEST_LINK_FIXTURE_H
#define TARNWELL_TEST_LINK_FIXTURE_H

#include "link/serial_link.h"
#include "protocol/store.h"
#include "tests/support/fake_ui.h"
#include "tests/support/line_fixture.h"
#include "tests/support/wait.h"

#include <chrono>
#include <string>
#include <vector>

// Opens the link, with "Rate" and "Xon" set first when given; fails the test when the port
// did not open.
inline void Open(const char* rate = nullptr, const char* xon = nullptr)
{
    if (rate)
        PutSetting("Rate", rate);
    if (xon)
        PutSetting("Xon", xon);
    OpenLink();
    ASSERT_NE(LinkHandle, (LinkPort)0);
    ASSERT_NE(LinkHandle, LinkOpenFailed);
}

// Sends one byte from the Z88's end.
inline void Send(int byte)
{
    unsigned char value = (unsigned char)byte;
    ASSERT_TRUE(PeerSend(&value, 1));
}

// The next byte the link reads in `mode`, -1 when the read fails.
inline int ReadByte(LinkTimeoutMode mode = TransferMode)
{
    SetLinkTimeouts(mode);
    int value = 0;
    return LinkReadByte(&value) ? value : -1;
}

inline long long MsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
        .count();
}

// The window a session is told to use as owner; the test double hands it back.
inline WindowHandle Owner()
{
    static int mainWindow;
    return reinterpret_cast<WindowHandle>(&mainWindow);
}

// The counts a session's progress steps through for `count` bytes: 1 to `count`.
inline std::vector<int> OneTo(size_t count)
{
    std::vector<int> counts;
    for (size_t i = 1; i <= count; i++)
        counts.push_back((int)i);
    return counts;
}

// With the ui test double: OpenLinkPort on the port `name`, in fresh settings, fails: the
// connect-failure message once, and no key read but "Port".
inline void ExpectOpenFails(const std::string& name)
{
    ResetSettingsStore();
    ResetFakeUi();
    PutSetting("Port", name.c_str());
    OpenLinkPort();
    EXPECT_EQ(LinkHandle, LinkOpenFailed) << "Port=" << name;
    EXPECT_EQ(FakeUi.ConnectFailures(), 1) << "Port=" << name;
    EXPECT_EQ(SettingsSectionLines(), (std::vector<std::string>{"Port=" + name}));
}

#endif
