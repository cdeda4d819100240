// The Windows zip (see package_test.cpp), unpacked as a user unpacks it: beside tarnwell.exe
// the README and the licence in Windows line endings, the console program tarnwell-cli.exe,
// and the program's version in the resource that File Properties shows.
#include "tests/package/package_test.h"

#include "tarnwell_version.h"
#include "tests/support/host_tool.h"
#include "tests/support/temp_folder.h"

#include <windows.h>

#include <string.h>

#include <algorithm>
#include <regex>
#include <sstream>

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

// A console program (the subsystem in its PE header), which runs from the zip.
TEST_F(PackageTest, TerminalProgramIsAConsoleProgramBesideTheProgram)
{
    const std::string cli = root + Folder + "tarnwell-cli.exe";
    std::string image;
    ASSERT_TRUE(ReadWholeFile(ProgramPath(cli), &image));
    ASSERT_GT(image.size(), 0x40u);
    IMAGE_NT_HEADERS64 headers;
    LONG at = ((const IMAGE_DOS_HEADER*)image.data())->e_lfanew;
    ASSERT_LE(at + sizeof headers, image.size());
    memcpy(&headers, image.data() + at, sizeof headers);
    EXPECT_EQ(headers.OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_CUI);
    ASSERT_TRUE(StartProgramAt(cli, {"--version"}));
    EXPECT_EQ(WaitForProgramExit(30000), 0);
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

// The manual for Windows users: plain text of at most 78 columns, nothing of apt, and a
// section for each of README.md's but those of Linux and of building.
TEST_F(PackageTest, ReadmeIsTheWindowsManualWithTheReadmesSections)
{
    std::string text, markdown;
    ASSERT_TRUE(ReadWholeFile(ProgramPath(root + Folder + "README.txt"), &text));
    ASSERT_TRUE(ReadWholeFile(ProgramPath(TARNWELL_SOURCE_DIR "/README.md"), &markdown));
    EXPECT_EQ(text.find("!["), std::string::npos) << "an image link";
    EXPECT_FALSE(std::regex_search(text, std::regex("\\bapt\\b", std::regex::icase))) << "apt";
    // README.txt's headings are underlined with '-'.
    std::istringstream lines(text), sections(markdown);
    std::string line, previous, headings;
    while (std::getline(lines, line)) {
        line.erase(line.find_last_not_of('\r') + 1);
        EXPECT_LE(line.size(), 78u) << line;
        if (!line.empty() && line.find_first_not_of('-') == std::string::npos && line.size() == previous.size())
            headings += "## " + previous + "\n";
        previous = line;
    }
    const std::vector<std::string> notForWindows = {"## The serial port on Linux",
                                                    "## For developers", "## Benchmarks", "## Fuzzing and the fault soak"};
    std::vector<std::string> skippedSeen;
    while (std::getline(sections, line)) {
        bool skipped = std::find(notForWindows.begin(), notForWindows.end(), line) != notForWindows.end();
        if (skipped)
            skippedSeen.push_back(line);
        if (line.compare(0, 3, "## ") == 0 && !skipped) {
            EXPECT_NE(headings.find(line + "\n"), std::string::npos) << "README.txt has no section " << line;
        }
    }
    // A section renamed in README.md would otherwise stay skipped under a name it no longer has.
    EXPECT_EQ(skippedSeen, notForWindows) << "README.md lacks a section skipped here, or has it twice";
}

// The manifest Windows reads as the program starts: Common Controls 6, DPI awareness per
// monitor (v2) else system-wide, Windows 7 to 11, and no elevation.
TEST_F(PackageTest, ExecutableCarriesItsManifest)
{
    const std::string program = ProgramPath(UnpackedPackage().program);
    HMODULE module = LoadLibraryExA(program.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(module != NULL);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_TRUE(found != NULL) << "no manifest (type 24, id 1)";
    std::string manifest((const char*)LockResource(LoadResource(module, found)), SizeofResource(module, found));
    FreeLibrary(module);
    for (const char* part :
         {"name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"", "publicKeyToken=\"6595b64144ccf1df\"",
          ">true</dpiAware>", ">PerMonitorV2, System</dpiAwareness>", "<requestedExecutionLevel level=\"asInvoker\"",
          "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
          "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})
        EXPECT_NE(manifest.find(part), std::string::npos) << part;
}

}  // namespace
