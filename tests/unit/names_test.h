// What the name mapping tests of both builds share: the fixture, and the store directory
// of the platform that the stored names are put behind before they are sent back.
#ifndef TARNWELL_NAMES_TEST_H
#define TARNWELL_NAMES_TEST_H

#include "protocol/names.h"
#include "settings/settings.h"
#include "tests/support/settings_store.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <utility>

// A store directory as a user of this platform sets it (defined per platform).
extern const char ExampleStoreDirectory[];

class NamesTest : public ::testing::Test {
protected:
    void SetUp() override { ResetSettingsStore(); }
    // MapIncomingName with "Preserve" set to `preserve`; "(refused)" for a null result.
    static std::string Incoming(const std::string& name, const char* preserve)
    {
        PutSetting("Preserve", preserve);
        const char* mapped = MapIncomingName(name.c_str());
        EXPECT_EQ(mapped, mapped ? NameBuffer : nullptr);
        return mapped ? mapped : "(refused)";
    }
    // MapOutgoingName; "(refused)" for a null result.
    static std::string Outgoing(const std::string& path)
    {
        const char* mapped = MapOutgoingName(path.c_str());
        EXPECT_EQ(mapped, NameBuffer);
        return mapped ? mapped : "(refused)";
    }
    // Outgoing of each path gives the name beside it.
    static void ExpectSent(std::initializer_list<std::pair<const char*, const char*>> pathsAndNames)
    {
        for (const auto& c : pathsAndNames)
            EXPECT_EQ(Outgoing(c.first), c.second) << c.first;
    }
    // StoreNameAllowed accepts each of `names` when `allowed`, else refuses each.
    static void ExpectStoreNames(bool allowed, std::initializer_list<const char*> names)
    {
        for (const char* name : names)
            EXPECT_EQ(StoreNameAllowed(name) != 0, allowed) << name;
    }
};

#endif
