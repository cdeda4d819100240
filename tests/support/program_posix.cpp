// The whole program on Linux (see program.h): the built `tarnwell` as a child process on the
// test's display, its settings file where the settings store helpers put it
// (XDG_CONFIG_HOME), and its windows as the X server has them.
#include "tests/support/program.h"

#include "tests/support/host_tool.h"
#include "tests/support/process.h"
#include "tests/support/temp_folder.h"
#include "tests/support/x_property.h"
#include "tests/support/wait.h"

#include "ui/windows_fltk.h"

#include <FL/Fl.H>
#include <FL/fl_draw.H>
#include <FL/x.H>

#include <stdio.h>
#include <unistd.h>

#include <set>
#include <vector>

// The running program (its pid 0 when none runs) and the window manager.
static ChildProcess Child;
static ChildProcess Manager;

// An exit code as a shell gives it: 128 plus the signal that ended the process.
static int ExitCode(int status)
{
    return status >= 256 ? 128 + status - 256 : status;
}

bool StartProgramAt(const std::string& path, const std::vector<std::string>& arguments)
{
    KillProgram();
    return StartBuiltProgram(&Child, path, arguments);
}

int WaitForProgramExit(int timeoutMs)
{
    return ExitCode(WaitForChild(&Child, timeoutMs));
}

static Display* OpenDisplay();

int RunSecondProgram(int timeoutMs, const std::vector<std::string>& arguments, std::string* said, int* boxes)
{
    ChildProcess second;
    if (!StartBuiltProgram(&second, TARNWELL_PROGRAM, arguments, said ? CollectOutput : InheritOutput))
        return -1;
    // Its windows are message boxes (it shows no other): each counted, and closed as its
    // close box closes it.
    std::set<Window> shown;
    int status;
    for (int waited = 0; (status = WaitForChild(&second, 100)) < 0 && waited < timeoutMs; waited += 100) {
        if (!OpenDisplay())
            continue;
        XSync(fl_display, False);
        for (Window window : WindowsWhere(DefaultRootWindow(fl_display), [&](Window window) {
                 std::vector<long> pid = WindowProperty(window, "_NET_WM_PID");
                 return !pid.empty() && pid[0] == second.pid && WindowViewable(window);
             }))
            if (shown.insert(window).second)
                RequestClose(window);
    }
    if (status < 0)
        KillChild(&second);
    if (said)
        *said = second.err;
    if (boxes)
        *boxes = (int)shown.size();
    return ExitCode(status);
}

void KillProgram()
{
    KillChild(&Child);
}

// FLTK's connection to the X server, which the desktop helpers use too.
static Display* OpenDisplay()
{
    fl_open_display();
    return fl_display;
}

// A viewable window of the program (one with its _NET_WM_PID, wherever a window manager put
// it): with no title the main window, the only one with the program's icon (32 by 32, and
// the pixels after it); else another one with this title.
static Window ShownWindow(const char* title = nullptr)
{
    if (Child.pid <= 0 || !OpenDisplay())
        return 0;
    XSync(fl_display, False);
    for (Window window : WindowsWhere(DefaultRootWindow(fl_display), [](Window window) {
             std::vector<long> pid = WindowProperty(window, "_NET_WM_PID");
             return !pid.empty() && pid[0] == Child.pid && WindowViewable(window);
         })) {
        std::vector<long> icon = WindowProperty(window, "_NET_WM_ICON");
        bool main = icon.size() >= 2 + 32 * 32 && icon[0] == 32 && icon[1] == 32;
        if (title ? !main && WindowTitle(window) == title : main)
            return window;
    }
    return 0;
}

bool LocateWindow(const char* title, ProgramWindow* shown)
{
    Window window = ShownWindow(title);
    if (!window)
        return false;
    shown->frame = shown->client = AreaOfXWindow(window);
    std::vector<long> extents = WindowProperty(window, "_NET_FRAME_EXTENTS");  // left, right, top, bottom
    if (extents.size() == 4) {
        shown->frame.x -= extents[0];
        shown->frame.y -= extents[2];
        shown->frame.width += extents[0] + extents[1];
        shown->frame.height += extents[2] + extents[3];
    }
    return true;
}

bool DesktopFree()
{
    if (!OpenDisplay())
        return false;
    Window root = DefaultRootWindow(fl_display);
    int keyboard = XGrabKeyboard(fl_display, root, False, GrabModeAsync, GrabModeAsync, CurrentTime);
    int pointer = XGrabPointer(fl_display, root, False, 0, GrabModeAsync, GrabModeAsync, None, None, CurrentTime);
    XUngrabKeyboard(fl_display, CurrentTime);
    XUngrabPointer(fl_display, CurrentTime);
    XSync(fl_display, False);
    return keyboard == GrabSuccess && pointer == GrabSuccess;
}

bool CloseMainWindow()
{
    Window main = ShownWindow();
    return main && CloseLikeUser(WindowTitle(main).c_str()) != 0;
}

bool ProgramUsage(ProgramCost* cost)
{
    const std::string proc = "/proc/" + std::to_string(Child.pid);
    std::string stat, status;
    *cost = ProgramCost();
    if (Child.pid <= 0 || !ReadWholeFile(proc + "/stat", &stat) || !ReadWholeFile(proc + "/status", &status))
        return false;
    // After "pid (name) ": state, then 10 fields, then utime and stime in clock ticks.
    unsigned long user = 0, system = 0;
    size_t fields = stat.rfind(')'), resident = status.find("VmRSS:");
    if (fields == std::string::npos || resident == std::string::npos ||
        sscanf(stat.c_str() + fields + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &user,
               &system) != 2 ||
        sscanf(status.c_str() + resident, "VmRSS: %ld", &cost->residentKiB) != 1)
        return false;
    cost->cpuSeconds = (double)(user + system) / sysconf(_SC_CLK_TCK);
    return true;
}

int ProgramOpenHandles()
{
    return Child.pid > 0 ? OpenDescriptors(Child.pid) : -1;
}

unsigned DialogBackground()
{
    return 0xC0C0C0;  // FL_BACKGROUND_COLOR
}

bool DrawLikeTheProgram(const char* text, unsigned paper, Picture* picture)
{
    fl_open_display();
    fl_font(DialogFontFace, DialogFontSize());
    picture->width = (int)fl_width(text) + 4;
    picture->height = fl_height() + 4;
    Fl_Offscreen canvas = fl_create_offscreen(picture->width, picture->height);
    fl_begin_offscreen(canvas);
    fl_color(fl_rgb_color(paper >> 16, (paper >> 8) & 0xFF, paper & 0xFF));
    fl_rectf(0, 0, picture->width, picture->height);
    fl_color(FL_BLACK);
    fl_font(DialogFontFace, DialogFontSize());
    fl_draw(text, 2, 2 + fl_height() - fl_descent());
    unsigned char* drawn = fl_read_image(nullptr, 0, 0, picture->width, picture->height);
    fl_end_offscreen();
    fl_delete_offscreen(canvas);
    if (!drawn)
        return false;
    picture->pixels.resize((size_t)picture->width * picture->height);
    for (size_t i = 0; i < picture->pixels.size(); i++)
        picture->pixels[i] = unsigned(drawn[3 * i]) << 16 | unsigned(drawn[3 * i + 1]) << 8 | drawn[3 * i + 2];
    delete[] drawn;
    return true;
}

// The main window's icon as the window manager is given it: _NET_WM_ICON, width, height,
// then one ARGB value a pixel, rows from the top.
bool ProgramIcon(unsigned char* rgba)
{
    Window main = ShownWindow();
    if (!main)
        return false;
    std::vector<long> icon = WindowProperty(main, "_NET_WM_ICON");
    for (int i = 0; i < 32 * 32; i++) {
        unsigned long argb = (unsigned long)icon[2 + i];
        rgba[4 * i] = (unsigned char)(argb >> 16);
        rgba[4 * i + 1] = (unsigned char)(argb >> 8);
        rgba[4 * i + 2] = (unsigned char)argb;
        rgba[4 * i + 3] = (unsigned char)(argb >> 24);
    }
    return true;
}

const int HigherDpi = 192;  // 200 %

// The X resource Xft.dpi of the test's display, which FLTK reads as the program starts.
bool SetDesktopDpi(int dpi)
{
    std::string file = NewHostFolder() + "dpi";
    WriteWholeFile(file, "Xft.dpi: " + std::to_string(dpi) + "\n");
    return RunHostTool({"xrdb", "-merge", file}) == 0;
}

int StartWindowManager()
{
    if (!OpenDisplay())
        return 0;
    StopWindowManager();
    // Its notes about menus it need not have go nowhere.
    if (!StartChild(&Manager, "openbox", {"--sm-disable"}, DiscardOutput))
        return 0;
    // Running once it manages windows: openbox names itself on the root window before it
    // takes in map requests, and a window mapped in between is never shown. So a window of
    // ours is mapped and waited for until the window manager has taken it (WM_STATE). A first
    // start on a busy machine with cold caches is slow.
    Window probe = XCreateSimpleWindow(fl_display, DefaultRootWindow(fl_display), 0, 0, 10, 10, 0,
                                       0, 0);
    XMapWindow(fl_display, probe);
    XFlush(fl_display);
    bool running = WaitUntil(
        [&] {
            XSync(fl_display, False);
            return !WindowProperty(probe, "WM_STATE").empty();
        },
        30000, 50);
    XDestroyWindow(fl_display, probe);
    XSync(fl_display, False);
    return running ? 1 : 0;
}

void StopWindowManager()
{
    if (Manager.pid <= 0)
        return;
    KillChild(&Manager, SIGTERM);
    // It may leave its mark on the root window, where a program started later must not take
    // it for a window manager that runs.
    XDeleteProperty(fl_display, DefaultRootWindow(fl_display),
                    XInternAtom(fl_display, "_NET_SUPPORTING_WM_CHECK", False));
    XSync(fl_display, False);
}

int PortHeldExclusively(const char* port)
{
    return TerminalMarkedExclusive(port) == 1;
}
