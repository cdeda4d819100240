// The common ground of every test on a real line: a fresh settings store, a fresh line whose
// far end the test plays (peer_line.h), "Port" naming the program's end of it, and a fresh
// folder. The line is hung up after the test.
#ifndef TARNWELL_TEST_LINE_FIXTURE_H
#define TARNWELL_TEST_LINE_FIXTURE_H

#include "settings/settings.h"
#include "tests/support/peer_line.h"
#include "tests/support/settings_store.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

class LineFixture : public ::testing::Test {
protected:
    using Clock = std::chrono::steady_clock;
    using Lines = std::vector<std::string>;

    void SetUp() override
    {
        ResetSettingsStore();
        ASSERT_TRUE(OpenPeerLine(port, sizeof port));
        PutSetting("Port", port);
        folder = NewTestFolder();
    }

    void TearDown() override { ClosePeerLine(); }

    // The contents of the file `name` in the folder, or "<none>" when no regular file stands
    // there.
    std::string Stored(const std::string& name) const
    {
        std::string contents;
        return ReadWholeFile(folder + name, &contents) ? contents : "<none>";
    }

    char port[128];
    std::string folder;
};

#endif
