// One window program per user and display: a second start hands its files (or a request to
// come to the front) to the program that runs, and ends. Linux: instance_posix.cpp; Windows
// finds the running one by its window class (main_win32.cpp).
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
// nothing of it: for tarnwell-cli, which cannot open a port that program holds. Needs no
// window system (instance_find_*.cpp).
int WindowProgramRuns(void);

#endif
