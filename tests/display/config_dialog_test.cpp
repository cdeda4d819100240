// The configuration dialog on a real display, on both builds: keys typed with xdotool from a
// tick inside the dialog's own modal loop, then the settings store, the line and a
// screenshot looked at.
#include "app/dialog/config_dialog.h"
#include "app/dialog/dialog_items.h"
#include "link/serial_link.h"
#include "link/serial_port.h"
#include "protocol/store.h"
#include "resources/resource.h"
#include "tests/display/alerts_probe.h"
#include "tests/support/link_probe.h"
#include "tests/support/desktop.h"
#include "tests/support/host_tool.h"
#include "tests/support/peer_line.h"
#include "tests/support/screen.h"
#include "tests/support/settings_store.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <process.h>
#include <windows.h>
#include <initguid.h>
#include <devguid.h>
#include <setupapi.h>
#endif

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using Lines = std::vector<std::string>;
static const char Title[] = "Tarnwell Configuration";

// What the user does while the dialog is open, one step a tick; true once done. A step that
// waits for the dialog to show something is asked again each tick, for five seconds.
using Step = std::function<bool(WindowHandle dialog)>;
static std::vector<Step> Script;
static size_t Done;
static int Waited;

static void Tick()
{
    WindowHandle dialog = FindShownWindow(Title);
    if (!dialog || Done == Script.size())
        return;
    Waited = Script[Done](dialog) ? (Done++, 0) : Waited + 1;
    if (Waited == 50) {
        ADD_FAILURE() << "step " << Done << " never came about";
        Done = Script.size();
        SendCloseRequest(Title);
    }
}

static Step Xdotool(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), "xdotool");
    return [=](WindowHandle) { return RunHostTool(arguments) == 0; };
}
// Empties the focused field and types `text` into it.
static Step Replace(const std::string& text)
{
    return Xdotool({"key", "End", "shift+Home", "BackSpace", "type", "--delay", "5", text});
}

// A rectangle of template 104 (dialog units) on the screen, scaled by the dialog's own size.
static ScreenArea TemplateArea(WindowHandle dialog, int left, int top, int width, int height)
{
    ScreenArea client = ClientArea(dialog), area;
    auto x = [&](int units) { return client.x + (units * client.width + 121) / 243; };
    auto y = [&](int units) { return client.y + (units * client.height + 43) / 87; };
    area.x = x(left);
    area.y = y(top);
    area.width = x(left + width) - area.x;
    area.height = y(top + height) - area.y;
    return area;
}

// The pointer to a point of the template, with a click when asked.
static Step PointAt(int left, int top, bool click = false)
{
    return [=](WindowHandle dialog) {
        ScreenArea at = TemplateArea(dialog, left, top, 0, 0);
        std::vector<std::string> move = {"mousemove", std::to_string(at.x), std::to_string(at.y)};
        if (click)
            move.insert(move.end(), {"click", "1"});
        return Xdotool(move)(dialog);
    };
}

// Waits until the dialog is painted: two looks at the screen, a tick apart, agree.
static Step Settled()
{
    auto was = std::make_shared<Screenshot>();
    return [was](WindowHandle) {
        Screenshot now;
        bool same = TakeScreenshot(&now) && !was->rgb.empty() && now.rgb == was->rgb;
        *was = std::move(now);
        return same;
    };
}

static std::string Texts(WindowHandle dialog)
{
    std::string texts;
    for (int id : {IDC_PORT, IDC_RATE, IDC_DIRECTORY}) {
        char text[TextSize];
        GetItemText(dialog, id, text, sizeof text);
        texts += std::string(id == IDC_PORT ? "" : "|") + text;
    }
    return texts;
}

class ConfigDialogTest : public testing::Test {
protected:
    static void SetUpTestSuite()
    {
        PrepareDesktop();
        owner = OpenOwnerWindow(60, 60, 420, 300);
    }
    static void TearDownTestSuite() { CloseOwnerWindow(owner); }
    void SetUp() override { ResetSettingsStore(); }
    void TearDown() override { CloseLink(); }

    // Runs the dialog through these steps, the pointer over it first so that keys reach it.
    static int Dialog(std::vector<Step> steps)
    {
        Script = steps;
        Script.insert(Script.begin(), PointAt(121, 40));
        Done = Waited = 0;
        StartTicks(Tick);
        int result = ConfigDialog(owner);
        StopTicks();
        EXPECT_EQ(Done, Script.size()) << "the dialog ended before its last step";
        return result;
    }

    static WindowHandle owner;
};
WindowHandle ConfigDialogTest::owner;

// Each control of template 104 stands where the template puts it: something other than the
// background lies within two pixels of its left edge (of each edge, for the framed ones), and
// only the background three pixels outside.
static void ExpectTemplateLayout(WindowHandle dialog, const Screenshot& shot)
{
    static const struct { int left, top, width, height, framed; } controls[] = {
        {69, 7, 103, 14, 1}, {69, 25, 103, 14, 1}, {69, 43, 16, 8, 0}, {69, 55, 103, 14, 1},
        {186, 7, 50, 14, 1}, {186, 24, 50, 14, 1}, {7, 10, 37, 8, 0}, {7, 28, 39, 8, 0},
        {7, 43, 42, 8, 0}, {7, 58, 33, 8, 0}, {69, 73, 16, 8, 0}, {7, 73, 54, 8, 0}};
    ScreenArea client = ClientArea(dialog);
    unsigned background = shot.Pixel(client.x + 2, client.y + 2);
    // The edge runs `length` pixels from (x, y) along (dx, dy); (ox, oy) points outward.
    auto edge = [&](int x, int y, int dx, int dy, int length, int ox, int oy) {
        bool ink = false, clear = true;
        for (int i = 0; i < length; i++, x += dx, y += dy) {
            clear = clear && shot.Pixel(x + 3 * ox, y + 3 * oy) == background;
            for (int d = -2; d <= 2; d++)
                ink = ink || shot.Pixel(x + d * ox, y + d * oy) != background;
        }
        return ink && clear;
    };
    for (const auto& c : controls) {
        ScreenArea a = TemplateArea(dialog, c.left, c.top, c.width, c.height);
        int right = a.x + a.width - 1, bottom = a.y + a.height - 1;
        EXPECT_TRUE(edge(a.x, a.y, 0, 1, a.height, -1, 0) &&
                    (!c.framed || (edge(right, a.y, 0, 1, a.height, 1, 0) &&
                                   edge(a.x, a.y, 1, 0, a.width, 0, -1) &&
                                   edge(a.x, bottom, 1, 0, a.width, 0, 1))))
            << "control at " << c.left << ", " << c.top;
    }
}

#ifdef _WIN32
static const char WithoutTheTemplatesFont[] = "TARNWELL_WITHOUT_MS_SANS_SERIF";

// Runs the test `name` again in a process of its own, for which the files of "MS Sans Serif"
// are out of the Windows font folder: the system then gives the dialog another font in its
// place (under Wine a wider one, DejaVu Sans). Its exit code.
static int RunWithoutTheTemplatesFont(const char* name)
{
    char fonts[MAX_PATH], self[MAX_PATH];
    GetWindowsDirectoryA(fonts, MAX_PATH);
    const std::string folder = std::string(fonts) + "\\Fonts\\";
    Lines moved;
    WIN32_FIND_DATAA found;
    for (const char* pattern : {"sse*.fon", "ms_sans_serif.ttf"}) {
        HANDLE search = FindFirstFileA((folder + pattern).c_str(), &found);
        for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
            if (MoveFileA((folder + found.cFileName).c_str(), (folder + found.cFileName + ".away").c_str()))
                moved.push_back(folder + found.cFileName);
        FindClose(search);
    }
    GetModuleFileNameA(NULL, self, MAX_PATH);
    _putenv((std::string(WithoutTheTemplatesFont) + "=1").c_str());
    std::string filter = std::string("--gtest_filter=ConfigDialogTest.") + name;
    intptr_t code = _spawnl(_P_WAIT, self, self, filter.c_str(), NULL);
    _putenv((std::string(WithoutTheTemplatesFont) + "=").c_str());
    for (const std::string& font : moved)
        MoveFileA((font + ".away").c_str(), font.c_str());
    return (int)code;
}

// A device of the system's ports class for `port`, named `friendly`, as a driver makes one
// (removed with SetupDiRemoveDevice). False when it could not be made.
static bool MakePortDevice(HDEVINFO set, SP_DEVINFO_DATA* device, const char* port, const char* friendly)
{
    HKEY settings = NULL;
    device->cbSize = sizeof *device;
    return SetupDiCreateDeviceInfoA(set, "TARNWELL", &GUID_DEVCLASS_PORTS, NULL, NULL, DICD_GENERATE_ID, device) &&
           SetupDiRegisterDeviceInfo(set, device, 0, NULL, NULL, NULL) &&
           SetupDiSetDeviceRegistryPropertyA(set, device, SPDRP_FRIENDLYNAME, (const BYTE*)friendly,
                                             (DWORD)strlen(friendly) + 1) &&
           (settings = SetupDiCreateDevRegKeyA(set, device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, NULL, NULL)) &&
           RegSetValueExA(settings, "PortName", 0, REG_SZ, (const BYTE*)port, (DWORD)strlen(port) + 1) == 0 &&
           RegCloseKey(settings) == 0;
}

// Each label's text, in the label's font, on one line of its control: a static control wraps
// what is longer at a word, out of sight below its one line.
static Lines LabelsThatDoNotFit(HWND dialog)
{
    Lines cut;
    HDC dc = GetDC(dialog);
    for (HWND label = GetWindow(dialog, GW_CHILD); label; label = GetWindow(label, GW_HWNDNEXT)) {
        char kind[16], text[TextSize];
        RECT area;
        SIZE extent;
        if (!GetClassNameA(label, kind, sizeof kind) || lstrcmpiA(kind, "Static") || !GetWindowTextA(label, text, sizeof text))
            continue;
        SelectObject(dc, (HFONT)SendMessageA(label, WM_GETFONT, 0, 0));
        GetTextExtentPoint32A(dc, text, lstrlenA(text), &extent);
        GetClientRect(label, &area);
        if (extent.cx > area.right || extent.cy > area.bottom)
            cut.push_back(std::string(text) + " " + std::to_string(extent.cx) + " in " + std::to_string(area.right));
    }
    ReleaseDC(dialog, dc);
    return cut;
}
#endif

// Windows: also where the system gives the dialog another font, each label keeps all its
// words on its one line (a label wrapped there at its last word, and showed its first alone,
// "Serial" for "Serial Port :").
TEST_F(ConfigDialogTest, OpensWithTheDefaultsInTheTemplatesLayoutAndTabOrder)
{
#ifdef _WIN32
    if (!getenv(WithoutTheTemplatesFont)) {
        EXPECT_EQ(RunWithoutTheTemplatesFont("OpensWithTheDefaultsInTheTemplatesLayoutAndTabOrder"), 0);
    }
#endif
    const std::string port = SettingDefault(SettingPort), folder = SettingDefault(SettingDirectory);
    Lines atOpening;
    std::vector<Step> steps = {Settled(), [&](WindowHandle dialog) {
        atOpening = SettingsSectionLines();
        EXPECT_EQ(Texts(dialog), port + "|9600|" + folder);
        EXPECT_TRUE(ItemChecked(dialog, IDC_XON) && ItemChecked(dialog, IDC_PRESERVE));
        EXPECT_EQ(FocusedControl(), IDC_PORT);
        // At the top left of the owner's client area, give or take the dialog's own frame.
        ScreenArea client = ClientArea(dialog), ownerClient = ClientArea(owner);
        EXPECT_LE((unsigned)(client.x - ownerClient.x), 8u);
        EXPECT_LE((unsigned)(client.y - ownerClient.y), 30u);
        Screenshot shot;
        EXPECT_TRUE(TakeScreenshot(&shot, "config-dialog.png"));
        ExpectTemplateLayout(dialog, shot);
#ifdef _WIN32
        EXPECT_EQ(LabelsThatDoNotFit(dialog), Lines{});
#endif
        return true;
    }};
    for (int id : {IDC_RATE, IDC_XON, IDC_DIRECTORY, IDOK, IDCANCEL, IDC_PRESERVE, IDC_PORT}) {
        steps.push_back(Xdotool({"key", "Tab"}));
        steps.push_back([id](WindowHandle) { return FocusedControl() == id; });
    }
#ifdef _WIN32
    // The port field lists the COM ports the system lists (COM1 and COM2 the test's line, two
    // more added) by number, each with its device's name where it has one, less the "(COM2)"
    // at its end; the next one chosen with Down puts its name alone in the field.
    HKEY listed;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_ALL_ACCESS, &listed), 0);
    for (const char* name : {"COM19", "COM9"})
        RegSetValueExA(listed, name, 0, REG_SZ, (const BYTE*)name, (DWORD)strlen(name) + 1);
    HDEVINFO devices = SetupDiCreateDeviceInfoList(&GUID_DEVCLASS_PORTS, NULL);
    SP_DEVINFO_DATA device;
    EXPECT_TRUE(MakePortDevice(devices, &device, "COM2", "Z88 Cable (COM2)"));
    Lines items;
    steps.push_back([&](WindowHandle dialog) {
        char item[2 * TextSize + 4];
        for (int i = 0; SendDlgItemMessageA(dialog, IDC_PORT, CB_GETLBTEXT, i, (LPARAM)item) > 0; i++) {
            std::string name = std::string(item).substr(0, strcspn(item, " "));  // not the host's ports
            if (name == "COM1" || name == "COM2" || name == "COM9" || name == "COM19")
                items.push_back(item);
        }
        return true;
    });
    steps.push_back(Xdotool({"key", "Down"}));
    steps.push_back([](WindowHandle dialog) { return Texts(dialog).rfind("COM2|", 0) == 0; });
#endif
    steps.push_back(PointAt(211, 31, true));  // a click on Cancel
    EXPECT_EQ(Dialog(steps), IDCANCEL);
#ifdef _WIN32
    for (const char* name : {"COM19", "COM9"})
        RegDeleteValueA(listed, name);
    RegCloseKey(listed);
    SetupDiRemoveDevice(devices, &device);
    SetupDiDestroyDeviceInfoList(devices);
    EXPECT_EQ(items, (Lines{"COM1", "COM2 - Z88 Cable", "COM9", "COM19"}));
#endif
    EXPECT_EQ(atOpening, (Lines{"Port=" + port, "Rate=9600", "Xon=1", "Directory=" + folder,
                                "Preserve=1"}));
    EXPECT_EQ(SettingsSectionLines(), atOpening);
}

TEST_F(ConfigDialogTest, EscAndCloseStoreNothingEnterStoresAllAndReopensThePort)
{
    char port[128];
    ASSERT_TRUE(OpenPeerLine(port, sizeof port));
    PutSetting("Port", port);
    OpenLinkPort();
    LinkPort opened = LinkHandle;
    LineState line;
    Step close = [](WindowHandle) { return SendCloseRequest(Title) != 0; };
    for (Step end : {Xdotool({"key", "Escape"}), close}) {
        Lines atOpening;
        Step look = [&](WindowHandle) { atOpening = SettingsSectionLines(); return true; };
        EXPECT_EQ(Dialog({look, Replace("COM7"), Xdotool({"key", "Tab", "Tab", "space"}), end}), IDCANCEL);
        EXPECT_EQ(SettingsSectionLines(), atOpening);
        EXPECT_EQ(LinkHandle, opened);
        EXPECT_TRUE(ReadLineState(&line) && line.rate == 9600 && line.xonOut);
    }

    // Typed without the separator at its end, stored with it.
    std::string folder = NewTestFolder() + "Z88 files";
    Step typed = [&](WindowHandle dialog) { return Texts(dialog) == std::string(port) + "|19200|" + folder; };
    EXPECT_EQ(Dialog({Replace(port), Xdotool({"key", "Tab"}), Replace("19200"),
                      Xdotool({"key", "Tab", "space", "Tab"}), Replace(folder),
                      Xdotool({"key", "Tab", "Tab", "Tab", "space"}), typed, Xdotool({"key", "Return"})}),
              IDOK);
    folder += PathSeparator();
    EXPECT_EQ(SettingsSectionLines(), (Lines{"Port=" + std::string(port), "Rate=19200", "Xon=0",
                                             "Directory=" + folder, "Preserve=0"}));
    ASSERT_TRUE(ReadLineState(&line));
    EXPECT_EQ(line.rate, 19200);
    EXPECT_FALSE(line.xonOut || line.xonIn);
    EXPECT_EQ(StoreDirectory, folder);
}

// An emptied port is stored, and the reopening shows the connect message; no field takes
// more than 127 characters. A directory that is no full path is refused by OK, in words
// that name the field, and the dialog stays with that field in focus.
TEST_F(ConfigDialogTest, AnEmptiedPortShowsTheConnectMessageAndNoFieldTakesMoreThan127)
{
    PutSetting("Xon", "2");
    PutSetting("Preserve", "-1");
    std::string typed;
    while (typed.size() < 150)
        typed += "abcdefghijklmnopqrstuvwxyz0123456789";
    const std::string kept = typed.substr(0, 127), folder = NewTestFolder();
    typed.resize(150);
    Step watch = [](WindowHandle dialog) { WatchForMessageBox(dialog); return true; };
    SeenBox relative;
    // The long texts, seen cut in the fields, give way to a rate and a folder that OK takes.
    EXPECT_EQ(Dialog({[](WindowHandle dialog) { return ItemChecked(dialog, IDC_XON) && ItemChecked(dialog, IDC_PRESERVE); },
                      Replace(""), Xdotool({"key", "Tab"}), Replace(typed), Xdotool({"key", "Tab", "Tab"}),
                      Replace(typed), [&](WindowHandle dialog) { return Texts(dialog) == "|" + kept + "|" + kept; },
                      Replace("z88"), Xdotool({"key", "shift+Tab", "shift+Tab"}), Replace("9600"), watch,
                      Xdotool({"key", "Return"}), [](WindowHandle) { return FocusedControl() == IDC_DIRECTORY; },
                      [&](WindowHandle) { relative = LastSeenBox(); return true; },
                      Replace(folder), watch, Xdotool({"key", "Return"})}),
              IDOK);
    EXPECT_EQ(relative.text, "Directory: the folder \"z88\" is not a full path, such as \"" +
                                 std::string(SettingDefault(SettingDirectory)) + "\".");
    SeenBox box = LastSeenBox();
    const std::string detail = PortFailureText();
    EXPECT_TRUE(box.seen);
    EXPECT_EQ(box.text, "Can't connect to Serial Port" + (detail.empty() ? "" : "\n" + detail));
    EXPECT_TRUE(box.ownedByExpected) << "the message belongs to the dialog, still on screen";
    EXPECT_EQ(LinkHandle, LinkOpenFailed);
    // On/off values other than 1 showed checked and are stored as "1".
    EXPECT_EQ(SettingsSectionLines(), (Lines{"Xon=1", "Preserve=1", "Port=", "Rate=9600",
                                             "Directory=" + folder}));
}

