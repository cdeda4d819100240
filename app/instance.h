// One window program per user and display. A second start hands over to the program that
// runs: that one brings its main window to the front, and the second ends. (Windows finds
// the running one by its window class, see main_win32.cpp; this is the Linux way.)
//
// Linux: the running program listens on a socket of the user's, $XDG_RUNTIME_DIR/
// tarnwell-DISPLAY.socket (without XDG_RUNTIME_DIR, /tmp/tarnwell-UID-DISPLAY.socket, used
// only while it is the user's own). A second start connects, writes one request a line
// ("raise", or "send PATH" for each file named on its command line, a newline in PATH
// written "\n" and a backslash "\\") and closes. A socket nobody listens on is left from a
// program that was killed, and is taken over.
#ifndef TARNWELL_INSTANCE_H
#define TARNWELL_INSTANCE_H

// Non-zero when a program runs already for this user on this display: it has been handed
// the `count` files of `paths` (full paths) to send, or with none asked to bring its main
// window to the front, and the caller ends. 0 when this is the only one; it
// then holds the socket, and ListenForRequests takes the requests.
int HandToRunningProgram(const char* const* paths, int count);

// Calls `raise` for every "raise" request another start makes, and `send` with the path of
// every "send" request, from the event loop.
void ListenForRequests(void (*raise)(void), void (*send)(const char* path));

// Non-zero when the window program runs for this user (Linux: on any display), asking
// nothing of it: for tarnwell-cli, which cannot open a port that program holds.
// instance_find_win32.cpp and instance_find_posix.cpp, which need no window system.
int WindowProgramRuns(void);

#endif
