// Windows start-up and main window: the window class "Z88_Server_Window_Class", a light-gray
// window that says what state the link is in, polls the link once a second, sends the files
// dropped on it, and opens the configuration dialog on a left click, and the message loop.
#include "app/main_window.h"
#include "link/serial_link.h"
#include "resources/resource.h"
#include "ui/app_instance.h"
#include "ui/dialog_font_win32.h"
#include "ui/screen_dpi.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <vector>

enum { PollTimer = 1, PollPeriodMs = 1000 };

void ShowMainWindowTitle(WindowHandle window, const char* title)
{
    SetWindowTextA(window, title);
}

void RedrawMainWindow(WindowHandle window)
{
    InvalidateRect(window, NULL, TRUE);
}

// The client area's text in the dialog font (8-point "MS Sans Serif" at the window's DPI), black on the class's light gray, cut off where the window ends.
static void PaintState(HWND window)
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    HFONT font = CreateDialogFont(window);
    HGDIOBJ before = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    RECT area;
    GetClientRect(window, &area);
    int margin = MulDiv(4, ScreenDpi(window), 96);
    InflateRect(&area, -margin, -margin);
    int changed;
    DrawTextA(dc, MainWindowState(&changed), -1, &area, DT_LEFT | DT_TOP | DT_NOPREFIX);
    SelectObject(dc, before);
    DeleteObject(font);
    EndPaint(window, &paint);
}

// The files of a drop, sent one after another until one fails. Each path is fetched whole,
// its length asked first and its buffer sized to fit: a path cut to a fixed buffer can name
// another file, which would then go to the Z88 under the wrong name. The send session refuses
// a path too long for it instead.
static void DropFiles(HWND window, HDROP drop)
{
    UINT count = DragQueryFileA(drop, 0xFFFFFFFF, NULL, 0);
    std::vector<std::string> paths(count);
    for (UINT i = 0; i < count; i++) {
        paths[i].resize(DragQueryFileA(drop, i, NULL, 0));
        DragQueryFileA(drop, i, &paths[i][0], (UINT)paths[i].size() + 1);
    }
    MainWindowDropped(window, paths);
    DragFinish(drop);
}

static LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        // Inside CreateWindowExA, before the window is shown: a port that cannot be opened
        // is reported while nothing else is on the screen, and the ticks start after that.
        StartMainWindow(window);
        SetTimer(window, PollTimer, PollPeriodMs, NULL);
        return 0;
    case WM_TIMER:
        MainWindowTick(window);
        return 0;
    case WM_DROPFILES:
        DropFiles(window, (HDROP)wParam);
        return 0;
    case WM_LBUTTONDOWN:
        MainWindowClicked(window);
        return 0;
    case WM_PAINT:
        PaintState(window);
        return 0;
    case WM_SIZE:
        InvalidateRect(window, NULL, TRUE);
        return 0;
    case WM_DPICHANGED: {
        // Moved to a screen of another DPI (or its scaling changed): the size Windows
        // proposes keeps the window as large as it looked before.
        const RECT* proposed = (const RECT*)lParam;
        SetWindowPos(window, NULL, proposed->left, proposed->top, proposed->right - proposed->left,
                     proposed->bottom - proposed->top, SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_DESTROY:
        CloseLink();
        KillTimer(window, PollTimer);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// A program already running for this user (on this desktop) has a window of our class: it
// is brought to the front, out of the taskbar if need be, and this start ends. Two programs
// would fight for one port. Non-zero when there was one.
static int HandToRunningProgram(void)
{
    HWND running = FindWindowA("Z88_Server_Window_Class", NULL);
    if (!running)
        return 0;
    if (IsIconic(running))
        ShowWindow(running, SW_RESTORE);
    // A window that a dialog of its own disables hands the front to that dialog.
    HWND front = GetLastActivePopup(running);
    SetForegroundWindow(front ? front : running);
    return 1;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    if (HandToRunningProgram())
        return 0;
    // The manifest asks for Common Controls 6; their window classes (the dialogs' buttons
    // and fields in the system's current look) are registered here.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);

    WNDCLASSA windowClass;
    ZeroMemory(&windowClass, sizeof windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = MainWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_TARNWELL));
    windowClass.hCursor = LoadCursorA(NULL, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)GetStockObject(LTGRAY_BRUSH);
    windowClass.lpszClassName = "Z88_Server_Window_Class";
    if (!RegisterClassA(&windowClass))
        return 0;
    AppInstance = instance;

    // The size counts the frame and the caption, at the system's DPI (the program is DPI
    // aware: the screen's size and this DPI are in real pixels).
    int dpi = ScreenDpi(NULL);
    HWND window = CreateWindowExA(0, "Z88_Server_Window_Class", MainWindowTitleNow(),
                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE, MainWindowX, MainWindowY,
                                  MainWindowWidth(GetSystemMetrics(SM_CXSCREEN), dpi),
                                  MainWindowHeight(GetSystemMetrics(SM_CYSCREEN), dpi), NULL,
                                  NULL, AppInstance, NULL);
    if (!window)
        return 0;
    ShowWindow(window, show);
    DragAcceptFiles(window, TRUE);

    // GetMessageA gives -1 only for a bad window handle, which this loop never passes.
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
