// The line fixture with the link under test: it opens the link on the program's end, and
// closes it after the test.
#ifndef TARNWELL_TEST_LINK_FIXTURE_H
#define TARNWELL_TEST_LINK_FIXTURE_H

#include "link/serial_link.h"
#include "tests/support/line_fixture.h"

#include <chrono>

class LinkFixture : public LineFixture {
protected:
    void TearDown() override
    {
        CloseLink();
        LineFixture::TearDown();
    }

    // Opens the link, with "Rate" and "Xon" set first when given; fails the test when the
    // port did not open.
    static void Open(const char* rate = nullptr, const char* xon = nullptr)
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
    static void Send(int byte)
    {
        unsigned char value = (unsigned char)byte;
        ASSERT_TRUE(PeerSend(&value, 1));
    }

    static long long MsSince(std::chrono::steady_clock::time_point start)
    {
        return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
            .count();
    }
};

#endif
