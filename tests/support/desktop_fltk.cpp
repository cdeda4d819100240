// The status-window tests' desktop on Linux (see desktop.h): FLTK windows, and Xlib for
// what the X server shows.
#include "tests/support/desktop.h"

#include "tests/support/x_property.h"
#include "base/clock.h"

#include <FL/Fl.H>
#include <FL/Fl_Browser.H>
#include <FL/Fl_Window.H>
#include <FL/x.H>
#include <X11/Xutil.h>

#include <string.h>

void PrepareDesktop()
{
    fl_open_display();
}

WindowHandle OpenOwnerWindow(int x, int y, int width, int height)
{
    Fl_Window* window = new Fl_Window(x, y, width, height, "Tarnwell");
    window->end();
    window->show();
    XSync(fl_display, False);
    RunEventLoop(100);
    return window;
}

void MoveOwnerWindow(WindowHandle owner, int x, int y)
{
    owner->position(x, y);
    XSync(fl_display, False);
    RunEventLoop(100);
}

void CloseOwnerWindow(WindowHandle owner)
{
    delete owner;
    XSync(fl_display, False);
}

void RunEventLoop(int milliseconds)
{
    long long end = ClockMs() + milliseconds;
    for (long long left = end - ClockMs(); left > 0; left = end - ClockMs())
        Fl::wait(left / 1000.0);
    XSync(fl_display, False);
}

ScreenArea AreaOfXWindow(Window window)
{
    ScreenArea area;
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(fl_display, window, &attributes))
        return area;
    Window child;
    XTranslateCoordinates(fl_display, window, RootWindow(fl_display, fl_screen), 0, 0, &area.x,
                          &area.y, &child);
    area.width = attributes.width;
    area.height = attributes.height;
    return area;
}

ScreenArea ClientArea(WindowHandle window)
{
    XSync(fl_display, False);
    return AreaOfXWindow(fl_xid(window));
}

std::string WindowTitle(Window window)
{
    char* name = nullptr;
    std::string title;
    if (XFetchName(fl_display, window, &name) && name) {
        title = name;
        XFree(name);
    }
    return title;
}

bool WindowViewable(Window window)
{
    XWindowAttributes attributes;
    return XGetWindowAttributes(fl_display, window, &attributes) && attributes.map_state == IsViewable;
}

std::vector<Window> WindowsWhere(Window start, const std::function<bool(Window)>& match)
{
    std::vector<Window> found;
    if (match(start))
        found.push_back(start);
    Window root, parent, *children = nullptr;
    unsigned count = 0;
    if (XQueryTree(fl_display, start, &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count; i++)
            for (Window below : WindowsWhere(children[i], match))
                found.push_back(below);
        if (children)
            XFree(children);
    }
    return found;
}

// The topmost viewable window of the display with WM_NAME title; 0 for none.
static Window FindXWindow(const char* title)
{
    XSync(fl_display, False);
    std::vector<Window> found = WindowsWhere(RootWindow(fl_display, fl_screen), [&](Window window) {
        return WindowViewable(window) && WindowTitle(window) == title;
    });
    return found.empty() ? 0 : found.back();
}

int FindProgramWindow(const char* title, ScreenArea* client)
{
    Window window = FindXWindow(title);
    if (window)
        *client = AreaOfXWindow(window);
    return window != 0;
}

WindowHandle FindShownWindow(const char* title)
{
    for (Fl_Window* window = Fl::first_window(); window; window = Fl::next_window(window))
        if (window->label() && strcmp(window->label(), title) == 0)
            return window;
    return nullptr;
}

int FocusedControl()
{
    // The program's controls carry their ids as their argument.
    return Fl::focus() ? (int)Fl::focus()->argument() : 0;
}

// An FLTK timeout, which fires inside every Fl::wait(), a modal window's loop included.
static void (*Tick)(void);

static void OnTickTimeout(void*)
{
    Tick();
    Fl::repeat_timeout(0.1, OnTickTimeout);
}

void StartTicks(void (*tick)(void))
{
    Tick = tick;
    Fl::add_timeout(0.1, OnTickTimeout);
}

void StopTicks()
{
    Fl::remove_timeout(OnTickTimeout);
}

static Fl_Browser* LogList()
{
    Fl_Window* window = FindShownWindow("File Transfer Information");
    return window && window->children() == 1 ? (Fl_Browser*)window->child(0) : nullptr;
}

std::vector<std::string> LogLines()
{
    std::vector<std::string> lines;
    if (Fl_Browser* list = LogList())
        for (int line = 1; line <= list->size(); line++)
            lines.push_back(list->text(line));
    return lines;
}

int SelectedLogLine()
{
    Fl_Browser* list = LogList();
    return list ? list->value() - 1 : -1;
}

std::vector<long> WindowProperty(Window window, const char* name)
{
    std::vector<long> items;
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(fl_display, window, XInternAtom(fl_display, name, False), 0, 1 << 16,
                           False, AnyPropertyType, &type, &format, &count, &after,
                           &data) == Success &&
        data && format == 32)
        items.assign((long*)data, (long*)data + count);
    if (data)
        XFree(data);
    return items;
}

int HasCloseControl(const char* title)
{
    Window window = FindXWindow(title);
    if (!window)
        return 0;
    // _MOTIF_WM_HINTS: flags, functions, decorations, ...; without the functions flag (bit
    // 0) or with "all" (bit 0 of the functions) the window manager offers every function.
    std::vector<long> hints = WindowProperty(window, "_MOTIF_WM_HINTS");
    if (hints.size() >= 2 && (hints[0] & 1) && !(hints[1] & 1))
        return (hints[1] & (1 << 5)) != 0;
    return 1;
}

int CloseLikeUser(const char* title)
{
    return HasCloseControl(title) && SendCloseRequest(title);
}

int SendCloseRequest(const char* title)
{
    Window window = FindXWindow(title);
    if (window)
        RequestClose(window);
    return window != 0;
}

void RequestClose(Window window)
{
    // What a window manager sends when its close control is used.
    XEvent event;
    memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(fl_display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = XInternAtom(fl_display, "WM_DELETE_WINDOW", False);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(fl_display, window, False, NoEventMask, &event);
    XSync(fl_display, False);
}

void FocusWindow(const char* title)
{
    Window window = FindXWindow(title);
    if (window)
        XSetInputFocus(fl_display, window, RevertToPointerRoot, CurrentTime);
    XSync(fl_display, False);
    RunEventLoop(100);
}

int BreakProgressWindowCreation()
{
    return 0;
}
