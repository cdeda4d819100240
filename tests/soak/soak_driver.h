// The soak's stand-in for the main window program until that exists: a window of its own
// with the real sessions, link, settings and status windows behind it, ticking once a second
// as the main window will. Drops come as a file of paths in the soak's folder.
#ifndef TARNWELL_SOAK_DRIVER_H
#define TARNWELL_SOAK_DRIVER_H

#include "ui/window_handle.h"

// One tick, `folder` being the soak's folder (ending with a separator): a waiting drop
// request ("drop", one path a line) is taken and sent with SendDroppedFiles, and a line
// "sent <count>" appended to "report"; then PollLink. 0 once the soak has asked the program
// to end (a file "quit").
int SoakTick(WindowHandle owner, const char* folder);

#endif
