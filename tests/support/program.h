// The whole program, started as a user starts it with the settings the test has stored, on
// the test's display, and driven only from outside: for the end-to-end tests, the soak and
// the benchmarks. One implementation per platform: program_posix.cpp, program_win32.cpp.
#ifndef TARNWELL_TEST_PROGRAM_H
#define TARNWELL_TEST_PROGRAM_H

#include "tests/support/desktop.h"
#include "tests/support/screen.h"
#include "tests/support/temp_folder.h"

#include <string>
#include <vector>

// Starts the program with no arguments and the settings the test has stored. One program at
// a time: a program still running from an earlier start is killed first. False when it could
// not be started.
bool StartProgram();
// The same for another copy of the program (one unpacked from a package, say) at `path`, a
// host path, given these arguments after its name.
bool StartProgramAt(const std::string& path, const std::vector<std::string>& arguments);

// Its exit code, once it has ended within `timeoutMs`; -1 when it is still running then.
int WaitForProgramExit(int timeoutMs);

// Ends the program at once if it is still running, and waits for it.
void KillProgram();

// Starts another copy of the program beside the one running, with these arguments, and waits
// up to `timeoutMs` for it to end: its exit code, or -1 when it was still running then (it is
// killed).
int RunSecondProgram(int timeoutMs, const std::vector<std::string>& arguments = {});

// A window of the program as the display shows it, in pixels of the X screen.
struct ProgramWindow {
    ScreenArea frame;   // the whole window, frame and caption included (as far as drawn)
    ScreenArea client;  // its client area
};

// The main window, once it is shown: found by what it is (Windows: its window class; Linux:
// the program's window that carries the program's icon), whatever its title says.
bool FindMainWindow(ProgramWindow* window);
// The same, waiting up to `timeoutMs` for it to be shown.
bool WaitForMainWindow(int timeoutMs, ProgramWindow* window);

// A shown window of the program captioned `title` that is not the main window (the connect
// failure message, the configuration dialog, the status windows), waiting up to `timeoutMs`.
bool WaitForOtherWindow(const char* title, int timeoutMs, ProgramWindow* window);

// Non-zero when the X server itself has a viewable window captioned `title`: under Wine a
// window that the program has shown need not have reached the display yet.
bool DisplayShowsWindow(const std::string& title);

// Asks the main window to close as its close box does: Windows, a click on the box that Wine
// draws; Linux, the request a window manager sends for its close control. False when the
// main window is not shown.
bool CloseMainWindow();

// The colour the background of the program's dialogs is painted in (0xRRGGBB): Windows, the
// system's button face colour; Linux, FLTK's background gray.
unsigned DialogBackground();

// Non-zero when the program's "File Transfer Information" window shows `line` in `shot`:
// the line's text, drawn here as the log's list draws it, stands pixel for pixel somewhere
// inside that window. (Another process's list cannot be asked for its lines under Wine.)
bool TransferLogShows(const char* line, const Screenshot& shot);

// The platform half of TransferLogShows: `text` drawn as the log's list draws a line, black
// in the dialog font on white (Windows: GDI with 8-point "MS Sans Serif"; Linux: FLTK with
// the dialog font), into `picture` (0xRRGGBB pixels, rows from the top).
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<unsigned> pixels;
};
bool DrawLikeTheLog(const char* text, Picture* picture);

// The pixels of the icon the program shows (IconSide * IconSide * 4 bytes, as DecodeIcon
// gives them): Linux, the main window's icon as the window manager is given it; Windows,
// icon 101 as the program file carries it. False when there is none.
bool ProgramIcon(unsigned char* rgba);

// Starts a window manager (openbox) on the test's display and waits until it runs: 1 when
// it runs, 0 when it did not start, -1 where the tests run without one (under Wine, which
// draws its windows' frames itself).
int StartWindowManager();
void StopWindowManager();

// Sets the DPI a program started from now on finds on the desktop: Windows, the system's
// (LogPixels under HKCU\Control Panel\Desktop, which Wine reads as a program starts); Linux,
// the X resource Xft.dpi of the test's display. False when it could not be set. The tests
// try 96 and HigherDpi: 144 under Wine (150 %), 192 on Linux (200 %).
bool SetDesktopDpi(int dpi);
extern const int HigherDpi;

// Non-zero when the port is still marked as one program's alone (Linux: TIOCEXCL, which the
// program must clear as it closes the link, or no one but root could open it again).
// Windows has no such mark that outlives the program: 0.
int PortHeldExclusively(const char* port);

// What the running program costs the machine so far.
struct ProgramCost {
    double cpuSeconds = 0;         // user and system time of the program's process
    long residentKiB = 0;          // its resident memory
    double serverCpuSeconds = -1;  // under Wine, that of the prefix's wineserver, which does
                                   // part of every port call; -1 on Linux
};
// Under Wine, the process is the Unix one that runs tarnwell.exe. False when the program
// does not run or cannot be looked at.
bool ProgramUsage(ProgramCost* cost);

// The descriptors the running program has open (Linux: /proc/PID/fd); -1 where they cannot
// be counted (under Wine).
int ProgramOpenHandles();

#endif
