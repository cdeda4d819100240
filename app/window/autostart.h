// Starting Tarnwell when the user signs in, the menu's check item: on Windows the value
// "Tarnwell" under HKCU\Software\Microsoft\Windows\CurrentVersion\Run, holding the quoted path
// of this tarnwell.exe (as setup writes it); on Linux the XDG autostart entry
// $XDG_CONFIG_HOME/autostart/tarnwell.desktop (~/.config/autostart/), whose Exec is this
// program's full path, so that it starts the copy that turned it on whether or not that one
// is on the PATH. One implementation per platform: autostart_win32.cpp, autostart_posix.cpp.
#ifndef TARNWELL_AUTOSTART_H
#define TARNWELL_AUTOSTART_H

#include <string>

// The item's label: "Start with Windows", "Start at Login".
extern const char AutostartLabel[];

// 1 while it is on, as the system stands now (read afresh at each call); else 0. On Linux an
// entry the desktop has disabled (Hidden=true) counts as off.
int AutostartOn(void);

// Turns it on (for this program) or off. 0 when that failed, with why in `reason` (TextSize
// bytes).
int SetAutostart(int on, char* reason);

// Linux only: `path` as one word of a desktop entry's Exec value: quoted where it holds a blank or
// another character the Exec syntax reserves, '%' doubled, and the quoting's backslashes
// written as the entry's string escapes ask.
std::string DesktopExecWord(const std::string& path);

#endif
