// The desktop as the GUI tests see it, on either build: a window standing in for the main
// window, the event loop that runs between transfers and inside dialogs, the windows as the X
// server shows them, and the paths by which it reaches the Linux host's files from inside
// Wine. One implementation per platform.
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

// How long a test waits for the display to show what it caused: long enough for a busy
// machine, and no longer than it takes when the display is quick.
enum { DisplayWaitMs = 10000 };

// Runs the event loop until `done` gives true, for at most `milliseconds`; done's last answer.
inline bool RunEventLoopUntil(const std::function<bool()>& done, int milliseconds = DisplayWaitMs)
{
    for (int waited = 0; !done(); waited += 50) {
        if (waited >= milliseconds)
            return false;
        RunEventLoop(50);
    }
    return true;
}

// Non-zero when a shown window of the program has this caption; fills its client area.
int FindProgramWindow(const char* title, ScreenArea* client);

// The lines of the transfer log's list, top to bottom (none without a log window), and
// the index of its selected line (-1 for none).
std::vector<std::string> LogLines();
int SelectedLogLine();

// Non-zero when the window with this caption offers a close control: Windows, a close
// box in its caption; Linux, the close function in what it asks of the window manager.
int HasCloseControl(const char* title);

// Sends the window with this caption the request that a close control, Alt+F4 or the
// window menu make: WM_SYSCOMMAND SC_CLOSE on Windows, WM_DELETE_WINDOW on Linux.
int SendCloseRequest(const char* title);

// Closes the window with this caption as a user does: Windows under Wine, a click on its
// close box; Linux, where the test display has no window manager to draw one, the request
// the window manager sends for it. Returns 0 when there is no close control to use.
int CloseLikeUser(const char* title);

// The shown window of the program with this caption (none when there is none), and the id
// of the control that has the keyboard focus (0 for none).
WindowHandle FindShownWindow(const char* title);
int FocusedControl();

// Calls `tick` every 100 ms from whatever event loop runs, a modal one included, until
// StopTicks: a test's way to act while a dialog or a message box runs.
void StartTicks(void (*tick)(void));
void StopTicks();

// Gives the window with this caption the keyboard focus, for keys typed with xdotool.
void FocusWindow(const char* title);

// Makes the next ShowProgress fail to create its window (Windows: templates looked up in
// a module without them); returns 0 where a window cannot fail to be created. Undone by
// PrepareDesktop.
int BreakProgressWindowCreation();

#endif
