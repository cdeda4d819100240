// The status-window tests' desktop on Windows under Wine (see desktop.h). Wine draws its
// windows' frames itself, at screen coordinates that are the X root window's.
#include "tests/support/desktop.h"

#include "resources/resource.h"
#include "tests/support/host_tool.h"
#include "ui/app_instance_win32.h"

#include <windows.h>

void PrepareDesktop()
{
    AppInstance = GetModuleHandleA(nullptr);
}

WindowHandle OpenOwnerWindow(int x, int y, int width, int height)
{
    static ATOM ownerClass;
    if (!ownerClass) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
        windowClass.lpszClassName = "TarnwellTestOwner";
        ownerClass = RegisterClassA(&windowClass);
    }
    // Sized so that the client area lands where asked.
    DWORD style = WS_OVERLAPPEDWINDOW;
    RECT frame = {x, y, x + width, y + height};
    AdjustWindowRect(&frame, style, FALSE);
    HWND window = CreateWindowA("TarnwellTestOwner", "Tarnwell", style, frame.left, frame.top,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    RunEventLoop(200);
    return window;
}

void MoveOwnerWindow(WindowHandle owner, int x, int y)
{
    RECT frame = {x, y, x + 1, y + 1};
    AdjustWindowRect(&frame, GetWindowLongA(owner, GWL_STYLE), FALSE);
    SetWindowPos(owner, nullptr, frame.left, frame.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RunEventLoop(200);
}

void CloseOwnerWindow(WindowHandle owner)
{
    DestroyWindow(owner);
    RunEventLoop(100);
}

ScreenArea ClientArea(WindowHandle window)
{
    ScreenArea area;
    RECT client;
    POINT origin = {0, 0};
    if (!GetClientRect(window, &client) || !ClientToScreen(window, &origin))
        return area;
    area.x = origin.x;
    area.y = origin.y;
    area.width = client.right;
    area.height = client.bottom;
    return area;
}

void RunEventLoop(int milliseconds)
{
    // The program's own loop: no dialog keyboard handling for the modeless windows.
    DWORD end = GetTickCount() + milliseconds;
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        LONG left = (LONG)(end - GetTickCount());
        if (left <= 0)
            break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, left, QS_ALLINPUT);
    }
}

WindowHandle FindShownWindow(const char* title)
{
    HWND window = FindWindowA(nullptr, title);
    return window && IsWindowVisible(window) ? window : nullptr;
}

int FocusedControl()
{
    // The field of a drop-down list is a window of the list's own: the list is the control.
    HWND focus = GetFocus();
    char parentClass[16] = "";
    if (focus && GetClassNameA(GetParent(focus), parentClass, sizeof parentClass) && !lstrcmpiA(parentClass, "ComboBox"))
        focus = GetParent(focus);
    return focus ? GetDlgCtrlID(focus) : 0;
}

// A thread timer: every message loop of the thread dispatches it, a dialog's included.
static UINT_PTR TickTimer;
static void (*Tick)(void);

static void CALLBACK OnTickTimer(HWND, UINT, UINT_PTR, DWORD)
{
    Tick();
}

void StartTicks(void (*tick)(void))
{
    Tick = tick;
    TickTimer = SetTimer(nullptr, 0, 100, OnTickTimer);
}

void StopTicks()
{
    KillTimer(nullptr, TickTimer);
}

int FindProgramWindow(const char* title, ScreenArea* client)
{
    HWND window = FindShownWindow(title);
    if (!window)
        return 0;
    *client = ClientArea(window);
    return 1;
}

static HWND LogList()
{
    HWND window = FindShownWindow("File Transfer Information");
    return window ? GetDlgItem(window, IDC_LOG_LIST) : nullptr;
}

std::vector<std::string> LogLines()
{
    std::vector<std::string> lines;
    HWND list = LogList();
    if (!list)
        return lines;
    int count = (int)SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (int line = 0; line < count; line++) {
        char text[1024] = "";  // far more than a line of the log holds
        if (SendMessageA(list, LB_GETTEXTLEN, line, 0) < (LRESULT)sizeof text)
            SendMessageA(list, LB_GETTEXT, line, (LPARAM)text);
        lines.push_back(text);
    }
    return lines;
}

int SelectedLogLine()
{
    HWND list = LogList();
    return list ? (int)SendMessageA(list, LB_GETCURSEL, 0, 0) : -1;
}

// The close box of the window with this caption lies at the right end of its caption: found
// by asking the window what lies under points along the caption's middle. Non-zero with a
// point inside it.
static int FindCloseBox(const char* title, POINT* inside)
{
    HWND window = FindShownWindow(title);
    RECT frame;
    if (!window || !GetWindowRect(window, &frame))
        return 0;
    int captionMiddle =
        frame.top + GetSystemMetrics(SM_CYFIXEDFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2;
    for (int x = frame.right - 1; x > frame.left; x--) {
        LRESULT hit = SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(x, captionMiddle));
        if (hit == HTCLOSE) {
            inside->x = x - GetSystemMetrics(SM_CXSIZE) / 4;  // well inside the box
            inside->y = captionMiddle;
            return 1;
        }
    }
    return 0;
}

int HasCloseControl(const char* title)
{
    POINT inside;
    return FindCloseBox(title, &inside);
}

int SendCloseRequest(const char* title)
{
    HWND window = FindShownWindow(title);
    return window && PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

int CloseLikeUser(const char* title)
{
    POINT inside;
    return FindCloseBox(title, &inside) &&
           RunHostTool({"xdotool", "mousemove", std::to_string(inside.x), std::to_string(inside.y), "click", "1"}) == 0;
}

void FocusWindow(const char* title)
{
    HWND window = FindShownWindow(title);
    if (window)
        SetForegroundWindow(window);
    RunEventLoop(100);
}

int BreakProgressWindowCreation()
{
    // A module without dialog templates: the one of the test's own runtime will not do,
    // so take ntdll's, and make sure it holds no template 103.
    HMODULE module = GetModuleHandleA("ntdll.dll");
    if (FindResourceA(module, MAKEINTRESOURCEA(IDD_PROGRESS),
                      MAKEINTRESOURCEA(5) /* RT_DIALOG */))
        return 0;
    AppInstance = module;
    return 1;
}
