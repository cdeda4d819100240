// What the terminal ui (alerts_term.cpp, progress_term.cpp, transfer_log_term.cpp) offers
// beyond the ui contracts: the stop signals that stand in for the Esc key, and what its
// three files tell one another about the line on the terminal. Used by tarnwell-cli.
// The console itself is the platform's: terminal_posix.cpp (signals, the tty's width) and
// terminal_win32.cpp (the Windows console, its Ctrl-C and Ctrl-Break handler).
#ifndef TARNWELL_TERMINAL_H
#define TARNWELL_TERMINAL_H

// From now on Ctrl-C (Linux: SIGINT, SIGTERM, SIGHUP; Windows: Ctrl-C and Ctrl-Break) no
// longer ends the program at once: it makes EscapeHeld answer yes, so that a running transfer
// stops at its next byte as the Esc key stops it in the window, and the program can close its
// port and end. A reader of standard output that has gone no longer ends it either (Linux:
// SIGPIPE): the failed write is seen instead.
void CatchStopSignals(void);

// The signal that asked the program to stop, as Linux numbers it (Ctrl-C: 2, also for
// Ctrl-Break on Windows); 0 while none has come.
int StopSignal(void);

// Sleeps until `deadline` (ClockMs time, base/clock.h), or until a stop signal comes.
void WaitForStopUntil(long long deadline);

// Non-zero when standard output is a terminal (a console) rather than a pipe or a file.
int OutputIsTerminal(void);

// Draws `line` over the one the cursor stands on, cut to the terminal's width so that it
// never wraps (a wrapped line cannot be drawn over), with what is left of the old one erased.
void RedrawTerminalLine(const char* line);

// How many transfers have begun (ShowProgress) since the start: a send that fails without
// one was refused before its first byte.
int TransfersBegun(void);

// Finishes the progress line if one stands on the terminal, so that other text can follow.
void EndProgressLine(void);

// Says on standard output that the current transfer went whole ("NAME - received.",
// "PATH - sent."); CloseProgress says it on standard error when it did not.
void ReportTransferWhole(void);

#endif
