// The package as a user gets it (the .deb on Linux, the zip on Windows), unpacked once for
// the tests of package_test.cpp and of the platform's own file.
#ifndef TARNWELL_TEST_PACKAGE_TEST_H
#define TARNWELL_TEST_PACKAGE_TEST_H

#include "tests/support/desktop.h"
#include "tests/support/program.h"

#include <gtest/gtest.h>

#include <string>

// The platform's part: unpacks TARNWELL_PACKAGE into `folder` (a host path ending with '/')
// and gives the host path of the program in it; "" when it could not be unpacked.
std::string UnpackPackage(const std::string& folder);

struct Unpacked {
    std::string root;     // a host path ending with '/'
    std::string program;  // "" when there was no package to unpack
};
// Unpacked on first use, into a new folder of the test run.
inline const Unpacked& UnpackedPackage()
{
    static Unpacked unpacked;
    if (unpacked.root.empty()) {
        unpacked.root = NewHostFolder();
        unpacked.program = UnpackPackage(unpacked.root);
    }
    return unpacked;
}

class PackageTest : public testing::Test {
protected:
    static void SetUpTestSuite() { PrepareDesktop(); }
    void SetUp() override
    {
        ASSERT_FALSE(UnpackedPackage().program.empty())
            << "no package at " TARNWELL_PACKAGE " to unpack: build the target 'package' first";
        root = UnpackedPackage().root;
    }
    std::string root;
};

#endif
