// The whole program, started as a user starts it with the settings the test has stored, on
// the test's display, and driven only from outside: for the end-to-end tests, the soak and
// the benchmarks. One program at a time. Platform parts: program_posix.cpp, program_win32.cpp.
#ifndef TARNWELL_TEST_PROGRAM_H
#define TARNWELL_TEST_PROGRAM_H

#include "tests/support/desktop.h"
#include "tests/support/screen.h"
#include "tests/support/temp_folder.h"

#include <string>
#include <vector>

// Starts the built program with no arguments, or the copy at host path `path` with these
// arguments; a program still running from an earlier start is killed first. False when it
// could not be started.
bool StartProgram();
bool StartProgramAt(const std::string& path, const std::vector<std::string>& arguments);

// Its exit code once it has ended within `timeoutMs`; -1 while it still runs.
int WaitForProgramExit(int timeoutMs);
// Ends it at once if it still runs, and waits for it.
void KillProgram();

// Another copy of the built program beside the running one, with these arguments: its exit
// code within `timeoutMs`, else -1 (and it is killed). Each message box it shows is closed,
// and counted in `boxes` when given. `said`, when given, gets what it said: its standard
// error (Linux), the text of each message box (Windows).
int RunSecondProgram(int timeoutMs, const std::vector<std::string>& arguments = {}, std::string* said = nullptr,
                     int* boxes = nullptr);

// A window of the program as the display shows it, in pixels of the X screen.
struct ProgramWindow {
    ScreenArea frame;   // the whole window, frame and caption included (as far as drawn)
    ScreenArea client;  // its client area
};

// The main window once it is shown, found by what it is (Windows: its class; Linux: the
// program's window with the program's icon), whatever its title; the wait gives up after
// `timeoutMs`.
bool FindMainWindow(ProgramWindow* window);
bool WaitForMainWindow(int timeoutMs, ProgramWindow* window);

// A shown window of the program captioned `title` that is not the main window (a message,
// the dialog, a status window, the menu with ""), waited for up to `timeoutMs`; `window`, when
// given, gets where it is. The platform part looks once, for the main window when `title` is
// null.
bool WaitForOtherWindow(const char* title, int timeoutMs, ProgramWindow* window = nullptr);
bool LocateWindow(const char* title, ProgramWindow* window);
// True once no such window is shown, within `timeoutMs`.
bool WaitForOtherWindowGone(const char* title, int timeoutMs);

// True when the X server itself has a viewable window captioned `title`: under Wine a window
// the program has shown need not have reached the display yet.
bool DisplayShowsWindow(const std::string& title);

// The pointer to the middle of `area` (xdotool's status), and a drop of host `paths` there
// with the drag source (its status).
int PointAt(const ScreenArea& area);
int DropOn(const ScreenArea& area, const std::vector<std::string>& paths);
// Linux: true when another client of the display can take the keyboard and the pointer (no
// menu of the program holds them).
bool DesktopFree();

// Asks the main window to close as its close box does (Windows: a click on the box Wine
// draws; Linux: a window manager's close request). False when it is not shown.
bool CloseMainWindow();

// The colour of the program's dialogs' background, 0xRRGGBB.
unsigned DialogBackground();

// True when the window captioned `title` (the main window for null) shows `line` in `shot`:
// the line drawn here as the program draws its texts, black on `paper` (0xRRGGBB), stands
// pixel for pixel inside that window's client area.
bool WindowShows(const char* title, const char* line, unsigned paper, const Screenshot& shot);

// The platform part of WindowShows: `text` (UTF-8) black in the dialog font on `paper`, as
// the program draws a line, into `picture` (0xRRGGBB pixels, rows from the top).
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned> pixels;
};
bool DrawLikeTheProgram(const char* text, unsigned paper, Picture* picture);

// The pixels of the icon the program shows (IconSide * IconSide * 4 bytes, as DecodeIcon
// gives them). False when there is none.
bool ProgramIcon(unsigned char* rgba);

// Starts openbox on the test's display and waits until it manages windows: 1 when it does,
// 0 when it did not start, -1 where the tests run without one (under Wine).
int StartWindowManager();
void StopWindowManager();

// Sets the DPI a program started from now on finds on the desktop. False when it could not
// be set. The tests try 96 and HigherDpi.
bool SetDesktopDpi(int dpi);
extern const int HigherDpi;

// Non-zero while the port is marked as one program's alone (Linux: TIOCEXCL, which the
// program must clear as it closes the link); always 0 on Windows, which has no such mark.
int PortHeldExclusively(const char* port);

// What the running program costs the machine so far.
struct ProgramCost {
    double cpuSeconds = 0;         // user and system time of the program's process
    long residentKiB = 0;          // its resident memory
    double serverCpuSeconds = -1;  // under Wine, that of the prefix's wineserver, which does
                                   // part of every port call; -1 on Linux
};
// False when the program does not run or cannot be looked at.
bool ProgramUsage(ProgramCost* cost);

// The descriptors the running program has open; -1 where they cannot be counted (Wine).
int ProgramOpenHandles();

#endif
