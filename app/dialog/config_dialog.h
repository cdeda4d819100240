// The configuration dialog, where the user sees and changes the five settings: serial port,
// baud rate, XON/XOFF, store directory and name-preserving mode. OK stores all five and
// reopens the link with them, once the rate is one the port takes and the directory a full
// path to a folder the program can write in (it gets its separator at the end); else OK says
// what is wrong and the dialog stays open. Cancel (and Esc) stores nothing.
// The settings logic is shared (config_dialog.cpp); showing the controls is one file per
// toolkit: config_dialog_win32.cpp (template 104) and config_dialog_fltk.cpp.
#ifndef TARNWELL_CONFIG_DIALOG_H
#define TARNWELL_CONFIG_DIALOG_H

#include "ui/window_handle.h"

// Runs the dialog modally, owned by `owner` and placed at the top left of its client area.
// The owner's timers go on firing meanwhile. Returns IDOK (1) or IDCANCEL (2) when OK or
// Cancel ends it; -1 when the dialog could not be made (Windows).
int ConfigDialog(WindowHandle owner);

#endif
