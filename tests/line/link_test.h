// The fixture of the link's tests (link_test.cpp and the platform files beside it): the ui
// test double fresh for each test, and after it the link closed and any hold on the port
// (link_probe.h) let go.
#ifndef TARNWELL_TEST_LINK_TEST_H
#define TARNWELL_TEST_LINK_TEST_H

#include "tests/support/link_fixture.h"
#include "tests/support/link_probe.h"

class LinkTest : public LineFixture {
protected:
    void SetUp() override
    {
        ResetFakeUi();
        LineFixture::SetUp();
    }

    void TearDown() override
    {
        CloseLink();
        LineFixture::TearDown();
        ReleasePort();
    }
};

#endif
