// One window program per user and display: a second start hands its files (or a request to
// come to the front) to the program that runs, and ends. Linux: single_start_posix.cpp, a
// socket of the user's alone; Windows: single_start_win32.cpp, the main window's class and
// WM_COPYDATA. Whether the program runs is asked apart (single_start_find_*.cpp), without a
// window system, for tarnwell-cli.
#ifndef TARNWELL_SINGLE_START_H
#define TARNWELL_SINGLE_START_H

// The longest a second start waits for the running program to take its files: it takes none
// during a transfer, which runs outside the event loop.
enum { HandOverWaitMs = 60000 };

// Hands the `count` files of `paths` (full paths) to the program already running for this
// user on this display, to be sent as one drop; with none, asks it to bring its main window
// to the front. A file that cannot be sent (CanBeSent, protocol/drop.h) is named with its
// reason instead, and the others are handed over. Waits up to `waitMs` for the program to
// answer that it took them. Returns the status for this start to end with: 0 when all went
// over, 1 when anything did not (said on standard error; Windows: in a message box). -1 when
// no program runs, or when the single start cannot be had for this run (said on standard
// error): this start is then the program, and takes the requests of later starts.
int HandToRunningProgram(const char* const* paths, int count, int waitMs);

// Linux: calls `raise` for every "raise" request another start makes, and `send` with the
// path of every "send" request, from the event loop.
void ListenForRequests(void (*raise)(void), void (*send)(const char* path));

// Windows: the main window's answer to WM_COPYDATA, `copyData` being its COPYDATASTRUCT: the
// files another start handed over, queued to go at the next tick (QueueFilesToSend). Returns
// how many were taken: 0 for a message that is no hand-over, or one that came too late.
long TakeFilesHandedOver(const void* copyData);

// Windows: the main window's class, by which another start finds the running program.
inline constexpr char MainWindowClass[] = "Z88_Server_Window_Class";

// Non-zero when the window program runs for this user (Linux: on any display), asking
// nothing of it: for tarnwell-cli, which cannot open a port that program holds.
int WindowProgramRuns(void);

#endif
