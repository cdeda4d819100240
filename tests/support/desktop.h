// The desktop as the GUI tests see it, on either build: a window standing in for the main
// window, the event loop, and the program's windows as the display shows them. One
// implementation per platform: desktop_fltk.cpp, desktop_win32.cpp.
#ifndef TARNWELL_TEST_DESKTOP_H
#define TARNWELL_TEST_DESKTOP_H

#include "ui/window_handle.h"

#include <functional>
#include <string>
#include <vector>

// A rectangle of the screen in pixels, from the top left corner of the X root window.
struct ScreenArea {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Whatever the program sets up at start (the instance handle on Windows).
void PrepareDesktop();

// A plain captioned top-level window with its client area at (x, y), shown and mapped.
WindowHandle OpenOwnerWindow(int x, int y, int width, int height);
void MoveOwnerWindow(WindowHandle owner, int x, int y);
void CloseOwnerWindow(WindowHandle owner);
ScreenArea ClientArea(WindowHandle window);

// Runs the event loop for about this long, as the program does between transfers.
void RunEventLoop(int milliseconds);

// Runs the event loop until `done` gives true, for at most `milliseconds` (by default long
// enough for a busy machine); done's last answer.
enum { DisplayWaitMs = 10000 };
inline bool RunEventLoopUntil(const std::function<bool()>& done, int milliseconds = DisplayWaitMs)
{
    for (int waited = 0; !done(); waited += 50) {
        if (waited >= milliseconds)
            return false;
        RunEventLoop(50);
    }
    return true;
}

// Non-zero when a shown window of the display has this caption; fills its client area.
int FindProgramWindow(const char* title, ScreenArea* client);

// The lines of the transfer log's list, top to bottom (none without a log window), and
// the index of its selected line (-1 for none).
std::vector<std::string> LogLines();
int SelectedLogLine();

// For the window with this caption, each non-zero on success: whether it offers a close
// control (a close box, or the close function asked of the window manager); the request a
// close control or Alt+F4 makes; a close as a user makes it (a click on the close box
// under Wine, else the request), 0 when there is no control to use; the keyboard focus,
// for keys typed with xdotool.
int HasCloseControl(const char* title);
int SendCloseRequest(const char* title);
int CloseLikeUser(const char* title);
void FocusWindow(const char* title);

// This program's shown window with this caption (none when there is none), and the id of
// the control that has the keyboard focus (0 for none).
WindowHandle FindShownWindow(const char* title);
int FocusedControl();

// Calls `tick` every 100 ms from whatever event loop runs, a modal one included, until
// StopTicks: a test's way to act while a dialog or a message box runs.
void StartTicks(void (*tick)(void));
void StopTicks();

// Makes the next ShowProgress fail to create its window; 0 where a window cannot fail to be
// created. Undone by PrepareDesktop.
int BreakProgressWindowCreation();

#endif
