// The display side of the tests that use the real alerts, on each platform: a window of the
// test's own with the pointer over it, a look inside the connect-failure box from its own
// modal loop, and the bell.
#ifndef TARNWELL_TEST_ALERTS_PROBE_H
#define TARNWELL_TEST_ALERTS_PROBE_H

#include "ui/window_handle.h"

#include <string>

// Shows a small window, makes it the active one and moves the pointer over it: Wine reports
// a held key only while the pointer is over one of the program's windows, and on a display
// without a window manager the keyboard goes where the pointer is.
WindowHandle ShowTestWindow();
void CloseTestWindow();

// Lets the toolkit take in what the display has sent (key state, mapping).
void PumpTestWindow();

// What was seen of a message box while it was up.
struct SeenBox {
    bool seen = false;
    std::string title;
    std::string text;
    bool errorIcon = false;
    bool ownedByExpected = false;  // by the window given to WatchForMessageBox
};

// The next message box that comes up on this thread is looked at from inside its modal loop
// and then dismissed; LastSeenBox tells what it showed. The box should belong to `owner`
// (the test window when none is given), which is never taken for the box itself. A box that
// is never found is not waited for: after twenty seconds the watch gives up.
void WatchForMessageBox(WindowHandle owner = nullptr);
SeenBox LastSeenBox();

// Runs `action` and counts the bells the display rang meanwhile; -1 where that cannot be
// seen.
int BellsRungDuring(void (*action)(void));

#endif
