// Windows start-up and main window (class MainWindowClass): a light-gray window that says
// what state the link is in, polls the link once a second, sends the files dropped on it or
// named on a command line, opens the configuration dialog on a left click and a menu on a
// right click (or Shift+F10, or the menu key); and the message loop.
#include "app/window/command_line.h"
#include "app/window/main_menu.h"
#include "app/window/main_window.h"
#include "app/window/single_start.h"
#include "base/failure.h"
#include "link/serial_link.h"
#include "protocol/drop.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "ui/dialog_font_win32.h"
#include "ui/app_instance_win32.h"
#include "ui/screen_dpi.h"
#include "ui/transfer_log.h"

#include <windows.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <stdlib.h>
#include <string.h>

#include <string>
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

// `text` in `codePage` (CP_ACP: the program's own 8-bit texts; CP_UTF8) as UTF-16, and the
// program's texts as UTF-8: the lines are fitted in UTF-8 as on Linux and drawn as Unicode,
// whatever the system's code page, so that the "…" that marks a cut always shows.
static std::wstring Wide(const char* text, UINT codePage)
{
    int length = MultiByteToWideChar(codePage, 0, text, -1, NULL, 0);
    std::wstring wide(length > 0 ? length : 1, L'\0');
    MultiByteToWideChar(codePage, 0, text, -1, &wide[0], length);
    wide.resize(wcslen(wide.c_str()));
    return wide;
}

static std::string Utf8(const std::string& text)
{
    std::wstring wide = Wide(text.c_str(), CP_ACP);
    int length = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, NULL, 0, NULL, NULL);
    std::string utf8(length > 0 ? length : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, &utf8[0], length, NULL, NULL);
    utf8.resize(strlen(utf8.c_str()));
    return utf8;
}

// A UTF-8 text's width in the font selected into the device context `dc`.
static int TextWidthIn(const char* text, void* dc)
{
    std::wstring wide = Wide(text, CP_UTF8);
    SIZE size = {0, 0};
    GetTextExtentPoint32W((HDC)dc, wide.c_str(), (int)wide.size(), &size);
    return size.cx;
}

// The client area's text in the dialog font (8-point "MS Sans Serif" at the window's DPI),
// black on the class's light gray, each line fitted to the window's width.
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
    int margin = ScaleToDpi(MainTextMargin, ScreenDpi(window));
    InflateRect(&area, -margin, -margin);
    int changed;
    const StateLine* state = MainWindowState(&changed);
    StateLine lines[StateLineCount];
    for (int i = 0; i < StateLineCount; i++)
        lines[i] = {Utf8(state[i].lead), Utf8(state[i].name), Utf8(state[i].trail), state[i].folder};
    std::string text = FitStateLines(lines, StateLineCount, area.right - area.left, TextWidthIn, dc);
    DrawTextW(dc, Wide(text.c_str(), CP_UTF8).c_str(), -1, &area, DT_LEFT | DT_TOP | DT_NOPREFIX);
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

// --- The right-click menu ---------------------------------------------------------------------

// A failure of a menu command, said in the "File Transfer Information" window.
static void SayFailure(HWND window, const char* command, const char* reason)
{
    std::string line = std::string(command) + " - " + reason + ".";
    AddFailureEntry(window, line.c_str());
}

// The folder the chooser opens in: that of the files chosen last, at first the user's
// Documents. Told none, the chooser would open wherever the system last saw this program
// look, which may be a folder of another task or of none.
static std::string ChooserFolder;

// "Send Files...": the files chosen, in the chooser's order, through the drop loop. The
// chooser gives the folder and then each name, every one ended by a '\0'; a single file as
// one full path.
void SendChosenFiles(WindowHandle window)
{
    char documents[MAX_PATH];
    if (ChooserFolder.empty() && SHGetFolderPathA(NULL, CSIDL_PERSONAL, NULL, SHGFP_TYPE_CURRENT, documents) == S_OK)
        ChooserFolder = documents;
    std::vector<char> names(65536, '\0');
    OPENFILENAMEA chooser;
    ZeroMemory(&chooser, sizeof chooser);
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = window;
    chooser.lpstrFilter = "All Files (*.*)\0*.*\0";
    chooser.lpstrFile = names.data();
    chooser.nMaxFile = (DWORD)names.size();
    chooser.lpstrTitle = "Send Files";
    chooser.lpstrInitialDir = ChooserFolder.empty() ? NULL : ChooserFolder.c_str();
    chooser.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameA(&chooser)) {
        DWORD error = CommDlgExtendedError();
        if (error == FNERR_BUFFERTOOSMALL)
            SayFailure(window, "Send Files", "too many files chosen at once");
        else if (error)
            SayFailure(window, "Send Files", "the file chooser failed");
        return;  // cancelled, or failed as said
    }
    std::vector<std::string> files;
    std::string first = names.data();
    for (const char* name = names.data() + first.size() + 1; *name; name += strlen(name) + 1)
        files.push_back(first + (first.back() == '\\' ? "" : "\\") + name);
    if (files.empty())
        files.push_back(first);
    ChooserFolder = files[0].substr(0, files[0].rfind('\\') + 1);
    MainWindowDropped(window, files);
}

// "Open Store Folder": the store directory in Explorer.
void OpenStoreFolder(WindowHandle window)
{
    char folder[TextSize];
    ReadSetting(SettingDirectory, folder);
    if ((INT_PTR)ShellExecuteA(window, "open", folder, NULL, NULL, SW_SHOWNORMAL) <= 32)
        SayFailure(window, "Open Store Folder", "Explorer could not open the store directory");
}

void ShowAbout(WindowHandle window, const char* text)
{
    MessageBoxA(window, text, "About Tarnwell", MB_OK | MB_ICONINFORMATION);
}

// "Exit": the close box's own message, after the menu has gone.
void ExitProgram(WindowHandle window)
{
    PostMessageA(window, WM_CLOSE, 0, 0);
}

// The thread is in a menu's loop: a popup menu of its own, or the window's system menu.
int MenuOpenNow(void)
{
    GUITHREADINFO thread;
    thread.cbSize = sizeof thread;
    return GetGUIThreadInfo(GetCurrentThreadId(), &thread) &&
           (thread.flags & (GUI_INMENUMODE | GUI_POPUPMENUMODE)) != 0;
}

// The menu at `at` (screen coordinates), and what was chosen.
static void ShowMenu(HWND window, POINT at)
{
    HMENU menu = CreatePopupMenu();
    for (int i = 0; i < MainMenuSize; i++)
        AppendMenuA(menu, MF_STRING | (MenuItemChecked(i) == 1 ? MF_CHECKED : 0), i + 1, MainMenu[i].label);
    // Without the window in front, the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(window);
    int chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, window, NULL);
    DestroyMenu(menu);
    MainMenuClosed(window, chosen);
}

// Shift+F10 and the menu key.
static bool IsMenuKey(WPARAM key)
{
    return key == VK_APPS || (key == VK_F10 && (GetKeyState(VK_SHIFT) & 0x8000));
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
    case WM_COPYDATA:
        // Files another start hands over: they go at the next tick; the answer is how many.
        return TakeFilesHandedOver((const void*)lParam);
    case WM_DROPFILES:
        DropFiles(window, (HDROP)wParam);
        return 0;
    case WM_LBUTTONDOWN:
        OpenConfiguration(window);
        return 0;
    case WM_RBUTTONUP: {
        // Taken here rather than left to DefWindowProcA, which not every system turns into
        // WM_CONTEXTMENU.
        POINT at = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
        ClientToScreen(window, &at);
        ShowMenu(window, at);
        return 0;
    }
    case WM_CONTEXTMENU: {
        // A right click, or the keyboard (lParam -1: then at the client area's corner).
        POINT at = {(short)LOWORD(lParam), (short)HIWORD(lParam)};
        if (lParam == -1) {
            at.x = at.y = ScaleToDpi(KeyboardMenuCorner, ScreenDpi(window));
            ClientToScreen(window, &at);
        }
        ShowMenu(window, at);
        return 0;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        // Asked here, not left to the system: not every one turns them into WM_CONTEXTMENU.
        if (IsMenuKey(wParam)) {
            SendMessageA(window, WM_CONTEXTMENU, (WPARAM)window, -1);
            return 0;
        }
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (IsMenuKey(wParam))
            return 0;  // taken at the key's press
        break;
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

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show)
{
    std::vector<std::string> files = FilesOnCommandLine(__argc, __argv);
    std::vector<const char*> paths;
    for (const std::string& file : files)
        paths.push_back(file.c_str());
    int handed = HandToRunningProgram(paths.data(), (int)paths.size(), HandOverWaitMs);
    if (handed >= 0)
        return handed;
    QueueFilesToSend(paths.data(), (int)paths.size());
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
    windowClass.lpszClassName = MainWindowClass;
    if (!RegisterClassA(&windowClass))
        return 0;
    AppInstance = instance;

    // The size counts the frame and the caption, at the system's DPI (the program is DPI
    // aware: the screen's size and this DPI are in real pixels).
    int dpi = ScreenDpi(NULL);
    HWND window = CreateWindowExA(0, MainWindowClass, MainWindowTitleNow(),
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
