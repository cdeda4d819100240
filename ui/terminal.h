// What the terminal ui (alerts_term.cpp, progress_term.cpp, transfer_log_term.cpp) offers
// beyond the ui contracts: the stop signals that stand in for the Esc key, and what its
// three files tell one another about the line on the terminal. Used by tarnwell-cli.
#ifndef TARNWELL_TERMINAL_H
#define TARNWELL_TERMINAL_H

// From now on Ctrl-C (SIGINT), SIGTERM and SIGHUP no longer end the program at once: they
// make EscapeHeld answer yes, so that a running transfer stops at its next byte as the Esc
// key stops it in the window, and the program can close its port and end.
void CatchStopSignals(void);

// The signal that asked the program to stop; 0 while none has come.
int StopSignal(void);

// How many transfers have begun (ShowProgress) since the start: a send that fails without
// one was refused before its first byte.
int TransfersBegun(void);

// Finishes the progress line if one stands on the terminal, so that other text can follow.
void EndProgressLine(void);

// Says on standard output that the current transfer went whole ("NAME - received.",
// "PATH - sent."); CloseProgress says it on standard error when it did not.
void ReportTransferWhole(void);

#endif
