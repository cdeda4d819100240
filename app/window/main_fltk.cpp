// Linux (FLTK) start-up and main window: a light-gray window that says what state the link
// is in, polls the link once a second, sends the files dropped on it or named on a command
// line, opens the configuration dialog on a left click and a menu on a right click (or Shift+
// F10, or the menu key). Closing it closes the link and ends the program.
#include "app/window/command_line.h"
#include "app/window/icon.h"
#include "app/window/main_menu.h"
#include "app/window/main_window.h"
#include "app/window/single_start.h"
#include "app/window/uri_list.h"
#include "link/serial_link.h"
#include "base/clock.h"
#include "protocol/drop.h"
#include "protocol/poll.h"
#include "base/folders.h"
#include "settings/settings.h"
#include "ui/transfer_log.h"
#include "ui/screen_dpi.h"
#include "ui/windows_fltk.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Double_Window.H>
#include <FL/Fl_Menu_Item.H>
#include <FL/Fl_Native_File_Chooser.H>
#include <FL/fl_ask.H>
#include <FL/Fl_RGB_Image.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <errno.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>
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

// --- The right-click menu ---------------------------------------------------------------------

// The folder the chooser opens in: that of the files chosen last, at first the home folder.
static std::string ChooserFolder;

// "Send Files...": the files chosen, in the chooser's order, through the drop loop. FLTK's
// chooser is GTK's where GTK 2 is installed, and two of GTK's habits would print on standard
// error: told no folder, it opens on its "Recently Used" list, where a path typed prints a
// Gtk-CRITICAL line for each of the first recent files; and it adds the chosen files to that
// list in the user's data folder, which a fresh account may not have yet.
void SendChosenFiles(WindowHandle window)
{
    const char* home = getenv("HOME");
    const char* data = getenv("XDG_DATA_HOME");
    std::string dataFolder = data && data[0] == '/' ? data : std::string(home ? home : "") + "/.local/share";
    MakeParentFolders((dataFolder + "/recently-used.xbel").c_str());
    if (ChooserFolder.empty() && home)
        ChooserFolder = home;

    Fl_Native_File_Chooser chooser(Fl_Native_File_Chooser::BROWSE_MULTI_FILE);
    chooser.title("Send Files");
    chooser.directory(ChooserFolder.c_str());
    int shown = chooser.show();
    if (shown < 0) {
        std::string line = std::string("Send Files - the file chooser failed: ") + chooser.errmsg() + ".";
        AddFailureEntry(window, line.c_str());
    }
    if (shown != 0)
        return;  // cancelled, or failed as said
    std::vector<std::string> paths;
    for (int i = 0; i < chooser.count(); i++)
        paths.push_back(chooser.filename(i));
    if (!paths.empty())
        ChooserFolder = paths[0].substr(0, paths[0].rfind('/') + 1);
    MainWindowDropped(window, paths);
}

// xdg-open's process, while it runs; it ends by itself once it has handed the folder on.
static pid_t Opener;
static void ReapOpener(void* window)
{
    int status;
    if (waitpid(Opener, &status, WNOHANG) == 0) {
        Fl::repeat_timeout(0.5, ReapOpener, window);
        return;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        AddFailureEntry((Fl_Window*)window, "Open Store Folder - xdg-open could not open the store directory.");
    Opener = 0;
}

// "Open Store Folder": the store directory in the desktop's file manager.
void OpenStoreFolder(WindowHandle window)
{
    char folder[TextSize];
    ReadSetting(SettingDirectory, folder);
    if (Opener)
        return;  // the last one is still at it
    const char* argv[] = {"xdg-open", folder, nullptr};
    int failed = posix_spawnp(&Opener, "xdg-open", nullptr, nullptr, (char* const*)argv, environ);
    if (failed) {
        Opener = 0;
        // xdg-open comes with xdg-utils, which the package recommends but a system may lack.
        std::string line = failed == ENOENT
                               ? "Open Store Folder - install the package xdg-utils: xdg-open is missing."
                               : std::string("Open Store Folder - xdg-open did not start: ") + strerror(failed) + ".";
        AddFailureEntry(window, line.c_str());
        return;
    }
    Fl::add_timeout(0.5, ReapOpener, window);
}

void ShowAbout(WindowHandle, const char* text)
{
    fl_message_title("About Tarnwell");
    fl_message("%s", text);
}

// FLTK's menus take its grab while they are open (Fl::grab), and with it the X server's.
int MenuOpenNow(void)
{
    return Fl::grab() != nullptr;
}

// The menu at (x, y) of the window, and what was chosen.
static void ShowMenu(Fl_Window* window, int x, int y)
{
    Fl_Menu_Item items[MainMenuSize + 1];
    memset(items, 0, sizeof items);
    for (int i = 0; i < MainMenuSize; i++) {
        items[i].text = MainMenu[i].label;
        int checked = MenuItemChecked(i);
        items[i].flags = checked < 0 ? 0 : FL_MENU_TOGGLE | (checked ? FL_MENU_VALUE : 0);
    }
    window->make_current();
    const Fl_Menu_Item* chosen = items->popup(x, y);
    MainMenuClosed(window, chosen ? (int)(chosen - items) + 1 : 0);
}

// Closing ends the program: the link is closed, and with every window of the program gone
// (the status windows go with the main window, as owned windows do on Windows) the event
// loop in main() returns. The callback also runs for Esc, which the window ignores: it
// takes only the menu keys, and a user holds Esc to stop a transfer.
static void CloseRequested(Fl_Widget* window, void*)
{
    if (Fl::event() == FL_CLOSE)
        ExitProgram((Fl_Window*)window);
}

// "Exit", and the close box.
void ExitProgram(WindowHandle)
{
    CloseLink();
    Fl::remove_timeout(Tick);
    while (Fl::first_window())
        Fl::first_window()->hide();
}

// A text's width in the font set now.
static int TextWidthNow(const char* text, void*)
{
    return (int)fl_width(text);
}

// FLTK hands drag-and-drop events to the widget under the mouse, not to the window: this
// box covers the whole client area to take them. It draws the client area's text, in the
// dialog font, each line fitted to the window's width.
class DropTarget : public Fl_Box {
public:
    DropTarget(int width, int height) : Fl_Box(FL_NO_BOX, 0, 0, width, height, nullptr) {}
    void draw() override
    {
        int changed;
        fl_push_clip(x(), y(), w(), h());
        fl_font(DialogFontFace, DialogFontSize());
        fl_color(FL_BLACK);
        int margin = DesktopPixels(MainTextMargin);
        std::string text = FitStateLines(MainWindowState(&changed), StateLineCount, w() - 2 * margin, TextWidthNow,
                                         nullptr);
        // Drawn as it stands: no '@' symbols, whatever a folder or a file is called.
        fl_draw(text.c_str(), x() + margin, y() + margin, w() - 2 * margin, h() - 2 * margin,
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
            OpenConfiguration(this);
            return 1;
        }
        if (event == FL_PUSH && Fl::event_button() == FL_RIGHT_MOUSE) {
            ShowMenu(this, Fl::event_x(), Fl::event_y());
            return 1;
        }
        // From the keyboard the menu opens at the client area's top left corner.
        if ((event == FL_KEYBOARD || event == FL_SHORTCUT) &&
            (Fl::event_key() == FL_Menu || (Fl::event_key() == FL_F + 10 && Fl::event_shift()))) {
            ShowMenu(this, DesktopPixels(KeyboardMenuCorner), DesktopPixels(KeyboardMenuCorner));
            return 1;
        }
        return Fl_Double_Window::handle(event);
    }
};

// Another start asked for the window: it comes to the front, out of the taskbar if need be.
static Fl_Window* TheMainWindow;
static void RaiseMainWindow(void)
{
    if (!TheMainWindow->shown())
        return;  // it comes up once the port's message is dismissed
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

// Another start handed over a file to send: it goes at the next tick.
static void QueueFileToSend(const char* path)
{
    QueueFilesToSend(&path, 1);
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
    // --version and --help answer without a display; other arguments name files to send.
    int answered = AnswerCommandLine(argc, argv);
    if (answered >= 0)
        return answered;
    std::vector<std::string> files = FilesOnCommandLine(argc, argv);
    std::vector<const char*> paths;
    for (const std::string& file : files)
        paths.push_back(file.c_str());

    // FLTK ends the program when it finds no display; say why in words first.
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        fprintf(stderr, "Tarnwell: no display to show its window on (is DISPLAY set?)\n");
        return 1;
    }
    fl_open_display(display);
    // One program on a display: a second start hands its files to the first one (or brings
    // its window up) and ends, rather than show a second window whose port is in use.
    int handed = HandToRunningProgram(paths.data(), (int)paths.size(), HandOverWaitMs);
    if (handed >= 0)
        return handed;
    QueueFilesToSend(paths.data(), (int)paths.size());
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
    // Other starts are answered from now on, during that message too.
    TheMainWindow = window;
    ListenForRequests(RaiseMainWindow, QueueFileToSend);
    StartMainWindow(window);
    Fl::add_timeout(1.0, Tick, window);
    window->show();
    Fl::add_timeout(0.05, FitToFrame, window);
    Fl::run();
    return 0;
}
