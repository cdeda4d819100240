// Windows implementation of the transfer log: a modeless dialog from template 105 whose
// sorted list box (LBS_SORT) keeps the lines in order.
#include "ui/transfer_log.h"

#include "resources/resource.h"
#include "ui/app_instance.h"

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
}

void AddFailureEntry(WindowHandle owner, const char* line)
{
    AddLogEntry(owner, line);
}
