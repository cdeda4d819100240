// The few moments where the link and the sessions meet the user directly, kept here so
// that neither ever names a toolkit: the Esc key that aborts a transfer, the one error
// message of the program, and the beep for a file transferred whole.
// The Esc query's answer cache is shared (alerts.cpp); the rest is one implementation per
// platform: alerts_win32.cpp and alerts_fltk.cpp.
#ifndef TARNWELL_ALERTS_H
#define TARNWELL_ALERTS_H

// Non-zero while the Esc key is held down (asked of the system, not of any event queue,
// so it works in the middle of a transfer).
int EscapeHeld(void);

// The first line of the connect-failure message, the same in every front end.
inline constexpr char ConnectFailureText[] = "Can't connect to Serial Port";

// The modal "Can't connect to Serial Port" message, captioned "Tarnwell", with the error
// icon, owned by the active window. Returns when the user dismisses it. `detail` is what
// the link knows of the failure (the port, the reason and the ports there are,
// PortFailureText), on the lines after the first.
void ShowConnectFailure(const char* detail);

// The default system sound that marks a file transferred whole.
void SignalSuccess(void);

#endif
