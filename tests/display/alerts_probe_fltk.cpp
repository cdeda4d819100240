// Linux side of the alerts probe: the fl_alert box found among FLTK's windows
// from a timeout that runs inside its modal loop, and XKB bell events.
#include "tests/display/alerts_probe.h"

#include "tests/support/desktop.h"
#include "tests/support/host_tool.h"

#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Window.H>
#include <FL/fl_ask.H>
#include <FL/x.H>
#include <X11/XKBlib.h>

#include <string.h>
#include <unistd.h>

static Fl_Window* TestWindow = nullptr;
static SeenBox Seen;
static Fl_Window* Expected = nullptr;
static int Looks = 0;
// Looks, a tenth of a second apart, before the watch gives up on a box: long enough for a
// busy machine to bring one up.
enum { MaxLooks = 200 };

WindowHandle ShowTestWindow()
{
    TestWindow = OpenOwnerWindow(100, 100, 200, 150);
    RunHostTool({"xdotool", "mousemove", std::to_string(TestWindow->x() + 100),
                 std::to_string(TestWindow->y() + 75)});
    PumpTestWindow();
    return TestWindow;
}

void CloseTestWindow()
{
    if (TestWindow)
        CloseOwnerWindow(TestWindow);
    TestWindow = nullptr;
    Fl::check();
}

void PumpTestWindow()
{
    Fl::check();
}

static void LookAtBox(void*)
{
    for (Fl_Window* window = Fl::first_window(); window; window = Fl::next_window(window)) {
        if (!window->modal() || window == Expected)
            continue;
        Seen.seen = true;
        Seen.title = window->label() ? window->label() : "";
        for (int i = 0; i < window->children(); i++) {
            Fl_Widget* child = window->child(i);
            const char* label = child->label();
            if (child == fl_message_icon())
                Seen.errorIcon = label && strcmp(label, "!") == 0;
            else if (label && *label && !dynamic_cast<Fl_Button*>(child))
                Seen.text = label;
        }
        Window owner = 0;
        if (Expected && XGetTransientForHint(fl_display, fl_xid(window), &owner))
            Seen.ownedByExpected = owner == fl_xid(Expected);
        window->hide();
        return;
    }
    if (++Looks < MaxLooks)
        Fl::repeat_timeout(0.1, LookAtBox);
    else if (Fl::modal())
        Fl::modal()->hide();  // whatever came up instead, so that the test does not hang
}

void WatchForMessageBox(WindowHandle owner)
{
    Seen = SeenBox();
    Expected = owner ? owner : TestWindow;
    Looks = 0;
    Fl::add_timeout(0.1, LookAtBox);
}

SeenBox LastSeenBox()
{
    Fl::remove_timeout(LookAtBox);
    return Seen;
}

int BellsRungDuring(void (*action)(void))
{
    Display* watcher = XOpenDisplay(nullptr);
    if (!watcher)
        return -1;
    int opcode, firstEvent, firstError, major = XkbMajorVersion, minor = XkbMinorVersion;
    if (!XkbQueryExtension(watcher, &opcode, &firstEvent, &firstError, &major, &minor)) {
        XCloseDisplay(watcher);
        return -1;
    }
    XkbSelectEvents(watcher, XkbUseCoreKbd, XkbBellNotifyMask, XkbBellNotifyMask);
    XSync(watcher, False);
    action();
    // The bell's event comes through the server: up to five seconds for a busy machine.
    int bells = 0;
    for (int i = 0; i < 500 && bells == 0; i++) {
        XSync(watcher, False);
        while (XPending(watcher)) {
            XEvent event;
            XNextEvent(watcher, &event);
            XkbEvent* xkb = (XkbEvent*)&event;
            if (event.type == firstEvent && xkb->any.xkb_type == XkbBellNotify)
                bells++;
        }
        if (bells == 0)
            usleep(10000);
    }
    XCloseDisplay(watcher);
    return bells;
}
