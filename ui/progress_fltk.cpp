// Linux (FLTK) implementation of the progress window: a plain captioned window, drawn
// with the fl_* calls straight from inside the transfer, as GDI draws it on Windows.
#include "ui/progress.h"

#include "ui/progress_geometry.h"
#include "ui/windows_fltk.h"

#include <FL/Fl.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

static Fl_Window* ProgressWindow;
static int ProgressValue;  // the bar's state (progress_geometry.h)

// The window has no close control, and a close request or Esc that reaches it anyway
// (the window's callback runs for both) is ignored: Esc held aborts the transfer instead.
static void IgnoreCloseRequest(Fl_Widget*, void*)
{
}

void ShowProgress(WindowHandle owner, TransferDirection direction, const char* name)
{
    CloseProgress();
    int width = DialogWidth(199);
    int height = DialogHeight(30);
    // Centred in the work area of the owner's screen, as DS_CENTER places a dialog.
    int screen = owner ? Fl::screen_num(owner->x(), owner->y()) : 0;
    int areaX, areaY, areaWidth, areaHeight;
    Fl::screen_work_area(areaX, areaY, areaWidth, areaHeight, screen);

    ProgressWindow = new Fl_Window(areaX + (areaWidth - width) / 2,
                                   areaY + (areaHeight - height) / 2, width, height);
    ProgressWindow->end();
    char title[ProgressTitleSize];
    ProgressTitle(title, sizeof title, direction, name);
    ProgressWindow->copy_label(title);
    ProgressWindow->callback(IgnoreCloseRequest);
    // Until the first step the server fills the window with its background colour.
    ShowOwnedWindow(ProgressWindow, owner, 0);
    ProgressValue = ProgressValueAtShow;
}

// GDI's Rectangle: a black outline around a fill, right and bottom exclusive. The outline
// is one pixel at 96 dpi and `line` pixels at the desktop's DPI, inside the rectangle.
static void DrawRectangle(int left, int top, int right, int bottom, Fl_Color fill, int line)
{
    if (right <= left || bottom <= top)
        return;
    fl_color(fill);
    fl_rectf(left, top, right - left, bottom - top);
    fl_color(FL_BLACK);
    for (int i = 0; i < line && right - left > 2 * i && bottom - top > 2 * i; i++)
        fl_rect(left + i, top + i, right - left - 2 * i, bottom - top - 2 * i);
}

// GDI's HS_FDIAGONAL brush on a white background: black lines at 45 degrees from top
// left to bottom right, one pixel in every eight along a row at 96 dpi (`line` pixels in
// every 8 * `line` at the desktop's DPI), lined up with the client area's origin, so the
// hatching stands still from one step to the next.
static void DrawHatchedRectangle(int left, int top, int right, int bottom, int line)
{
    DrawRectangle(left, top, right, bottom, FL_WHITE, line);
    if (right - left <= 2 * line || bottom - top <= 2 * line)
        return;
    fl_push_clip(left + line, top + line, right - left - 2 * line, bottom - top - 2 * line);
    fl_color(FL_BLACK);
    fl_line_style(FL_SOLID | FL_CAP_SQUARE, line);
    const int period = 8 * line;
    int first = left - bottom;
    first -= ((first % period) + period) % period;
    for (int offset = first; offset <= right - top; offset += period)
        fl_line(top + offset, top, bottom + offset, bottom);
    fl_line_style(0);
    fl_pop_clip();
}

void StepProgress(int count)
{
    if (!ProgressWindow || !ProgressStepDue(count))
        return;
    ProgressValue = NextProgressValue(ProgressValue);

    ProgressPicture picture;
    LayoutProgress(ProgressWindow->w(), ProgressWindow->h(), ProgressValue, &picture);

    // No return to the event loop during a transfer (it would run the poll timer inside
    // it), so the bar is drawn here and now, and sent to the server at once.
    ProgressWindow->make_current();
    const int line = DesktopPixels(1);
    DrawRectangle(0, 0, picture.width, picture.height, fl_rgb_color(192, 192, 192), line);
    DrawRectangle(picture.trackLeft, picture.trackTop, picture.trackRight, picture.trackBottom,
                  FL_WHITE, line);
    DrawHatchedRectangle(picture.trackLeft, picture.trackTop, picture.barRight,
                         picture.trackBottom, line);
    XFlush(fl_display);
}

void CloseProgress(void)
{
    if (!ProgressWindow)
        return;
    delete ProgressWindow;
    ProgressWindow = 0;
    // Gone from the screen now, not when the event loop next runs.
    XFlush(fl_display);
}
