// Windows: the DPI of a window, and the dialog font at it (see screen_dpi.h, dialog_font_win32.h).
#include "ui/dialog_font_win32.h"
#include "ui/screen_dpi.h"

#include <windows.h>

int ScreenDpi(WindowHandle window)
{
    // GetDpiForWindow comes with Windows 10 1607 and gives each monitor's DPI to a
    // per-monitor aware program; looked up by name, so that the program starts on Windows 7.
    typedef UINT(WINAPI * DpiForWindow)(HWND);
    static FARPROC found = GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow");
    if (window && found) {
        UINT dpi = reinterpret_cast<DpiForWindow>(reinterpret_cast<void*>(found))(window);
        if (dpi)
            return (int)dpi;
    }
    // Older systems: the system's DPI, which a system-aware program draws at everywhere.
    HDC dc = GetDC(window);
    int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
    if (dc)
        ReleaseDC(window, dc);
    return dpi > 0 ? dpi : BaseDpi;
}

HFONT CreateDialogFont(HWND window)
{
    return CreateFontA(-MulDiv(8, ScreenDpi(window), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                       FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
}
