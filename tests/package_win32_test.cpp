// The Windows zip (see package_test.cpp), unpacked as a user unpacks it: beside tarnwell.exe
// the README and the licence in Windows line endings, and the program's version in the
// resource that File Properties shows.
#include "tests/package_test.h"

#include "tarnwell_version.h"
#include "tests/support/host_tool.h"
#include "tests/support/temp_folder.h"

#include <windows.h>

#include <string.h>

#include <vector>

// The zip's one folder.
static const char Folder[] = "tarnwell-" TARNWELL_VERSION "-windows/";

std::string UnpackPackage(const std::string& folder)
{
    std::string program = folder + Folder + "tarnwell.exe";
    if (RunHostTool({"cmake", "-E", "chdir", folder, "cmake", "-E", "tar", "xf", TARNWELL_PACKAGE}) != 0 ||
        !IsRegularTestFile(ProgramPath(program)))
        return "";
    return program;
}

namespace {

TEST_F(PackageTest, TextsBesideTheProgramHaveWindowsLineEnds)
{
    for (const char* name : {"README.txt", "LICENSE.txt"}) {
        std::string text;
        ASSERT_TRUE(ReadWholeFile(ProgramPath(root + Folder + name), &text)) << name;
        EXPECT_GT(text.size(), 1000u) << name;
        size_t bare = 0;
        for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
            bare += at == 0 || text[at - 1] != '\r';
        EXPECT_EQ(bare, 0u) << "line ends without CR in " << name;
    }
}

TEST_F(PackageTest, ExecutableCarriesItsVersion)
{
    const std::string program = ProgramPath(UnpackedPackage().program);
    DWORD size = GetFileVersionInfoSizeA(program.c_str(), NULL);
    ASSERT_GT(size, 0u) << "no version resource";
    std::vector<char> info(size);
    ASSERT_TRUE(GetFileVersionInfoA(program.c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO* fixed = NULL;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(info.data(), "\\", (void**)&fixed, &length));
    EXPECT_EQ(fixed->dwFileVersionMS, (DWORD)(TARNWELL_VERSION_MAJOR << 16 | TARNWELL_VERSION_MINOR));
    EXPECT_EQ(fixed->dwFileVersionLS, (DWORD)(TARNWELL_VERSION_PATCH << 16));
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    struct Text {
        const char* name;
        const char* value;
    } texts[] = {{"FileVersion", TARNWELL_VERSION}, {"ProductVersion", TARNWELL_VERSION},
                 {"ProductName", "Tarnwell"}, {"OriginalFilename", "tarnwell.exe"}};
    for (const Text& text : texts) {
        char* value = NULL;
        std::string key = std::string("\\StringFileInfo\\040904B0\\") + text.name;
        ASSERT_TRUE(VerQueryValueA(info.data(), key.c_str(), (void**)&value, &length)) << text.name;
        EXPECT_STREQ(value, text.value) << text.name;
    }
}

}  // namespace
