// The "File Transfer Information" window: one line for each received file that replaced
// an earlier copy, kept in alphabetical order without regard to case, until the user
// closes it. One implementation per platform: transfer_log_win32.cpp, transfer_log_fltk.cpp.
#ifndef TARNWELL_TRANSFER_LOG_H
#define TARNWELL_TRANSFER_LOG_H

#include "ui/window_handle.h"

// Adds a copy of line to the log window at its sorted place. When no log window is open
// (none yet, or the user closed it) a new one is made first, owned by owner and placed at
// the top left corner of owner's client area. Lines equal to one already there are kept.
void AddLogEntry(WindowHandle owner, const char* line);

// A line that says why a transfer failed, or what failed after a received file took its
// name: in the window programs a log line as above; the terminal's says it on standard
// error, in place of its own "not received whole".
void AddFailureEntry(WindowHandle owner, const char* line);

#endif
