// Linux (FLTK) start-up and main window: a light-gray window that says what state the link
// is in, polls the link once a second, sends the files dropped on it, and opens the
// configuration dialog on a left click. Closing it closes the link and ends the program.
#include "app/command_line.h"
#include "app/icon.h"
#include "app/instance.h"
#include "app/main_window.h"
#include "app/uri_list.h"
#include "link/serial_link.h"
#include "ui/clock.h"
#include "ui/screen_dpi.h"
#include "ui/status_window_fltk.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <stdio.h>
#include <string.h>
#include <time.h>

#include <string>
#include <vector>


// The outer size the window should have, frame included (see FitToFrame).
static int OuterWidth;
static int OuterHeight;

// --- The events -----------------------------------------------------------------------------

// The one-second poll tick. It is armed anew at its end, one second after it began: a tick
// that ran into a transfer longer than that is followed at once by the next, and no ticks
// pile up behind it (as WM_TIMER on Windows: due ticks come as one, when nothing else waits).
static void Tick(void* window)
{
    long long started = ClockMs();
    MainWindowTick((Fl_Window*)window);
    double took = (ClockMs() - started) / 1000.0;
    Fl::add_timeout(took >= 1.0 ? 0.0 : 1.0 - took, Tick, window);
}

// Closing ends the program: the link is closed, and with every window of the program gone
// (the status windows go with the main window, as owned windows do on Windows) the event
// loop in main() returns. The callback also runs for Esc, which the window ignores: it
// handles no keys, and a user holds Esc to stop a transfer.
static void CloseRequested(Fl_Widget*, void*)
{
    if (Fl::event() != FL_CLOSE)
        return;
    CloseLink();
    Fl::remove_timeout(Tick);
    while (Fl::first_window())
        Fl::first_window()->hide();
}

// FLTK hands drag-and-drop events to the widget under the mouse, not to the window: this
// box covers the whole client area to take them. It draws the client area's text, in the
// dialog font, cut off where the window ends.
class DropTarget : public Fl_Box {
public:
    DropTarget(int width, int height) : Fl_Box(FL_NO_BOX, 0, 0, width, height, nullptr) {}
    void draw() override
    {
        int changed;
        fl_push_clip(x(), y(), w(), h());
        fl_font(DialogFontFace, DialogFontSize());
        fl_color(FL_BLACK);
        // Drawn as it stands: no '@' symbols, whatever a folder or a file is called.
        int margin = DesktopPixels(4);
        fl_draw(MainWindowState(&changed), x() + margin, y() + margin, w() - 2 * margin, h() - 2 * margin,
                FL_ALIGN_TOP_LEFT | FL_ALIGN_INSIDE, nullptr, 0);
        fl_pop_clip();
    }
    int handle(int event) override
    {
        switch (event) {
        case FL_DND_ENTER:
        case FL_DND_DRAG:
        case FL_DND_LEAVE:
        case FL_DND_RELEASE:
            return 1;
        case FL_PASTE:
            // The paths are whole, so that the send session can refuse one too long for it
            // rather than send whatever a cut path names.
            MainWindowDropped(window(), ParseUriList(Fl::event_text()));
            return 1;
        }
        return Fl_Box::handle(event);
    }
};

class MainWindow : public Fl_Double_Window {
public:
    MainWindow(int x, int y, int width, int height) : Fl_Double_Window(x, y, width, height) {}
    int handle(int event) override
    {
        if (event == FL_PUSH && Fl::event_button() == FL_LEFT_MOUSE) {
            MainWindowClicked(this);
            return 1;
        }
        return Fl_Double_Window::handle(event);
    }
};

// Another start asked for the window: it comes to the front, out of the taskbar if need be.
static Fl_Window* TheMainWindow;
static void RaiseMainWindow(void)
{
    // show() maps a shown window again and raises it; a window manager is asked as well to
    // make it the active window, as a pager asks (which it does not refuse).
    TheMainWindow->show();
    XEvent event;
    memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = fl_xid(TheMainWindow);
    event.xclient.message_type = XInternAtom(fl_display, "_NET_ACTIVE_WINDOW", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 2;
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(fl_display, RootWindow(fl_display, fl_screen), False,
               SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(fl_display);
}

// --- The window -------------------------------------------------------------------------------

void ShowMainWindowTitle(WindowHandle window, const char* title)
{
    window->copy_label(title);
}

void RedrawMainWindow(WindowHandle window)
{
    window->redraw();
}

// A window property of 32-bit items, read into `items` (at most `count`); how many came.
static int ReadProperty(Window window, const char* name, long* items, int count)
{
    Atom type;
    int format;
    unsigned long got = 0, after;
    unsigned char* data = nullptr;
    int read = 0;
    if (XGetWindowProperty(fl_display, window, XInternAtom(fl_display, name, False), 0, count,
                           False, AnyPropertyType, &type, &format, &got, &after,
                           &data) == Success &&
        data && format == 32) {
        for (read = 0; read < (int)got && read < count; read++)
            items[read] = ((long*)data)[read];
    }
    if (data)
        XFree(data);
    return read;
}

// The window's size counts its frame and caption, as on Windows. Only the window manager
// knows how big its frame is, and it says so (_NET_FRAME_EXTENTS) once it has framed the
// window: then the client area is made that much smaller, and the frame's corner put at
// (32, 32). Without a window manager there is no frame, and the window stays as made.
static void FitToFrame(void* data)
{
    static int looks = 0;
    Fl_Window* window = (Fl_Window*)data;
    long manager;
    if (!window->shown() ||
        !ReadProperty(RootWindow(fl_display, fl_screen), "_NET_SUPPORTING_WM_CHECK", &manager, 1))
        return;
    long extents[4];  // left, right, top, bottom
    if (ReadProperty(fl_xid(window), "_NET_FRAME_EXTENTS", extents, 4) < 4) {
        // Framing takes the window manager a moment; after two seconds it has none to give.
        if (++looks < 40)
            Fl::repeat_timeout(0.05, FitToFrame, data);
        return;
    }
    window->resize(MainWindowX + (int)extents[0], MainWindowY + (int)extents[2],
                   OuterWidth - (int)(extents[0] + extents[1]),
                   OuterHeight - (int)(extents[2] + extents[3]));
}

int main(int argc, char** argv)
{
    // --version and --help answer without a display; other arguments are ignored.
    int answered = AnswerCommandLine(argc, argv);
    if (answered >= 0)
        return answered;

    // FLTK ends the program when it finds no display; say why in words first.
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        fprintf(stderr, "Tarnwell: no display to show its window on (is DISPLAY set?)\n");
        return 1;
    }
    fl_open_display(display);
    // One program on a display: a second start brings the first one's window up and ends,
    // rather than show a second window whose port is in use.
    if (HandToRunningProgram())
        return 0;
    ScaleToolkitToDesktop();

    int screenX, screenY, screenWidth, screenHeight;
    Fl::screen_xywh(screenX, screenY, screenWidth, screenHeight, 0);
    OuterWidth = MainWindowWidth(screenWidth, ScreenDpi(nullptr));
    OuterHeight = MainWindowHeight(screenHeight, ScreenDpi(nullptr));

    MainWindow* window = new MainWindow(MainWindowX, MainWindowY, OuterWidth, OuterHeight);
    ShowMainWindowTitle(window, MainWindowTitleNow());
    window->xclass("tarnwell");
    window->color(fl_rgb_color(192, 192, 192));
    DropTarget* dropTarget = new DropTarget(OuterWidth, OuterHeight);
    window->end();
    window->resizable(dropTarget);
    window->size_range(1, 1);
    window->callback(CloseRequested);
    unsigned char pixels[IconSide * IconSide * 4];
    if (DecodeIcon(IconFile, IconFileSize, pixels)) {
        Fl_RGB_Image icon(pixels, IconSide, IconSide, 4);
        window->icon(&icon);  // FLTK keeps a copy
    }

    // The link opens before the window is shown, so that a port that cannot be opened is
    // reported while nothing else is on the screen; the ticks start after that message.
    StartMainWindow(window);
    Fl::add_timeout(1.0, Tick, window);
    window->show();
    Fl::add_timeout(0.05, FitToFrame, window);
    TheMainWindow = window;
    ListenForRequests(RaiseMainWindow);
    Fl::run();
    return 0;
}
