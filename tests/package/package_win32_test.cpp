// The Windows zip (see package_test.cpp), unpacked as a user unpacks it: beside tarnwell.exe
// the README and the licence in Windows line endings, the console program tarnwell-cli.exe,
// and the program's version in the resource that File Properties shows. And the setup, run
// as a user runs it in a Wine prefix of its own: installed, upgraded and uninstalled.
#include "tests/package/package_test.h"

#include "tarnwell_version.h"
#include "tests/support/host_tool.h"
#include "tests/support/temp_folder.h"
#include "tests/support/wait.h"

#include <windows.h>

#include <string.h>

#include <algorithm>
#include <regex>
#include <sstream>
#include <thread>
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

// --- The setup -------------------------------------------------------------------------------

namespace {

// The setup's own Wine prefix, fresh, which the host's Wine runs in (this test runs in the
// build tree's). Its COM1 is /dev/ptmx, a new pty at each open: the installed program opens
// its port and shows its main window at once.
std::string Prefix;

// Runs the shell command `command` on the host, with Wine in the setup's prefix; its status.
int InPrefix(const std::string& command)
{
    return RunHostTool({"env", "WINEPREFIX=" + Prefix, "WINEDEBUG=-all", "WINEDLLOVERRIDES=mscoree,mshtml=", "sh",
                        "-c", command});
}

// The current user's key `key` as `reg query` lists it, "" when there is none; and one of its
// values as listed there.
std::string UserKey(const std::string& key)
{
    std::string listed;
    InPrefix("wine reg query 'HKCU\\" + key + "' >\"$WINEPREFIX/listed\" 2>&1");
    ReadWholeFile(ProgramPath(Prefix + "/listed"), &listed);
    return listed.find("HKEY_CURRENT_USER") == std::string::npos ? "" : listed;
}
std::string Listed(const std::string& name, const std::string& value, const char* type = "REG_SZ")
{
    return "    " + name + "    " + type + "    " + value + "\r\n";
}

// What is the user's: the section [Tarnwell] of WIN.INI, the files of the user's folders named
// Tarnwell but the program's folder and shortcuts (the settings, wherever they are kept), and
// the store folder C:\LINK\'s files.
std::string UsersOwn()
{
    InPrefix("cd \"$WINEPREFIX/drive_c\" && { sed -n '/^\\[Tarnwell\\]/,/^\\[/p' windows/win.ini; find users LINK "
             "-type f \\( -ipath '*tarnwell*' -o -path 'LINK/*' \\) ! -ipath '*/Programs/Tarnwell/*' ! -iname '*.lnk' "
             "-exec md5sum {} + | sort; } >../own");
    std::string own;
    ReadWholeFile(ProgramPath(Prefix + "/own"), &own);
    return own;
}

// The exit status of the program started in `running`, once its window has gone (waited for
// up to 30 s); what is left of it is ended.
int Ended(std::thread* running, const int& status)
{
    WaitUntil([] { return !DisplayShowsWindow("Tarnwell"); }, 30000, 250);
    InPrefix("wineserver -k; wineserver -w");
    running->join();
    return status;
}

// The installed program, started in the prefix; false (and ended) when it shows no window.
bool StartInstalled(std::thread* running, int* status, const std::string& program)
{
    *running = std::thread([=] { *status = InPrefix("wine '" + program + "'"); });
    return WaitUntil([] { return DisplayShowsWindow("Tarnwell"); }, 60000, 250) || Ended(running, *status) < -1;
}

// setup /S for the user alone: the programs in %LOCALAPPDATA%\Programs\Tarnwell, shortcuts in
// the Start menu and "Send to", the entry of the installed apps in the user's registry and
// nothing in the machine's; the program starts. A newer setup, while that program runs,
// closes it, replaces the programs and keeps the user's start at sign-in, settings and store
// folder; the uninstaller /S closes it too, and removes every file and key setup made.
TEST_F(PackageTest, SetupInstallsForTheUserUpgradesAndUninstalls)
{
    char name[256] = "";
    GetEnvironmentVariableA("USERNAME", name, sizeof name);
    Prefix = NewHostFolder() + "prefix";
    struct Gone {
        ~Gone() { InPrefix("wineserver -k; wineserver -w; rm -rf \"$WINEPREFIX\""); }
    } gone;
    ASSERT_EQ(InPrefix("DISPLAY= wineboot -i >/dev/null 2>&1; wine reg add 'HKLM\\Software\\Wine\\Ports' /v COM1 "
                       "/t REG_SZ /d /dev/ptmx /f >/dev/null 2>&1; wineserver -k; wineserver -w"),
              0);
    const std::string user = Prefix + "/drive_c/users/" + name + "/", folder = user + "AppData/Local/Programs/Tarnwell/";
    const std::string installed = std::string("C:\\users\\") + name + "\\AppData\\Local\\Programs\\Tarnwell";
    const std::string entryKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tarnwell";
    const std::string runKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    const std::vector<std::string> shortcuts = {user + "AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Tarnwell.lnk",
                                                user + "AppData/Roaming/Microsoft/Windows/SendTo/Tarnwell.lnk"};
    ASSERT_EQ(InPrefix("wine '" TARNWELL_SETUP "' /S"), 0);

    std::string zipped, copy, link, machine;
    ASSERT_TRUE(ReadWholeFile(ProgramPath(UnpackedPackage().program), &zipped));
    EXPECT_TRUE(ReadWholeFile(ProgramPath(folder + "tarnwell.exe"), &copy) && copy == zipped);
    for (const char* file : {"tarnwell-cli.exe", "README.txt", "LICENSE.txt", "uninstall.exe"})
        EXPECT_TRUE(ReadWholeFile(ProgramPath(folder + file))) << file;
    for (const std::string& shortcut : shortcuts)
        EXPECT_TRUE(ReadWholeFile(ProgramPath(shortcut), &link) && link.find(installed + "\\tarnwell.exe") != link.npos)
            << shortcut << " is missing or leads elsewhere";
    EXPECT_FALSE(ReadWholeFile(ProgramPath(user + "Desktop/Tarnwell.lnk"))) << "the desktop's is a choice";
    const std::string entry = UserKey(entryKey), uninstaller = "\"" + installed + "\\uninstall.exe\"";
    for (const std::string& value :
         {Listed("DisplayName", "Tarnwell"), Listed("DisplayVersion", TARNWELL_VERSION),
          Listed("Publisher", "The Tarnwell developers"), Listed("DisplayIcon", installed + "\\tarnwell.exe,0"),
          Listed("InstallLocation", installed), Listed("UninstallString", uninstaller),
          Listed("QuietUninstallString", uninstaller + " /S"), Listed("NoModify", "0x1", "REG_DWORD"),
          Listed("NoRepair", "0x1", "REG_DWORD")})
        EXPECT_NE(entry.find(value), std::string::npos) << value << " is not in\n" << entry;
    const size_t size = entry.find(Listed("EstimatedSize", "0x", "REG_DWORD").substr(0, 36));  // KiB
    EXPECT_TRUE(size != entry.npos && strtoul(&entry[size + 36], NULL, 16) >= zipped.size() / 1024) << entry;
    EXPECT_EQ(UserKey(runKey).find("Tarnwell"), std::string::npos) << "started at sign-in unasked";
    InPrefix("wineserver -k; wineserver -w");  // the registry's files written
    ASSERT_TRUE(ReadWholeFile(ProgramPath(Prefix + "/system.reg"), &machine));
    EXPECT_EQ(machine.find("Tarnwell"), machine.npos) << "written where only an administrator may";

    // The user's own: the settings the program writes, a received file, the start at sign-in.
    std::thread running;
    int status = -1;
    ASSERT_TRUE(StartInstalled(&running, &status, folder + "tarnwell.exe"));
    MakeTestFolder(ProgramPath(Prefix + "/drive_c/LINK"));
    WriteWholeFile(ProgramPath(Prefix + "/drive_c/LINK/LETTER.TXT"), "Dear Sir,\r\n");
    const std::string own = UsersOwn(), startMe = "\"" + installed + "\\tarnwell.exe\"";
    EXPECT_TRUE(own.find("[Tarnwell]") != own.npos && own.find("LINK/LETTER.TXT") != own.npos) << own;
    InPrefix("wine reg add 'HKCU\\" + runKey + "' /v Tarnwell /t REG_SZ /d '" + startMe + "' /f >/dev/null");

    // A newer version, its README marked, made here from the zip's files.
    const std::string newer = Prefix + "/newer/", version = std::to_string(TARNWELL_VERSION_MAJOR) + "." +
                                                          std::to_string(TARNWELL_VERSION_MINOR) + "." +
                                                          std::to_string(TARNWELL_VERSION_PATCH + 1);
    ASSERT_EQ(RunHostTool({"sh", "-c", "mkdir '" + newer + "' && cp -r '" + UnpackedPackage().root + Folder + "' '" +
                                           newer + "files' && echo README of " + version + " >>'" + newer + "files/README.txt'"}),
              0);
    ASSERT_EQ(RunHostTool({"makensis", "-V1", "-DVERSION=" + version, "-DFILES=" + newer + "files",
                           "-DOUTFILE=" + newer + "setup.exe", TARNWELL_SOURCE_DIR "/resources/tarnwell-setup.nsi"}),
              0);
    EXPECT_EQ(InPrefix("wine '" + newer + "setup.exe' /S"), 0);
    EXPECT_EQ(Ended(&running, status), 0) << "the running program was not closed as its close box closes it";
    std::string readme;
    EXPECT_TRUE(ReadWholeFile(ProgramPath(folder + "README.txt"), &readme) &&
                readme.find("README of " + version) != readme.npos)
        << "the files were not replaced";
    EXPECT_NE(UserKey(entryKey).find(Listed("DisplayVersion", version)), std::string::npos);
    EXPECT_NE(UserKey(runKey).find(Listed("Tarnwell", startMe)), std::string::npos) << "the start at sign-in was not kept";
    EXPECT_EQ(UsersOwn(), own);

    ASSERT_TRUE(StartInstalled(&running, &status, folder + "tarnwell.exe"));
    // The uninstaller runs from a copy of itself, which it starts and leaves to do the work.
    EXPECT_EQ(InPrefix("wine '" + folder + "uninstall.exe' /S"), 0);
    EXPECT_TRUE(WaitUntil([&] { return RunHostTool({"test", "!", "-e", folder}) == 0; }, 60000, 250))
        << "the program's folder is left";
    EXPECT_EQ(Ended(&running, status), 0) << "the running program was not closed as its close box closes it";
    for (const std::string& shortcut : shortcuts)
        EXPECT_FALSE(ReadWholeFile(ProgramPath(shortcut))) << shortcut;
    EXPECT_EQ(UserKey(entryKey), "") << "the entry in the installed apps is left";
    EXPECT_EQ(UserKey(runKey).find("Tarnwell"), std::string::npos) << "the start at sign-in of a removed program is left";
    EXPECT_EQ(UsersOwn(), own);
}

}  // namespace
