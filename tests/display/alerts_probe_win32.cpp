// Windows side of the alerts probe: the message box found among the
// thread's windows from a timer that fires inside its modal loop.
#include "tests/display/alerts_probe.h"

#include "tests/support/desktop.h"
#include "tests/support/host_tool.h"

#include <windows.h>

#include <string.h>

static HWND TestWindow = NULL;
static SeenBox Seen;
static HWND Expected = NULL;
static int Looks = 0;
// Looks, a tenth of a second apart, before the watch gives up on a box: long enough for a
// busy machine to bring one up.
enum { MaxLooks = 200 };
static UINT_PTR Watch = 0;

WindowHandle ShowTestWindow()
{
    TestWindow = OpenOwnerWindow(100, 100, 200, 150);
    SetForegroundWindow(TestWindow);
    SetActiveWindow(TestWindow);
    const ScreenArea client = ClientArea(TestWindow);
    RunHostTool({"xdotool", "mousemove", std::to_string(client.x + client.width / 2),
                 std::to_string(client.y + client.height / 2)});
    RunEventLoop(200);
    return TestWindow;
}

void CloseTestWindow()
{
    if (TestWindow)
        CloseOwnerWindow(TestWindow);
    TestWindow = NULL;
}

void PumpTestWindow()
{
    MSG message;
    while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

static BOOL CALLBACK FindBox(HWND window, LPARAM found)
{
    char className[32];
    GetClassNameA(window, className, sizeof className);
    if (strcmp(className, "#32770") == 0 && IsWindowVisible(window) && window != Expected) {
        *(HWND*)found = window;
        return FALSE;
    }
    return TRUE;
}

static BOOL CALLBACK LookAtChild(HWND child, LPARAM)
{
    char className[32];
    GetClassNameA(child, className, sizeof className);
    if (strcmp(className, "Static") != 0)
        return TRUE;
    if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        HICON icon = (HICON)SendMessageA(child, STM_GETICON, 0, 0);
        Seen.errorIcon = icon && icon == LoadIconA(NULL, IDI_ERROR);
    } else {
        char text[128];
        if (GetWindowTextA(child, text, sizeof text) > 0)
            Seen.text = text;
    }
    return TRUE;
}

// Closes every visible window of the thread but the test's own.
static BOOL CALLBACK CloseStranger(HWND window, LPARAM)
{
    if (window != TestWindow && IsWindowVisible(window))
        PostMessageA(window, WM_CLOSE, 0, 0);
    return TRUE;
}

static void CALLBACK LookAtBox(HWND, UINT, UINT_PTR, DWORD)
{
    HWND box = NULL;
    EnumThreadWindows(GetCurrentThreadId(), FindBox, (LPARAM)&box);
    if (!box && ++Looks < MaxLooks)
        return;
    KillTimer(NULL, Watch);
    Watch = 0;
    if (!box) {
        // Whatever came up instead, so that the test does not hang.
        EnumThreadWindows(GetCurrentThreadId(), CloseStranger, 0);
        return;
    }
    Seen.seen = true;
    char title[128];
    GetWindowTextA(box, title, sizeof title);
    Seen.title = title;
    EnumChildWindows(box, LookAtChild, 0);
    Seen.ownedByExpected = Expected && GetWindow(box, GW_OWNER) == Expected;
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}

void WatchForMessageBox(WindowHandle owner)
{
    Seen = SeenBox();
    Expected = owner ? owner : TestWindow;
    Looks = 0;
    Watch = SetTimer(NULL, 0, 100, LookAtBox);
}

SeenBox LastSeenBox()
{
    if (Watch)
        KillTimer(NULL, Watch);
    Watch = 0;
    return Seen;
}

int BellsRungDuring(void (*)(void))
{
    return -1;
}
