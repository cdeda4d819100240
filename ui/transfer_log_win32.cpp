// Windows implementation of the transfer log: a modeless dialog from template 105 whose
// sorted list box (LBS_SORT) keeps the lines in order.
#include "ui/transfer_log.h"

#include "resources/resource.h"
#include "ui/app_instance_win32.h"

#include <windows.h>

static HWND LogWindow;

// Only a close request (the close box, Alt+F4, Close on the system menu) ends the log;
// Esc and Enter are left to the default handling, which does not close a modeless dialog.
static INT_PTR CALLBACK LogProc(HWND window, UINT message, WPARAM, LPARAM)
{
    if (message == WM_CLOSE) {
        DestroyWindow(window);
        LogWindow = 0;
        return TRUE;
    }
    return FALSE;
}

void AddLogEntry(WindowHandle owner, const char* line)
{
    if (!LogWindow) {
        LogWindow = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_TRANSFER_LOG), owner,
                                       LogProc, 0);
        // A log that could not be made loses this line; the next one tries again.
        if (!LogWindow)
            return;
        ShowWindow(LogWindow, SW_SHOWNORMAL);
    }
    SendDlgItemMessageA(LogWindow, IDC_LOG_LIST, LB_ADDSTRING, 0, (LPARAM)line);

    // A line wider than the list (a failure's reason after a long name) can be scrolled to:
    // the list scrolls sideways as far as its widest line reaches.
    HWND list = GetDlgItem(LogWindow, IDC_LOG_LIST);
    HDC dc = GetDC(list);
    HGDIOBJ before = SelectObject(dc, (HGDIOBJ)SendMessageA(list, WM_GETFONT, 0, 0));
    SIZE size;
    if (GetTextExtentPoint32A(dc, line, lstrlenA(line), &size) &&
        size.cx + 6 > (LONG)SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0))
        SendMessageA(list, LB_SETHORIZONTALEXTENT, (WPARAM)(size.cx + 6), 0);
    SelectObject(dc, before);
    ReleaseDC(list, dc);
}

void AddFailureEntry(WindowHandle owner, const char* line)
{
    AddLogEntry(owner, line);
}
