// Windows implementation of the progress window: a modeless dialog from template 103,
// drawn with GDI straight from inside the transfer.
#include "ui/progress.h"

#include "resources/resource.h"
#include "ui/app_instance_win32.h"
#include "ui/progress_geometry.h"
#include "ui/screen_dpi.h"

#include <windows.h>

static HWND ProgressWindow;
static int ProgressValue;  // the bar's state (progress_geometry.h)

// The platform's default dialog handling does all the window's own work; the bar exists
// only as StepProgress draws it.
static INT_PTR CALLBACK ProgressProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

// Out to the screen now, since the message loop does not run during a transfer: GDI's batch
// first, then a zero-time look at the message queue that dispatches nothing. Windows shows
// window drawing at once; Wine holds it back, the window's mapping and its pixels alike,
// until its thread looks at the queue (or, for drawing, up to 50 ms later at its next call).
static void BringToScreen(void)
{
    GdiFlush();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
}

void ShowProgress(WindowHandle owner, TransferDirection direction, const char* name)
{
    CloseProgress();
    ProgressWindow = CreateDialogParamA(AppInstance, MAKEINTRESOURCEA(IDD_PROGRESS), owner,
                                        ProgressProc, 0);
    ShowWindow(ProgressWindow, SW_SHOWNORMAL);
    ProgressValue = ProgressValueAtShow;
    char title[ProgressTitleSize];
    ProgressTitle(title, sizeof title, direction, name);
    SetWindowTextA(ProgressWindow, title);
    // Shown from inside a transfer, which returns to the message loop only at its end: the
    // window must be painted now, its background by the default dialog handling, and brought
    // to the screen now. Without this, under Wine the window stays blank or never reaches the
    // screen at all until the first bar (64 bytes, which a paused Z88 may never send).
    if (ProgressWindow) {
        UpdateWindow(ProgressWindow);
        BringToScreen();
    }
}

void StepProgress(int count)
{
    // Without a window, GetDC would hand out the whole screen to draw on.
    if (!ProgressWindow || !ProgressStepDue(count))
        return;
    ProgressValue = NextProgressValue(ProgressValue);

    HDC dc = GetDC(ProgressWindow);
    RECT client;
    GetClientRect(ProgressWindow, &client);
    ProgressPicture picture;
    LayoutProgress(client.right, client.bottom, ProgressValue, &picture);

    // The outlines are one pixel at 96 dpi and as much thicker as the screen's DPI, drawn
    // inside each rectangle as the one-pixel pen draws them.
    HPEN pen = CreatePen(PS_SOLID | PS_INSIDEFRAME, ScaleToDpi(1, ScreenDpi(ProgressWindow)),
                         RGB(0, 0, 0));
    HGDIOBJ previousPen = SelectObject(dc, pen);
    // Each step paints the whole client area, so nothing of the previous bar survives.
    HGDIOBJ previousBrush = SelectObject(dc, GetStockObject(LTGRAY_BRUSH));
    Rectangle(dc, 0, 0, picture.width, picture.height);
    SelectObject(dc, GetStockObject(WHITE_BRUSH));
    Rectangle(dc, picture.trackLeft, picture.trackTop, picture.trackRight, picture.trackBottom);
    HBRUSH hatch = CreateHatchBrush(HS_FDIAGONAL, RGB(0, 0, 0));
    SelectObject(dc, hatch);
    Rectangle(dc, picture.trackLeft, picture.trackTop, picture.barRight, picture.trackBottom);

    SelectObject(dc, previousBrush);
    SelectObject(dc, previousPen);
    ReleaseDC(ProgressWindow, dc);
    DeleteObject(hatch);
    DeleteObject(pen);
    BringToScreen();
}

void CloseProgress(void)
{
    if (!ProgressWindow)
        return;
    // The owner (the main window, which says how the transfer ended) is drawn again first,
    // and reaches the screen: Wine, when no window manager answers it, holds the hiding of a
    // captioned window for two seconds, and the owner's news would wait behind that.
    HWND owner = GetWindow(ProgressWindow, GW_OWNER);
    if (owner) {
        RedrawWindow(owner, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        BringToScreen();
    }
    DestroyWindow(ProgressWindow);
    ProgressWindow = 0;
}
