// The common ground of the link tests: a fresh settings store, a fresh line whose far end
// the test plays, and "Port" naming the program's end of it.
#ifndef TARNWELL_TEST_LINK_FIXTURE_H
#define TARNWELL_TEST_LINK_FIXTURE_H

#include "link/serial_link.h"
#include "settings/settings.h"
#include "tests/support/peer_line.h"
#include "tests/support/settings_store.h"

#include <gtest/gtest.h>

#include <chrono>

enum { Xon = 0x11, Xoff = 0x13 };

class LinkFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetSettingsStore();
        ASSERT_TRUE(OpenPeerLine(port, sizeof port));
        PutSetting("Port", port);
    }

    void TearDown() override { CloseLink(); }

    // Opens the link, with "Rate" and "Xon" set first when given; fails the test when the
    // port did not open.
    void Open(const char* rate = nullptr, const char* xon = nullptr)
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

    char port[128];
};

#endif
