// What the program's FLTK windows share (see windows_fltk.h).
#include "ui/windows_fltk.h"

#include "ui/dialog_units.h"
#include "ui/screen_dpi.h"

#include <FL/Fl.H>
#include <FL/Fl_Tooltip.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

// The desktop's DPI is read once, as the display opens: FLTK's fonts are sized in pixels and
// FLTK itself scales nothing. Every window of the program is on the same desktop.
int ScreenDpi(WindowHandle)
{
    static int dpi;
    if (!dpi) {
        fl_open_display();
        dpi = DesktopDpi(XGetDefault(fl_display, "Xft", "dpi"), DisplayWidth(fl_display, fl_screen),
                         DisplayWidthMM(fl_display, fl_screen));
    }
    return dpi;
}

int DesktopPixels(int pixels)
{
    return ScaleToDpi(pixels, ScreenDpi(nullptr));
}

int DialogFontSize(void)
{
    return DesktopPixels(11);
}

void ScaleToolkitToDesktop(void)
{
    FL_NORMAL_SIZE = DesktopPixels(FL_NORMAL_SIZE);
    Fl_Tooltip::size(DesktopPixels(Fl_Tooltip::size()));
    Fl::scrollbar_size(DesktopPixels(Fl::scrollbar_size()));
}

// The font's base units, measured once: average character width and line height.
static int BaseWidth;
static int BaseHeight;

static void MeasureDialogFont(void)
{
    if (BaseWidth)
        return;
    fl_open_display();
    fl_font(DialogFontFace, DialogFontSize());
    BaseWidth = DialogBaseWidth((int)(fl_width("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") + 0.5));
    BaseHeight = fl_height();
}

int DialogWidth(int units)
{
    MeasureDialogFont();
    return DialogUnitsToWidth(units, BaseWidth);
}

int DialogHeight(int units)
{
    MeasureDialogFont();
    return DialogUnitsToHeight(units, BaseHeight);
}

void OwnerClientOrigin(WindowHandle owner, int* x, int* y)
{
    *x = 0;
    *y = 0;
    if (!owner || !owner->shown())
        return;
    Window child;
    XTranslateCoordinates(fl_display, fl_xid(owner), RootWindow(fl_display, fl_screen), 0, 0, x,
                          y, &child);
}

// The Motif window manager hints, still the one way to ask for a window without some of
// its controls: which functions the window manager offers and which decorations it draws.
enum {
    MotifHintFunctions = 1 << 0,
    MotifHintDecorations = 1 << 1,
    MotifFunctionMove = 1 << 2,
    MotifFunctionClose = 1 << 5,
    MotifDecorBorder = 1 << 1,
    MotifDecorTitle = 1 << 3,
    MotifDecorMenu = 1 << 4,
};

void ShowOwnedWindow(Fl_Window* window, WindowHandle owner, int closable)
{
    // FLTK's show() maps the window with Motif hints of its own (every function but
    // resizing); ours replace them at once. Window managers that honour these hints read
    // them again when they change (mutter, KWin, Xfwm); openbox ignores them for its
    // buttons altogether. Nothing here waits on the server after show().
    fl_open_display();
    Atom motifHints = XInternAtom(fl_display, "_MOTIF_WM_HINTS", False);
    window->size_range(window->w(), window->h(), window->w(), window->h());
    window->show();

    Window xid = fl_xid(window);
    if (owner && owner->shown())
        XSetTransientForHint(fl_display, xid, fl_xid(owner->top_window()));
    // A property of 32-bit items is handed to Xlib as an array of long.
    long hints[5] = {MotifHintFunctions | MotifHintDecorations, MotifFunctionMove,
                     MotifDecorBorder | MotifDecorTitle, 0, 0};
    if (closable) {
        hints[1] |= MotifFunctionClose;
        hints[2] |= MotifDecorMenu;
    }
    XChangeProperty(fl_display, xid, motifHints, motifHints, 32, PropModeReplace,
                    (unsigned char*)hints, 5);
    XFlush(fl_display);
}
