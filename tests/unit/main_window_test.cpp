// The plain logic under the main window, on both builds: the paths of an X drop, the
// program's icon and its decoder, the window's size and what its client area says.
#include "app/window/autostart.h"
#include "app/window/icon.h"
#include "app/window/main_window.h"
#include "app/window/uri_list.h"
#include "link/serial_link.h"
#include "protocol/outcome.h"
#include "protocol/store.h"
#include "settings/settings.h"
#include "tests/support/peer_line.h"
#include "tests/support/settings_store.h"

#include <gtest/gtest.h>

#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

using Paths = std::vector<std::string>;

TEST(UriList, GivesWholeDecodedPathsInOrder)
{
    const std::string deep = "/home/z88/" + std::string(300, 'd') + "/notes.txt";
    struct Case {
        const char* why;
        std::string text;
        Paths paths;
    } cases[] = {
        {"file URIs, CR LF, encoded", "file:///home/z88/my%20letter.txt\r\nfile:///tmp/b%2Bc.TXT\r\n",
         {"/home/z88/my letter.txt", "/tmp/b+c.TXT"}},
        {"LF alone, no end after the last", "file:///a\nfile:///b", {"/a", "/b"}},
        {"a host, small hex digits, UTF-8", "file://localhost/tmp/caf%c3%a9%2fx\r\n",
         {"/tmp/caf\xC3\xA9/x"}},
        {"comments and empty lines", "# from a file manager\r\n\r\nfile:///x\r\n\r\n", {"/x"}},
        {"plain paths as they stand", "/tmp/100%25 sure.txt\n/srv/a b\n",
         {"/tmp/100%25 sure.txt", "/srv/a b"}},
        {"broken escapes kept", "file:///t/50%zz%4\r\n", {"/t/50%zz%4"}},
        {"no cap on the length", "file://" + deep + "\r\n", {deep}},
        {"a zero byte names no file", "file:///tmp/a%00b\r\nfile:///tmp/next\r\n", {"", "/tmp/next"}},
        {"another scheme names no file", "http://example.com/x\r\nfile:///y\r\n", {"", "/y"}},
        {"nothing", "", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ParseUriList(c.text.c_str()), c.paths) << c.why;
}

// One pixel of the decoded icon: red, green, blue, alpha.
static std::vector<int> Pixel(const unsigned char* rgba, int x, int y)
{
    const unsigned char* p = rgba + (y * IconSide + x) * 4;
    return {p[0], p[1], p[2], p[3]};
}

TEST(Icon, OurIconDecodesRightWayUpWithItsMask)
{
    unsigned char rgba[IconSide * IconSide * 4];
    ASSERT_TRUE(DecodeIcon(IconFile, IconFileSize, rgba));
    // The picture is stored bottom row first, two pixels a byte (the left one high).
    EXPECT_EQ(Pixel(rgba, 0, 0), (std::vector<int>{0, 0, 0, 0})) << "the corner is clear";
    EXPECT_EQ(Pixel(rgba, 2, 7), (std::vector<int>{0, 0, 0, 255})) << "the case's black edge";
    EXPECT_EQ(Pixel(rgba, 4, 12), (std::vector<int>{0, 128, 128, 255})) << "the screen";
    EXPECT_EQ(Pixel(rgba, 5, 12), (std::vector<int>{0, 0, 0, 255})) << "text on the screen";
    EXPECT_EQ(Pixel(rgba, 28, 29), (std::vector<int>{255, 255, 0, 255})) << "the plug's pin";
    EXPECT_EQ(Pixel(rgba, 31, 31), (std::vector<int>{0, 0, 0, 0}));
}

TEST(Icon, AnythingButA32By32SixteenColourIconIsRefused)
{
    std::vector<unsigned char> good(IconFile, IconFile + IconFileSize);
    unsigned char rgba[IconSide * IconSide * 4];
    auto refused = [&](std::vector<unsigned char> file, size_t size) {
        // The bytes past `size` are not there for the decoder to read.
        std::vector<unsigned char> exact(file.begin(), file.begin() + size);
        return DecodeIcon(exact.data(), exact.size(), rgba) == 0;
    };
    auto changed = [&](size_t at, unsigned char value) {
        std::vector<unsigned char> file = good;
        file[at] = value;
        return file;
    };
    EXPECT_FALSE(refused(good, good.size()));
    EXPECT_TRUE(refused(good, good.size() - 1)) << "one byte short";
    EXPECT_TRUE(refused(good, 10)) << "a directory cut short";
    EXPECT_TRUE(refused(changed(2, 2), good.size())) << "a cursor file";
    EXPECT_TRUE(refused(changed(6, 16), good.size())) << "16 pixels wide";
    EXPECT_TRUE(refused(changed(8, 0), good.size())) << "256 colours";
    EXPECT_TRUE(refused(changed(18, 0xF0), good.size())) << "image beyond the file";
    EXPECT_TRUE(refused(changed(22 + 14, 8), good.size())) << "8 bits a pixel";
    EXPECT_TRUE(refused(changed(22 + 16, 1), good.size())) << "compressed";
}

TEST(MainWindowSize, AnEighthAndAFourteenthOfTheScreenAnd20PixelsAt96Dpi)
{
    EXPECT_EQ(MainWindowWidth(640, 96), 100);
    EXPECT_EQ(MainWindowHeight(480, 96), 54);
    EXPECT_EQ(MainWindowWidth(1024, 96), 148);
    EXPECT_EQ(MainWindowHeight(768, 96), 74);
    EXPECT_EQ(MainWindowWidth(1366, 96), 190);  // remainders dropped
    EXPECT_EQ(MainWindowHeight(1069, 96), 96);
    // The 20 pixels grow with the DPI, as the screen's pixels do: 150 % of 1920 by 1080.
    EXPECT_EQ(MainWindowWidth(2880, 144), 390);
    EXPECT_EQ(MainWindowHeight(1620, 144), 145);
    EXPECT_EQ(MainWindowWidth(3840, 192), 520);
}

TEST(MainWindowText, LinesGiveWayWithAnEllipsisTheFolderKeepingBothEnds)
{
    // A width in characters, each one wide: what FitStateLine keeps is then plain to count.
    auto characters = [](const char* text, void*) {
        return (int)std::count_if(text, text + strlen(text), [](char c) { return (c & 0xC0) != 0x80; });
    };
    const std::string folder = "/home/ann/Documents/Z88/LINK/", e = "\xE2\x80\xA6";  // "…"
    struct Case {
        const char* why;
        StateLine line;
        int width;
        std::string shown;
    } cases[] = {
        {"whole when it fits", {"Folder: ", folder, "", true}, 37, "Folder: " + folder},
        {"a folder's beginning up to a separator", {"Folder: ", folder, "", true}, 27,
         "Folder: /home/ann/" + e + "/LINK/"},
        {"down to the root", {"Folder: ", folder, "", true}, 16, "Folder: /" + e + "/LINK/"},
        {"too narrow for both ends: the beginning", {"Folder: ", folder, "", true}, 15, "Folder: /home/" + e},
        {"a file name cut, the time kept", {"Received ", "A_VERY_LONG_NAME.TXT", ", 10:42", false}, 25,
         "Received A_VERY_L" + e + ", 10:42"},
        {"not even the time: the line's beginning", {"Received ", "LETTER.TXT", ", 10:42", false}, 12,
         "Received LE" + e},
        {"no room at all: the sign alone", {"", "COM1, 9600 baud", "", false}, 0, e},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FitStateLine(c.line, c.width, characters, nullptr), c.shown) << c.why;
    // No character cut in two where its first byte alone would fit (a byte one wide, "…" three).
    auto bytes = [](const char* text, void*) { return (int)strlen(text); };
    EXPECT_EQ(FitStateLine({"", "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9", "", false}, 6, bytes, nullptr), "\xC3\xA9" + e);
    // The text drawn: each line fitted on its own, one below the other.
    const StateLine lines[2] = {{"", "COM1, 9600 baud", "", false}, {"", "Nothing transferred yet", "", false}};
    EXPECT_EQ(FitStateLines(lines, 2, 15, characters, nullptr), "COM1, 9600 baud\nNothing transf" + e);
}

// The client area's three lines, before any port was named: "No port", the folder the
// setting names, and the last transfer once there was one; `changed` only when a line's
// text differs from the call before. With a port open, the port and its rate, and the folder
// the open loaded, where files go until the next open, whatever the setting says meanwhile.
TEST(MainWindowText, StateSaysThePortTheFolderAndTheLastTransfer)
{
    auto said = [](const StateLine* lines) {
        std::vector<std::string> text;
        for (int i = 0; i < StateLineCount; i++)
            text.push_back(lines[i].lead + "[" + lines[i].name + "]" + lines[i].trail + (lines[i].folder ? " (folder)" : ""));
        return text;
    };
    OverrideSetting(SettingDirectory, "/home/ann/LINK/");
    int changed = 0;
    EXPECT_EQ(said(MainWindowState(&changed)),
              (Paths{"[No port]", "Folder: [/home/ann/LINK/] (folder)", "[Nothing transferred yet]"}));
    EXPECT_EQ(changed, 1);
    MainWindowState(&changed);
    EXPECT_EQ(changed, 0) << "nothing changed";

    LastTransfer = {"Received", "LETTER.TXT", "10:42"};
    EXPECT_EQ(said(MainWindowState(&changed)),
              (Paths{"[No port]", "Folder: [/home/ann/LINK/] (folder)", "Received [LETTER.TXT], 10:42"}));
    EXPECT_EQ(changed, 1);
    OverrideSetting(SettingDirectory, "/home/ann/NEW/");
    EXPECT_EQ(said(MainWindowState(&changed))[1], "Folder: [/home/ann/NEW/] (folder)");
    EXPECT_EQ(changed, 1);
    OverrideSetting(SettingDirectory, nullptr);
    LastTransfer = {};

    char port[TextSize];
    ResetSettingsStore();
    ASSERT_TRUE(OpenPeerLine(port, sizeof port));
    PutSetting("Port", port);
    PutSetting("Directory", "/home/ann/OPEN/");
    OpenLink();
    PutSetting("Directory", "/home/ann/NEXT/");
    EXPECT_EQ(said(MainWindowState(&changed)),
              (Paths{"[" + std::string(port) + ", 9600 baud]", "Folder: [/home/ann/OPEN/] (folder)",
                     "[Nothing transferred yet]"}));
    CloseLink();
    ClosePeerLine();
}

#ifndef _WIN32
// A path as the Exec word of the autostart entry: as it stands where nothing is reserved,
// else quoted, with the quoting's escapes and then the entry's own string escapes.
TEST(Autostart, ExecWordQuotesWhatTheEntryReserves)
{
    struct Case {
        const char* path;
        const char* word;  // as it stands in the file
    } cases[] = {
        {"/usr/bin/tarnwell", "/usr/bin/tarnwell"},
        {"/home/ann/my apps/tarnwell", "\"/home/ann/my apps/tarnwell\""},
        {"/opt/100%/tarnwell", "/opt/100%%/tarnwell"},
        {"/opt/a$b/c\"d`e/tarnwell", "\"/opt/a\\\\$b/c\\\\\"d\\\\`e/tarnwell\""},
        {"/opt/back\\slash/tarnwell", "\"/opt/back\\\\\\\\slash/tarnwell\""},
        {"/opt/new\nline/tarnwell", "\"/opt/new\\nline/tarnwell\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DesktopExecWord(c.path), c.word) << c.path;
}
#endif
