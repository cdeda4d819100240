// The whole program under Wine (see program.h): tarnwell.exe started with CreateProcess from
// the test, which runs in the same Wine prefix: one WIN.INI, one set of COM ports, one
// display. Its windows are Wine's, whose screen coordinates are those of the X screen.
#include "tests/support/program.h"

#include "app/window/icon.h"
#include "tests/support/host_tool.h"
#include "tests/support/temp_folder.h"

#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <vector>

static PROCESS_INFORMATION Program = {};

// Starts the program at host path `path`; its thread handle is closed. False when it could
// not be started (`started` is then empty).
static bool Launch(const std::string& path, const std::vector<std::string>& arguments,
                   PROCESS_INFORMATION* started)
{
    std::string command = "\"" + ProgramPath(path) + "\"";
    for (const std::string& argument : arguments)
        command += " \"" + argument + "\"";
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    if (!CreateProcessA(NULL, &command[0], NULL, NULL, FALSE, 0, NULL, NULL, &startup, started)) {
        *started = PROCESS_INFORMATION();
        return false;
    }
    CloseHandle(started->hThread);
    started->hThread = NULL;
    return true;
}

bool StartProgramAt(const std::string& path, const std::vector<std::string>& arguments)
{
    KillProgram();
    return Launch(path, arguments, &Program);
}

int WaitForProgramExit(int timeoutMs)
{
    if (!Program.hProcess || WaitForSingleObject(Program.hProcess, timeoutMs) != WAIT_OBJECT_0)
        return -1;
    DWORD code = 0;
    GetExitCodeProcess(Program.hProcess, &code);
    CloseHandle(Program.hProcess);
    Program = PROCESS_INFORMATION();
    return (int)code;
}

int RunSecondProgram(int timeoutMs, const std::vector<std::string>& arguments, std::string* said, int* boxes)
{
    PROCESS_INFORMATION second;
    if (!Launch(TARNWELL_PROGRAM, arguments, &second))
        return -1;
    DWORD code = (DWORD)-1;
    ULONGLONG deadline = GetTickCount64() + timeoutMs;
    HWND box = NULL, seen = NULL;
    int closed = 0;
    while (WaitForSingleObject(second.hProcess, 100) == WAIT_TIMEOUT && GetTickCount64() < deadline) {
        // Its message box: the text (control 0xFFFF) kept, and the box closed as OK does.
        DWORD owner = 0;
        char text[4096];
        while ((said || boxes) && (box = FindWindowExA(NULL, box, "#32770", NULL)) != NULL) {
            if (GetWindowThreadProcessId(box, &owner) && owner == second.dwProcessId && box != seen &&
                IsWindowVisible(box) && GetDlgItemTextA(box, 0xFFFF, text, sizeof text)) {
                if (said)
                    *said += text;
                closed++;
                PostMessageA(seen = box, WM_COMMAND, IDOK, 0);
            }
        }
    }
    if (WaitForSingleObject(second.hProcess, 0) == WAIT_OBJECT_0)
        GetExitCodeProcess(second.hProcess, &code);
    else
        TerminateProcess(second.hProcess, 255);
    CloseHandle(second.hProcess);
    if (boxes)
        *boxes = closed;
    return (int)code;
}

void KillProgram()
{
    if (!Program.hProcess)
        return;
    TerminateProcess(Program.hProcess, 255);
    WaitForSingleObject(Program.hProcess, 10000);
    CloseHandle(Program.hProcess);
    Program = PROCESS_INFORMATION();
}

static const char MainWindowClass[] = "Z88_Server_Window_Class";

// A shown top-level window of the program: with no title the main window (found by its
// class), else one of another class with this title.
static HWND ShownWindow(const char* title = nullptr)
{
    HWND window = NULL;
    while (Program.hProcess && (window = FindWindowExA(NULL, window, NULL, NULL)) != NULL) {
        DWORD process = 0;
        char text[256] = "", className[64] = "";
        GetWindowThreadProcessId(window, &process);
        GetClassNameA(window, className, sizeof className);
        GetWindowTextA(window, text, sizeof text);
        bool main = strcmp(className, MainWindowClass) == 0;
        if (process == Program.dwProcessId && IsWindowVisible(window) &&
            (title ? !main && strcmp(text, title) == 0 : main))
            return window;
    }
    return NULL;
}

bool LocateWindow(const char* title, ProgramWindow* shown)
{
    HWND window = ShownWindow(title);
    RECT frame;
    if (!window || !GetWindowRect(window, &frame))
        return false;
    shown->frame.x = frame.left;
    shown->frame.y = frame.top;
    shown->frame.width = frame.right - frame.left;
    shown->frame.height = frame.bottom - frame.top;
    shown->client = ClientArea(window);
    return true;
}

bool CloseMainWindow()
{
    HWND main = ShownWindow();
    char title[256];
    if (!main || !GetWindowTextA(main, title, sizeof title))
        return false;
    return CloseLikeUser(title) != 0;
}

// GetProcessHandleCount answers 0 under Wine.
int ProgramOpenHandles()
{
    return -1;
}

// The Unix processes behind tarnwell.exe and the wineserver are found on the host's /proc:
// those of this test run's Wine prefix, by their command lines. Each prints a line: "P" or
// "S", user and system time in clock ticks, resident KiB; the clock's ticks a second last.

bool ProgramUsage(ProgramCost* cost)
{
    char prefix[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("WINEPREFIX", prefix, sizeof prefix);
    if (!Program.hProcess || length == 0 || length >= sizeof prefix)
        return false;
    std::string folder = NewHostFolder();
    std::string report = folder + "usage";
    std::string command =
        "for p in /proc/[0-9]*; do "
        "tr '\\0' '\\n' 2>/dev/null <$p/environ | grep -qxF 'WINEPREFIX=" + std::string(prefix) +
        "' || continue; "
        "line=$(tr '\\0' ' ' 2>/dev/null <$p/cmdline); "
        "case $line in *[Tt][Aa][Rr][Nn][Ww][Ee][Ll][Ll].[Ee][Xx][Ee]*) kind=P;; *wineserver*) kind=S;; *) continue;; esac; "
        "echo $kind $(cut -d')' -f2- $p/stat | cut -d' ' -f13,14) $(grep VmRSS $p/status | tr -dc 0-9); "
        "done >" + report + "; getconf CLK_TCK >>" + report;
    if (RunHostTool({"/bin/sh", "-c", command}) != 0)
        return false;
    FILE* file = fopen(ProgramPath(report).c_str(), "r");
    if (!file)
        return false;
    *cost = ProgramCost();
    unsigned long program = 0, server = 0, ticks = 0;
    bool found = false, foundServer = false;
    char line[256];
    while (fgets(line, sizeof line, file)) {
        char kind;
        unsigned long user, system;
        long resident;
        if (sscanf(line, "%c %lu %lu %ld", &kind, &user, &system, &resident) == 4 && kind == 'P') {
            program = user + system;
            cost->residentKiB = resident;
            found = true;
        } else if (sscanf(line, "%c %lu %lu", &kind, &user, &system) == 3 && kind == 'S') {
            server += user + system;
            foundServer = true;
        } else {
            sscanf(line, "%lu", &ticks);
        }
    }
    fclose(file);
    DeleteFileA(ProgramPath(report).c_str());
    RemoveDirectoryA(ProgramPath(folder).c_str());
    if (!found || ticks == 0)
        return false;
    cost->cpuSeconds = (double)program / ticks;
    cost->serverCpuSeconds = foundServer ? (double)server / ticks : -1;
    return true;
}

// The system's button face colour.
unsigned DialogBackground()
{
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    return GetRValue(face) << 16 | GetGValue(face) << 8 | GetBValue(face);
}

bool DrawLikeTheProgram(const char* text, unsigned paper, Picture* picture)
{
    HDC screen = GetDC(NULL);
    HDC dc = CreateCompatibleDC(screen);
    // The dialogs' font: 8 points at the screen's resolution.
    HFONT font = CreateFontA(-MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL,
                             FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "MS Sans Serif");
    HGDIOBJ oldFont = SelectObject(dc, font);
    // The text is UTF-8, as the program fits it; drawn as Unicode, as the program draws it.
    std::wstring wide(strlen(text) + 1, L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, text, -1, &wide[0], (int)wide.size()) - 1);
    SIZE size;
    GetTextExtentPoint32W(dc, wide.c_str(), (int)wide.size(), &size);
    picture->width = size.cx + 4;
    picture->height = size.cy + 4;
    BITMAPINFO info;
    ZeroMemory(&info, sizeof info);
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = picture->width;
    info.bmiHeader.biHeight = -picture->height;  // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = NULL;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    RECT all = {0, 0, picture->width, picture->height};
    const COLORREF background = RGB(paper >> 16, (paper >> 8) & 0xFF, paper & 0xFF);
    SetDCBrushColor(dc, background);
    FillRect(dc, &all, (HBRUSH)GetStockObject(DC_BRUSH));
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, background);
    TextOutW(dc, 2, 2, wide.c_str(), (int)wide.size());
    GdiFlush();
    picture->pixels.assign((const unsigned*)bits,
                           (const unsigned*)bits + (size_t)picture->width * picture->height);
    for (unsigned& pixel : picture->pixels)
        pixel &= 0xFFFFFF;  // a DIB's 32-bit pixel is 0x00RRGGBB
    SelectObject(dc, oldBitmap);
    SelectObject(dc, oldFont);
    DeleteObject(bitmap);
    DeleteObject(font);
    DeleteDC(dc);
    ReleaseDC(NULL, screen);
    return true;
}

// Icon 101 as tarnwell.exe carries it: the group entry names the image, which is an .ico
// file's image without the file's directory; put one in front of it and decode it.
bool ProgramIcon(unsigned char* rgba)
{
    HMODULE module = LoadLibraryExA(ProgramPath(TARNWELL_PROGRAM).c_str(), NULL,
                                    LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return false;
    bool ok = false;
    HRSRC group = FindResourceA(module, MAKEINTRESOURCEA(101), MAKEINTRESOURCEA(14) /* RT_GROUP_ICON */);
    const BYTE* directory = group ? (const BYTE*)LockResource(LoadResource(module, group)) : NULL;
    // GRPICONDIR: reserved, type, count; then entries of 14 bytes, the image's id last.
    HRSRC image = directory ? FindResourceA(module, MAKEINTRESOURCEA(*(const WORD*)(directory + 18)),
                                            MAKEINTRESOURCEA(3) /* RT_ICON */)
                            : NULL;
    if (image) {
        DWORD size = SizeofResource(module, image);
        const BYTE* bits = (const BYTE*)LockResource(LoadResource(module, image));
        std::vector<unsigned char> file(22 + size);
        static const unsigned char head[6] = {0, 0, 1, 0, 1, 0};
        memcpy(&file[0], head, 6);
        memcpy(&file[6], directory + 6, 12);  // size, colours, planes, bits, bytes
        DWORD offset = 22;
        memcpy(&file[18], &offset, 4);
        memcpy(&file[22], bits, size);
        ok = DecodeIcon(file.data(), file.size(), rgba) != 0;
    }
    FreeLibrary(module);
    return ok;
}

int StartWindowManager()
{
    return -1;
}

void StopWindowManager()
{
}

const int HigherDpi = 144;  // 150 %

// The system's DPI: LogPixels under HKCU\Control Panel\Desktop, which Wine reads as a
// program starts.
bool SetDesktopDpi(int dpi)
{
    HKEY key;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, NULL, 0, KEY_SET_VALUE, NULL,
                        &key, NULL) != ERROR_SUCCESS)
        return false;
    DWORD value = (DWORD)dpi;
    LONG set = RegSetValueExA(key, "LogPixels", 0, REG_DWORD, (const BYTE*)&value, sizeof value);
    RegCloseKey(key);
    return set == ERROR_SUCCESS;
}

int PortHeldExclusively(const char*)
{
    return 0;
}
